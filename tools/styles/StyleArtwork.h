#pragma once
// The pictures of the five built-in styles, drawn with code at the sizes and
// frame counts the styles use. Each style has its own look: MacOS light and
// glossy with capsule buttons, WinXP a saturated blue title over cream
// buttons, DeepBlue dark navy and square, Protein bright metal with a blue
// accent, BlueGlass glassy blue with capsule buttons.

#include <string>
#include <vector>

#include "tools/skin/Raster.h"

namespace plx::stylegen {

using skingen::TRaster;

struct TStylePicture {
  std::string name;  // the bitmap resource name, e.g. "BLUEGLASS_BUTTON"
  TRaster picture;
};

// Every picture of every style, then the shared ones, in a fixed order.
std::vector<TStylePicture> DrawStylePictures();

// Each style's title bar (left, stretched client, right) at 243 pixels, its
// title buttons and its push-button frames, one style under the other, for
// looking at the artwork.
TRaster ComposeStylePreview(const std::vector<TStylePicture>& pictures);

}  // namespace plx::stylegen
