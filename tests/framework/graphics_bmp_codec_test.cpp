#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "framework/BmpCodec.h"
#include "tests/framework/graphics_bmp_builder.h"

namespace plx {
namespace {

using test::BmpSpec;
using test::BuildBmp;
using test::MakeSpec;

constexpr std::uint32_t K = 0x000000, W = 0xFFFFFF, R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, Gray = 0x808080;
const std::vector<std::uint32_t> kPalette = {K, R, G, B, W, Gray};

struct DecodeCase {
  const char* name;
  BmpSpec spec;
  std::vector<std::uint32_t> expected;  // 3 x 2, top row first
};

std::vector<DecodeCase> DecodeCases() {
  const std::vector<std::uint32_t> colours = {R, G, B, W, K, Gray};
  auto with = [](BmpSpec s, int bpp, std::vector<std::uint32_t> raw) {
    s.bpp = bpp;
    s.raw = std::move(raw);
    return s;
  };
  BmpSpec paletted;
  paletted.palette = kPalette;
  BmpSpec bitfields;
  bitfields.compression = 3;

  std::vector<DecodeCase> cases = {
      {"1bpp", MakeSpec(1, {K, W}, {1, 0, 1, 0, 1, 1}), {W, K, W, K, W, W}},
      {"4bpp", with(paletted, 4, {1, 2, 3, 4, 0, 5}), colours},
      {"8bpp", with(paletted, 8, {1, 2, 3, 4, 0, 5}), colours},
      // 5-5-5 without masks; 16 of 31 scales to 132.
      {"16bpp 555", with({}, 16, {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0, 0x4210}), {R, G, B, W, K, 0x848484}},
      {"24bpp", with({}, 24, colours), colours},
      // The alpha byte of BI_RGB 32-bit pixels carries nothing.
      {"32bpp", with({}, 32, {0xAA000000 | R, G, B, W, K, Gray}), colours},
  };
  BmpSpec topDown = paletted;
  topDown.top_down = true;
  cases.push_back({"8bpp top-down", with(topDown, 8, {1, 2, 3, 4, 0, 5}), colours});
  topDown.palette.clear();
  cases.push_back({"24bpp top-down", with(topDown, 24, colours), colours});

  bitfields.masks = {0xF800, 0x07E0, 0x001F};  // 5-6-5: green 32 of 63 scales to 130
  cases.push_back({"16bpp 565 masks", with(bitfields, 16, {0xF800, 0x07E0, 0x001F, 0xFFFF, 0, 0x8410}),
                   {R, G, B, W, K, 0x848284}});
  bitfields.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // red in the low byte
  cases.push_back({"32bpp masks", with(bitfields, 32, {0xFF, 0xFF00, 0xFF0000, 0xFFFFFF, 0, 0x808080}), colours});
  BmpSpec v5 = bitfields;
  v5.header_size = 124;  // masks inside the header
  cases.push_back({"32bpp masks in a v5 header", with(v5, 32, {0xFF, 0xFF00, 0xFF0000, 0xFFFFFF, 0, 0x808080}), colours});

  BmpSpec core = paletted;
  core.header_size = 12;  // 3-byte palette entries, no colour count: always 2^bpp of them
  core.palette.resize(256, W);
  cases.push_back({"core header 8bpp", with(core, 8, {1, 2, 3, 4, 0, 5}), colours});
  core.palette.clear();
  cases.push_back({"core header 24bpp", with(core, 24, colours), colours});
  return cases;
}

TEST(BmpCodec, DecodesEveryUncompressedFormat) {
  for (const DecodeCase& c : DecodeCases()) {
    SCOPED_TRACE(c.name);
    const std::vector<std::uint8_t> file = BuildBmp(c.spec);
    const TDecodedImage image = DecodeBmpFile(file.data(), file.size());
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels, c.expected);

    // The same image as a resource stores it: no file header.
    const std::vector<std::uint8_t> packed = BuildBmp(c.spec, false);
    EXPECT_EQ(DecodePackedDib(packed.data(), packed.size()).pixels, c.expected);
  }
}

TEST(BmpCodec, RowsArePaddedToFourBytes) {
  // 9 pixels of 1 bit need 2 bytes per row, padded to 4; a decoder that
  // forgets the padding reads the second row from the first row's pad bytes.
  const std::uint8_t file[] = {
      'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,  // file header: length 70, pixels at 62
      40, 0, 0, 0,                                      // header size
      9, 0, 0, 0, 2, 0, 0, 0,                           // 9 x 2, bottom-up
      1, 0, 1, 0,                                       // planes, 1 bit per pixel
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   // BI_RGB, size, resolution
      2, 0, 0, 0, 0, 0, 0, 0,                           // 2 colours
      0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0,                  // black, white
      0x80, 0x80, 0xFF, 0xFF,                           // bottom row: x = 0 and x = 8 white
      0x00, 0x00, 0x00, 0x00,                           // top row: black
  };
  const TDecodedImage image = DecodeBmpFile(file, sizeof file);
  ASSERT_EQ(image.pixels.size(), 18u);
  for (int x = 0; x < 9; ++x) EXPECT_EQ(image.pixels[x], K) << "top row x=" << x;
  for (int x = 0; x < 9; ++x) EXPECT_EQ(image.pixels[9 + x], (x == 0 || x == 8) ? W : K) << "bottom row x=" << x;
}

TEST(BmpCodec, PaletteIndexBeyondTheColoursUsedReadsBlack) {
  const BmpSpec s = MakeSpec(8, {W, W}, {1, 200, 255, 0, 2, 1});
  const std::vector<std::uint8_t> file = BuildBmp(s);
  EXPECT_EQ(DecodeBmpFile(file.data(), file.size()).pixels, (std::vector<std::uint32_t>{W, K, K, W, K, W}));
}

TEST(BmpCodec, ZeroFileLengthMeansToTheEnd) {
  std::vector<std::uint8_t> file = BuildBmp(MakeSpec(24, {}, {R, G, B, W, K, Gray}));
  test::ByteWriter w{file};
  w.Put32(2, 0);
  EXPECT_EQ(BmpFileLength(w.bytes.data(), w.bytes.size()), w.bytes.size());
  EXPECT_EQ(DecodeBmpFile(w.bytes.data(), w.bytes.size()).pixels.size(), 6u);
}

TEST(BmpCodec, RejectsBadDataWithAMessage) {
  const std::vector<std::uint8_t> good = BuildBmp(MakeSpec(24, {}, {R, G, B, W, K, Gray}));
  ASSERT_NO_THROW(DecodeBmpFile(good.data(), good.size()));
  struct Case {
    const char* name;
    std::size_t offset;  // where the field is patched (SIZE_MAX: truncate instead)
    std::uint32_t value;
    const char* message;
  };
  const Case cases[] = {
      {"signature", 0, 0x4D42 ^ 0x0101, "signature"},
      {"file length beyond the data", 2, 1000, "ends before the length"},
      {"file length too small", 2, 20, "too small"},
      {"pixel offset beyond the end", 10, 0x7FFFFFF0, "shorter than the image"},
      {"pixel offset inside the header", 10, 20, "into the header"},
      {"header size", 14, 20, "unknown header size"},
      {"zero width", 18, 0, "width and height"},
      {"negative width", 18, static_cast<std::uint32_t>(-3), "width and height"},
      {"zero height", 22, 0, "width and height"},
      {"most negative height", 22, static_cast<std::uint32_t>(INT_MIN), "too large"},
      {"huge image", 18, 0x40000000, "too large"},
      {"planes", 26, 2 | (24u << 16), "plane"},
      {"bit count", 28, 7, "bit count"},
      {"RLE compression", 30, 1, "compression"},
      {"masks on 24 bits", 30, 3, "masks"},
      {"truncated pixels", SIZE_MAX, 0, "ends before"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ByteWriter w{good};
    if (c.offset == SIZE_MAX) {
      w.bytes.resize(w.bytes.size() - 1);
    } else if (c.name == std::string("signature") || c.name == std::string("bit count")) {
      w.bytes[c.offset] = static_cast<std::uint8_t>(c.value);
      w.bytes[c.offset + 1] = static_cast<std::uint8_t>(c.value >> 8);
    } else {
      w.Put32(c.offset, c.value);
    }
    try {
      DecodeBmpFile(w.bytes.data(), w.bytes.size());
      ADD_FAILURE() << "accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
    }
  }
}

TEST(BmpCodec, RejectsPalettesLargerThanTheBitCountAndPalettesOverlappingPixels) {
  BmpSpec s = MakeSpec(1, {K, W, R}, {0, 1, 0, 1, 0, 1});
  std::vector<std::uint8_t> file = BuildBmp(s);
  EXPECT_THROW(DecodeBmpFile(file.data(), file.size()), EInvalidGraphic);

  s.palette = {K, W};
  test::ByteWriter w{BuildBmp(s)};
  w.Put32(10, 14 + 40 + 4);  // pixels said to start inside the second colour
  EXPECT_THROW(DecodeBmpFile(w.bytes.data(), w.bytes.size()), EInvalidGraphic);
}

TEST(BmpCodec, TruncatedPackedDibIsRejected) {
  const std::vector<std::uint8_t> packed = BuildBmp(MakeSpec(24, {}, {R, G, B, W, K, Gray}), false);
  for (std::size_t size : {std::size_t{0}, std::size_t{3}, std::size_t{39}, packed.size() - 1}) {
    SCOPED_TRACE(size);
    EXPECT_THROW(DecodePackedDib(packed.data(), size), EInvalidGraphic);
  }
}

TEST(BmpCodec, EncodedFileDecodesToTheSamePixels) {
  TDecodedImage image{.width = 3, .height = 2, .pixels = {R, G, B, W, K, 0x123456}};
  const std::vector<std::uint8_t> file = EncodeBmp24(image);
  EXPECT_EQ(file.size(), 14u + 40u + 2u * 12u);  // rows of 9 bytes padded to 12
  const TDecodedImage back = DecodeBmpFile(file.data(), file.size());
  EXPECT_EQ(back.width, 3);
  EXPECT_EQ(back.height, 2);
  EXPECT_EQ(back.pixels, image.pixels);
}

}  // namespace
}  // namespace plx
