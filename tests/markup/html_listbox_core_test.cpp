// The markup list's platform-neutral pieces: which anchors reach the shell,
// typing search, the sort order, the selection fill's settings and the
// pictures of drawn entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "markup/GradientStyle.h"
#include "markup/HTMListBoxLayouts.h"
#include "markup/HTMListBoxLinks.h"
#include "markup/HTMListBoxLookup.h"
#include "markup/HTMListBoxPictures.h"
#include "markup/HTMListBoxSort.h"

namespace plx {
namespace {

TEST(ShellLinkTest, OnlyWebAndMailLinksReachTheShell) {
  struct Case {
    std::string anchor;
    bool opened;
  } cases[] = {
      {"http://example.com/", true},
      {"HTTPS://example.com/a?b", true},
      {"MailTo:someone@example.com", true},
      {"hTTp://", true},
      {"file:///c:/windows/system32/calc.exe", false},
      {"FILE://server/share/x.exe", false},
      {"\\\\server\\share\\x.exe", false},
      {"//server/share", false},
      {"javascript:x://", false},
      {"javascript:alert(1)//http://x", false},
      {"ms-settings://", false},
      {"custom-handler://payload", false},
      {"ftp://example.com", false},
      {" http://leading.blank", false},
      {"xhttp://example.com", false},
      {"see mailto:a@b", false},
      {"mailto", false},
      {"word", false},
      {"", false},
      {std::string("http\0://x", 9), false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsShellLink(c.anchor), c.opened) << c.anchor;
}

class LookupTest : public ::testing::Test {
 protected:
  int Key(int key, int selected = -1, bool incremental = false) {
    return lookup_.KeyDown(key, incremental, static_cast<int>(entries_.size()), selected,
                          [this](int i) { return entries_[static_cast<std::size_t>(i)]; });
  }
  std::vector<std::string> entries_{"apple", "Banana", "blueberry", "cherry", "bamboo"};
  TIncrementalLookup lookup_;
};

TEST_F(LookupTest, ALetterFindsTheFirstEntryFromTheSelectedOne) {
  EXPECT_EQ(Key('B'), 1);                // nothing selected: from the first entry
  EXPECT_EQ(Key('B', 1), 1);             // the selected entry itself matches: it stays
  EXPECT_EQ(Key('B', 2), 2);             // from the selected entry on
  EXPECT_EQ(Key('B', 3), 4);
  EXPECT_EQ(Key('A', 3), 0);             // nothing after it: from the first entry
  EXPECT_EQ(Key('Z', 1), -1);            // a letter that starts no entry selects nothing
  EXPECT_EQ(lookup_.Text(), "Z");
}

TEST_F(LookupTest, NavigationKeysAndEscapeClearTheSearch) {
  for (int key : {27, 33, 34, 35, 36, 37, 38, 39, 40}) {
    Key('B', -1, true);
    EXPECT_EQ(Key(key, 1, true), -1) << key;
    EXPECT_EQ(lookup_.Text(), "") << key;
  }
  Key('B', -1, true);
  EXPECT_EQ(Key('A', 1, true), 1);  // positive control: a letter goes on from "B"
  EXPECT_EQ(lookup_.Text(), "BA");
}

TEST_F(LookupTest, IncrementalLookupBuildsTheSearchText) {
  EXPECT_EQ(Key('B', -1, true), 1);
  EXPECT_EQ(Key('L', 1, true), 2);  // "BL": blueberry
  EXPECT_EQ(lookup_.Text(), "BL");
  EXPECT_EQ(Key(8, 2, true), 2);    // backspace: "B", from the selected entry
  EXPECT_EQ(lookup_.Text(), "B");
  EXPECT_EQ(Key('A', 2, true), 4);  // "BA" from blueberry on: bamboo
  EXPECT_EQ(Key('X', 4, true), -1);  // "BAX" and then "X": nothing
  EXPECT_EQ(lookup_.Text(), "X");
  EXPECT_EQ(Key('C', -1, true), 3);  // "XC" matches nothing; starts over with "C"
  EXPECT_EQ(lookup_.Text(), "C");
  lookup_.Clear();
  EXPECT_EQ(Key('A', -1, false), 0);
  EXPECT_EQ(Key('P', 0, false), -1);  // without incremental lookup only "P" is searched
}

TEST_F(LookupTest, AnEmptyListSelectsNothing) {
  entries_.clear();
  EXPECT_EQ(Key('A'), -1);
  EXPECT_EQ(Key('A', -1, true), -1);
}

int ByteCompare(const std::string& a, const std::string& b) { return a.compare(b); }

std::vector<std::string> Apply(const std::vector<std::string>& keys, const std::vector<int>& order) {
  std::vector<std::string> sorted;
  sorted.reserve(order.size());
  for (int from : order) sorted.push_back(keys[static_cast<std::size_t>(from)]);
  return sorted;
}

TEST(SortOrderTest, OrdersKeysAndIsAPermutation) {
  std::mt19937 random(7);
  for (int size : {0, 1, 2, 3, 10, 257}) {
    std::vector<std::string> keys;
    keys.reserve(size);
    for (int i = 0; i < size; ++i) keys.push_back(std::string(1, static_cast<char>('a' + random() % 5)) +
                                                 std::to_string(random() % 7));
    const std::vector<int> order = SortedEntryOrder(keys, ByteCompare);
    std::vector<int> seen = order;
    std::sort(seen.begin(), seen.end());
    for (int i = 0; i < size; ++i) ASSERT_EQ(seen[static_cast<std::size_t>(i)], i) << "size " << size;
    std::vector<std::string> expected = keys;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Apply(keys, order), expected) << "size " << size;
  }
}

TEST(SortOrderTest, EqualKeysAreNeverExchanged) {
  const std::vector<std::string> keys{"b", "a", "b", "a", "b"};
  const std::vector<int> order = SortedEntryOrder(keys, ByteCompare);
  EXPECT_EQ(Apply(keys, order), (std::vector<std::string>{"a", "a", "b", "b", "b"}));
  const std::vector<std::string> same(6, "x");
  EXPECT_EQ(SortedEntryOrder(same, ByteCompare), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST(SortOrderTest, LargeOrderedAndReversedListsSort) {
  std::vector<std::string> keys;
  keys.reserve(100000);
  for (int i = 0; i < 100000; ++i) keys.push_back(std::to_string(1000000 + i));
  std::vector<std::string> reversed(keys.rbegin(), keys.rend());
  EXPECT_EQ(Apply(reversed, SortedEntryOrder(reversed, ByteCompare)), keys);
  EXPECT_EQ(Apply(keys, SortedEntryOrder(keys, ByteCompare)), keys);
}

TEST(GradientStyleTest, StartValuesChangesAndAssign) {
  TGradientStyle style;
  EXPECT_EQ(style.ColorFrom(), clHighlight);
  EXPECT_EQ(style.ColorTo(), clNone);
  EXPECT_EQ(style.BorderColor(), clHighlight);
  EXPECT_EQ(style.ColorMirrorFrom(), clNone);
  EXPECT_EQ(style.ColorMirrorTo(), clNone);
  EXPECT_FALSE(style.Direction());

  int changes = 0;
  style.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &style);
    ++changes;
  };
  style.SetColorTo(clRed);
  style.SetColorTo(clRed);  // unchanged: no event
  style.SetDirection(true);
  EXPECT_EQ(changes, 2);

  TGradientStyle other;
  other.SetColorFrom(clLime);
  other.SetColorTo(clBlue);
  other.SetBorderColor(clNone);
  other.SetColorMirrorFrom(clYellow);
  other.SetColorMirrorTo(clAqua);
  other.SetDirection(false);
  style.Assign(other);
  EXPECT_EQ(style.ColorFrom(), clLime);
  EXPECT_EQ(style.ColorTo(), clBlue);
  EXPECT_EQ(style.BorderColor(), clNone);
  EXPECT_EQ(style.ColorMirrorFrom(), clYellow);
  EXPECT_EQ(style.ColorMirrorTo(), clAqua);
  EXPECT_TRUE(style.Direction());  // not copied
}

TEST(EntryPictureCacheTest, FindsStoredPicturesAndKeepsToItsBudget) {
  TEntryPictureCache cache(100);
  auto picture = [](int pixels) {
    TEntryPicture p;
    p.width = pixels;
    p.height = 1;
    p.pixels.assign(static_cast<std::size_t>(pixels), 0x123456);
    return p;
  };
  EXPECT_EQ(cache.Find("a"), nullptr);
  cache.Store("a", picture(20));
  ASSERT_NE(cache.Find("a"), nullptr);
  EXPECT_EQ(cache.Find("a")->width, 20);
  cache.Store("a", picture(10));  // stored again: replaced, counted once
  EXPECT_EQ(cache.Pixels(), 10u);
  cache.Store("big", picture(26));  // more than a quarter of the budget: not kept
  EXPECT_EQ(cache.Find("big"), nullptr);
  for (int i = 0; i < 9; ++i) cache.Store("k" + std::to_string(i), picture(10));
  EXPECT_EQ(cache.Pixels(), 100u);
  cache.Store("one more", picture(10));  // past the budget: the others go
  EXPECT_EQ(cache.Count(), 1u);
  EXPECT_EQ(cache.Pixels(), 10u);
  EXPECT_NE(cache.Find("one more"), nullptr);
  cache.Clear();
  EXPECT_EQ(cache.Find("one more"), nullptr);
  EXPECT_EQ(cache.Pixels(), 0u);
}

TEST(EntryPictureCacheTest, AnEntryIsNotedAsDrawnOnceUntilCleared) {
  TEntryPictureCache cache(100);
  EXPECT_FALSE(cache.NoteDrawn("a"));
  EXPECT_TRUE(cache.NoteDrawn("a"));
  EXPECT_FALSE(cache.NoteDrawn("b"));
  cache.Clear();
  EXPECT_FALSE(cache.NoteDrawn("a"));
}

TEST(EntryPictureCacheTest, EntriesWithPicturesAreAlwaysDrawn) {
  EXPECT_TRUE(EntryPictureMayBeKept("<BODY bgcolor=\"#FFA0B0\">Hello <B>you</B>..."));
  EXPECT_TRUE(EntryPictureMayBeKept("<A href=\"x\">link</A>"));
  EXPECT_TRUE(EntryPictureMayBeKept("BGTOPLEF <IM backgroun"));
  for (const char* markup : {"<IMG src=\"IDX:0\">", "a<img src=\"x\">", "<BODY background=\"p\">",
                             "<body bgtopleft=\"p\">", "<BODY BGTOPRIGHT=\"p\">", "x<iMg", "bbackground"})
    EXPECT_FALSE(EntryPictureMayBeKept(markup)) << markup;
}

}  // namespace
}  // namespace plx

