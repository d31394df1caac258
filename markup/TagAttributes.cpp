#include "markup/TagAttributes.h"

#include "markup/MarkupInteger.h"
#include "markup/TextSearch.h"

namespace plx {

std::string_view QuotedValueAfter(std::string_view text, std::size_t from) {
  const std::size_t open = text.find('"', from);
  if (open == std::string_view::npos) return {};
  const std::size_t close = text.find('"', open + 1);
  if (close == std::string_view::npos) return {};
  return text.substr(open + 1, close - open - 1);
}

std::string_view QuotedValueAfterLetter(std::string_view tag, char letter, std::size_t from) {
  for (std::size_t i = from; i < tag.size(); ++i) {
    if (AsciiUpper(tag[i]) == AsciiUpper(letter)) return QuotedValueAfter(tag, i + 1);
  }
  return {};
}

TagAttributes::TagAttributes(std::string_view tag, std::size_t firstCharacter)
    : written_(firstCharacter >= 1 && firstCharacter <= tag.size() ? tag.substr(firstCharacter - 1)
                                                                   : std::string_view()),
      upper_(AsciiUpperCase(written_)) {}

bool TagAttributes::Has(std::string_view upperName) const { return upper_.find(upperName) != std::string::npos; }

std::string_view TagAttributes::Value(std::string_view upperName) const {
  const std::size_t at = upper_.find(upperName);
  if (at == std::string::npos) return {};
  return QuotedValueAfter(upper_, at + upperName.size());
}

std::string_view TagAttributes::ValueAsWritten(std::string_view upperName) const {
  const std::size_t at = upper_.find(upperName);
  if (at == std::string::npos) return {};
  // Upper-casing keeps every byte in place, so positions carry over.
  return QuotedValueAfter(written_, at + upperName.size());
}

int TagAttributes::NumberAfterEquals(std::string_view upperName) const {
  const std::size_t at = upper_.find(upperName);
  if (at == std::string::npos) return 0;
  const std::size_t equals = upper_.find('=', at + upperName.size());
  if (equals == std::string::npos) return 0;
  std::string_view rest = std::string_view(upper_).substr(equals + 1);
  const std::size_t quote = rest.find('"');
  if (quote != std::string_view::npos) rest = rest.substr(quote + 1);
  return ReadMarkupInteger(rest).Value;
}

}  // namespace plx
