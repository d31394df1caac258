#pragma once
// Clipboard format numbers from names and back, through the system's table
// of registered formats.

#include <windows.h>

#include <string>
#include <string_view>

#include "dragdrop/ClipboardFormatNames.h"

namespace plx {

// 0 for an empty name; 1 to 16 for the names "1" to "16"; otherwise the
// number the system gives the name when registering it (so "0" and "17" are
// registered names); 0 when registering fails.
UINT ClipboardFormatFromString(const std::string& name);

// Empty for 0 or less; the standard name for 1 to 16; otherwise the name the
// format was registered under (at most 255 characters), empty if none.
std::string ClipboardFormatDisplayName(int format);

}  // namespace plx
