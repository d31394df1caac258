#include "tools/icon/IcoFileWriter.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <stdexcept>

namespace plx::icongen {

namespace {

void Put8(std::string& out, unsigned value) { out.push_back(static_cast<char>(value & 0xFF)); }
void Put16(std::string& out, unsigned value) {
  Put8(out, value);
  Put8(out, value >> 8);
}
void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}
void Put32BigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) Put8(out, value >> shift);
}

// Rows of DIBs are padded to whole 32-bit words.
std::size_t RowBytes(int width, int bitsPerPixel) { return (static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32 * 4; }

// In an icon the header's height counts the colour bits and the mask together.
void PutInfoHeader(std::string& out, const TRaster& picture, int bitsPerPixel) {
  const std::size_t imageBytes =
      (RowBytes(picture.Width(), bitsPerPixel) + RowBytes(picture.Width(), 1)) * picture.Height();
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(picture.Width()));
  Put32(out, static_cast<std::uint32_t>(picture.Height() * 2));
  Put16(out, 1);  // planes
  Put16(out, static_cast<unsigned>(bitsPerPixel));
  Put32(out, 0);  // BI_RGB
  Put32(out, static_cast<std::uint32_t>(imageBytes));
  Put32(out, 0);  // pixels per metre, x and y
  Put32(out, 0);
  Put32(out, 0);  // colours used: all the bit depth allows
  Put32(out, 0);  // important colours: all
}

// The AND mask, bottom-up like the colour bits: a set bit lets the
// background through.
void PutMask(std::string& out, const TRaster& picture, int minimumOpaqueAlpha) {
  const std::size_t rowBytes = RowBytes(picture.Width(), 1);
  for (int y = picture.Height() - 1; y >= 0; --y) {
    std::string row(rowBytes, '\0');
    for (int x = 0; x < picture.Width(); ++x)
      if (picture.At(x, y).a < minimumOpaqueAlpha) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
    out += row;
  }
}

constexpr int kPaletteOpaqueAlpha = 128;

std::uint32_t Key(TPixel p) { return (static_cast<std::uint32_t>(p.r) << 16) | (p.g << 8) | p.b; }

int Distance(std::uint32_t a, std::uint32_t b) {
  int sum = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    sum += d * d;
  }
  return sum;
}

// Entry 0 is black, the colour under transparent pixels; the others are the
// picture's most frequent opaque colours (ties broken by value, so the
// choice is the same every run). Colours that do not fit map to the nearest.
std::vector<std::uint32_t> ChoosePalette(const TRaster& picture) {
  std::map<std::uint32_t, int> counts;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if (picture.At(x, y).a >= kPaletteOpaqueAlpha) ++counts[Key(picture.At(x, y))];
  std::vector<std::pair<std::uint32_t, int>> byCount(counts.begin(), counts.end());
  std::stable_sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  std::vector<std::uint32_t> palette{0};
  for (const auto& [colour, count] : byCount) {
    if (palette.size() == 256) break;
    palette.push_back(colour);
  }
  return palette;
}

std::uint8_t NearestIndex(const std::vector<std::uint32_t>& palette, std::uint32_t colour) {
  std::size_t best = 1;
  for (std::size_t i = 1; i < palette.size(); ++i)
    if (Distance(palette[i], colour) < Distance(palette[best], colour)) best = i;
  return static_cast<std::uint8_t>(best);
}

