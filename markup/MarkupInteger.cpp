#include "markup/MarkupInteger.h"

#include <climits>
#include <cstdint>

namespace plx {

namespace {

int DigitValue(char c, int base) {
  if (c >= '0' && c <= '9') return c - '0';
  if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

MarkupInteger ReadMarkupInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  }
  // Accumulate the magnitude in 64 bits and stop growing it once it leaves the
  // int range, so arbitrarily long digit runs cost no more than reading them.
  constexpr std::int64_t kLimit = static_cast<std::int64_t>(INT_MAX) + 1;
  std::int64_t magnitude = 0;
  bool overflow = false;
  std::size_t digits = 0;
  for (; i < text.size(); ++i, ++digits) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0) break;
    if (!overflow) {
      magnitude = magnitude * base + digit;
      if (magnitude > kLimit) overflow = true;
    }
  }
  MarkupInteger result;
  if (overflow || (!negative && magnitude == kLimit)) {
    result.Value = negative ? INT_MIN : INT_MAX;
    return result;
  }
  result.Value = static_cast<int>(negative ? -magnitude : magnitude);
  result.Clean = digits > 0 && i == text.size();
  return result;
}

}  // namespace plx
