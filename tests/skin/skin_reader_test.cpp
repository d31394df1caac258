// Tsk2SkinFileReader on real archives, with real bitmaps and the real
// temporary folder.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <set>
#include <string>

#include "framework/Exception.h"
#include "skin/SkinFileReader.h"
#include "skin/SkinKeys.h"

namespace plx {
namespace {

// Source files by a path the Windows side understands (under Wine the
// source folder is a Unix path, reached through drive Z:).
std::string Source(const std::string& relative) {
  const char* root = std::getenv("PLEXORIA_SOURCE_DIR");
  std::string path = std::string(root != nullptr ? root : ".") + "/" + relative;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// The names in the temporary folder, to see that the reader leaves none behind.
std::set<std::string> TemporaryFolder() {
  char folder[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH + 1, folder);
  std::set<std::string> names;
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((std::string(folder) + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.insert(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

TEST(SkinFileReader, ReadsTheEmbeddedSkin) {
  const std::set<std::string> before = TemporaryFolder();
  Tsk2SkinFileReader reader(Source("resources/skin/plexoria.skn"), "");
  EXPECT_EQ(TemporaryFolder(), before);
  ASSERT_TRUE(reader.DataLoaded());

  const struct {
    Tsk2SkinBitmapElement element;
    int width, height;
  } bitmaps[] = {{SKIN2_TITLEBAR1, 126, 36}, {SKIN2_TITLEBAR2, 190, 36}, {SKIN2_TITLEBAR3, 125, 36},
                 {SKIN2_FORMLEFTBORDER, 2, 12}, {SKIN2_FORMBOTTOMBORDER2, 190, 6}, {SKIN2_TITLEBUTTONS, 360, 20},
                 {SKIN2_BUTTON, 225, 27},      {SKIN2_TABCONTROLLINE, 26, 1},   {SKIN2_SCROLLBUTTON, 72, 18}};
  for (const auto& b : bitmaps) {
    SCOPED_TRACE(std::string(SkinKey(b.element)));
    const TBitmap* bitmap = reader.GetBitmap(SkinKey(b.element));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), b.width);
    EXPECT_EQ(bitmap->Height(), b.height);
  }
  for (const Tsk2SkinBitmapElement absent : {SKIN2_TITLEBAR4, SKIN2_TITLEBAR5, SKIN2_MENUBAR})
    EXPECT_EQ(reader.GetBitmap(SkinKey(absent)), nullptr) << SkinKey(absent);

  // Title buttons stand on the see-through magenta; the bar itself is dark.
  const TBitmap* buttons = reader.GetBitmap("skin2_titlebuttons");
  ASSERT_NE(buttons, nullptr);
  EXPECT_EQ(buttons->Pixel(0, 0), TColor{0x00FF00FF});
  const TBitmap* title = reader.GetBitmap(SkinKey(SKIN2_TITLEBAR2));
  const TColor middle = title->Pixel(100, 18);
  EXPECT_LT((middle & 0xFF) + ((middle >> 8) & 0xFF) + ((middle >> 16) & 0xFF), 3u * 0x50) << std::hex << middle;

  EXPECT_EQ(reader.GetInteger(SkinKey(SKIN2_TRANSCOLOR)), 0x00FF00FF);
  EXPECT_EQ(reader.GetInteger(SkinKey(SKIN2_SIDECHANNELBORDERCOLOR)), 0x000D2E59);
  EXPECT_EQ(reader.GetInteger(SkinKey(SKIN2_TITLEBARBUTTONPOSX)), 14);
  EXPECT_EQ(reader.GetInteger(SkinKey(SKIN2_TITLEBARREGIONMINY)), -1);
  EXPECT_EQ(reader.GetInteger("SKIN2_SYSTEMCOLOR2"), 0x000000FF);
  EXPECT_EQ(reader.GetInteger("SKIN2_NO_SUCH_KEY"), -1);
  EXPECT_TRUE(reader.GetBool(SkinKey(SKIN2_BOTTOMBORDERTHREESECT)));
  EXPECT_FALSE(reader.GetBool(SkinKey(SKIN2_TITLEFIVESECT)));
  EXPECT_FALSE(reader.GetBool("SKIN2_NO_SUCH_KEY"));
  EXPECT_EQ(reader.GetStr("SKIN2_NO_SUCH_KEY"), "");
}

TEST(SkinFileReader, SettersChangeTheStore) {
  Tsk2SkinFileReader reader(Source("resources/skin/plexoria.skn"), "");
  ASSERT_TRUE(reader.DataLoaded());
  TBitmap replacement(4, 3);
  replacement.SetPixel(0, 0, 0x00123456);
  reader.SetBitmap(SkinKey(SKIN2_BUTTON), replacement);
  reader.SetBitmap("SKIN2_NO_SUCH_KEY", replacement);
  EXPECT_EQ(reader.GetBitmap(SkinKey(SKIN2_BUTTON))->Width(), 4);
  EXPECT_EQ(reader.GetBitmap(SkinKey(SKIN2_BUTTON))->Pixel(0, 0), TColor{0x00123456});
  EXPECT_EQ(reader.GetBitmap("SKIN2_NO_SUCH_KEY"), nullptr);

  reader.SetInteger(SkinKey(SKIN2_TITLEBARICONPOSX), 3);
  reader.SetBool(SkinKey(SKIN2_TITLEFIVESECT), true);
  reader.SetInteger("SKIN2_EXTRA", 77);
  EXPECT_EQ(reader.GetInteger(SkinKey(SKIN2_TITLEBARICONPOSX)), 3);
  EXPECT_TRUE(reader.GetBool(SkinKey(SKIN2_TITLEFIVESECT)));
  EXPECT_EQ(reader.GetInteger("skin2_extra"), 77);

  reader.ProcessTransparentColor(clLime);
  const TBitmap* title = reader.GetBitmap(SkinKey(SKIN2_TITLEBAR1));
  EXPECT_TRUE(title->Transparent());
  EXPECT_EQ(title->TransparentColor(), clLime);
}

TEST(SkinFileReader, FailuresAndTheirOutcomes) {
  const struct {
    const char* name;
    std::string path;
    const char* password;
    bool raises;
  } cases[] = {
      {"missing archive", Source("tests/skin/fixtures/absent.skn"), "", true},
      {"standard ZIP signature", Source("tests/skin/fixtures/pk-signature.zip"), "", true},
      {"encrypted without password", Source("tests/skin/fixtures/encrypted.skn"), "", false},
      {"encrypted with a wrong password", Source("tests/skin/fixtures/encrypted.skn"), "wrong", false},
      // The right password opens an entry that is text, not a record file.
      {"not a record file", Source("tests/skin/fixtures/encrypted.skn"), "secret", true},
  };
  const std::set<std::string> before = TemporaryFolder();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.raises) {
      try {
        Tsk2SkinFileReader reader(c.path, c.password);
        ADD_FAILURE() << "no error raised";
      } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Failed to read skin file!");
      }
    } else {
      Tsk2SkinFileReader reader(c.path, c.password);
      EXPECT_FALSE(reader.DataLoaded());
      EXPECT_EQ(reader.GetBitmap(SkinKey(SKIN2_TITLEBAR1)), nullptr);
      EXPECT_EQ(reader.GetInteger(SkinKey(SKIN2_TRANSCOLOR)), -1);
    }
    EXPECT_EQ(TemporaryFolder(), before) << "a temporary file was left behind";
  }
}

TEST(SkinFileReader, TemporaryPathsAreFreshGuidsInTheTemporaryFolder) {
  const std::string a = NewTemporaryPath(), b = NewTemporaryPath(".kiv");
  EXPECT_NE(a, b);
  ASSERT_GE(a.size(), 38u);
  const std::string name = a.substr(a.rfind('\\') + 1);
  EXPECT_EQ(name.size(), 38u);
  EXPECT_EQ(name.front(), '{');
  EXPECT_EQ(name.back(), '}');
  EXPECT_EQ(b.substr(b.size() - 4), ".kiv");
}

}  // namespace
}  // namespace plx
