#include "markup/MarkupText.h"

#include <vector>

#include "markup/TextSearch.h"

namespace plx {

namespace {

// Removes "<open>..<close>" sections, matched exactly; an opening without a
// closing after it stops the removal and keeps the rest.
std::string RemoveSections(std::string_view text, std::string_view open, std::string_view close) {
  std::string result;
  result.reserve(text.size());
  std::size_t kept = 0;
  for (;;) {
    const std::size_t start = text.find(open, kept);
    if (start == std::string_view::npos) break;
    const std::size_t end = text.find(close, start + open.size());
    if (end == std::string_view::npos) break;
    result.append(text, kept, start - kept);
    kept = end + close.size();
  }
  result.append(text, kept);
  return result;
}

// Positions (1-based) for strictly increasing visible positions `targets`,
// found in one walk; the walk is the one VisibleToMarkupPos describes.
std::vector<std::size_t> VisibleToMarkupPositions(std::string_view markup, const std::vector<std::size_t>& targets) {
  std::vector<std::size_t> positions(targets.size(), 0);
  std::size_t next = 0;
  std::size_t counter = 1;
  bool insideTag = false;
  for (std::size_t i = 0; i < markup.size() && next < targets.size(); ++i) {
    if (markup[i] == '<') insideTag = true;
    if (targets[next] == counter) positions[next++] = i + 1;
    if (!insideTag) ++counter;
    if (markup[i] == '>') insideTag = false;
  }
  if (next < targets.size() && targets[next] == counter) positions[next] = markup.size() + 1;
  return positions;
}

// "<BR>" and "<HR>", in any case, as CR LF. Neither can be formed by the
// other's replacement, so one pass does both.
std::string LineTagsToLineEnds(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  std::size_t copied = 0;
  for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at)) {
    if (StartsWithNoCase(text.substr(at), "<BR>") || StartsWithNoCase(text.substr(at), "<HR>")) {
      result.append(text, copied, at - copied);
      result.append("\r\n");
      at += 4;
      copied = at;
    } else {
      ++at;
    }
  }
  result.append(text, copied);
  return result;
}

// "<tag>" or "</tag>". Built by appending: GCC 12 warns falsely about
// overlapping copies in `"<" + std::string(tag) + ">"` when optimising.
std::string TagText(std::string_view opening, std::string_view tag) {
  std::string text;
  text.reserve(opening.size() + tag.size() + 1);
  text.append(opening).append(tag).push_back('>');
  return text;
}

}  // namespace

std::string StripTags(std::string_view markup) {
  std::string result;
  result.reserve(markup.size());
  std::size_t kept = 0;
  for (;;) {
    const std::size_t open = markup.find('<', kept);
    if (open == std::string_view::npos) break;
    const std::size_t close = markup.find('>', open + 1);
    if (close == std::string_view::npos) break;
    result.append(markup, kept, open - kept);
    kept = close + 1;
  }
  result.append(markup, kept);
  return result;
}

std::string StripMarkup(std::string_view markup) {
  std::string text = LineTagsToLineEnds(markup);
  // Hidden sections go first and tags after, over the whole text, so that no
  // tag before a hidden section survives into the plain text.
  text = RemoveSections(text, "<z>", "</z>");
  text = RemoveSections(text, "<Z>", "</Z>");
  return StripTags(text);
}

std::size_t VisibleToMarkupPos(std::string_view markup, std::size_t n) {
  if (n == 0) return 0;
  return VisibleToMarkupPositions(markup, {n}).front();
}

std::size_t FindVisibleText(std::string_view needle, std::string_view text, std::size_t start, bool caseSensitive) {
  if (needle.empty() || start >= text.size()) return 0;
  const std::string_view rest = text.substr(start);
  std::size_t found;
  if (caseSensitive) {
    found = SubstringSearcher(needle).Find(rest);
  } else {
    found = SubstringSearcher(AsciiUpperCase(needle)).Find(AsciiUpperCase(rest));
  }
  return found == std::string_view::npos ? 0 : start + found + 1;
}

std::string MarkText(std::string_view markup, std::string_view needle, std::string_view tag, bool caseSensitive) {
  if (needle.empty() || tag.find_first_of("<>") != std::string_view::npos) return std::string(markup);

  // Every occurrence is searched in the visible text at once; each one asks
  // for the markup position of its first visible character and of the one
  // after it, and those positions only grow.
  const std::string visible = caseSensitive ? StripTags(markup) : AsciiUpperCase(StripTags(markup));
  const SubstringSearcher searcher(caseSensitive ? std::string(needle) : AsciiUpperCase(needle));
  std::vector<std::size_t> targets;
  for (std::size_t from = searcher.Find(visible); from != std::string::npos;
       from = searcher.Find(visible, from + needle.size() + 1)) {
    targets.push_back(from + 1);
    targets.push_back(from + 1 + needle.size());
  }
  const std::vector<std::size_t> positions = VisibleToMarkupPositions(markup, targets);

  // The inserted tags are invisible, so they leave the visible positions of
  // the later occurrences where they were.
  const std::string openTag = TagText("<", tag);
  const std::string closeTag = TagText("</", tag);
  std::string result;
  result.reserve(markup.size() + targets.size() / 2 * (openTag.size() + closeTag.size()));
  std::size_t copied = 0;
  for (std::size_t k = 0; k + 1 < positions.size(); k += 2) {
    const std::size_t open = positions[k];
    const std::size_t close = positions[k + 1];
    if (open == 0 || close == 0) break;
    result.append(markup, copied, open - 1 - copied);
    result.append(openTag);
    result.append(markup, open - 1, close - open);
    result.append(closeTag);
    copied = close - 1;
  }
  result.append(markup, copied);
  return result;
}

std::string UnmarkText(std::string_view markup, std::string_view tag) {
  const std::string withoutOpening = ReplaceAllNoCase(markup, TagText("<", tag), "");
  return ReplaceAllNoCase(withoutOpening, TagText("</", tag), "");
}

}  // namespace plx
