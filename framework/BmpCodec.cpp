#include "framework/BmpCodec.h"

#include <string>

namespace plx {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

[[noreturn]] void Fail(const std::string& what) { throw EInvalidGraphic("Bitmap image is not valid: " + what); }

// Every read goes through here: an offset outside the buffer is bad data.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::size_t Size() const { return size_; }
  bool Has(std::size_t offset, std::size_t count) const { return offset <= size_ && count <= size_ - offset; }
  std::uint8_t U8(std::size_t offset) const {
    Need(offset, 1);
    return data_[offset];
  }
  std::uint16_t U16(std::size_t offset) const {
    Need(offset, 2);
    return static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
  }
  std::uint32_t U32(std::size_t offset) const {
    Need(offset, 4);
    return static_cast<std::uint32_t>(data_[offset]) | (static_cast<std::uint32_t>(data_[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(data_[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(data_[offset + 3]) << 24);
  }
  std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
  const std::uint8_t* At(std::size_t offset, std::size_t count) const {
    Need(offset, count);
    return data_ + offset;
  }

 private:
  void Need(std::size_t offset, std::size_t count) const {
    if (!Has(offset, count)) Fail("the data ends too early");
  }
  const std::uint8_t* data_;
  std::size_t size_;
};

// One colour channel described by a bit mask, scaled to 8 bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(std::uint32_t m) : mask(m) {
    if (mask == 0) return;
    while (((mask >> shift) & 1u) == 0) ++shift;
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1u) != 0) ++bits;
  }
  std::uint32_t Extract(std::uint32_t value) const {
    if (bits == 0) return 0;
    // Bits of a non-contiguous mask beyond its first run are ignored.
    const std::uint32_t run = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    const std::uint32_t v = ((value & mask) >> shift) & run;
    if (bits >= 8) return v >> (bits - 8);
    const std::uint32_t max = (1u << bits) - 1;
    return (v * 255 + max / 2) / max;
  }
};

struct Layout {
  std::size_t header_size = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // rows; top_down tells the order
  bool top_down = false;
  unsigned bit_count = 0;
  std::uint32_t compression = kBiRgb;
  std::size_t palette_offset = 0;
  std::size_t palette_entries = 0;
  std::size_t palette_entry_size = 4;
  std::uint32_t masks[3] = {0, 0, 0};  // red, green, blue
  std::size_t masks_end = 0;           // where a palette or the pixels may start
};

