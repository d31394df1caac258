#pragma once
// Byte-string helpers shared by the markup code: ASCII case folding and a
// substring search whose time stays linear in the text and the needle, so
// that dropped text of any length and shape is searched in one pass.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plx {

// Markup names and attribute values are compared in ASCII only; bytes above
// 127 belong to the canvas code page and are left as they are.
inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
std::string AsciiUpperCase(std::string_view text);
std::string AsciiLowerCase(std::string_view text);

// Whether `text` holds `c`. A plain loop on purpose: the words of a layout
// are short, and the library's search is a call out of the program each time
// (into the C runtime's DLL on Windows), which costs more than the looking.
inline bool ContainsByte(std::string_view text, char c) {
  for (const char each : text) {
    if (each == c) return true;
  }
  return false;
}

// True when `text` starts with `prefix`, ASCII letters compared without case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// Knuth-Morris-Pratt search for one needle, reusable over many texts.
class SubstringSearcher {
 public:
  explicit SubstringSearcher(std::string_view needle);

  // Offset of the first occurrence at or after `from`, or npos. An empty
  // needle is never found.
  std::size_t Find(std::string_view text, std::size_t from = 0) const;

  std::size_t NeedleSize() const { return needle_.size(); }

 private:
  std::string needle_;
  std::vector<std::size_t> fallback_;  // length of the longest proper border of needle_[0..i]
};

// Replaces every non-overlapping occurrence of `pattern` (ASCII case
// ignored), scanning left to right once; replaced text is not searched again.
std::string ReplaceAllNoCase(std::string_view text, std::string_view pattern, std::string_view replacement);

}  // namespace plx
