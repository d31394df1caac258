#pragma once
// What happens to a markup string before it is laid out: the text format
// flags are chosen, entities are decoded, the first "<#" is opened up, and
// line ends become break tags.

#include <string>
#include <string_view>

#include "markup/RenderState.h"

namespace plx {

struct PreprocessedMarkup {
  std::string Markup;
  TextFormat Format = 0;
};

// Bottom-aligned single-line output with tabs expanded and external leading;
// no prefix processing when the raw markup holds " & " (blank, ampersand,
// blank); an end ellipsis when lines are not word-wrapped.
TextFormat MarkupTextFormat(std::string_view rawMarkup, bool wordWrap);

// Decodes "&amp;" (to "&&", one '&' once prefix processing has shown it),
// "&quot;", "&sect;", "&permil;", "&reg;", "&copy;", "&para;", "&trade;" and
// "&euro;", names in any case, until none is left. Each "&&" that "&amp;"
// leaves behind can start a further entity with the text after it, so
// "&amp;amp;" gives "&&&" and "&amp;quot;" gives "&\"".
std::string DecodeMarkupEntities(std::string_view markup);

// All steps in order: entities, the first "<#" losing its '<' and the first
// '>' after it, carriage returns to "<BR>", line feeds removed.
PreprocessedMarkup PreprocessMarkup(std::string_view rawMarkup, bool wordWrap);

// The entities decoded inside one text run, after tags were split off, so that
// they can neither start nor end a tag: "&nbsp;" to a blank, "&lt;" to '<',
// "&gt;" to '>'.
std::string DecodeRunEntities(std::string_view run);
// The same into `out`, whose memory is kept for the next run.
void DecodeRunEntities(std::string_view run, std::string& out);

}  // namespace plx
