#include "markup/MarkupPreprocess.h"

#include <gtest/gtest.h>

#include <string>

namespace plx {
namespace {

constexpr TextFormat kBaseFormat = tfBottom | tfSingleLine | tfExpandTabs | tfExternalLeading;

TEST(MarkupTextFormatTest, AmpersandBetweenBlanksTurnsOffPrefixesAndNoWrapCutsWithEllipsis) {
  EXPECT_EQ(MarkupTextFormat("Tom&Jerry", true), kBaseFormat);
  EXPECT_EQ(MarkupTextFormat("Tom & Jerry", true), kBaseFormat | tfNoPrefix);
  EXPECT_EQ(MarkupTextFormat("Tom &Jerry", true), kBaseFormat);
  EXPECT_EQ(MarkupTextFormat("Tom&Jerry", false), kBaseFormat | tfEndEllipsis);
  // The test is on the raw markup: an "&amp;" between blanks counts as well.
  EXPECT_EQ(MarkupTextFormat("a &amp; b", true), kBaseFormat);
}

struct TextCase {
  std::string Input;
  std::string Expected;
};

TEST(DecodeMarkupEntitiesTest, DecodesEveryEntityInAnyCaseUntilNoneIsLeft) {
  const TextCase cases[] = {
      {"Tom &amp; Jerry", "Tom && Jerry"},
      {"&AMP;", "&&"},
      {"&Quot;x&quot;", "\"x\""},
      {"&sect;&permil;&reg;&copy;&para;&trade;&euro;", "\xA7\x89\xAE\xA9\xB6\x99\x80"},
      {"&amp;amp;", "&&&"},        // the second '&' left by the first entity starts the next one
      {"&amp;quot;", "&\""},
      {"&&quot;", "&\""},
      {"&amp;amp;EURO;", "&&\x80"},
      {"&nbsp;&lt;&gt;", "&nbsp;&lt;&gt;"},  // decoded later, inside text runs
      {"&am;p &amp &;", "&am;p &amp &;"},
      {"", ""},
      {std::string("\0&amp;\0", 7), std::string("\0&&\0", 4)},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(DecodeMarkupEntities(c.Input), c.Expected) << c.Input;
  }
}

TEST(PreprocessMarkupTest, OpensTheFirstHashTagAndTurnsLineEndsIntoBreaks) {
  const TextCase cases[] = {
      {"<#word> rest", "#word rest"},
      {"<#a> <#b>", "#a <#b>"},           // only the first one
      {"x<#a", "x#a"},                    // no '>' to remove
      {"a>b<#c>d>", "a>b#cd>"},           // the '>' removed is the first one after "<#"
      {"a\r\nb", "a<BR>b"},               // CR LF is one break
      {"a\nb\rc\r\r", "ab<BR>c<BR><BR>"},
      {"Tom &amp; Jerry\r\n", "Tom && Jerry<BR>"},
      {"&amp;<#x>", "&&#x"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(PreprocessMarkup(c.Input, true).Markup, c.Expected) << c.Input;
  }
  EXPECT_EQ(PreprocessMarkup("Tom & Jerry &amp; co", true).Format, kBaseFormat | tfNoPrefix);
}

TEST(DecodeRunEntitiesTest, DecodesBlankAndAngleBracketsOnce) {
  const TextCase cases[] = {
      {"a&nbsp;b", "a b"},
      {"&LT;B&gt;", "<B>"},
      {"&lt;lt;", "<lt;"},
      {"&&lt;", "&<"},
      {"&amp;&nbsp", "&amp;&nbsp"},
      {"&nbsp;&nbsp;", "  "},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(DecodeRunEntities(c.Input), c.Expected) << c.Input;
  }
}

}  // namespace
}  // namespace plx
