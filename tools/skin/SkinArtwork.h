#pragma once
// The embedded skin's pictures, drawn with code at the sizes its keys fix.

#include <string>
#include <vector>

#include "tools/skin/Raster.h"

namespace plx::skingen {

struct TSkinPicture {
  std::string key;
  TRaster picture;
};

// Every bitmap of the skin, in key-table order.
std::vector<TSkinPicture> DrawSkinPictures();

// The title bar as a 243-pixel-wide window shows it, with its buttons, for
// looking at the artwork.
TRaster ComposeTitleBarPreview(const std::vector<TSkinPicture>& pictures);

}  // namespace plx::skingen
