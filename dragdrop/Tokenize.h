#pragma once
// Splitting a text at delimiter characters. Platform-neutral.

#include <memory>
#include <string_view>

#include "framework/StringList.h"

namespace plx {

// The pieces between any of the delimiters, in order, empty pieces included;
// the rest after the last delimiter comes last.
std::unique_ptr<TStringList> TokenizeRaw(std::string_view text, std::string_view delimiters);
// TokenizeRaw without the empty pieces.
std::unique_ptr<TStringList> Tokenize(std::string_view text, std::string_view delimiters);

}  // namespace plx
