#include "markup/TextSearch.h"

namespace plx {

std::string AsciiUpperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = AsciiUpper(c);
  return result;
}

std::string AsciiLowerCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = AsciiLower(c);
  return result;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiUpper(text[i]) != AsciiUpper(prefix[i])) return false;
  }
  return true;
}

SubstringSearcher::SubstringSearcher(std::string_view needle) : needle_(needle), fallback_(needle.size(), 0) {
  std::size_t border = 0;
  for (std::size_t i = 1; i < needle_.size(); ++i) {
    while (border > 0 && needle_[i] != needle_[border]) border = fallback_[border - 1];
    if (needle_[i] == needle_[border]) ++border;
    fallback_[i] = border;
  }
}

std::size_t SubstringSearcher::Find(std::string_view text, std::size_t from) const {
  const std::size_t m = needle_.size();
  if (m == 0 || from >= text.size() || text.size() - from < m) return std::string_view::npos;
  std::size_t matched = 0;
  for (std::size_t i = from; i < text.size(); ++i) {
    while (matched > 0 && text[i] != needle_[matched]) matched = fallback_[matched - 1];
    if (text[i] == needle_[matched]) ++matched;
    if (matched == m) return i + 1 - m;
  }
  return std::string_view::npos;
}

std::string ReplaceAllNoCase(std::string_view text, std::string_view pattern, std::string_view replacement) {
  if (pattern.empty()) return std::string(text);
  const std::string upperText = AsciiUpperCase(text);
  const SubstringSearcher searcher(AsciiUpperCase(pattern));
  std::string result;
  result.reserve(text.size());
  std::size_t copied = 0;
  for (std::size_t found = searcher.Find(upperText); found != std::string_view::npos;
       found = searcher.Find(upperText, copied)) {
    result.append(text, copied, found - copied);
    result.append(replacement);
    copied = found + pattern.size();
  }
  result.append(text, copied);
  return result;
}

}  // namespace plx
