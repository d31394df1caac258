#pragma once
// Which file paths markup may make the program look at. Markup comes from
// dropped text, so a path in it is untrusted: a network path (\\server\share,
// //server, any mix of slashes) would make the system connect to another
// machine, and a device path (\\?\, \\.\, \??\) reaches past the file system
// namespace. Such paths are never opened or examined.

#include <string_view>

namespace plx {

// True for paths that start (after blanks) with two path separators in any
// mix of slashes, or with the NT object prefix \??\. Local paths, relative
// paths and drive paths are not network paths by their form.
bool IsNetworkOrDevicePath(std::string_view path);

}  // namespace plx
