#include "tools/captionbuttons/BmpWriter.h"

namespace plx::captiongen {
namespace {

void Le(std::string& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::size_t RowBytes(int width, int bits) { return ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4; }

// BITMAPFILEHEADER and BITMAPINFOHEADER for a bottom-up, uncompressed image.
std::string Headers(int width, int height, int bits, int paletteEntries) {
  const std::uint32_t pixel_offset = 14 + 40 + 4u * static_cast<std::uint32_t>(paletteEntries);
  const std::uint32_t image_size = static_cast<std::uint32_t>(RowBytes(width, bits) * height);
  std::string out;
  out += "BM";
  Le(out, pixel_offset + image_size, 4);  // file size
  Le(out, 0, 4);                          // reserved
  Le(out, pixel_offset, 4);
  Le(out, 40, 4);  // header size
  Le(out, static_cast<std::uint32_t>(width), 4);
  Le(out, static_cast<std::uint32_t>(height), 4);  // positive: bottom-up
  Le(out, 1, 2);                                   // planes
  Le(out, static_cast<std::uint32_t>(bits), 2);
  Le(out, 0, 4);  // BI_RGB
  Le(out, image_size, 4);
  Le(out, 3780, 4);  // 96 pixels per inch, in pixels per metre
  Le(out, 3780, 4);
  Le(out, static_cast<std::uint32_t>(paletteEntries), 4);  // colours used
  Le(out, 0, 4);                                            // all important
  return out;
}

}  // namespace

std::string Bmp4(const TIndexedImage& image, const std::array<TRgb, 16>& palette) {
  std::string out = Headers(image.width, image.height, 4, 16);
  for (const TRgb& c : palette) {
    out.push_back(static_cast<char>(c.b));
    out.push_back(static_cast<char>(c.g));
    out.push_back(static_cast<char>(c.r));
    out.push_back(0);
  }
  const std::size_t row_bytes = RowBytes(image.width, 4);
  for (int y = image.height - 1; y >= 0; --y) {
    std::string row(row_bytes, '\0');
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t index = image.pixels[static_cast<std::size_t>(y) * image.width + x] & 0x0F;
      row[static_cast<std::size_t>(x / 2)] |= static_cast<char>(x % 2 == 0 ? index << 4 : index);
    }
    out += row;
  }
  return out;
}

std::string Bmp24(const TRgbImage& image) {
  std::string out = Headers(image.width, image.height, 24, 0);
  const std::size_t row_bytes = RowBytes(image.width, 24);
  for (int y = image.height - 1; y >= 0; --y) {
    std::string row(row_bytes, '\0');
    for (int x = 0; x < image.width; ++x) {
      const TRgb& c = image.pixels[static_cast<std::size_t>(y) * image.width + x];
      row[static_cast<std::size_t>(x) * 3] = static_cast<char>(c.b);
      row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>(c.g);
      row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>(c.r);
    }
    out += row;
  }
  return out;
}

}  // namespace plx::captiongen
