#pragma once
// Slow, literal versions of the markup transformations that the core does in
// linear time. Tests and the fuzzer compare both on the same inputs; these
// follow the step-by-step definitions and are quadratic on purpose.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "markup/MarkupText.h"

namespace plx::reference {

inline std::string UpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// Replaces entities until a sweep replaces nothing; each sweep replaces the
// first occurrence (letter case ignored) of each entity, in table order.
inline std::string SweepEntities(std::string text) {
  static const std::pair<std::string_view, std::string_view> kTable[] = {
      {"&amp;", "&&"},    {"&quot;", "\""},  {"&sect;", "\xA7"},  {"&permil;", "\x89"}, {"&reg;", "\xAE"},
      {"&copy;", "\xA9"}, {"&para;", "\xB6"}, {"&trade;", "\x99"}, {"&euro;", "\x80"},
  };
  if (text.find('&') == std::string::npos) return text;
  for (bool replaced = true; replaced;) {
    replaced = false;
    for (const auto& [name, replacement] : kTable) {
      const std::size_t at = UpperAscii(text).find(UpperAscii(std::string(name)));
      if (at != std::string::npos) {
        text.replace(at, name.size(), replacement);
        replaced = true;
      }
    }
  }
  return text;
}

// Replaces the first occurrence (letter case ignored) of "&nbsp;", "&lt;"
// and "&gt;" in turn until none is left, as text runs are decoded.
inline std::string SweepRunEntities(std::string text) {
  static const std::pair<std::string_view, std::string_view> kTable[] = {{"&nbsp;", " "}, {"&lt;", "<"}, {"&gt;", ">"}};
  for (bool replaced = true; replaced;) {
    replaced = false;
    for (const auto& [name, replacement] : kTable) {
      const std::size_t at = UpperAscii(text).find(UpperAscii(std::string(name)));
      if (at != std::string::npos) {
        text.replace(at, name.size(), replacement);
        replaced = true;
      }
    }
  }
  return text;
}

// The walk of VisibleToMarkupPos, one position at a time.
inline std::size_t VisibleToMarkupPos(const std::string& markup, std::size_t n) {
  std::size_t counter = 1;
  bool inside = false;
  for (std::size_t pos = 1; pos <= markup.size(); ++pos) {
    const char c = markup[pos - 1];
    if (c == '<') inside = true;
    if (counter == n) return pos;
    if (!inside) ++counter;
    if (c == '>') inside = false;
  }
  return counter == n ? markup.size() + 1 : 0;
}

inline std::size_t FindVisibleText(const std::string& needle, const std::string& text, std::size_t start,
                                   bool caseSensitive) {
  if (start >= text.size() || needle.empty()) return 0;
  const std::string rest = text.substr(start);
  const std::size_t at = caseSensitive ? rest.find(needle) : UpperAscii(rest).find(UpperAscii(needle));
  return at == std::string::npos ? 0 : start + at + 1;
}

// One search and two insertions per occurrence, each insertion recomputing
// its position on the markup as changed so far.
inline std::string MarkText(std::string markup, const std::string& needle, const std::string& tag,
                            bool caseSensitive) {
  if (tag.find_first_of("<>") != std::string::npos) return markup;
  const std::string visible = plx::StripTags(markup);
  std::size_t start = 0;
  while (const std::size_t p = FindVisibleText(needle, visible, start, caseSensitive)) {
    start = p + needle.size();
    if (VisibleToMarkupPos(markup, p) == 0 || VisibleToMarkupPos(markup, p + needle.size()) == 0) break;
    markup.insert(VisibleToMarkupPos(markup, p) - 1, "<" + tag + ">");
    markup.insert(VisibleToMarkupPos(markup, p + needle.size()) - 1, "</" + tag + ">");
  }
  return markup;
}

}  // namespace plx::reference
