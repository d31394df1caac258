#include "markup/VisibleText.h"

#include "markup/MarkupPreprocess.h"
#include "markup/MarkupText.h"

namespace plx {

namespace {

// What drawing does with '&' when prefix reading is on: the character after
// it is shown (underlined), so "&&" leaves one '&'; a lone '&' at the end
// stays as it is.
std::string ApplyPrefixReading(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

}  // namespace

std::string VisibleText(std::string_view markup) {
  // Word wrapping only chooses an end ellipsis, which is a layout matter:
  // the text is the same either way.
  const PreprocessedMarkup prepared = PreprocessMarkup(markup, true);
  // Run entities ("&lt;", "&gt;", "&nbsp;") are decoded after the tags are
  // gone, as drawing decodes them inside runs: "&lt;b&gt;" is text, never a tag.
  std::string text = DecodeRunEntities(StripMarkup(prepared.Markup));
  if (prepared.Format & tfNoPrefix) return text;
  return ApplyPrefixReading(text);
}

}  // namespace plx
