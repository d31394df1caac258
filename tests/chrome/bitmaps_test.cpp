// The committed caption-button bitmaps: the generator reproduces them byte
// for byte, and each has the size, depth and transparent magenta the caption
// buttons rely on.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace plx {
namespace {

const char* const kFiles[] = {"accb_topmost_up.bmp", "accb_topmost_down.bmp", "accb_xp_blue.bmp",
                              "accb_xp_green.bmp",   "accb_xp_red.bmp",       "accb_xp_yellow.bmp",
                              "accb_xp_brown.bmp"};

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::filesystem::path Committed(const std::string& name) {
  const char* source = std::getenv("PLEXORIA_SOURCE_DIR");
  return std::filesystem::path(source ? source : ".") / "resources" / "chrome" / name;
}

std::uint32_t Le(const std::string& bytes, std::size_t offset, int size) {
  std::uint32_t value = 0;
  if (offset + static_cast<std::size_t>(size) > bytes.size()) {
    ADD_FAILURE() << "read past the end at " << offset;
    return 0;
  }
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return value;
}

// The colour (0xRRGGBB) of pixel (x, y), y counted from the top, of a
// bottom-up 4- or 24-bit BMP.
std::uint32_t PixelAt(const std::string& bmp, int x, int y) {
  const int width = static_cast<int>(Le(bmp, 18, 4)), height = static_cast<int>(Le(bmp, 22, 4));
  const int bits = static_cast<int>(Le(bmp, 28, 2));
  const std::size_t row = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  const std::size_t line = Le(bmp, 10, 4) + row * static_cast<std::size_t>(height - 1 - y);
  if (bits == 24) return Le(bmp, line + static_cast<std::size_t>(x) * 3, 3);
  const std::uint32_t packed = Le(bmp, line + static_cast<std::size_t>(x / 2), 1);
  const std::uint32_t index = x % 2 == 0 ? packed >> 4 : packed & 0x0F;
  return Le(bmp, 54 + 4 * index, 3);  // palette entry: blue, green, red
}

TEST(CaptionButtonBitmapsTest, GeneratorReproducesTheCommittedFiles) {
  const std::filesystem::path directory =
      std::filesystem::temp_directory_path() /
      ("plexoria_captiongen_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
       std::to_string(std::rand()));
  std::filesystem::create_directories(directory);
  const std::string command = std::string("\"") + PLEXORIA_CAPTIONGEN + "\" \"" + directory.string() + "\" > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : kFiles) {
    SCOPED_TRACE(name);
    const std::string committed = ReadWholeFile(Committed(name));
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(ReadWholeFile(directory / name) == committed) << "regenerate with plexoria_captiongen";
  }
  std::filesystem::remove_all(directory);
}

TEST(CaptionButtonBitmapsTest, PinsAre12By11With16ColoursOnMagenta) {
  for (const char* name : {"accb_topmost_up.bmp", "accb_topmost_down.bmp"}) {
    SCOPED_TRACE(name);
    const std::string bmp = ReadWholeFile(Committed(name));
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(Le(bmp, 2, 4), bmp.size());
    EXPECT_EQ(Le(bmp, 18, 4), 12u);
    EXPECT_EQ(Le(bmp, 22, 4), 11u);
    EXPECT_EQ(Le(bmp, 28, 2), 4u);
    EXPECT_EQ(PixelAt(bmp, 0, 0), 0xFF00FFu) << "the top-left pixel is the transparent colour";
    // Drawn only in black, grey, light grey and white besides the background,
    // and something is drawn.
    int drawn = 0;
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 12; ++x) {
        const std::uint32_t c = PixelAt(bmp, x, y);
        EXPECT_TRUE(c == 0xFF00FF || c == 0 || c == 0x808080 || c == 0xC0C0C0 || c == 0xFFFFFF)
            << std::hex << c << " at " << x << "," << y;
        drawn += c != 0xFF00FF;
      }
    EXPECT_GT(drawn, 20);
  }
}

TEST(CaptionButtonBitmapsTest, FacesAre16By16WithAWhiteRimAndMagentaCorners) {
  for (const char* name : kFiles) {
    if (std::string(name).find("xp_") == std::string::npos) continue;
    SCOPED_TRACE(name);
    const std::string bmp = ReadWholeFile(Committed(name));
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(Le(bmp, 18, 4), 16u);
    EXPECT_EQ(Le(bmp, 22, 4), 16u);
    EXPECT_EQ(Le(bmp, 28, 2), 24u);
    for (auto [x, y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}}) EXPECT_EQ(PixelAt(bmp, x, y), 0xFF00FFu);
    EXPECT_EQ(PixelAt(bmp, 7, 0), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(bmp, 0, 7), 0xFFFFFFu);
    // Light at the top left, darker toward the bottom right, in every channel.
    const std::uint32_t light = PixelAt(bmp, 1, 1), dark = PixelAt(bmp, 14, 14);
    for (int shift : {0, 8, 16}) EXPECT_GT((light >> shift) & 0xFF, (dark >> shift) & 0xFF);
  }
}

}  // namespace
}  // namespace plx
