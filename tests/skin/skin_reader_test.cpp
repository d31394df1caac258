// Tsk2SkinFileReader on real archives, with real bitmaps and the real
// temporary folder.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "framework/BmpCodec.h"
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

std::string Le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
std::string Le32(std::uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// A 24-bit bottom-up BMP of one colour (0x00BBGGRR).
std::string SolidBmp(int width, int height, TColor color) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  std::string bmp = "BM" + Le32(54 + stride * height) + Le32(0) + Le32(54);
  bmp += Le32(40) + Le32(width) + Le32(height) + Le16(1) + Le16(24) + Le32(0) + Le32(stride * height) +
         Le32(2835) + Le32(2835) + Le32(0) + Le32(0);
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x)
      row += {static_cast<char>(color >> 16), static_cast<char>(color >> 8), static_cast<char>(color)};
    row.resize(stride, '\0');
    bmp += row;
  }
  return bmp;
}

struct TRecord {
  std::string key;
  std::uint8_t type;
  std::string value;
};

// A record file (each value right after its record, a terminator last),
// stored in one deflate stored block inside a skin archive.
std::string SkinArchiveOf(const std::vector<TRecord>& records) {
  std::string data = "KESTRAMO_SK2" + Le32(24) + Le32(2) + Le32(24);
  const auto record = [](std::string key, std::uint8_t type, std::uint32_t offset, std::uint32_t size,
                         std::uint32_t next) {
    key.resize(64, '\0');
    return key + static_cast<char>(type) + Le32(offset) + Le32(size) + Le32(next);
  };
  for (const TRecord& r : records) {
    const auto valueOffset = static_cast<std::uint32_t>(data.size() + 77);
    const auto size = static_cast<std::uint32_t>(r.value.size());
    data += record(r.key, r.type, valueOffset, size, valueOffset + size) + r.value;
  }
  data += record("", 2, 0, 0, 0);
  const auto length = static_cast<unsigned>(data.size());
  // BFINAL 1, BTYPE 0 (stored), LEN, NLEN, the bytes.
  const std::string deflated = '\x01' + Le16(length) + Le16(~length & 0xFFFF) + data;

  const std::string name = "SKINDATA.SK2";
  const std::string common = Le16(20) + Le16(0) + Le16(8) + Le16(0) + Le16(0) + Le32(0) +
                             Le32(static_cast<std::uint32_t>(deflated.size())) + Le32(length) +
                             Le16(static_cast<unsigned>(name.size()));
  std::string archive = std::string("SK\x03\x04", 4) + common + Le16(0) + name + deflated;
  const auto directory = static_cast<std::uint32_t>(archive.size());
  archive += std::string("PK\x01\x02", 4) + Le16(20) + common + Le16(0) + Le16(0) + Le16(0) + Le16(0) +
             Le32(0x20) + Le32(0) + name;
  const auto directorySize = static_cast<std::uint32_t>(archive.size()) - directory;
  archive += std::string("PK\x05\x06", 4) + Le16(0) + Le16(0) + Le16(1) + Le16(1) + Le32(directorySize) +
             Le32(directory) + Le16(0);
  return archive;
}

// The archive in a file of the temporary folder for as long as it lives.
class TArchiveFile {
 public:
  explicit TArchiveFile(const std::string& bytes) : path_(NewTemporaryPath(".kvs")) {
    std::ofstream(path_, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  ~TArchiveFile() { DeleteFileA(path_.c_str()); }
  TArchiveFile(const TArchiveFile&) = delete;
  TArchiveFile& operator=(const TArchiveFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

TEST(SkinFileReader, FirstMatchingKeyWinsForEveryKind) {
  const TArchiveFile archive(SkinArchiveOf({
      {"SKIN2_PICTURE", 0, SolidBmp(3, 2, 0x00112233)},
      {"skin2_picture", 0, SolidBmp(5, 4, 0x00445566)},
      {"SKIN2_NUMBER", 1, Le32(static_cast<std::uint32_t>(-20))},
      {"Skin2_Number", 1, Le32(30)},
      {"SKIN2_FLAG", 2, std::string(1, '\x00')},
      {"skin2_flag", 2, std::string(1, '\x01')},
      {"SKIN2_TEXT", 3, std::string("a\0b", 3)},
      {"SKIN2_TEXT", 3, "second"},
      {"SKIN2_LAST", 2, std::string(1, '\x07')},  // the last record before the terminator
  }));
  const std::set<std::string> before = TemporaryFolder();
  Tsk2SkinFileReader reader(archive.Path(), "");
  EXPECT_EQ(TemporaryFolder(), before);
  ASSERT_TRUE(reader.DataLoaded());
  const TBitmap* picture = reader.GetBitmap("Skin2_Picture");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Width(), 3);
  EXPECT_EQ(picture->Height(), 2);
  EXPECT_EQ(picture->Pixel(2, 1), TColor{0x00112233});
  EXPECT_EQ(reader.GetInteger("skin2_number"), -20);
  EXPECT_FALSE(reader.GetBool("SKIN2_FLAG"));
  EXPECT_EQ(reader.GetStr("skin2_text"), std::string("a\0b", 3));
  EXPECT_TRUE(reader.GetBool("SKIN2_LAST"));
}

TEST(SkinFileReader, ABitmapThatCannotBeReadRaisesItsErrorAndLeavesNoFile) {
  const TArchiveFile archive(SkinArchiveOf({
      {"SKIN2_GOOD", 0, SolidBmp(2, 2, 0x00000000)},
      {"SKIN2_BROKEN", 0, "BM not a bitmap"},
  }));
  const std::set<std::string> before = TemporaryFolder();
  EXPECT_THROW(Tsk2SkinFileReader(archive.Path(), ""), EInvalidGraphic);
  EXPECT_EQ(TemporaryFolder(), before);
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
