#pragma once
// The text a person reads in a drawn markup string, for assistive technology
// that reads entries aloud: what drawing shows, without what it interprets.

#include <string>
#include <string_view>

namespace plx {

// The plain text of markup as drawing shows it: tags and hidden sections
// removed, line-break tags as CR LF, entities decoded, and "&" read as the
// underline prefix ("&&" shows one '&', "&x" shows "x") unless the markup
// holds " & ", which turns prefix reading off. Line ends in the markup
// itself follow drawing: a CR breaks the line, a LF is not shown.
std::string VisibleText(std::string_view markup);

}  // namespace plx
