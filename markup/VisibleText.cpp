#include "markup/VisibleText.h"

#include "framework/AcceleratorText.h"
#include "markup/MarkupPreprocess.h"
#include "markup/MarkupText.h"

namespace plx {

std::string VisibleText(std::string_view markup) {
  // Word wrapping only chooses an end ellipsis, which is a layout matter:
  // the text is the same either way.
  const PreprocessedMarkup prepared = PreprocessMarkup(markup, true);
  // Run entities ("&lt;", "&gt;", "&nbsp;") are decoded after the tags are
  // gone, as drawing decodes them inside runs: "&lt;b&gt;" is text, never a tag.
  std::string text = DecodeRunEntities(StripMarkup(prepared.Markup));
  if (prepared.Format & tfNoPrefix) return text;
  return WithoutAcceleratorMarkers(text);
}

}  // namespace plx
