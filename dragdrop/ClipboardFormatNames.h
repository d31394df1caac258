#pragma once
// Names of the standard clipboard formats and of storage media, and the rule
// that reads a format name as a standard format number. Platform-neutral.

#include <cstdint>
#include <string>
#include <string_view>

namespace plx {

// The standard formats 1 to 16 by display name ("CF_TEXT" ... "CF_LOCALE");
// empty for any other number.
std::string StandardClipboardFormatName(int format);

// The number a format name stands for when it is a decimal number from 1 to
// 16 ("1" ... "16"); 0 when the name is anything else, which makes it a name
// to register: "0", "17" and "49158" are names, not numbers.
int StandardClipboardFormatFromName(std::string_view name);

// "TYMED_NULL" for 0, otherwise the names of the set bits 1 to 64 joined by
// "+", or the decimal number when none of those bits is set.
std::string StorageMediumDisplayName(std::uint32_t medium);

}  // namespace plx
