#pragma once
// Writes Windows BMP files: 4 bits per pixel with a 16-colour palette, and
// 24 bits per pixel. Rows are stored bottom-up, each padded to 4 bytes.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace plx::captiongen {

struct TRgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const TRgb&) const = default;
};

// A picture as palette indexes (for 4-bit files) or colours (for 24-bit files).
struct TIndexedImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;  // top row first
  std::uint8_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

struct TRgbImage {
  int width = 0, height = 0;
  std::vector<TRgb> pixels;  // top row first
  TRgb& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

std::string Bmp4(const TIndexedImage& image, const std::array<TRgb, 16>& palette);
std::string Bmp24(const TRgbImage& image);

}  // namespace plx::captiongen
