#include "markup/VisibleText.h"

#include <gtest/gtest.h>

#include <string>

namespace plx {
namespace {

struct VisibleCase {
  std::string Markup;
  std::string Expected;
};

TEST(VisibleTextTest, IsWhatDrawingShows) {
  const VisibleCase cases[] = {
      {"<BODY bgcolor=\"#FF3A7C\">Hello <b>you</b>...", "Hello you..."},
      {"<BODY bgcolor=\"#FF3A7C\">...", "..."},
      {"a &amp; b...", "a & b..."},            // " & " after decoding: prefix reading stays on for the raw text
      {"a & b", "a & b"},                      // " & " in the markup: '&' is shown as it is
      {"R&D", "RD"},                           // the prefix underlines D
      {"R&&D", "R&D"},
      {"x&", "x&"},
      {"&lt;b&gt;bold?&lt;/b&gt;", "<b>bold?</b>"},  // decoded after tags are gone: text, not tags
      {"&quot;quoted&quot; &copy;", "\"quoted\" \xA9"},
      {"a&nbsp;b", "a b"},
      {"one\r\ntwo", "one\r\ntwo"},           // CR breaks the line, LF is dropped
      {"one\ntwo", "onetwo"},
      {"a<BR>b", "a\r\nb"},
      {"x<z>hidden</z>y", "xy"},
      {"<#word> text", "#word text"},
      {"a<b", "a<b"},
  };
  for (const VisibleCase& c : cases) EXPECT_EQ(VisibleText(c.Markup), c.Expected) << "markup: " << c.Markup;
}

}  // namespace
}  // namespace plx
