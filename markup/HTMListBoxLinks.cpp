#include "markup/HTMListBoxLinks.h"

#include "markup/TextSearch.h"

namespace plx {

bool IsShellLink(std::string_view anchor) {
  return StartsWithNoCase(anchor, "http://") || StartsWithNoCase(anchor, "https://") ||
         StartsWithNoCase(anchor, "mailto:");
}

}  // namespace plx
