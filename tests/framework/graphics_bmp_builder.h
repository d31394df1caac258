#pragma once
// Builds BMP files field by field for the codec and bitmap tests.

#include <cstdint>
#include <utility>
#include <vector>

namespace plx::test {

struct BmpSpec {
  int width = 3;
  int height = 2;
  int bpp = 24;
  bool top_down = false;
  std::uint32_t compression = 0;       // BI_RGB; 3 = BI_BITFIELDS
  std::uint32_t header_size = 40;      // 12 = core header
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB entries
  std::vector<std::uint32_t> masks;    // red, green, blue (BI_BITFIELDS)
  // Raw pixel values, top row first: palette indices, 16-bit words,
  // 0x00RRGGBB for 24 bits, the whole DWORD for 32 bits.
  std::vector<std::uint32_t> raw;
};

inline BmpSpec MakeSpec(int bpp, std::vector<std::uint32_t> palette, std::vector<std::uint32_t> raw) {
  BmpSpec s;
  s.bpp = bpp;
  s.palette = std::move(palette);
  s.raw = std::move(raw);
  return s;
}

class ByteWriter {
 public:
  std::vector<std::uint8_t> bytes;
  void U8(std::uint32_t v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
  void U16(std::uint32_t v) { U8(v), U8(v >> 8); }
  void U32(std::uint32_t v) { U16(v), U16(v >> 16); }
  void Put32(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
};

inline std::vector<std::uint8_t> BuildBmp(const BmpSpec& s, bool withFileHeader = true) {
  ByteWriter w;
  if (withFileHeader) {
    w.U8('B'), w.U8('M');
    w.U32(0);  // file length, patched below
    w.U32(0);  // reserved
    w.U32(0);  // pixel data offset, patched below
  }
  w.U32(s.header_size);
  if (s.header_size == 12) {
    w.U16(static_cast<std::uint32_t>(s.width));
    w.U16(static_cast<std::uint32_t>(s.height));
    w.U16(1);  // planes
    w.U16(static_cast<std::uint32_t>(s.bpp));
  } else {
    w.U32(static_cast<std::uint32_t>(s.width));
    w.U32(static_cast<std::uint32_t>(s.top_down ? -s.height : s.height));
    w.U16(1);  // planes
    w.U16(static_cast<std::uint32_t>(s.bpp));
    w.U32(s.compression);
    w.U32(0);  // image size: may be 0 for uncompressed data
    w.U32(2835), w.U32(2835);
    w.U32(static_cast<std::uint32_t>(s.palette.size()));  // colours used
    w.U32(0);                                              // colours important
    // Longer headers: masks at offset 40 inside the header, the rest zero.
    for (std::size_t i = 40; i < s.header_size; i += 4) {
      const std::size_t m = (i - 40) / 4;
      w.U32(s.compression == 3 && m < s.masks.size() ? s.masks[m] : 0);
    }
    if (s.header_size == 40 && s.compression == 3)
      for (std::uint32_t m : s.masks) w.U32(m);
  }
  for (std::uint32_t c : s.palette) {
    w.U8(c), w.U8(c >> 8), w.U8(c >> 16);
    if (s.header_size != 12) w.U8(0);
  }
  const std::size_t bits_at = w.bytes.size();
  const std::size_t stride = ((static_cast<std::size_t>(s.width) * s.bpp + 31) / 32) * 4;
  for (int row = 0; row < s.height; ++row) {
    const int y = s.top_down ? row : s.height - 1 - row;
    std::vector<std::uint8_t> line(stride, 0);
    for (int x = 0; x < s.width; ++x) {
      const std::uint32_t v = s.raw[static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width) + static_cast<std::size_t>(x)];
      switch (s.bpp) {
        case 1: line[x / 8] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8)); break;
        case 4: line[x / 2] |= static_cast<std::uint8_t>((v & 15) << (x % 2 == 0 ? 4 : 0)); break;
        case 8: line[x] = static_cast<std::uint8_t>(v); break;
        case 16: line[2 * x] = static_cast<std::uint8_t>(v), line[2 * x + 1] = static_cast<std::uint8_t>(v >> 8); break;
        case 24:
          for (int i = 0; i < 3; ++i) line[3 * x + i] = static_cast<std::uint8_t>(v >> (8 * i));
          break;
        case 32:
          for (int i = 0; i < 4; ++i) line[4 * x + i] = static_cast<std::uint8_t>(v >> (8 * i));
          break;
      }
    }
    w.bytes.insert(w.bytes.end(), line.begin(), line.end());
  }
  if (withFileHeader) {
    w.Put32(2, static_cast<std::uint32_t>(w.bytes.size()));
    w.Put32(10, static_cast<std::uint32_t>(bits_at));
  }
  return w.bytes;
}

}  // namespace plx::test
