#pragma once
// Numbers in markup attribute values, read the way the framework converts
// text to integers: leading blanks, an optional sign, decimal digits, or
// hexadecimal digits after a leading '$' or 'x'.

#include <string_view>

namespace plx {

struct MarkupInteger {
  int Value = 0;       // the digits read before the first non-digit (0 when none)
  bool Clean = false;  // the whole text was one number, nothing before or after it
};

// Never fails: text that is not a number gives the digits that could be read.
// Values beyond the int range saturate and are not clean.
MarkupInteger ReadMarkupInteger(std::string_view text);

}  // namespace plx
