#pragma once
// What a dropped text becomes in the list: a markup line with a random tint
// and the start of the text. Platform-neutral.

#include <functional>
#include <string>

namespace plx {

// How many characters of a dropped text the list shows.
inline constexpr std::size_t kPreviewLength = 80;

// The first kPreviewLength characters of text, without the characters below
// 33 (blanks, line breaks, zero and other control characters) at either end.
std::string ClipPreview(const std::string& text);

// "#FF" and four hexadecimal digits, each taken from one value of next_random
// (a generator of values from 0 to 32767): full red, random green and blue.
std::string ClipColorTag(const std::function<int()>& nextRandom);

// <BODY bgcolor="TAG">PREVIEW...
std::string ClipEntryString(const std::string& colorTag, const std::string& preview);

}  // namespace plx
