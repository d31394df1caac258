// The committed icon file: the generator reproduces it byte for byte, and it
// holds the program's seven images in order, each well formed, transparent
// at its corner and opaque in its centre.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace plx {
namespace {

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::filesystem::path CommittedIcon() {
  const char* source = std::getenv("PLEXORIA_SOURCE_DIR");
  return std::filesystem::path(source ? source : ".") / "resources" / "icon" / "plexoria.ico";
}

// Reads little- and big-endian fields; a read past the end fails the test
// and answers 0 rather than touching memory it should not.
class TReader {
 public:
  explicit TReader(const std::string& bytes) : bytes_(bytes) {}
  std::uint32_t Le(std::size_t offset, int size) const {
    std::uint32_t value = 0;
    if (!Has(offset, size)) return 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes_[offset + i]);
    return value;
  }
  std::uint32_t Be32(std::size_t offset) const {
    std::uint32_t value = 0;
    if (!Has(offset, 4)) return 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes_[offset + i]);
    return value;
  }
  bool Has(std::size_t offset, std::size_t size) const {
    const bool inside = offset <= bytes_.size() && size <= bytes_.size() - offset;
    EXPECT_TRUE(inside) << "read of " << size << " bytes at " << offset << " past the end " << bytes_.size();
    return inside;
  }

 private:
  const std::string& bytes_;
};

struct TImage {
  int size;
  int bitsPerPixel;
  std::string bytes;
};

std::vector<TImage> ReadDirectory(const std::string& file) {
  const TReader reader(file);
  EXPECT_EQ(reader.Le(0, 2), 0u);  // reserved
  EXPECT_EQ(reader.Le(2, 2), 1u);  // icon
  std::vector<TImage> images;
  const std::uint32_t count = reader.Le(4, 2);
  for (std::uint32_t i = 0; i < count && reader.Has(6 + 16 * i, 16); ++i) {
    const std::size_t entry = 6 + 16 * i;
    const int width = reader.Le(entry, 1) == 0 ? 256 : static_cast<int>(reader.Le(entry, 1));
    const int height = reader.Le(entry + 1, 1) == 0 ? 256 : static_cast<int>(reader.Le(entry + 1, 1));
    EXPECT_EQ(width, height) << "image " << i;
    EXPECT_EQ(reader.Le(entry + 4, 2), 1u) << "planes of image " << i;
    const std::uint32_t size = reader.Le(entry + 8, 4), offset = reader.Le(entry + 12, 4);
    if (!reader.Has(offset, size)) break;
    images.push_back({width, static_cast<int>(reader.Le(entry + 6, 2)), file.substr(offset, size)});
  }
  return images;
}

// A decoded image, top row first: alpha 0..255 and the colour.
struct TPixels {
  int size = 0;
  std::vector<std::uint8_t> alpha;
  std::vector<std::uint32_t> rgb;
  std::uint8_t AlphaAt(int x, int y) const { return alpha[static_cast<std::size_t>(y) * size + x]; }
  std::uint32_t RgbAt(int x, int y) const { return rgb[static_cast<std::size_t>(y) * size + x]; }
};

