// The pictures of the main window's layout: the generator reproduces the
// committed files byte for byte, and each is a BMP of the size and depth the
// layout gives it (title sections 126, 190, 125 x 36 at 24 bits; caption
// button pictures 20 x 20 at 32 bits).

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace plx {
namespace {

namespace fs = std::filesystem;

std::string ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path CommittedFolder() {
  const char* source = std::getenv("PLEXORIA_SOURCE_DIR");
  return fs::path(source ? source : ".") / "resources" / "layout";
}

std::uint32_t Le(const std::string& bytes, std::size_t offset, int size) {
  std::uint32_t value = 0;
  if (offset + static_cast<std::size_t>(size) > bytes.size()) return 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return value;
}

struct TExpected {
  const char* file;
  int width, height, bits;
};

const TExpected kPictures[] = {
    {"section_left.bmp", 126, 36, 24},
    {"section_client.bmp", 190, 36, 24},
    {"section_right.bmp", 125, 36, 24},
    {"button_controlbox_normal.bmp", 20, 20, 32},
    {"button_controlbox_mouseon.bmp", 20, 20, 32},
    {"button_controlbox_mousedown.bmp", 20, 20, 32},
    {"button_close_normal.bmp", 20, 20, 32},
    {"button_close_mouseon.bmp", 20, 20, 32},
    {"button_close_mousedown.bmp", 20, 20, 32},
    {"button_max_normal.bmp", 20, 20, 32},
    {"button_max_mouseon.bmp", 20, 20, 32},
    {"button_max_mousedown.bmp", 20, 20, 32},
    {"button_min_normal.bmp", 20, 20, 32},
    {"button_min_mouseon.bmp", 20, 20, 32},
    {"button_min_mousedown.bmp", 20, 20, 32},
};

TEST(LayoutPictures, GeneratorReproducesEveryCommittedFile) {
  const fs::path out = fs::temp_directory_path() /
                       ("plexoria_layout_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::create_directories(out);
  const std::string command = std::string("\"") + PLEXORIA_LAYOUTGEN + "\" \"" + out.string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  int generated = 0;
  for (const auto& entry : fs::directory_iterator(out)) {
    ++generated;
    const std::string committed = ReadWholeFile(CommittedFolder() / entry.path().filename());
    EXPECT_FALSE(committed.empty()) << entry.path().filename() << " is not committed";
    EXPECT_TRUE(committed == ReadWholeFile(entry.path())) << entry.path().filename() << " differs";
  }
  fs::remove_all(out);
  EXPECT_EQ(generated, static_cast<int>(std::size(kPictures)));
}

TEST(LayoutPictures, EachHasTheSizeAndDepthOfTheLayout) {
  for (const TExpected& p : kPictures) {
    SCOPED_TRACE(p.file);
    const std::string bmp = ReadWholeFile(CommittedFolder() / p.file);
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(Le(bmp, 18, 4), static_cast<std::uint32_t>(p.width));
    EXPECT_EQ(Le(bmp, 22, 4), static_cast<std::uint32_t>(p.height));
    EXPECT_EQ(Le(bmp, 28, 2), static_cast<std::uint32_t>(p.bits));
    const std::uint32_t stride = (static_cast<std::uint32_t>(p.width * p.bits / 8) + 3) & ~3u;
    EXPECT_EQ(bmp.size(), 54 + stride * static_cast<std::uint32_t>(p.height));
  }
}

}  // namespace
}  // namespace plx
