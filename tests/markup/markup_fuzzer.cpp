// Fuzzes everything that reads markup: pre-processing, tag reading into the
// render state over a measuring and a drawing pass, and the text functions.
// Input: one byte of options, one byte giving the needle's length, the
// needle, then the markup. Run with: scripts/fuzz.sh markup_fuzzer SECONDS

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "markup/ColorValues.h"
#include "markup/MarkupInteger.h"
#include "markup/MarkupPreprocess.h"
#include "markup/MarkupText.h"
#include "markup/TagReader.h"
#include "reference_sweeps.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Walks the markup the way a line layout does: text runs, then one tag at a time.
void WalkTags(std::string_view markup, plx::RenderState& state, const plx::TagPass& pass, bool wordWrap) {
  while (!markup.empty()) {
    if (markup[0] != '<') {
      std::size_t end = markup.find('<');
      if (wordWrap) {
        const std::size_t blank = markup.find(' ');
        if (blank < end) end = blank + 1;
      }
      const std::string_view run = markup.substr(0, end);
      const std::string decoded = plx::DecodeRunEntities(run);
      Check(decoded.size() <= run.size());
      if (run.size() <= 512) Check(decoded == plx::reference::SweepRunEntities(std::string(run)));
      markup.remove_prefix(run.size());
      continue;
    }
    if (markup.size() <= 2) break;
    const plx::MarkupTag tag = plx::ReadTag(markup);
    Check(!tag.Text.empty() && tag.Text.size() <= markup.size());
    plx::ApplyTag(state, tag, pass);
    Check(state.ListLevel >= 0);
    markup.remove_prefix(tag.Text.size());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t options = data[0];
  const std::size_t needleSize = std::min<std::size_t>(data[1] % 16, size - 2);
  const std::string needle(reinterpret_cast<const char*>(data + 2), needleSize);
  const std::string markup(reinterpret_cast<const char*>(data + 2 + needleSize), size - 2 - needleSize);
  const bool wordWrap = options & 1;
  const bool caseSensitive = options & 2;

  const plx::PreprocessedMarkup prepared = plx::PreprocessMarkup(markup, wordWrap);
  const plx::MarkupFont font{"Tahoma", 8, {}, plx::clWindowText, 0};
  plx::RenderState state(font, plx::clWindow, prepared.Format);
  state.HoveredImage = options >> 4;
  plx::RenderState measured = state;
  WalkTags(prepared.Markup, measured, plx::TagPass{false, false, true, plx::clBlue}, wordWrap);
  WalkTags(prepared.Markup, state, plx::TagPass{true, (options & 4) != 0, (options & 8) != 0, plx::clBlue}, wordWrap);

  const std::string plain = plx::StripMarkup(markup);
  const std::string visible = plx::StripTags(markup);
  Check(plain.size() <= markup.size() && visible.size() <= markup.size());
  for (const std::size_t n : {std::size_t{1}, visible.size() / 2, visible.size() + 1}) {
    Check(plx::VisibleToMarkupPos(markup, n) <= markup.size() + 1);
  }
  const std::size_t found = plx::FindVisibleText(needle, visible, options >> 4, caseSensitive);
  Check(found == 0 || found + needle.size() <= visible.size() + 1);

  // Search marks are invisible: the visible text stays the same.
  const std::string marked = plx::MarkText(markup, needle, "hi", caseSensitive);
  Check(plx::StripTags(marked) == visible);
  plx::UnmarkText(marked, "hi");

  if (markup.size() <= 512) {
    Check(plx::DecodeMarkupEntities(markup) == plx::reference::SweepEntities(markup));
    Check(marked == plx::reference::MarkText(markup, needle, "hi", caseSensitive));
  }

  plx::ColorFromAttribute(std::string_view(markup).substr(0, 8));
  plx::ColorFromName(markup);
  plx::ReadMarkupInteger(markup);
  return 0;
}
