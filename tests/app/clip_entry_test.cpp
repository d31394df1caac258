#include "app/ClipEntry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ClipStore.h"
#include "framework/Exception.h"

namespace plx {
namespace {

TEST(ClipPreview, TakesEightyCharactersTrimmedOfControlCharactersAtBothEnds) {
  const std::string two_hundred = [] {
    std::string s;
    for (int i = 0; i < 200; ++i) s += static_cast<char>('a' + i % 26);
    return s;
  }();
  struct Case {
    std::string name, text, preview;
  } cases[] = {
      {"five-letter word", "hello", "hello"},
      {"200 characters", two_hundred, two_hundred.substr(0, 80)},
      {"blanks and a line break", "  first\r\nsecond  ", "first\r\nsecond"},
      {"empty", "", ""},
      {"blanks, breaks and zeros only", std::string(" \t\r\n\0\x1F ", 7), ""},
      {"zero inside stays", std::string("a\0b", 3), std::string("a\0b", 3)},
      {"trimmed after the cut", std::string(79, 'x') + "  tail", std::string(79, 'x')},
      {"leading blanks count towards 80", std::string(78, ' ') + "abcdef", "ab"},
      {"byte 33 and high bytes stay", "!\xFF\x80!", "!\xFF\x80!"},
      {"markup is not escaped", "<B>bold</B> & more", "<B>bold</B> & more"},
  };
  for (const auto& c : cases) EXPECT_EQ(ClipPreview(c.text), c.preview) << c.name;
}

TEST(ClipColorTag, IsFullRedWithFourDigitsOneFromEachValue) {
  std::vector<int> values = {0, 32767, 2048, 30000};
  std::size_t next = 0;
  const std::string tag = ClipColorTag([&] { return values[next++]; });
  EXPECT_EQ(next, 4u);
  EXPECT_EQ(tag, "#FF0F1E");
}

TEST(ClipColorTag, EveryDigitCanOccur) {
  std::string seen;
  for (int v = 0; v < 32768; v += 2048) {
    const std::string tag = ClipColorTag([v] { return v; });
    ASSERT_EQ(tag.size(), 7u);
    ASSERT_EQ(tag.substr(0, 3), "#FF");
    seen += tag[3];
  }
  EXPECT_EQ(seen, "0123456789ABCDEF");
}

TEST(ClipEntryString, JoinsTheFivePieces) {
  EXPECT_EQ(ClipEntryString("#FF12AB", "hello"), "<BODY bgcolor=\"#FF12AB\">hello...");
  EXPECT_EQ(ClipEntryString("#FF0000", ""), "<BODY bgcolor=\"#FF0000\">...");
}

TEST(ClipStore, RemovesFromAnyPlaceKeepingPositionsAndRejectsBadIndexes) {
  TClipStore store;
  store.Append(0, "a");
  store.Append(1, std::string("b\0", 2));
  store.Append(2, "c");
  store.Remove(0);
  ASSERT_EQ(store.Count(), 2);
  EXPECT_EQ(store.Item(0).text, std::string("b\0", 2));
  EXPECT_EQ(store.Item(0).position, 1);  // never renumbered
  EXPECT_THROW(store.Remove(2), EListError);
  EXPECT_THROW(store.Item(-1), EListError);
  store.Clear();
  EXPECT_EQ(store.Count(), 0);
}

}  // namespace
}  // namespace plx
