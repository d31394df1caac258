#include "markup/ColorValues.h"

#include <gtest/gtest.h>

#include <string>

namespace plx {
namespace {

struct HexCase {
  std::string Text;
  TColor Expected;
};

TEST(ColorFromHexTest, ReadsRedGreenBlueWithPlainAdditionOfPairs) {
  const HexCase cases[] = {
      {"#FF0000", 0x000000FF},  // pure red lands in the low byte
      {"#0000FF", 0x00FF0000},  // pure blue in the third
      {"#FF8040", 0x004080FF},
      {"#FFA0B0", 0x00B0A0FF},  // a main-window entry tint
      {"#FFF", 0x000000FF},     // only the red pair is complete
      {"#FFFF", 0x0000FFFF},
      {"#", 0},
      {"#F", 0},
      {"#GG0000", 0x00000110},   // 16 * 16 + 16 = 272: the excess spills into green
      {"#00GG00", 0x00011000},
      {"#0000GG", 0x01100000},   // blue spills out of the colour bytes
      {"#FF0000FF", 0x000000FF}, // bytes after the seventh are ignored
      {"#  0000", static_cast<TColor>(-272)},  // a blank digit counts -16
  };
  for (const HexCase& c : cases) {
    EXPECT_EQ(ColorFromHex(c.Text), c.Expected) << c.Text;
  }
}

TEST(HexPairValueTest, NeedsTwoCharactersAndRejectsNothing) {
  EXPECT_EQ(HexPairValue(""), 0);
  EXPECT_EQ(HexPairValue("F"), 0);
  EXPECT_EQ(HexPairValue("A0"), 160);
  EXPECT_EQ(HexPairValue("09"), 9);
  EXPECT_EQ(HexPairValue("GG"), 272);
  EXPECT_EQ(HexPairValue("\xFF\xFF"), 16 * 200 + 200);  // bytes read unsigned
  EXPECT_EQ(HexPairValue("ff"), 16 * 47 + 47);         // only upper-case letters are digits
}

TEST(ColorFromNameTest, FindsEveryTableNameAndGivesBlackOtherwise) {
  const std::pair<std::string, TColor> cases[] = {
      {"clred", 0x000000FF},          {"clblack", 0},
      {"clblue", 0x00FF0000},         {"clgreen", 0x00008000},
      {"claqua", 0x00FFFF00},         {"clyellow", 0x0000FFFF},
      {"clfuchsia", 0x00FF00FF},      {"clwhite", 0x00FFFFFF},
      {"cllime", 0x0000FF00},         {"clsilver", 0x00C0C0C0},
      {"clgray", 0x00808080},         {"clolive", 0x00008080},
      {"clnavy", 0x00800000},         {"clpurple", 0x00800080},
      {"clteal", 0x00808000},         {"clmaroon", 0x00000080},
      {"clbackground", 0x80000001},   {"clactivecaption", 0x80000002},
      {"clinactivecaption", 0x80000003}, {"clmenu", 0x80000004},
      {"clwindow", 0x80000005},       {"clwindowframe", 0x80000006},
      {"clmenutext", 0x80000007},     {"clwindowtext", 0x80000008},
      {"clcaptiontext", 0x80000009},  {"clactiveborder", 0x8000000A},
      {"clinactiveborder", 0x8000000B}, {"clappworkspace", 0x8000000C},
      {"clhighlight", 0x8000000D},    {"clhighlighttext", 0x8000000E},
      {"clbtnface", 0x8000000F},      {"clbtnshadow", 0x80000010},
      {"clgraytext", 0x80000011},     {"clbtntext", 0x80000012},
      {"clinactivecaptiontext", 0x80000013}, {"clbtnhighlight", 0x80000014},
      {"cl3ddkshadow", 0x80000015},   {"cl3dlight", 0x80000016},
      {"clinfotext", 0x80000017},     {"clinfobk", 0x80000018},
      // Not in the table.
      {"red", 0}, {"clnone", 0}, {"CLRED", 0}, {"", 0}, {"clred ", 0}, {"clscrollbar", 0},
  };
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(ColorFromName(name), expected) << name;
  }
}

TEST(ColorFromAttributeTest, EmptyGivesNoColourHashGivesHexAnyCaseNameGivesName) {
  EXPECT_FALSE(ColorFromAttribute("").has_value());
  EXPECT_EQ(ColorFromAttribute("#FFA0B0"), TColor{0x00B0A0FF});
  EXPECT_EQ(ColorFromAttribute("CLRED"), TColor{0x000000FF});
  EXPECT_EQ(ColorFromAttribute("clBtnFace"), clBtnFace);
  EXPECT_EQ(ColorFromAttribute("CLBLACK"), TColor{0});
  EXPECT_EQ(ColorFromAttribute("RED"), TColor{0});
  EXPECT_EQ(ColorFromAttribute("#"), TColor{0});
}

}  // namespace
}  // namespace plx
