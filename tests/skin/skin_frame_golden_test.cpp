// Golden images of the skinned frame: the whole window as the frame, its
// panel and its title bar draw it (top edge, title bar with icon, caption
// and buttons, side and bottom borders), for the embedded skin and for every
// built-in style. The client area is kept short so the pictures stay small.
#include <gtest/gtest.h>

#include "tests/skin/SkinnedFormFixture.h"

namespace plx {
namespace {

struct FrameGolden : test::SkinnedFormFixture {
  void SetUp() override {
    client_height_ = 60;
    SkinnedFormFixture::SetUp();
    HideMaximizeButton();
  }
};

TEST_F(FrameGolden, EmbeddedSkin) {
  UseEmbeddedSkin();
  Show();
  EXPECT_TRUE(test::MatchesGolden(*Picture(), "frame_embedded_skin"));
}

TEST_F(FrameGolden, EmbeddedSkinWithACaptionTooLongForTheBar) {
  UseEmbeddedSkin();
  frame_->SetCaption("Plexoria collects every piece of text you drop on it");
  Show();
  EXPECT_TRUE(test::MatchesGolden(*Picture(), "frame_embedded_skin_long_caption"));
}

TEST_F(FrameGolden, EmbeddedSkinInactive) {
  UseEmbeddedSkin();
  Show();
  frame_->TitleBar()->SetActive(false);
  EXPECT_TRUE(test::MatchesGolden(*Picture(), "frame_embedded_skin_inactive"));
}

TEST_F(FrameGolden, EveryBuiltInStyle) {
  Show();
  const struct {
    TkivUIStyle style;
    const char* name;
  } looks[] = {
      {TkivUIStyle::MacOS, "frame_macos"},     {TkivUIStyle::WinXP, "frame_winxp"},
      {TkivUIStyle::DeepBlue, "frame_deepblue"}, {TkivUIStyle::Protein, "frame_protein"},
      {TkivUIStyle::BlueGlass, "frame_blueglass"},
  };
  for (const auto& look : looks) {
    frame_->SetUIStyle(look.style);
    HideMaximizeButton();
    test::PumpMessages();
    EXPECT_TRUE(test::MatchesGolden(*Picture(), look.name));
  }
}

}  // namespace
}  // namespace plx
