#pragma once
// Icons of the shell's system image list, for "SSYS:" and "LSYS:" pictures.

#include <windows.h>

#include <string>
#include <string_view>

#include "framework/Graphics.h"

namespace plx {

// Draws (when `draw` is set) the icon for `pathOrIndex` transparently at
// (x, y) and answers the icon size of the small or large system list. A clean
// number is an index into the list; a path's icon is looked up by the file
// itself when it is a local file or folder that exists, otherwise by its
// attributes and extension alone. A network or device path is never examined
// (not even to see whether it exists).
TSize DrawSystemIcon(TCanvas& canvas, int x, int y, const std::string& pathOrIndex, bool large, bool draw);
TSize DrawSystemIcon(HDC dc, int x, int y, std::string_view pathOrIndex, bool large, bool draw);

// The shell's answer as to which icon stands for the path; the flags it was
// asked with are reported so that tests can see whether the file system was
// consulted. -1 when the shell knows none.
struct SystemIconLookup {
  int Index = -1;
  bool ByAttributesOnly = false;
};
SystemIconLookup LookUpSystemIcon(std::string_view path, bool large);

}  // namespace plx
