#pragma once
// The pictures that the main window's layout stores for its title bar: three
// section pictures and the three pictures of each of its four caption
// buttons. The skin replaces them when the window takes its look, so they
// show only in a title bar that keeps its own pictures.

#include <string>
#include <vector>

#include "tools/skin/Raster.h"

namespace plx::layoutgen {

struct TLayoutPicture {
  std::string file;  // file name in resources/layout
  skingen::TRaster picture;
  int bitsPerPixel;  // 24 or 32
};

// Every picture, in the order the layout lists them.
std::vector<TLayoutPicture> DrawLayoutPictures();

// A complete Windows BMP file of the picture at 24 or 32 bits per pixel.
std::string EncodeBmp(const skingen::TRaster& picture, int bitsPerPixel);

}  // namespace plx::layoutgen
