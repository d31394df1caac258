// Pictures for markup under the platform's OLE picture loader: GIF frames
// stepped at their delays, the cache finding a FILE:// picture again, the
// container finding items by name, and which files markup may never read.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Bitmap.h"
#include "markup/HTMLPicture.h"
#include "markup/PictureContainer.h"
#include "markup/RenderMarkup.h"
#include "markup/SystemIcon.h"
#include "tests/markup/GifBuilder.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/WholeFiles.h"

namespace plx {
namespace {

std::string AsText(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::vector<std::uint8_t> ThreeFrameGif() { return test::BuildAnimatedGif({{1, 10}, {2, 20}, {3, 30}}); }

void LoadBytes(THTMLPicture& picture, const std::vector<std::uint8_t>& bytes) {
  TMemoryStream stream(bytes);
  picture.LoadFromStream(stream);
}

// The colour the picture shows at its middle when drawn at natural size.
TColor DrawnColor(THTMLPicture& picture) {
  TBitmap bitmap(8, 8);
  bitmap.Canvas().Brush().SetColor(0x808080);
  bitmap.Canvas().FillRect(TRect{0, 0, 8, 8});
  picture.Draw(bitmap.Canvas(), TRect{0, 0, 8, 8});
  return bitmap.Pixel(2, 2);
}

// TColor is 0x00BBGGRR; the palette is written as 0x00RRGGBB.
TColor PaletteColor(int index) {
  const std::uint32_t rgb = test::kGifPalette[index];
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

TEST(HTMLPictureTest, ThreeFrameGifStepsAtItsDelays) {
  THTMLPicture picture;
  LoadBytes(picture, ThreeFrameGif());
  ASSERT_FALSE(picture.Empty());
  EXPECT_EQ(picture.GetFrameCount(), 3);
  EXPECT_EQ(picture.Width(), 4);
  EXPECT_EQ(picture.GetMaxWidth(), 4);
  EXPECT_EQ(DrawnColor(picture), PaletteColor(1));

  // 100 ms ticks; the delays are 10, 20 and 30 hundredths: frame 2 shows for
  // two ticks, frame 3 for three, then frame 1 again.
  std::vector<int> frames;
  std::vector<bool> changes;
  int frameChanges = 0;
  picture.OnFrameChange = [&](TObject*) { ++frameChanges; };
  for (int tick = 0; tick < 8; ++tick) {
    changes.push_back(picture.Step());
    frames.push_back(picture.Frame());
    if (picture.Frame() == 2 && frames.size() >= 2 && frames[frames.size() - 2] != 2) {
      EXPECT_EQ(DrawnColor(picture), PaletteColor(2)) << "frame 2 is decoded from frames 2 and 3";
    }
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 1, 2, 2, 3, 3, 3, 1}));
  EXPECT_EQ(changes, (std::vector<bool>{false, false, true, false, true, false, false, true}));
  EXPECT_EQ(frameChanges, 3);
  EXPECT_EQ(DrawnColor(picture), PaletteColor(1));

  THTMLPictureCache cache;
  cache.AddPicture()->Assign(picture);
  cache.AddPicture();  // an empty picture never steps
  int cacheChanges = 0;
  for (int tick = 0; tick < 3; ++tick) cacheChanges += cache.Animate() ? 1 : 0;
  EXPECT_EQ(cacheChanges, 1);
  EXPECT_EQ(cache.GetPicture(0)->Frame(), 2);
}

TEST(HTMLPictureTest, DataThatIsNoPictureIsRejected) {
  THTMLPicture picture;
  try {
    LoadBytes(picture, std::vector<std::uint8_t>{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Could not load image. Invalid format");
  }
  test::TScratchFolder dir;
  test::WriteWholeFile(dir.File("bad.gif"), "not a picture");
  THTMLPicture fromFile;
  LoadBytes(fromFile, ThreeFrameGif());
  ASSERT_FALSE(fromFile.Empty());
  fromFile.LoadFromFile(dir.File("bad.gif"));
  EXPECT_TRUE(fromFile.Empty());
  EXPECT_EQ(fromFile.Width(), 0);
  LoadBytes(fromFile, ThreeFrameGif());
  fromFile.LoadFromFile(dir.File("missing.gif"));
  EXPECT_TRUE(fromFile.Empty());
}

class MarkupPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("a.gif");
    test::WriteWholeFile(path_, AsText(ThreeFrameGif()));
    bitmap_.Canvas().Font().SetName("MS Sans Serif");
    bitmap_.Canvas().Font().SetSize(8);
    bitmap_.Canvas().Brush().SetColor(0xFFFFFF);
    bitmap_.Canvas().FillRect(TRect{0, 0, 40, 20});
  }

  // Draws the markup and answers the measured width.
  int Render(const std::string& markup, THTMLPictureCache* cache, TPictureContainer* container) {
    std::string anchor;
    int extentX = 0;
    int extentY = 0;
    RenderMarkup(bitmap_.Canvas(), markup, TRect{0, 0, 40, 20}, nullptr, -1, -1, 1, false, false, false, true, true,
                 clBlue, clGray, anchor, extentX, extentY, cache, container, 0);
    return extentX;
  }

  test::TScratchFolder dir_;
  std::string path_;
  TBitmap bitmap_{40, 20};
};

TEST_F(MarkupPictureTest, CacheFindsAFilePictureAgain) {
  THTMLPictureCache cache;
  const std::string markup = "<IMG src=\"FILE://" + path_ + "\">";
  EXPECT_EQ(Render(markup, &cache, nullptr), 4 + 2);
  ASSERT_EQ(cache.Count(), 1);
  THTMLPicture* loaded = cache.GetPicture(0);
  EXPECT_FALSE(loaded->Empty());
  EXPECT_EQ(bitmap_.Pixel(2, 2), PaletteColor(1));  // drawn at the line's start

  // The file is gone: a second entry with the same source draws the picture kept.
  DeleteFileA(path_.c_str());
  bitmap_.Canvas().FillRect(TRect{0, 0, 40, 20});
  EXPECT_EQ(Render(markup, &cache, nullptr), 4 + 2);
  EXPECT_EQ(cache.Count(), 1);
  EXPECT_EQ(cache.FindPicture("FILE://" + path_), loaded);
  EXPECT_EQ(bitmap_.Pixel(2, 2), PaletteColor(1));

  // Other URLs are recorded but never loaded.
  Render("<IMG src=\"http://example.invalid/a.gif\">", &cache, nullptr);
  ASSERT_EQ(cache.Count(), 2);
  EXPECT_TRUE(cache.GetPicture(1)->Empty());
  EXPECT_EQ(cache.GetPicture(1)->Source(), "http://example.invalid/a.gif");
}

TEST_F(MarkupPictureTest, ContainerItemsAreFoundByNameInAnyCase) {
  TPictureContainer container(nullptr);
  TPictureItem& item = container.Items().Add();
  item.SetName("Logo");
  THTMLPicture gif;
  LoadBytes(gif, ThreeFrameGif());
  item.SetPicture(gif);
  container.Items().Add().SetName("other");

  EXPECT_EQ(container.FindPicture("LOGO"), &item.Picture());
  EXPECT_EQ(container.FindPicture("logo "), nullptr);
  EXPECT_EQ(Render("<IMG src=\"logo\">", nullptr, &container), 4 + 2);
  EXPECT_EQ(bitmap_.Pixel(2, 2), PaletteColor(1));
  EXPECT_EQ(Render("<IMG src=\"missing\">", nullptr, &container), 0);
  EXPECT_EQ(container.Version(), "1.0.0.0");

  TPictureItem copy;
  copy.Assign(item);
  EXPECT_EQ(copy.Name(), "Logo");
  EXPECT_EQ(copy.Picture().Data(), gif.Data());
}

// The same local file by every spelling that would reach a network or a
// device: none is read, while the plain path is (the positive control).
TEST_F(MarkupPictureTest, FileSourcesNeverReachNetworkOrDevicePaths) {
  std::string backslashed = path_;
  for (char& c : backslashed)
    if (c == '/') c = '\\';
  std::string slashed = backslashed;
  for (char& c : slashed)
    if (c == '\\') c = '/';
  const std::string refused[] = {
      "\\\\?\\" + backslashed, "//?/" + slashed, "\\\\.\\" + backslashed, "\\/?/" + slashed,
      "\\\\localhost\\share\\a.gif", "//localhost/share/a.gif", "\\??\\" + backslashed,
  };
  for (const std::string& path : refused) {
    THTMLPicture picture;
    picture.SetAsynchronous(false);
    picture.LoadFromURL("FILE://" + path);
    EXPECT_TRUE(picture.Empty()) << path;
    EXPECT_EQ(picture.Source(), "FILE://" + path);
  }
  THTMLPicture control;
  control.LoadFromURL("file://" + backslashed);
  EXPECT_FALSE(control.Empty());
  THTMLPicture slashes;
  slashes.LoadFromURL("FILE://" + slashed);
  EXPECT_FALSE(slashes.Empty());
}

TEST_F(MarkupPictureTest, FilesBeyondTheSizeCapStayEmpty) {
  // A valid picture followed by padding up to one byte beyond the cap.
  const std::string big = dir_.File("big.gif");
  test::WriteWholeFile(big, AsText(ThreeFrameGif()));
  HANDLE file = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = THTMLPicture::kMaxFileSize + 1;
  ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file));
  CloseHandle(file);

