// Styles and themes: the rule that picks skin or built-in style, the theme
// components on real skin archives and the real temporary folder, and how a
// style reaches the components that carry one.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "framework/Forms.h"
#include "framework/Properties.h"
#include "framework/StdCtrls.h"
#include "skin/FileTheme.h"
#include "skin/ThemeManager.h"
#include "skin/UIStyle.h"
#include "tests/skin/GoldenImage.h"

namespace plx {
namespace {

std::string Source(const std::string& relative) {
  return test::EnvironmentPath("PLEXORIA_SOURCE_DIR", ".") + "\\" + test::WindowsPath(relative);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string EmbeddedSkin() { return ReadBytes(Source("resources/skin/plexoria.skn")); }

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

// A skinned component as the theme layer sees one: it publishes UIStyle and
// FileTheme and records every assignment.
class TStyledThing : public TControl {
 public:
  using TControl::TControl;
  TkivUIStyle UIStyle() const { return style; }
  void SetUIStyle(TkivUIStyle value) {
    style = value;
    log += "S" + std::to_string(static_cast<int>(value));
  }
  TkivFileTheme* FileTheme() const { return theme; }
  void SetFileTheme(TkivFileTheme* value) {
    theme = value;
    log += value ? "T" : "t";
  }
  const TPropertyTable* PublishedProperties() const override {
    static const TPropertyTable table = [this] {
      TPropertyTable t(TControl::PublishedProperties());
      t.Integer("UIStyle", &TStyledThing::UIStyle, &TStyledThing::SetUIStyle)
          .Component("FileTheme", &TStyledThing::FileTheme, &TStyledThing::SetFileTheme);
      return t;
    }();
    return &table;
  }
  TkivUIStyle style = kivFallbackStyle;
  TkivFileTheme* theme = nullptr;
  std::string log;
};

// Publishes only one of the two: the theme layer leaves it alone.
class THalfStyledThing : public TControl {
 public:
  using TControl::TControl;
  TkivUIStyle UIStyle() const { return style; }
  void SetUIStyle(TkivUIStyle value) { style = value; }
  const TPropertyTable* PublishedProperties() const override {
    static const TPropertyTable table = [] {
      TPropertyTable t;
      t.Integer("UIStyle", &THalfStyledThing::UIStyle, &THalfStyledThing::SetUIStyle);
      return t;
    }();
    return &table;
  }
  TkivUIStyle style = kivFallbackStyle;
};

// A frame panel, as far as the theme layer asks.
class TFramePanel : public TPanel, public TkivFormStyleSource {
 public:
  using TPanel::TPanel;
  TkivUIStyle FormUIStyle() const override { return style; }
  TkivUIStyle style = TkivUIStyle::Protein;
};

TEST(UsingFileTheme, OnlyFromThemeFileWithAReadyThemeUsesTheSkin) {
  TkivBuiltInFileTheme ready(nullptr);
  ready.ReadSkinData(EmbeddedSkin());
  ASSERT_TRUE(ready.Ready());
  TkivFileTheme notReady(nullptr);

  const struct {
    const TkivFileTheme* theme;
    TkivUIStyle style;
    bool usesSkin;
    TkivUIStyle effective;
  } cases[] = {
      {&ready, TkivUIStyle::FromThemeFile, true, TkivUIStyle::FromThemeFile},
      {&notReady, TkivUIStyle::FromThemeFile, false, TkivUIStyle::DeepBlue},
      {nullptr, TkivUIStyle::FromThemeFile, false, TkivUIStyle::DeepBlue},
      {&ready, TkivUIStyle::BlueGlass, false, TkivUIStyle::BlueGlass},  // a theme only matters for FromThemeFile
      {nullptr, TkivUIStyle::MacOS, false, TkivUIStyle::MacOS},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.style));
    TkivUIStyle effective = TkivUIStyle::WinXP;
    EXPECT_EQ(UsingFileTheme(c.theme, c.style, effective), c.usesSkin);
    EXPECT_EQ(effective, c.effective);
  }
}

TEST(BuiltInStyles, ItemsReadByTheirType) {
  EXPECT_TRUE(GetInsideThemeBool(TkivUIStyle::BlueGlass, kivItemButtonTransparent));
  EXPECT_FALSE(GetInsideThemeBool(TkivUIStyle::WinXP, kivItemButtonTransparent));
  EXPECT_FALSE(GetInsideThemeBool(TkivUIStyle::BlueGlass, kivItemFormColor));  // not a Bool item
  EXPECT_EQ(GetInsideThemeColor(TkivUIStyle::WinXP, kivItemBorderColor), 0x00C82C00u);
  EXPECT_EQ(GetInsideThemeColor(TkivUIStyle::Protein, kivItemFormColor), 0x00FBFBFBu);
  EXPECT_EQ(GetInsideThemeColor(TkivUIStyle::Protein, kivItemBorderWidth), 0u);  // an Int item
  EXPECT_EQ(GetInsideThemeInt(TkivUIStyle::BlueGlass, kivItemFormMinWidth), 270);
  EXPECT_EQ(GetInsideThemeInt(TkivUIStyle::BlueGlass, kivItemRightBtnXOffset), -3);
  EXPECT_EQ(GetInsideThemeInt(TkivUIStyle::WinXP, kivItemRoundCorner), 13);
  EXPECT_EQ(GetInsideThemeInt(TkivUIStyle::MacOS, kivItemFormColor), -1);  // a Color item
  EXPECT_EQ(GetInsideThemeInt(TkivUIStyle::DeepBlue, 48), -1);
  EXPECT_EQ(GetInsideThemeColor(TkivUIStyle::DeepBlue, 48), 0x00E8E8E8u);
  EXPECT_STREQ(BuiltInItem(TkivUIStyle::Protein, 38).Name, "MORE_SCROLLBUTTON");
  EXPECT_STREQ(BuiltInItem(TkivUIStyle::MacOS, 43).Name, "");

  // Without a table every item reads as the Int -1.
  for (TkivUIStyle style : {TkivUIStyle::FromThemeFile, static_cast<TkivUIStyle>(6), static_cast<TkivUIStyle>(200)}) {
    EXPECT_EQ(GetInsideThemeInt(style, kivItemFormMinWidth), -1);
    EXPECT_EQ(GetInsideThemeInt(style, kivItemFormColor), -1);
    EXPECT_FALSE(GetInsideThemeBool(style, kivItemButtonTransparent));
    EXPECT_EQ(GetInsideThemeColor(style, kivItemFormColor), 0u);
  }
  EXPECT_EQ(GetInsideThemeInt(TkivUIStyle::BlueGlass, 0), -1);
  EXPECT_EQ(GetInsideThemeInt(TkivUIStyle::BlueGlass, 49), -1);
}

TEST(BuiltInStyles, PicturesComeFromTheProgramsBitmapResources) {
  const struct {
    TkivUIStyle style;
    int item, subIndex, subCount, width, height;
  } cases[] = {
      {TkivUIStyle::BlueGlass, kivItemButtonFace, 1, 3, 77, 27},
      {TkivUIStyle::BlueGlass, kivItemButtonFace, 0, 0, 231, 27},
      {TkivUIStyle::WinXP, kivItemTitleButtons, 18, 18, 21, 21},
      {TkivUIStyle::MacOS, kivItemTitleLeft, 0, 0, 48, 23},
      {TkivUIStyle::Protein, kivItemTitleLeft, 0, 0, 441, 23},
      {TkivUIStyle::DeepBlue, 38, 2, 4, 18, 17},  // the shared MORE_SCROLLBUTTON
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.style)) + " item " + std::to_string(c.item));
    TBitmap picture;
    GetInsideThemeBitmap(c.style, c.item, picture, c.subIndex, c.subCount);
    EXPECT_EQ(picture.Width(), c.width);
    EXPECT_EQ(picture.Height(), c.height);
  }
  // The capsule's corners are the see-through magenta.
  TBitmap face;
  GetInsideThemeBitmap(TkivUIStyle::BlueGlass, kivItemButtonFace, face, 2, 3);
  EXPECT_EQ(face.Pixel(0, 0), 0x00FF00FFu);
  EXPECT_NE(face.Pixel(38, 13), 0x00FF00FFu);
}