namespace plx {
namespace {

std::shared_ptr<const MarkupLayout> LayoutOfExtent(int extentX) {
  auto layout = std::make_shared<MarkupLayout>();
  layout->ExtentX = extentX;
  return layout;
}

// The list keeps a bounded number of entry layouts; the one used longest
// ago goes first, and a layout found counts as used.
TEST(EntryLayoutCacheTest, KeepsTheLayoutsUsedLatest) {
  TEntryLayoutCache cache(2);
  cache.Store("a", LayoutOfExtent(1));
  cache.Store("b", LayoutOfExtent(2));
  ASSERT_NE(cache.Find("a"), nullptr);  // "a" is now the latest used
  cache.Store("c", LayoutOfExtent(3));
  struct Case {
    const char* key;
    int extentX;  // 0: not kept
  } const cases[] = {{"a", 1}, {"b", 0}, {"c", 3}};
  for (const Case& c : cases) {
    const auto found = cache.Find(c.key);
    EXPECT_EQ(found ? found->ExtentX : 0, c.extentX) << c.key;
  }
  EXPECT_EQ(cache.Count(), 2u);
  cache.Store("c", LayoutOfExtent(4));  // stored again: replaced, nothing else goes
  EXPECT_EQ(cache.Find("c")->ExtentX, 4);
  EXPECT_NE(cache.Find("a"), nullptr);
  // A layout in use outlives its place in the cache.
  const auto held = cache.Find("a");
  cache.Clear();
  EXPECT_EQ(cache.Find("a"), nullptr);
  EXPECT_EQ(held->ExtentX, 1);
}

}  // namespace
}  // namespace plx