  THTMLPicture picture;
  picture.LoadFromURL("FILE://" + big);
  EXPECT_TRUE(picture.Empty());
  THTMLPicture control;
  control.LoadFromURL("FILE://" + path_);
  EXPECT_FALSE(control.Empty());
}

TEST(SystemIconTest, NetworkPathsAreLookedUpByExtensionOnly) {
  test::TScratchFolder dir;
  const std::string local = dir.File("icon.txt");
  test::WriteWholeFile(local, "text");
  EXPECT_FALSE(LookUpSystemIcon(local, false).ByAttributesOnly) << "an existing local file is asked about itself";
  for (const char* path : {"\\\\server\\share\\a.txt", "//server/share/a.txt", "\\\\?\\C:\\a.txt", "\\\\.\\C:\\a.txt",
                           "/\\server\\a.txt"}) {
    EXPECT_TRUE(LookUpSystemIcon(path, false).ByAttributesOnly) << path;
  }
  TBitmap bitmap(40, 40);
  const TSize small = DrawSystemIcon(bitmap.Canvas(), 0, 0, "\\\\server\\share\\a.txt", false, true);
  const TSize large = DrawSystemIcon(bitmap.Canvas(), 0, 0, "3", true, false);
  EXPECT_GT(small.cx, 0);
  EXPECT_GT(large.cx, small.cx);
}

}  // namespace
}  // namespace plx
