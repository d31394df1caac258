// The measurement cache: values found by font, kind, room and text alike,
// bounded, and font numbers that stay unique after it starts afresh.

#include "markup/TextMetricsCache.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace plx {
namespace {

TEST(TextMetricsCacheTest, FindsWhatWasStoredUnderTheSameKeyOnly) {
  TextMetricsCache cache;
  const std::uint64_t tahoma = cache.FontId("Tahoma 11");
  const std::uint64_t sans = cache.FontId("MS Sans Serif 11");
  EXPECT_NE(tahoma, sans);
  EXPECT_EQ(cache.FontId("Tahoma 11"), tahoma);
  cache.Store(tahoma, 7, 0, "word ", 31);
  ASSERT_NE(cache.Find(tahoma, 7, 0, "word "), nullptr);
  EXPECT_EQ(*cache.Find(tahoma, 7, 0, "word "), 31);
  EXPECT_EQ(cache.Find(sans, 7, 0, "word "), nullptr);
  EXPECT_EQ(cache.Find(tahoma, 8, 0, "word "), nullptr);
  EXPECT_EQ(cache.Find(tahoma, 7, 1, "word "), nullptr);
  EXPECT_EQ(cache.Find(tahoma, 7, 0, "word"), nullptr);
  EXPECT_EQ(cache.Find(tahoma, 7, 0, std::string("word \0", 6)), nullptr);

  // Long texts are not kept.
  const std::string longText(TextMetricsCache::kMaxText + 1, 'x');
  cache.Store(tahoma, 7, 0, longText, 5);
  EXPECT_EQ(cache.Find(tahoma, 7, 0, longText), nullptr);
}

TEST(TextMetricsCacheTest, StaysWithinItsBytesAndNeverReusesFontNumbers) {
  TextMetricsCache cache;
  const std::uint64_t first = cache.FontId("font 0");
  // Long texts fill the budget sooner than short ones.
  for (const std::size_t length : {std::size_t{1}, TextMetricsCache::kMaxText - 8}) {
    SCOPED_TRACE(length);
    const auto text = [length](std::size_t i) {
      char number[16];
      std::snprintf(number, sizeof number, "%08zu", i);
      return std::string(length, 'x') + number;  // every text as long as the others
    };
    const std::size_t fit = TextMetricsCache::kMaxBytes / (text(0).size() + TextMetricsCache::kEntryOverhead);
    cache.Clear();
    std::size_t i = 0;
    std::size_t heldBeforeRestart = 0;
    for (;; ++i) {
      ASSERT_LT(i, 10 * fit) << "never started afresh";
      const std::size_t before = cache.Count();
      cache.Store(first, 0, 0, text(i), 1);
      ASSERT_LE(cache.Bytes(), TextMetricsCache::kMaxBytes);
      if (cache.Count() <= before) {
        heldBeforeRestart = before;
        break;
      }
    }
    // It started afresh when the next entry would have passed the budget,
    // not sooner: the oldest entries are gone, the newest kept.
    EXPECT_EQ(heldBeforeRestart, fit);
    EXPECT_EQ(cache.Find(first, 0, 0, text(0)), nullptr);
    EXPECT_NE(cache.Find(first, 0, 0, text(i)), nullptr);
  }

  // Clear forgets every measurement.
  cache.Store(first, 0, 0, "kept", 3);
  ASSERT_NE(cache.Find(first, 0, 0, "kept"), nullptr);
  cache.Clear();
  EXPECT_EQ(cache.Find(first, 0, 0, "kept"), nullptr);
  EXPECT_EQ(cache.Bytes(), 0u);

  for (std::size_t i = 1; i <= TextMetricsCache::kMaxFonts + 1; ++i) cache.FontId("font " + std::to_string(i));
  // "font 0" was forgotten; asked again it gets a new number, not the old one.
  EXPECT_NE(cache.FontId("font 0"), first);
}

}  // namespace
}  // namespace plx
