#include "markup/MarkupText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "reference_sweeps.h"

namespace plx {
namespace {

struct TextCase {
  std::string Input;
  std::string Expected;
};

TEST(StripMarkupTest, GivesThePlainTextOfAnEntry) {
  const TextCase cases[] = {
      {"<BODY bgcolor=\"#FFA0B0\">Hello...", "Hello..."},
      {"a<BR>b", "a\r\nb"},
      {"a<br>b<Hr>c", "a\r\nb\r\nc"},
      {"x<Z>hidden</Z>y", "xy"},
      {"a<b", "a<b"},
      {"ab<z>cd", "abcd"},
      {"x<z>h</z>y<z>k</z>z", "xyz"},
      {"<B>x</B><Z>h</Z>y", "xy"},   // tags before a hidden section are stripped too
      {"x<z>h</Z>y", "xhy"},         // hidden sections pair the same letter case only
      {"<Z>a</Z><z>b</z>c", "c"},
      {"a<z>b</z", "ab</z"},
      {"&amp;<B>&lt;</B>", "&amp;&lt;"},  // entities are not decoded
      {std::string("a\0<B>b", 6), std::string("a\0b", 3)},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(StripMarkup(c.Input), c.Expected) << c.Input;
  }
}

TEST(StripTagsTest, RemovesCompleteTagsAndKeepsAnUnclosedRest) {
  const TextCase cases[] = {
      {"<B>x</B>", "x"}, {"a<b", "a<b"},   {"a<b>c<d", "ac<d"}, {"a>b", "a>b"},
      {"<<a>>", ">"},    {"<BR>", ""},     {"", ""},           {"<z>hidden</z>", "hidden"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(StripTags(c.Input), c.Expected) << c.Input;
  }
}

TEST(VisibleToMarkupPosTest, PointsAfterThePreviousVisibleCharacterBeforeFollowingTags) {
  struct Case {
    std::string Markup;
    std::size_t N;
    std::size_t Expected;
  };
  const Case cases[] = {
      {"<B>aa</B>", 1, 1},  // before the leading tag
      {"<B>aa</B>", 2, 5},
      {"<B>aa</B>", 3, 6},  // right after the last a, before </B>
      {"<B>aa</B>", 4, 0},
      {"ab", 3, 3},         // the end of the markup
      {"a<b", 2, 2},
      {"a<b", 3, 0},        // text after an unclosed '<' is not visible
      {"a>b", 3, 3},        // a lone '>' is visible
      {"", 1, 1},
      {"abc", 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VisibleToMarkupPos(c.Markup, c.N), c.Expected) << c.Markup << " n=" << c.N;
  }
}

TEST(FindVisibleTextTest, SearchesAfterTheFirstStartCharacters) {
  struct Case {
    std::string Needle, Text;
    std::size_t Start;
    bool CaseSensitive;
    std::size_t Expected;
  };
  const Case cases[] = {
      {"a", "aa", 0, true, 1},   {"a", "aa", 1, true, 2},    {"a", "aa", 2, true, 0},
      {"A", "xa", 0, false, 2},  {"A", "xa", 0, true, 0},    {"a", "a a", 2, true, 3},
      {"", "abc", 0, true, 0},   {"abc", "ab", 0, true, 0},  {"b", "abc", 99, false, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindVisibleText(c.Needle, c.Text, c.Start, c.CaseSensitive), c.Expected)
        << c.Needle << " in " << c.Text << " from " << c.Start;
  }
}

TEST(MarkTextTest, EnclosesOccurrencesSkippingOnesThatFollowDirectly) {
  struct Case {
    std::string Markup, Needle, Tag;
    bool CaseSensitive;
    std::string Expected;
  };
  const Case cases[] = {
      {"<B>aa</B>", "a", "hi", true, "<hi><B>a</hi>a</B>"},
      {"a a", "a", "hi", true, "<hi>a</hi> <hi>a</hi>"},
      {"Abc abc", "ABC", "e", false, "<e>Abc</e> <e>abc</e>"},
      {"Abc abc", "abc", "e", true, "Abc <e>abc</e>"},
      {"abab", "ab", "hi", true, "<hi>ab</hi>ab"},
      {"x<B>y</B>z", "yz", "hi", true, "x<hi><B>y</B>z</hi>"},
      {"x<y a", "a", "hi", true, "x<y a"},   // only inside an unclosed tag
      {"a<y a", "a", "hi", true, "<hi>a</hi><y a"},
      {"aaa", "", "hi", true, "aaa"},
      {"aaa", "a", "h>i", true, "aaa"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MarkText(c.Markup, c.Needle, c.Tag, c.CaseSensitive), c.Expected) << c.Markup << " / " << c.Needle;
  }
}

TEST(MarkTextTest, MatchesOneInsertionAtATimeOnRandomMarkup) {
  const std::vector<std::string> pieces = {"a", "a", "b", " ", "A", "<", ">", "<B>", "</B>", "<z>", "ab", "&"};
  const std::vector<std::string> needles = {"a", "ab", "aa", "a a", "b<", "A", ">"};
  std::mt19937 random(77);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<std::size_t> pickNeedle(0, needles.size() - 1);
  std::uniform_int_distribution<int> length(0, 30);
  for (int round = 0; round < 5000; ++round) {
    std::string markup;
    for (int n = length(random); n > 0; --n) markup += pieces[pick(random)];
    const std::string& needle = needles[pickNeedle(random)];
    const bool caseSensitive = round % 2 == 0;
    ASSERT_EQ(MarkText(markup, needle, "hi", caseSensitive), reference::MarkText(markup, needle, "hi", caseSensitive))
        << markup << " / " << needle;
  }
}

TEST(UnmarkTextTest, RemovesTheTagInAnyLetterCase) {
  const TextCase cases[] = {
      {"<HI>a</hi>", "a"},
      {"<hi><B>a</hi>a</B>", "<B>aa</B>"},
      {"<h<hi>i>", "<hi>"},  // text joined by a removal is not searched again
      {"<Hi>x</HI><hix>", "x<hix>"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(UnmarkText(c.Input, "hi"), c.Expected) << c.Input;
  }
}

}  // namespace
}  // namespace plx
