#pragma once
// Colour attribute values of the markup: "#RRGGBB" triples and colour names.

#include <optional>
#include <string_view>

#include "framework/Types.h"

namespace plx {

// Value of the two-character hexadecimal pair at the start of `text`; 0 when
// fewer than two characters are given. No character is rejected: a byte up to
// '@' counts as (byte - '0'), any other as (byte - 'A' + 10), so "GG" gives 272
// and a blank gives -16 for its digit.
int HexPairValue(std::string_view text);

// "#RRGGBB" as 0x00BBGGRR. Pairs are read at fixed offsets; a pair cut short by
// the end of the text counts 0, and bytes after the seventh are ignored. The
// channels are added, not or-ed, so an out-of-range pair spills into its
// neighbour.
TColor ColorFromHex(std::string_view text);

// Colour for a lower-case name such as "clred" or "clbtnface"; 0 (black) for
// a name not in the table.
TColor ColorFromName(std::string_view lowerCaseName);

// The rule every colour attribute follows: no colour for an empty value, the
// hexadecimal form after '#', otherwise the name in any letter case.
std::optional<TColor> ColorFromAttribute(std::string_view value);

}  // namespace plx
