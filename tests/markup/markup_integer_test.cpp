#include "markup/MarkupInteger.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace plx {
namespace {

TEST(ReadMarkupIntegerTest, ReadsLeadingDigitsTheFrameworkWay) {
  struct Case {
    std::string Text;
    int Value;
    bool Clean;
  };
  const Case cases[] = {
      {"12", 12, true},       {"  12", 12, true},      {"-7", -7, true},       {"+7", 7, true},
      {"$1F", 31, true},      {"x1f", 31, true},       {"X10", 16, true},      {"-$10", -16, true},
      {"12px", 12, false},    {"12 ", 12, false},      {"", 0, false},         {"abc", 0, false},
      {"-", 0, false},        {"$", 0, false},         {"0x10", 0, false},     {"1.5", 1, false},
      {"2147483647", INT_MAX, true},  {"-2147483648", INT_MIN, true},
      {"2147483648", INT_MAX, false}, {"-99999999999999999999", INT_MIN, false},
  };
  for (const Case& c : cases) {
    const MarkupInteger n = ReadMarkupInteger(c.Text);
    EXPECT_EQ(n.Value, c.Value) << c.Text;
    EXPECT_EQ(n.Clean, c.Clean) << c.Text;
  }
}

}  // namespace
}  // namespace plx
