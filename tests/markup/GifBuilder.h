#pragma once
// Builds small animated GIF files byte by byte for tests: a 4 x 4 logical
// screen, a four-colour global palette, and one full-screen frame per colour
// index given, each with its own delay.

#include <cstdint>
#include <vector>

namespace plx::test {

// Palette of the built files, as 0x00RRGGBB: index 0 white, 1 red, 2 green, 3 blue.
inline constexpr std::uint32_t kGifPalette[4] = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF};

struct GifFrameSpec {
  std::uint8_t ColorIndex = 1;
  std::uint16_t Delay = 10;  // hundredths of a second
};

namespace gif_detail {

inline void Word(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// LZW data for 16 pixels of one colour with 3-bit codes: a clear code before
// every two literals keeps the code table (and so the code size) from growing.
inline std::vector<std::uint8_t> SolidImageData(std::uint8_t index) {
  constexpr unsigned kClear = 4;
  constexpr unsigned kEnd = 5;
  std::vector<unsigned> codes;
  for (int pair = 0; pair < 8; ++pair) {
    codes.push_back(kClear);
    codes.push_back(index);
    codes.push_back(index);
  }
  codes.push_back(kEnd);
  std::vector<std::uint8_t> bytes;
  unsigned buffer = 0;
  int bits = 0;
  for (const unsigned code : codes) {
    buffer |= code << bits;  // codes are packed from the least significant bit
    bits += 3;
    while (bits >= 8) {
      bytes.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
      buffer >>= 8;
      bits -= 8;
    }
  }
  if (bits > 0) bytes.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
  return bytes;
}

}  // namespace gif_detail

inline std::vector<std::uint8_t> BuildAnimatedGif(const std::vector<GifFrameSpec>& frames) {
  using gif_detail::Word;
  std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  Word(out, 4);                 // logical screen width
  Word(out, 4);                 // logical screen height
  out.push_back(0x81);          // global colour table of 2^(1+1) entries
  out.push_back(0);             // background colour index
  out.push_back(0);             // pixel aspect ratio
  for (const std::uint32_t rgb : kGifPalette) {
    out.push_back(static_cast<std::uint8_t>(rgb >> 16));
    out.push_back(static_cast<std::uint8_t>(rgb >> 8));
    out.push_back(static_cast<std::uint8_t>(rgb));
  }
  for (const GifFrameSpec& frame : frames) {
    out.insert(out.end(), {0x21, 0xF9, 0x04});  // graphic control extension, 4 bytes
    out.push_back(0x04);                        // disposal 1 (leave in place), no transparency
    Word(out, frame.Delay);
    out.push_back(0);  // transparent colour index
    out.push_back(0);  // block terminator
    out.push_back(0x2C);  // image descriptor
    Word(out, 0);         // left
    Word(out, 0);         // top
    Word(out, 4);         // width
    Word(out, 4);         // height
    out.push_back(0);     // no local colour table, not interlaced
    out.push_back(2);     // LZW minimum code size
    const std::vector<std::uint8_t> data = gif_detail::SolidImageData(frame.ColorIndex);
    out.push_back(static_cast<std::uint8_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(0);  // end of the image data
  }
  out.push_back(0x3B);  // trailer
  return out;
}

}  // namespace plx::test
