#include "markup/PathSafety.h"

namespace plx {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool IsNetworkOrDevicePath(std::string_view path) {
  std::size_t start = 0;
  while (start < path.size() && (path[start] == ' ' || path[start] == '\t' || path[start] == '"')) ++start;
  const std::string_view rest = path.substr(start);
  if (rest.size() >= 2 && IsSeparator(rest[0]) && IsSeparator(rest[1])) return true;
  // "\??\UNC\server\share" is handed to the object manager as it stands.
  return rest.size() >= 4 && IsSeparator(rest[0]) && rest[1] == '?' && rest[2] == '?' && IsSeparator(rest[3]);
}

}  // namespace plx