TEST(BuiltInStyles, BitmapOfAnItemThatIsNoPicture) {
  TBitmap kept(3, 4);
  GetInsideThemeBitmap(TkivUIStyle::BlueGlass, kivItemFormColor, kept);
  EXPECT_EQ(kept.Width(), 3);  // unchanged without a frame count
  GetInsideThemeBitmap(TkivUIStyle::BlueGlass, kivItemFormColor, kept, 1, 3);
  EXPECT_TRUE(kept.Empty());
  TBitmap none(3, 4);
  GetInsideThemeBitmap(TkivUIStyle::MacOS, 43, none);  // a picture item without a name
  EXPECT_TRUE(none.Empty());
}

TEST(FileTheme, LoadsASkinFileAndAnswersByElement) {
  const std::set<std::string> before = TemporaryFolder();
  TkivFileTheme theme(nullptr);
  EXPECT_FALSE(theme.Ready());
  EXPECT_EQ(theme.GetBitmap(SKIN2_BUTTON), nullptr);
  EXPECT_EQ(theme.GetColor(SKIN2_FORMCOLOR), 0u);
  EXPECT_EQ(theme.GetInt(SKIN2_TITLEBARICONPOSX), 0);
  EXPECT_FALSE(theme.GetBool(SKIN2_BUTTONTRANS));

  theme.SetThemeFile(Source("resources/skin/plexoria.skn"));
  ASSERT_TRUE(theme.Ready());
  EXPECT_TRUE(theme.CanUse());
  EXPECT_EQ(TemporaryFolder(), before);
  ASSERT_NE(theme.GetBitmap(SKIN2_TITLEBUTTONS), nullptr);
  EXPECT_EQ(theme.GetBitmap(SKIN2_TITLEBUTTONS)->Width(), 360);
  EXPECT_EQ(theme.GetBitmap(SKIN2_TITLEBAR4), nullptr);  // the skin has none
  EXPECT_EQ(theme.GetColor(SKIN2_FORMCOLOR), 0x00F0F0F0u);
  EXPECT_EQ(theme.GetColor(SKIN2_BUTTONFONTCOLOR), 0x00FAF8FAu);
  EXPECT_EQ(theme.GetInt(SKIN2_TITLEBARREGIONMINY), -1);
  EXPECT_EQ(theme.GetInt(SKIN2_TITLEBARBUTTONPOSX), 14);
  EXPECT_TRUE(theme.GetBool(SKIN2_BOTTOMBORDERTHREESECT));
  EXPECT_FALSE(theme.GetBool(SKIN2_TITLEFIVESECT));

  TBitmap frame;
  theme.GetBitmap2(SKIN2_TITLEBUTTONS, frame, 16, 18);
  EXPECT_EQ(frame.Width(), 20);
  EXPECT_EQ(frame.Height(), 20);
  EXPECT_EQ(frame.Pixel(0, 0), theme.GetBitmap(SKIN2_TITLEBUTTONS)->Pixel(300, 0));
  theme.GetBitmap2(SKIN2_BUTTON, frame);
  EXPECT_EQ(frame.Width(), 225);
  theme.GetBitmap2(SKIN2_TITLEBAR5, frame);
  EXPECT_TRUE(frame.Empty());

  // A file that is nowhere changes nothing.
  const std::string inUse = theme.ThemeFile();
  theme.SetThemeFile("C:\\no\\such\\folder\\missing-skin.kvs");
  EXPECT_TRUE(theme.Ready());
  EXPECT_EQ(theme.ThemeFile(), inUse);
}

