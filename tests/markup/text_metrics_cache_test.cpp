// The measurement cache: values found by font, kind, room and text alike,
// bounded, and font numbers that stay unique after it starts afresh.

#include "markup/TextMetricsCache.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
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

// Printable ASCII is measured by adding up advance widths; any other
// character leaves the text to the system's own measuring.
TEST(TextMetricsCacheTest, AsciiWidthsAddUpPrintableTextOnly) {
  TextMetricsCache::AsciiWidths widths;
  for (std::size_t i = 0; i < widths.Advance.size(); ++i) widths.Advance[i] = static_cast<int>(i % 7) + 1;
  const auto advance = [&](char c) { return widths.Advance[static_cast<unsigned char>(c) - ' ']; };
  struct Case {
    std::string text;
    std::optional<int> width;
  } const cases[] = {
      {"", 0},
      {" ", advance(' ')},
      {"~", advance('~')},
      {"Hello, world", advance('H') + advance('e') + 2 * advance('l') + 2 * advance('o') + advance(',') +
                           advance(' ') + advance('w') + advance('r') + advance('l') + advance('d')},
      {"tab\there", std::nullopt},
      {std::string("nul\0", 4), std::nullopt},
      {"caf\xE9", std::nullopt},
      {"\x7F", std::nullopt},
      {"line\r\n", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(widths.WidthOf(c.text), c.width) << c.text;
  // A sum past what a coordinate holds is left to the system too.
  widths.Advance.fill(1 << 30);
  EXPECT_EQ(widths.WidthOf("ab"), std::nullopt);
  EXPECT_EQ(widths.WidthOf("a"), 1 << 30);
}

TEST(TextMetricsCacheTest, AsciiWidthsAreKeptPerFontBoundedAndCleared) {
  TextMetricsCache cache;
  TextMetricsCache::AsciiWidths widths;
  widths.Usable = true;
  widths.Advance.fill(5);
  const auto first = cache.StoreAsciiWidths(1, widths);
  ASSERT_NE(cache.FindAsciiWidths(1), nullptr);
  EXPECT_EQ(cache.FindAsciiWidths(1)->Advance[0], 5);
  EXPECT_EQ(cache.FindAsciiWidths(2), nullptr);
  for (std::uint64_t font = 2; font <= TextMetricsCache::kMaxWidthFonts + 1; ++font) {
    cache.StoreAsciiWidths(font, widths);
    ASSERT_LE(cache.WidthFontCount(), TextMetricsCache::kMaxWidthFonts);
  }
  EXPECT_EQ(cache.FindAsciiWidths(1), nullptr) << "started afresh when full";
  EXPECT_NE(cache.FindAsciiWidths(TextMetricsCache::kMaxWidthFonts + 1), nullptr);
  EXPECT_EQ(first->Advance[0], 5) << "a table held elsewhere outlives the cache's";
  cache.Clear();
  EXPECT_EQ(cache.WidthFontCount(), 0u);
}

}  // namespace
}  // namespace plx
