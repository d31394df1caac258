#include "framework/AcceleratorText.h"

namespace plx {

std::string WithoutAcceleratorMarkers(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

}  // namespace plx
