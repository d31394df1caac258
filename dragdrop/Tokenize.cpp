#include "dragdrop/Tokenize.h"

namespace plx {

namespace {

std::unique_ptr<TStringList> Split(std::string_view text, std::string_view delimiters, bool keepEmpty) {
  auto pieces = std::make_unique<TStringList>();
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find_first_of(delimiters, start);
    const std::string_view piece = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
    if (keepEmpty || !piece.empty()) pieces->Add(std::string(piece));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return pieces;
}

}  // namespace

std::unique_ptr<TStringList> TokenizeRaw(std::string_view text, std::string_view delimiters) {
  return Split(text, delimiters, true);
}

std::unique_ptr<TStringList> Tokenize(std::string_view text, std::string_view delimiters) {
  return Split(text, delimiters, false);
}

}  // namespace plx