// Colour bits (8 with palette, or 32 with alpha) then the AND mask, both
// bottom-up with rows padded to four bytes.
TPixels DecodeDib(const TImage& image) {
  const TReader reader(image.bytes);
  const int n = image.size, bits = image.bitsPerPixel;
  EXPECT_EQ(reader.Le(0, 4), 40u);
  EXPECT_EQ(static_cast<int>(reader.Le(4, 4)), n);
  EXPECT_EQ(static_cast<int>(reader.Le(8, 4)), 2 * n) << "colour and mask heights";
  EXPECT_EQ(static_cast<int>(reader.Le(14, 2)), bits);
  EXPECT_EQ(reader.Le(16, 4), 0u) << "uncompressed";
  const std::size_t palette = bits == 8 ? 256 * 4 : 0;
  const std::size_t colourRow = (static_cast<std::size_t>(n) * bits + 31) / 32 * 4, maskRow = (n + 31) / 32 * 4;
  EXPECT_EQ(image.bytes.size(), 40 + palette + (colourRow + maskRow) * n);
  TPixels pixels{n, std::vector<std::uint8_t>(n * n), std::vector<std::uint32_t>(n * n)};
  if (image.bytes.size() != 40 + palette + (colourRow + maskRow) * n) return pixels;
  for (int y = 0; y < n; ++y) {
    const std::size_t colours = 40 + palette + colourRow * (n - 1 - y);
    const std::size_t mask = 40 + palette + colourRow * n + maskRow * (n - 1 - y);
    for (int x = 0; x < n; ++x) {
      const bool masked = reader.Le(mask + x / 8, 1) & (0x80 >> (x % 8));
      std::uint32_t bgra = bits == 32 ? reader.Le(colours + 4 * x, 4) : reader.Le(40 + 4 * reader.Le(colours + x, 1), 4);
      if (bits == 32) {
        // Only fully clear pixels are masked.
        EXPECT_EQ(masked, (bgra >> 24) == 0) << x << "," << y;
      } else {
        bgra = (bgra & 0xFFFFFF) | (masked ? 0 : 0xFF000000u);
      }
      pixels.alpha[y * n + x] = static_cast<std::uint8_t>(bgra >> 24);
      pixels.rgb[y * n + x] = bgra & 0xFFFFFF;
    }
  }
  return pixels;
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// An 8-bit RGBA PNG: chunk checksums verified, rows inflated and unfiltered.
TPixels DecodePng(const TImage& image) {
  const TReader reader(image.bytes);
  EXPECT_EQ(image.bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  std::string packed;
  int width = 0, height = 0;
  for (std::size_t at = 8; at < image.bytes.size();) {
    const std::uint32_t length = reader.Be32(at);
    if (!reader.Has(at + 8, length + 4)) break;
    const std::string typed = image.bytes.substr(at + 4, 4 + length);
    EXPECT_EQ(reader.Be32(at + 8 + length),
              crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size())))
        << typed.substr(0, 4);
    if (typed.compare(0, 4, "IHDR") == 0) {
      width = static_cast<int>(reader.Be32(at + 8));
      height = static_cast<int>(reader.Be32(at + 12));
      EXPECT_EQ(typed.substr(12), std::string("\x08\x06\0\0\0", 5)) << "8-bit RGBA, no interlace";
    }
    if (typed.compare(0, 4, "IDAT") == 0) packed += typed.substr(4);
    at += 12 + length;
  }
  EXPECT_EQ(width, image.size);
  EXPECT_EQ(height, image.size);
  const std::size_t stride = static_cast<std::size_t>(image.size) * 4;
  std::string raw((stride + 1) * image.size + 1, '\0');  // one spare byte catches overlong data
  uLongf rawSize = static_cast<uLongf>(raw.size());
  EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawSize, reinterpret_cast<const Bytef*>(packed.data()),
                       static_cast<uLong>(packed.size())),
            Z_OK);
  EXPECT_EQ(rawSize, (stride + 1) * image.size);
  TPixels pixels{image.size, std::vector<std::uint8_t>(image.size * image.size),
                 std::vector<std::uint32_t>(image.size * image.size)};
  if (rawSize != (stride + 1) * image.size) return pixels;
  std::vector<std::uint8_t> previous(stride), row(stride);
  for (int y = 0; y < image.size; ++y) {
    const int filter = static_cast<unsigned char>(raw[y * (stride + 1)]);
    EXPECT_LE(filter, 4);
    for (std::size_t i = 0; i < stride; ++i) {
      const int left = i >= 4 ? row[i - 4] : 0, up = previous[i], upLeft = i >= 4 ? previous[i - 4] : 0;
      const int predicted = filter == 1 ? left : filter == 2 ? up : filter == 3 ? (left + up) / 2
                            : filter == 4 ? Paeth(left, up, upLeft) : 0;
      row[i] = static_cast<std::uint8_t>(static_cast<unsigned char>(raw[y * (stride + 1) + 1 + i]) + predicted);
    }
    for (int x = 0; x < image.size; ++x) {
      pixels.alpha[y * image.size + x] = row[4 * x + 3];
      pixels.rgb[y * image.size + x] = row[4 * x] << 16 | row[4 * x + 1] << 8 | row[4 * x + 2];
    }
    previous = row;
  }
  return pixels;
}