void PutPngChunk(std::string& out, const char* type, const std::string& data) {
  Put32BigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::string typed = std::string(type, 4) + data;
  out += typed;
  Put32BigEndian(out, static_cast<std::uint32_t>(
                          crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// Each row with the PNG filter that leaves the smallest bytes (as signed
// values): a cheap heuristic that compresses well.
std::string FilteredRows(const TRaster& picture) {
  const std::size_t stride = static_cast<std::size_t>(picture.Width()) * 4;
  std::string previous(stride, '\0'), filtered;
  for (int y = 0; y < picture.Height(); ++y) {
    std::string row;
    for (int x = 0; x < picture.Width(); ++x) {
      const TPixel p = picture.At(x, y);
      row += {static_cast<char>(p.r), static_cast<char>(p.g), static_cast<char>(p.b), static_cast<char>(p.a)};
    }
    std::string best;
    long bestScore = -1;
    for (int filter = 0; filter <= 4; ++filter) {
      std::string candidate(1, static_cast<char>(filter));
      long score = 0;
      for (std::size_t i = 0; i < stride; ++i) {
        const int raw = static_cast<unsigned char>(row[i]);
        const int left = i >= 4 ? static_cast<unsigned char>(row[i - 4]) : 0;
        const int up = static_cast<unsigned char>(previous[i]);
        const int upLeft = i >= 4 ? static_cast<unsigned char>(previous[i - 4]) : 0;
        const int predicted = filter == 0 ? 0
                              : filter == 1 ? left
                              : filter == 2 ? up
                              : filter == 3 ? (left + up) / 2
                                            : Paeth(left, up, upLeft);
        const auto value = static_cast<std::uint8_t>(raw - predicted);
        candidate.push_back(static_cast<char>(value));
        score += value < 128 ? value : 256 - value;
      }
      if (bestScore < 0 || score < bestScore) {
        bestScore = score;
        best = std::move(candidate);
      }
    }
    filtered += best;
    previous = row;
  }
  return filtered;
}

}  // namespace

std::string EncodeDib8(const TRaster& picture) {
  const std::vector<std::uint32_t> palette = ChoosePalette(picture);
  std::string out;
  PutInfoHeader(out, picture, 8);
  for (std::size_t i = 0; i < 256; ++i) Put32(out, i < palette.size() ? palette[i] : 0);  // RGBQUAD: B, G, R, 0
  std::map<std::uint32_t, std::uint8_t> indexOf;
  const std::size_t rowBytes = RowBytes(picture.Width(), 8);
  for (int y = picture.Height() - 1; y >= 0; --y) {
    std::string row(rowBytes, '\0');
    for (int x = 0; x < picture.Width(); ++x) {
      const TPixel p = picture.At(x, y);
      if (p.a < kPaletteOpaqueAlpha) continue;
      const auto found = indexOf.try_emplace(Key(p), 0);
      if (found.second) found.first->second = NearestIndex(palette, Key(p));
      row[x] = static_cast<char>(found.first->second);
    }
    out += row;
  }
  PutMask(out, picture, kPaletteOpaqueAlpha);
  return out;
}

std::string EncodeDib32(const TRaster& picture) {
  std::string out;
  PutInfoHeader(out, picture, 32);
  for (int y = picture.Height() - 1; y >= 0; --y)
    for (int x = 0; x < picture.Width(); ++x) {
      const TPixel p = picture.At(x, y);
      out += {static_cast<char>(p.b), static_cast<char>(p.g), static_cast<char>(p.r), static_cast<char>(p.a)};
    }
  // Only fully clear pixels are masked out: where alpha is ignored, every
  // visible pixel then shows rather than being XORed onto the background.
  PutMask(out, picture, 1);
  return out;
}

std::string EncodePng(const TRaster& picture) {
  const std::string raw = FilteredRows(picture);
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
    throw std::runtime_error("zlib could not compress the PNG image");
  packed.resize(packedSize);

  std::string header;
  Put32BigEndian(header, static_cast<std::uint32_t>(picture.Width()));
  Put32BigEndian(header, static_cast<std::uint32_t>(picture.Height()));
  header += {8, 6, 0, 0, 0};  // 8 bits per channel, RGBA, deflate, adaptive filters, no interlace

  std::string out("\x89PNG\r\n\x1a\n", 8);
  PutPngChunk(out, "IHDR", header);
  PutPngChunk(out, "IDAT", packed);
  PutPngChunk(out, "IEND", "");
  return out;
}

std::string BuildIcoFile(const std::vector<TIconImage>& images) {
  std::vector<std::string> encoded;
  for (const TIconImage& image : images) {
    switch (image.format) {
      case TIconFormat::Palette8: encoded.push_back(EncodeDib8(*image.picture)); break;
      case TIconFormat::Bgra32: encoded.push_back(EncodeDib32(*image.picture)); break;
      case TIconFormat::Png32: encoded.push_back(EncodePng(*image.picture)); break;
    }
  }
  std::string out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // an icon, not a cursor
  Put16(out, static_cast<unsigned>(images.size()));
  std::size_t offset = 6 + 16 * images.size();
  for (std::size_t i = 0; i < images.size(); ++i) {
    const TRaster& picture = *images[i].picture;
    // Width and height are one byte each: 0 stands for 256.
    Put8(out, picture.Width() & 0xFF);
    Put8(out, picture.Height() & 0xFF);
    Put8(out, 0);  // colour count: 0 for 256 colours and more
    Put8(out, 0);  // reserved
    Put16(out, 1);  // planes
    Put16(out, images[i].format == TIconFormat::Palette8 ? 8 : 32);
    Put32(out, static_cast<std::uint32_t>(encoded[i].size()));
    Put32(out, static_cast<std::uint32_t>(offset));
    offset += encoded[i].size();
  }
  for (const std::string& bytes : encoded) out += bytes;
  return out;
}

}  // namespace plx::icongen
