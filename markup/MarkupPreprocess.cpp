#include "markup/MarkupPreprocess.h"

#include "markup/TextSearch.h"

namespace plx {

namespace {

struct Entity {
  std::string_view Name;  // after the '&', lower case, with the ';'
  std::string_view Replacement;
};

constexpr std::string_view kAmpersandName = "amp;";

constexpr Entity kMarkupEntities[] = {
    {kAmpersandName, "&&"}, {"quot;", "\""},     {"sect;", "\xA7"},  {"permil;", "\x89"}, {"reg;", "\xAE"},
    {"copy;", "\xA9"},      {"para;", "\xB6"},   {"trade;", "\x99"}, {"euro;", "\x80"},
};

constexpr Entity kRunEntities[] = {{"nbsp;", " "}, {"lt;", "<"}, {"gt;", ">"}};

// The entity whose name (the part after '&') starts `text`, or null.
template <std::size_t N>
const Entity* MatchEntityName(const Entity (&table)[N], std::string_view text) {
  for (const Entity& entity : table) {
    if (StartsWithNoCase(text, entity.Name)) return &entity;
  }
  return nullptr;
}

}  // namespace

// A blank, '<' and '>' can never complete an entity name, so one pass decodes
// every occurrence.
std::string DecodeRunEntities(std::string_view text) {
  std::string out;
  DecodeRunEntities(text, out);
  return out;
}

void DecodeRunEntities(std::string_view text, std::string& out) {
  out.clear();
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t amp = text.find('&', i);
    if (amp == std::string_view::npos) break;
    out.append(text, i, amp - i);
    i = amp + 1;
    if (const Entity* entity = MatchEntityName(kRunEntities, text.substr(i))) {
      out.append(entity->Replacement);
      i += entity->Name.size();
    } else {
      out.push_back('&');
    }
  }
  out.append(text, i);
}

TextFormat MarkupTextFormat(std::string_view rawMarkup, bool wordWrap) {
  TextFormat format = tfBottom | tfSingleLine | tfExpandTabs | tfExternalLeading;
  // Searched by hand: the library's search stops at every blank with a call.
  for (std::size_t i = 0; i + 2 < rawMarkup.size(); ++i) {
    if (rawMarkup[i] == ' ' && rawMarkup[i + 1] == '&' && rawMarkup[i + 2] == ' ') {
      format |= tfNoPrefix;
      break;
    }
  }
  if (!wordWrap) format |= tfEndEllipsis;
  return format;
}

// Decoding until nothing is left is confluent: entity names hold a single '&'
// at their start, so two occurrences never overlap, and every replacement
// shortens the text. The one way a replacement creates a new occurrence is
// the second '&' of "&&" followed by an entity name; so one left-to-right
// pass that keeps reading after each such '&' reaches the same text as any
// order of single replacements, in linear time.
std::string DecodeMarkupEntities(std::string_view markup) {
  std::string out;
  out.reserve(markup.size());
  std::size_t i = 0;
  while (i < markup.size()) {
    const std::size_t amp = markup.find('&', i);
    if (amp == std::string_view::npos) break;
    out.append(markup, i, amp - i);
    i = amp + 1;
    // `i` is just after an '&' still to be decided: one from the text, or the
    // trailing one of each "&&" made from "&amp;".
    for (;;) {
      const Entity* entity = MatchEntityName(kMarkupEntities, markup.substr(i));
      if (entity == nullptr) {
        out.push_back('&');
        break;
      }
      i += entity->Name.size();
      if (entity->Name != kAmpersandName) {
        out.append(entity->Replacement);
        break;
      }
      out.push_back('&');
    }
  }
  out.append(markup, i);
  return out;
}

PreprocessedMarkup PreprocessMarkup(std::string_view rawMarkup, bool wordWrap) {
  PreprocessedMarkup result;
  result.Format = MarkupTextFormat(rawMarkup, wordWrap);
  std::string text = DecodeMarkupEntities(rawMarkup);

  // "<#word>" reads as "#word", for the first such tag only.
  const std::size_t hash = text.find("<#");
  if (hash != std::string::npos) {
    const std::size_t close = text.find('>', hash + 2);
    if (close != std::string::npos) text.erase(close, 1);
    text.erase(hash, 1);
  }

  std::string& out = result.Markup;
  const auto lineEnd = [&text](std::size_t from) {
    while (from < text.size() && text[from] != '\r' && text[from] != '\n') ++from;
    return from;
  };
  std::size_t end = lineEnd(0);
  if (end == text.size()) {
    out = std::move(text);
    return result;
  }
  out.reserve(text.size() + 8);
  out.append(text, 0, end);
  while (end < text.size()) {
    if (text[end] == '\r') out.append("<BR>");
    const std::size_t next = lineEnd(end + 1);
    out.append(text, end + 1, next - end - 1);
    end = next;
  }
  return result;
}

}  // namespace plx
