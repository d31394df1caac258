// The measurement cache: values found by font, kind, room and text alike,
// bounded, and font numbers that stay unique after it starts afresh.

#include "markup/TextMetricsCache.h"

#include <gtest/gtest.h>

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

TEST(TextMetricsCacheTest, StaysBoundedAndNeverReusesFontNumbers) {
  TextMetricsCache cache;
  const std::uint64_t first = cache.FontId("font 0");
  for (std::size_t i = 0; i <= TextMetricsCache::kMaxEntries; ++i) cache.Store(first, 0, 0, std::to_string(i), 1);
  // The cache started afresh when full: the oldest entries are gone, the newest kept.
  EXPECT_EQ(cache.Find(first, 0, 0, "0"), nullptr);
  EXPECT_NE(cache.Find(first, 0, 0, std::to_string(TextMetricsCache::kMaxEntries)), nullptr);

  for (std::size_t i = 1; i <= TextMetricsCache::kMaxFonts + 1; ++i) cache.FontId("font " + std::to_string(i));
  // "font 0" was forgotten; asked again it gets a new number, not the old one.
  EXPECT_NE(cache.FontId("font 0"), first);
}

}  // namespace
}  // namespace plx