TEST(FileTheme, ADamagedSkinLeavesTheThemeNotReadyAndNoFileBehind) {
  const std::string good = EmbeddedSkin();
  ASSERT_FALSE(good.empty());
  std::string truncated = good.substr(0, good.size() / 2);
  std::string corrupted = good;
  for (std::size_t i = 200; i < 2000; ++i) corrupted[i] = static_cast<char>(corrupted[i] ^ 0x5A);
  const std::string notASkin = "PK\x03\x04 this is not a skin archive at all";

  for (const std::string& bytes : {truncated, corrupted, notASkin}) {
    const std::set<std::string> before = TemporaryFolder();
    TkivBuiltInFileTheme theme(nullptr);
    theme.ReadSkinData(good);
    ASSERT_TRUE(theme.Ready());  // positive control: the same theme reads the good skin
    theme.ReadSkinData(bytes);
    EXPECT_FALSE(theme.Ready());
    EXPECT_EQ(theme.GetBitmap(SKIN2_BUTTON), nullptr);
    EXPECT_EQ(TemporaryFolder(), before);
    TkivUIStyle effective = TkivUIStyle::BlueGlass;
    EXPECT_FALSE(UsingFileTheme(&theme, TkivUIStyle::FromThemeFile, effective));
    EXPECT_EQ(effective, TkivUIStyle::DeepBlue);
  }
}

TEST(BuiltInFileTheme, ReadsTheStoredArchiveThroughTemporaryFilesItDeletes) {
  const std::set<std::string> before = TemporaryFolder();
  TkivBuiltInFileTheme theme(nullptr);
  // The design-time source is looked up first and, missing, changes nothing.
  theme.SetThemeFile("C:\\Skins\\Plexoria.kvs");
  EXPECT_FALSE(theme.Ready());
  EXPECT_EQ(theme.DesignThemeFile(), "C:\\Skins\\Plexoria.kvs");
  theme.ReadSkinData(EmbeddedSkin());
  ASSERT_TRUE(theme.Ready());
  const std::string first = theme.ThemeFile();
  EXPECT_EQ(TemporaryFolder(), before);

  theme.ReadSkinData(EmbeddedSkin());
  EXPECT_TRUE(theme.Ready());
  EXPECT_NE(theme.ThemeFile(), first);  // a new name each time
  EXPECT_EQ(theme.ThemeFile().substr(theme.ThemeFile().size() - 4), ".kiv");
  EXPECT_EQ(TemporaryFolder(), before);
}

