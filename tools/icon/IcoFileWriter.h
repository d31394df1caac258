#pragma once
// Writes icon files: a directory of images, each a Windows DIB (XOR colour
// bits followed by the one-bit AND mask) or a PNG stream.

#include <string>
#include <vector>

#include "tools/icon/IconRaster.h"

namespace plx::icongen {

enum class TIconFormat {
  Palette8,  // 256-colour palette, opaque where alpha is at least half
  Bgra32,    // colour with alpha
  Png32,     // colour with alpha, PNG-compressed
};

struct TIconImage {
  const TRaster* picture;
  TIconFormat format;
};

// The image's bytes as they appear in an icon file.
std::string EncodeDib8(const TRaster& picture);
std::string EncodeDib32(const TRaster& picture);
std::string EncodePng(const TRaster& picture);

// A complete .ico file holding the images in the given order.
std::string BuildIcoFile(const std::vector<TIconImage>& images);

}  // namespace plx::icongen
