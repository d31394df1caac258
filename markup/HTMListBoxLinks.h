#pragma once
// Which anchor values of a list entry may be handed to the shell. Entries are
// built from dropped text, so an anchor is written by whoever wrote that text:
// only web and mail links are opened; local files, network shares, custom
// protocol handlers and script pseudo-links are not, whatever they contain.

#include <string_view>

namespace plx {

// True when the anchor starts, letter case ignored, with "http://",
// "https://" or "mailto:".
bool IsShellLink(std::string_view anchor);

}  // namespace plx