Layout ReadHeader(const Reader& in, std::size_t at) {
  Layout l;
  l.header_size = in.U32(at);
  if (l.header_size == kCoreHeaderSize) {
    l.width = in.U16(at + 4);
    l.height = in.U16(at + 6);
    if (in.U16(at + 8) != 1) Fail("the plane count is not 1");
    l.bit_count = in.U16(at + 10);
    l.palette_entry_size = 3;
  } else if (l.header_size == kInfoHeaderSize || l.header_size == 52 || l.header_size == 56 ||
             l.header_size == 108 || l.header_size == 124) {
    if (!in.Has(at, l.header_size)) Fail("the data ends inside the header");
    l.width = in.I32(at + 4);
    const std::int64_t h = in.I32(at + 8);
    l.top_down = h < 0;
    l.height = h < 0 ? -h : h;
    if (in.U16(at + 12) != 1) Fail("the plane count is not 1");
    l.bit_count = in.U16(at + 14);
    l.compression = in.U32(at + 16);
    l.palette_entries = in.U32(at + 32);
  } else {
    Fail("unknown header size " + std::to_string(l.header_size));
  }
  if (l.width <= 0 || l.height <= 0) Fail("the width and height must be above 0");
  if (l.width * l.height > kMaxImagePixels) Fail("the image is too large");

  switch (l.bit_count) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: Fail("unsupported bit count " + std::to_string(l.bit_count));
  }
  if (l.compression == kBiBitfields) {
    if (l.bit_count != 16 && l.bit_count != 32) Fail("colour masks need 16 or 32 bits per pixel");
  } else if (l.compression != kBiRgb) {
    Fail("unsupported compression " + std::to_string(l.compression));
  }
  if (l.top_down && l.compression != kBiRgb && l.compression != kBiBitfields) Fail("a top-down image cannot be compressed");

  l.masks_end = at + l.header_size;
  if (l.compression == kBiBitfields) {
    // A 40-byte header is followed by the three masks; longer headers hold them.
    const std::size_t mask_at = at + kInfoHeaderSize;
    for (int i = 0; i < 3; ++i) l.masks[i] = in.U32(mask_at + 4 * static_cast<std::size_t>(i));
    if (l.header_size == kInfoHeaderSize) l.masks_end += 12;
  } else if (l.bit_count == 16) {
    l.masks[0] = 0x7C00, l.masks[1] = 0x03E0, l.masks[2] = 0x001F;
  } else if (l.bit_count == 32) {
    l.masks[0] = 0x00FF0000, l.masks[1] = 0x0000FF00, l.masks[2] = 0x000000FF;
  }

  if (l.bit_count <= 8) {
    const std::size_t max_entries = std::size_t{1} << l.bit_count;
    if (l.palette_entries == 0) l.palette_entries = max_entries;
    if (l.palette_entries > max_entries) Fail("the palette has more colours than the bit count allows");
  } else {
    // Colour tables of true-colour images are only rendering hints; skip them.
    l.palette_entries = 0;
  }
  l.palette_offset = l.masks_end;
  return l;
}

