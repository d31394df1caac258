#pragma once
// How a text with accelerator markers reads: the "&" that marks the
// accelerator is not shown (the character after it is, underlined), "&&"
// shows one "&", and a lone "&" at the end stays. Captions, drawn markup and
// the names a screen reader hears all follow this one rule.

#include <string>
#include <string_view>

namespace plx {

std::string WithoutAcceleratorMarkers(std::string_view text);

}  // namespace plx