// The generator's icon against the committed one: the same images with the
// same pixels. The PNG image's compressed bytes are whatever the machine's
// zlib makes of them, so its pixels are compared instead.
TEST(IconFile, GeneratorReproducesTheCommittedImages) {
  const std::filesystem::path generated =
      std::filesystem::temp_directory_path() / ("plexoria_icon_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".ico");
  const std::string command = std::string("\"") + PLEXORIA_ICONGEN + "\" \"" + generated.string() + "\" > /dev/null";
  const int status = std::system(command.c_str());
  const std::string bytes = ReadWholeFile(generated);
  std::filesystem::remove(generated);
  ASSERT_EQ(status, 0);
  const std::string committed = ReadWholeFile(CommittedIcon());
  ASSERT_FALSE(committed.empty());
  const std::vector<TImage> fresh_images = ReadDirectory(bytes), committed_images = ReadDirectory(committed);
  ASSERT_EQ(fresh_images.size(), committed_images.size()) << "run plexoria_icongen resources/icon/plexoria.ico";
  for (std::size_t i = 0; i < fresh_images.size(); ++i) {
    const TImage& fresh = fresh_images[i];
    const TImage& kept = committed_images[i];
    SCOPED_TRACE("image " + std::to_string(i) + " of " + std::to_string(fresh.size) + " pixels");
    EXPECT_EQ(fresh.size, kept.size);
    EXPECT_EQ(fresh.bitsPerPixel, kept.bitsPerPixel);
    const bool png = kept.bytes.compare(0, 4, "\x89PNG") == 0;
    EXPECT_EQ(fresh.bytes.compare(0, 4, "\x89PNG") == 0, png);
    if (!png) {
      EXPECT_TRUE(fresh.bytes == kept.bytes) << "run plexoria_icongen resources/icon/plexoria.ico";
      continue;
    }
    const TPixels a = DecodePng(fresh), b = DecodePng(kept);
    EXPECT_TRUE(a.alpha == b.alpha && a.rgb == b.rgb) << "run plexoria_icongen resources/icon/plexoria.ico";
  }
}

TEST(IconFile, HoldsSevenImagesInOrderEachTransparentAtTheCornerAndOpaqueInTheCentre) {
  const std::string file = ReadWholeFile(CommittedIcon());
  ASSERT_FALSE(file.empty());
  const std::vector<TImage> images = ReadDirectory(file);
  const struct {
    int size, bitsPerPixel;
  } expected[] = {{16, 8}, {32, 8}, {16, 32}, {32, 32}, {48, 32}, {128, 32}, {256, 32}};
  ASSERT_EQ(images.size(), std::size(expected));
  for (std::size_t i = 0; i < images.size(); ++i) {
    SCOPED_TRACE("image " + std::to_string(i) + " of " + std::to_string(images[i].size) + " pixels");
    EXPECT_EQ(images[i].size, expected[i].size);
    EXPECT_EQ(images[i].bitsPerPixel, expected[i].bitsPerPixel);
    const bool png = images[i].bytes.compare(0, 4, "\x89PNG") == 0;
    const TPixels pixels = png ? DecodePng(images[i]) : DecodeDib(images[i]);
    if (pixels.size != expected[i].size) continue;
    const int centre = pixels.size / 2;
    EXPECT_EQ(pixels.AlphaAt(0, 0), 0);
    EXPECT_EQ(pixels.AlphaAt(centre, centre), 255);
    // The centre lies on the front card, whose tints keep red at full strength.
    EXPECT_GE(pixels.RgbAt(centre, centre) >> 16, 0xC0u);
    int clear = 0;
    for (std::uint8_t alpha : pixels.alpha) clear += alpha == 0;
    EXPECT_GT(clear, 0);
    EXPECT_LT(clear, pixels.size * pixels.size / 3) << "the cards fill most of the image";
  }
}

}  // namespace
}  // namespace plx
