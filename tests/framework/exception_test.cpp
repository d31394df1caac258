#include "framework/Exception.h"

#include <gtest/gtest.h>

namespace plx {
namespace {

TEST(ExceptionDisplayText, AppendsPeriodOnlyAfterCharactersSortingAfterIt) {
  struct Case {
    const char* message;
    const char* shown;
  } cases[] = {
      {"", ""},
      {"Disk full", "Disk full."},
      {"Done.", "Done."},
      {"Why?", "Why?."},
      {"Stop!", "Stop!"},    // '!' sorts before '.'
      {"a,", "a,"},          // ',' sorts before '.'
      {"path/", "path/."},   // '/' sorts after '.'
      {"\xE9", "\xE9."},     // bytes above 127 sort after '.'
  };
  for (const auto& c : cases)
    EXPECT_EQ(ExceptionDisplayText(c.message), c.shown) << "message: " << c.message;
}

}  // namespace
}  // namespace plx