TEST(TemporaryFile, NeverTakesANameThatExists) {
  // Many in a row: each is a new file, created by us, and goes with its owner.
  std::set<std::string> paths;
  for (int i = 0; i < 20; ++i) {
    TTemporaryFile file = TTemporaryFile::CreateUnique(".kiv");
    EXPECT_NE(GetFileAttributesA(file.Path().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(paths.insert(file.Path()).second);
  }
  for (const std::string& path : paths) EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(FileTheme, ThemeChangesReachEveryComponentOfTheFormThatUsesIt) {
  TForm form(nullptr);
  auto* theme = new TkivBuiltInFileTheme(&form);
  auto* user = new TStyledThing(&form);
  auto* other = new TStyledThing(&form);
  user->SetFileTheme(theme);
  user->log.clear();
  theme->ReadSkinData(EmbeddedSkin());
  ASSERT_TRUE(theme->Ready());
  EXPECT_EQ(user->log, "tT");  // cleared and set back: it reads its look again
  EXPECT_EQ(other->log, "");
}

TEST(ContainerApplyUIStyle, SetsThemeThenStyleOnDirectChildrenThatPublishBoth) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  auto* child = new TStyledThing(&form);
  child->SetParent(panel);
  auto* half = new THalfStyledThing(&form);
  half->SetParent(panel);
  auto* inner = new TPanel(&form);
  inner->SetParent(panel);
  auto* grandchild = new TStyledThing(&form);
  grandchild->SetParent(inner);
  TkivFileTheme theme(nullptr);

  ContainerApplyUIStyle(panel, TkivUIStyle::WinXP, &theme);
  EXPECT_EQ(child->log, "TS2");
  EXPECT_EQ(child->theme, &theme);
  EXPECT_EQ(half->style, kivFallbackStyle);
  EXPECT_EQ(grandchild->log, "");  // only direct children
  EXPECT_TRUE(IsHasProperty(child, "uistyle"));
  EXPECT_FALSE(IsHasProperty(half, "FileTheme"));
}

TEST(GetKIVFormStyle, TheStyleOfTheFormsFramePanel) {
  TForm form(nullptr);
  EXPECT_EQ(GetKIVFormStyle(&form), TkivUIStyle::DeepBlue);
  auto* plain = new TPanel(&form);
  plain->SetParent(&form);
  auto* frame = new TFramePanel(&form);
  frame->SetParent(&form);
  EXPECT_EQ(GetKIVFormStyle(&form), TkivUIStyle::Protein);
  EXPECT_EQ(GetKIVFormStyle(plain), TkivUIStyle::DeepBlue);  // not a form
  EXPECT_EQ(GetKIVFormStyle(nullptr), TkivUIStyle::DeepBlue);
}

TEST(ThemeManager, GivesItsStyleAndThemeToTheListedComponents) {
  TForm form(nullptr);
  auto* manager = new TkivThemeManager(&form);
  auto* theme = new TkivFileTheme(&form);
  auto* listed = new TStyledThing(&form);
  listed->SetName("Listed");
  auto* unlisted = new TStyledThing(&form);
  unlisted->SetName("Unlisted");
  int changes = 0;
  manager->OnUIStyleChanged = [&](TObject* sender) {
    EXPECT_EQ(sender, manager);
    ++changes;
  };
  EXPECT_EQ(manager->UIStyle(), TkivUIStyle::DeepBlue);
  manager->CompList().Add("listed");
  manager->CompList().Add("Nobody");

  manager->SetUIStyle(TkivUIStyle::MacOS);
  EXPECT_EQ(listed->log, "S1t");
  EXPECT_EQ(unlisted->log, "");
  EXPECT_EQ(changes, 1);
  manager->SetUIStyle(TkivUIStyle::MacOS);  // applied again, but no change to report
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(listed->log, "S1tS1t");

  listed->log.clear();
  manager->SetFileTheme(theme);
  EXPECT_EQ(listed->log, "S1T");

  // The theme going away: the reference is cleared and the style falls back.
  delete theme;
  EXPECT_EQ(manager->FileTheme(), nullptr);
  EXPECT_EQ(manager->UIStyle(), TkivUIStyle::DeepBlue);
  EXPECT_EQ(listed->style, TkivUIStyle::DeepBlue);
  EXPECT_EQ(changes, 2);

  // A listed component going away leaves the list.
  delete listed;
  EXPECT_EQ(manager->CompList().IndexOf("Listed"), -1);
  EXPECT_EQ(manager->CompList().Count(), 1);
}

}  // namespace
}  // namespace plx
