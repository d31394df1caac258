#pragma once
// Markup as text, without a canvas: its plain text, and search marks set into
// it and taken out again. Positions are 1-based character positions; 0 means
// "none".

#include <cstddef>
#include <string>
#include <string_view>

namespace plx {

// The entry's plain text, for hints, sorting and incremental search: "<BR>"
// and "<HR>" become CR LF, hidden sections ("<z>".."</z>", then
// "<Z>".."</Z>") are left out, and tags are removed. Entities stay as written;
// a '<' without a '>' after it stays with everything that follows.
std::string StripMarkup(std::string_view markup);

// The markup with every complete tag removed; a '<' without a '>' after it
// stays, together with the rest of the text.
std::string StripTags(std::string_view markup);

// The markup position right after the (n - 1)-th visible character, before
// any tags that follow it (1 for n = 1); markup length + 1 when the text ends
// there; 0 when the markup has fewer visible characters. Text after a '<'
// that is never closed is not visible.
std::size_t VisibleToMarkupPos(std::string_view markup, std::size_t n);

// Position of `needle` in `text`, searched from the character after the first
// `start` characters; 0 when absent (an empty needle is never found). Without
// case sensitivity ASCII letters match either case.
std::size_t FindVisibleText(std::string_view needle, std::string_view text, std::size_t start, bool caseSensitive);

// Encloses occurrences of `needle` in the visible text in "<tag>" and
// "</tag>". After each occurrence the search resumes one character past its
// end, so an occurrence right after another is not marked. An occurrence that
// does not map onto the markup (it lies after a '<' that is never closed)
// ends the marking; a tag name holding '<' or '>' marks nothing.
std::string MarkText(std::string_view markup, std::string_view needle, std::string_view tag, bool caseSensitive);

// Removes every "<tag>" and then every "</tag>", letter case ignored.
std::string UnmarkText(std::string_view markup, std::string_view tag);

}  // namespace plx
