// The committed pictures of the built-in styles: the generator reproduces
// every file and the resource script byte for byte, and each picture has the
// size and frame count its style uses, on a see-through magenta where a
// strip's frames have round corners.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

namespace plx {
namespace {

namespace fs = std::filesystem;

std::string ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path Resources() {
  const char* source = std::getenv("PLEXORIA_SOURCE_DIR");
  return fs::path(source ? source : ".") / "resources";
}

std::uint32_t Le32(const std::string& bytes, std::size_t offset) {
  if (offset + 4 > bytes.size()) return 0;
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return value;
}

struct TSize {
  int width, height;
};

// Width and height of each picture, by resource name.
const std::map<std::string, TSize>& ExpectedSizes() {
  static const std::map<std::string, TSize> sizes = [] {
    std::map<std::string, TSize> m;
    const char* styles[] = {"MACOS", "WINXP", "DEEPBLUE", "PROTEIN", "BLUEGLASS"};
    const struct {
      const char* part;
      TSize size[5];  // {0, 0}: the style has none
    } parts[] = {
        {"_BUTTON", {{252, 23}, {54, 21}, {222, 21}, {222, 21}, {231, 27}}},
        {"_CHECKBOX", {{60, 17}, {52, 13}, {52, 13}, {52, 13}, {52, 13}}},
        {"_CHECKLIST", {{40, 11}, {44, 11}, {44, 11}, {44, 11}, {44, 11}}},
        {"_COMBOBOX_BUTTON", {{16, 17}, {16, 18}, {0, 0}, {0, 0}, {0, 0}}},
        {"_FORM_BACKGROUND", {{8, 8}, {0, 0}, {0, 0}, {8, 8}, {0, 0}}},
        {"_MENU_BAR", {{1, 22}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}},
        {"_MENU_SELECT", {{1, 21}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}},
        {"_PROGRESSBAR", {{13, 10}, {6, 10}, {1, 10}, {1, 10}, {1, 10}}},
        {"_RADIOBUTTON", {{64, 17}, {52, 13}, {52, 13}, {52, 13}, {52, 13}}},
        {"_SCROLLBAR_BUTTON", {{96, 22}, {96, 17}, {96, 16}, {96, 16}, {102, 16}}},
        {"_SCROLLBAR_TRACK", {{33, 16}, {21, 16}, {21, 16}, {21, 16}, {21, 16}}},
        {"_SCROLLBUTTON", {{72, 18}, {72, 18}, {0, 0}, {0, 0}, {0, 0}}},
        {"_SIDECHENNEL_BAR", {{1, 21}, {1, 21}, {1, 20}, {1, 21}, {1, 21}}},
        {"_SIDECHENNEL_HANDLE", {{7, 84}, {8, 86}, {8, 83}, {8, 83}, {8, 86}}},
        {"_TAB", {{36, 27}, {18, 18}, {12, 17}, {18, 17}, {18, 17}}},
        {"_TAB_LINE", {{17, 7}, {8, 1}, {5, 5}, {10, 5}, {10, 5}}},
        {"_TITLEBTN", {{306, 17}, {378, 21}, {342, 19}, {342, 19}, {342, 19}}},
        {"_TITLE_CLIENT", {{49, 23}, {37, 29}, {98, 32}, {1, 23}, {179, 33}}},
        {"_TITLE_LEFT", {{48, 23}, {35, 29}, {97, 32}, {441, 23}, {162, 33}}},
        {"_TITLE_RIGHT", {{48, 23}, {35, 29}, {97, 32}, {1, 23}, {101, 33}}},
        {"_TRACKBAR_BAR", {{45, 5}, {45, 8}, {45, 4}, {45, 4}, {45, 4}}},
        {"_TRACKBAR_SLIDER", {{11, 20}, {11, 21}, {11, 20}, {11, 20}, {11, 20}}},
        {"_TRACKBAR_SLIDER_V", {{19, 11}, {22, 11}, {18, 11}, {18, 11}, {18, 11}}},
    };
    for (const auto& part : parts)
      for (int s = 0; s < 5; ++s)
        if (part.size[s].width > 0) m[std::string(styles[s]) + part.part] = part.size[s];
    m["MORE_SCROLLBUTTON"] = {72, 17};
    return m;
  }();
  return sizes;
}

TEST(StylePictures, GeneratorReproducesTheCommittedFilesByteForByte) {
  const fs::path generated = fs::temp_directory_path() /
                             ("plexoria_styles_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::create_directories(generated);
  const std::string command = std::string("\"") + PLEXORIA_STYLEGEN + "\" \"" + generated.string() + "\" > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);

  std::set<std::string> made, committed;
  for (const auto& entry : fs::directory_iterator(generated / "styles")) made.insert(entry.path().filename().string());
  for (const auto& entry : fs::directory_iterator(Resources() / "styles"))
    committed.insert(entry.path().filename().string());
  EXPECT_EQ(made, committed);
  for (const std::string& name : made)
    EXPECT_EQ(ReadWholeFile(generated / "styles" / name), ReadWholeFile(Resources() / "styles" / name)) << name;
  EXPECT_EQ(ReadWholeFile(generated / "styles.rc"), ReadWholeFile(Resources() / "styles.rc"));
  fs::remove_all(generated);
}

TEST(StylePictures, EachHasItsStylesSizeAndIsNamedInTheScript) {
  const std::string script = ReadWholeFile(Resources() / "styles.rc");
  std::set<std::string> files;
  for (const auto& entry : fs::directory_iterator(Resources() / "styles")) files.insert(entry.path().stem().string());
  EXPECT_EQ(files.size(), ExpectedSizes().size());
  for (const auto& [name, size] : ExpectedSizes()) {
    SCOPED_TRACE(name);
    const std::string bmp = ReadWholeFile(Resources() / "styles" / (name + ".bmp"));
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<int>(Le32(bmp, 18)), size.width);
    EXPECT_EQ(static_cast<int>(Le32(bmp, 22)), size.height);
    std::string resourceLine = name;
    resourceLine.append(" BITMAP \"styles/").append(name).append(".bmp\"\n");
    EXPECT_NE(script.find(resourceLine), std::string::npos);
  }
}

// Strips cut into equal frames by the controls: the width divides evenly.
TEST(StylePictures, StripsHoldWholeFrames) {
  const struct {
    const char* part;
    int frames;
  } strips[] = {{"_BUTTON", 3}, {"_TITLEBTN", 18}, {"_CHECKBOX", 4}, {"_RADIOBUTTON", 4}, {"_CHECKLIST", 4},
                {"_SCROLLBAR_BUTTON", 6}, {"_SCROLLBAR_TRACK", 3}, {"_TAB", 3}, {"_TRACKBAR_BAR", 3}};
  for (const char* style : {"MACOS", "WINXP", "DEEPBLUE", "PROTEIN", "BLUEGLASS"})
    for (const auto& strip : strips) {
      const auto found = ExpectedSizes().find(std::string(style) + strip.part);
      ASSERT_NE(found, ExpectedSizes().end());
      EXPECT_EQ(found->second.width % strip.frames, 0) << found->first;
    }
}

}  // namespace
}  // namespace plx
