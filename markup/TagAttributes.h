#pragma once
// Attribute lookup inside one tag. Attribute names are not parsed: a name is
// found by its first occurrence anywhere in the upper-cased attribute text
// (so "BGCOLOR" is also found inside "BGCOLORTO"), and its value is whatever
// lies between the next two double quotes after it. A value without both
// quotes is empty.

#include <cstddef>
#include <string>
#include <string_view>

namespace plx {

// Text between the first two double quotes at or after `from`; empty when
// there are fewer than two.
std::string_view QuotedValueAfter(std::string_view text, std::size_t from);

// Quoted value after the first `letter` (either case) of the tag at or after
// `from`; the form of x="12" in IND and OF and a="90" in R.
std::string_view QuotedValueAfterLetter(std::string_view tag, char letter, std::size_t from = 0);

class TagAttributes {
 public:
  // `tag` is the whole tag from its '<'; the attribute text starts at the
  // 1-based character `firstCharacter` of it (6 for FONT and BODY, 3 for P
  // and IMG). The view must outlive this object.
  TagAttributes(std::string_view tag, std::size_t firstCharacter);

  bool Has(std::string_view upperName) const;
  // The value upper-cased, as most attributes are read.
  std::string_view Value(std::string_view upperName) const;
  // The value as written, for picture sources that must keep their case.
  std::string_view ValueAsWritten(std::string_view upperName) const;
  // The number after the next '=' following the name (and after a double
  // quote when one follows): the reading of FONT sizes. 0 when absent.
  int NumberAfterEquals(std::string_view upperName) const;
  // The whole attribute text, upper-cased.
  std::string_view UpperText() const { return upper_; }

 private:
  std::string_view written_;
  std::string upper_;
};

}  // namespace plx