TDecodedImage DecodePixels(const Reader& in, const Layout& l, std::size_t bitsOffset) {
  // Each row is padded to a multiple of four bytes.
  const std::uint64_t stride = ((static_cast<std::uint64_t>(l.width) * l.bit_count + 31) / 32) * 4;
  const std::uint64_t bytes = stride * static_cast<std::uint64_t>(l.height);
  if (bitsOffset > in.Size() || bytes > in.Size() - bitsOffset) Fail("the pixel data is shorter than the image");

  std::uint32_t palette[256] = {};  // indices past the palette read black
  const std::size_t palette_bytes = l.palette_entries * l.palette_entry_size;
  if (!in.Has(l.palette_offset, palette_bytes)) Fail("the palette lies outside the data");
  for (std::size_t i = 0; i < l.palette_entries; ++i) {
    const std::uint8_t* e = in.At(l.palette_offset + i * l.palette_entry_size, 3);
    palette[i] = static_cast<std::uint32_t>(e[0]) | (static_cast<std::uint32_t>(e[1]) << 8) |
                 (static_cast<std::uint32_t>(e[2]) << 16);
  }
  const Channel red(l.masks[0]), green(l.masks[1]), blue(l.masks[2]);

  TDecodedImage image;
  image.width = static_cast<int>(l.width);
  image.height = static_cast<int>(l.height);
  image.pixels.resize(static_cast<std::size_t>(l.width * l.height));
  const std::size_t w = static_cast<std::size_t>(l.width);
  for (std::size_t row = 0; row < static_cast<std::size_t>(l.height); ++row) {
    const std::uint8_t* src = in.At(bitsOffset + row * stride, static_cast<std::size_t>(stride));
    const std::size_t y = l.top_down ? row : static_cast<std::size_t>(l.height) - 1 - row;
    std::uint32_t* dst = &image.pixels[y * w];
    for (std::size_t x = 0; x < w; ++x) {
      switch (l.bit_count) {
        case 1: dst[x] = palette[(src[x / 8] >> (7 - x % 8)) & 1]; break;
        case 4: dst[x] = palette[(src[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F]; break;
        case 8: dst[x] = palette[src[x]]; break;
        case 24:
          dst[x] = static_cast<std::uint32_t>(src[3 * x]) | (static_cast<std::uint32_t>(src[3 * x + 1]) << 8) |
                   (static_cast<std::uint32_t>(src[3 * x + 2]) << 16);
          break;
        case 16:
        case 32: {
          std::uint32_t v;
          if (l.bit_count == 16) {
            v = static_cast<std::uint32_t>(src[2 * x] | (src[2 * x + 1] << 8));
          } else {
            v = static_cast<std::uint32_t>(src[4 * x]) | (static_cast<std::uint32_t>(src[4 * x + 1]) << 8) |
                (static_cast<std::uint32_t>(src[4 * x + 2]) << 16) | (static_cast<std::uint32_t>(src[4 * x + 3]) << 24);
          }
          dst[x] = blue.Extract(v) | (green.Extract(v) << 8) | (red.Extract(v) << 16);
          break;
        }
      }
    }
  }
  return image;
}

}  // namespace

std::size_t BmpFileLength(const std::uint8_t* data, std::size_t size) {
  const Reader in(data, size);
  if (!in.Has(0, kFileHeaderSize) || in.U8(0) != 'B' || in.U8(1) != 'M') Fail("the \"BM\" signature is missing");
  const std::uint32_t length = in.U32(2);
  if (length == 0) return size;
  if (length < kFileHeaderSize + kCoreHeaderSize) Fail("the file length field is too small");
  if (length > size) Fail("the data ends before the length the file header gives");
  return length;
}

TDecodedImage DecodeBmpFile(const std::uint8_t* data, std::size_t size) {
  const Reader in(data, BmpFileLength(data, size));
  const Layout l = ReadHeader(in, kFileHeaderSize);
  const std::uint32_t bits_offset = in.U32(10);
  const std::size_t palette_end = l.palette_offset + l.palette_entries * l.palette_entry_size;
  if (bits_offset < l.masks_end) Fail("the pixel data offset points into the header");
  // Writers may leave gaps, but the palette must not overlap the pixels.
  if (l.palette_entries > 0 && bits_offset < palette_end) Fail("the pixel data offset points into the palette");
  return DecodePixels(in, l, bits_offset);
}

TDecodedImage DecodePackedDib(const std::uint8_t* data, std::size_t size) {
  const Reader in(data, size);
  const Layout l = ReadHeader(in, 0);
  return DecodePixels(in, l, l.palette_offset + l.palette_entries * l.palette_entry_size);
}

std::vector<std::uint8_t> EncodeBmp24(const TDecodedImage& image) {
  const std::size_t w = static_cast<std::size_t>(image.width), h = static_cast<std::size_t>(image.height);
  const std::size_t stride = (w * 3 + 3) / 4 * 4;
  const std::size_t bits_offset = kFileHeaderSize + kInfoHeaderSize;
  std::vector<std::uint8_t> out(bits_offset + stride * h, 0);
  auto put16 = [&](std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    put16(at, v);
    put16(at + 2, v >> 16);
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(out.size()));
  put32(10, static_cast<std::uint32_t>(bits_offset));
  put32(14, static_cast<std::uint32_t>(kInfoHeaderSize));
  put32(18, static_cast<std::uint32_t>(w));
  put32(22, static_cast<std::uint32_t>(h));  // positive: bottom-up rows
  put16(26, 1);
  put16(28, 24);
  put32(34, static_cast<std::uint32_t>(stride * h));
  put32(38, 2835);  // 72 dpi in pixels per metre
  put32(42, 2835);
  for (std::size_t y = 0; y < h; ++y) {
    std::uint8_t* row = &out[bits_offset + (h - 1 - y) * stride];
    for (std::size_t x = 0; x < w; ++x) {
      const std::uint32_t p = image.pixels[y * w + x];
      row[3 * x] = static_cast<std::uint8_t>(p);
      row[3 * x + 1] = static_cast<std::uint8_t>(p >> 8);
      row[3 * x + 2] = static_cast<std::uint8_t>(p >> 16);
    }
  }
  return out;
}

}  // namespace plx
