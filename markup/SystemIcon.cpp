#include "markup/SystemIcon.h"

#include <commctrl.h>
#include <shellapi.h>

#include "framework/SystemLibrary.h"
#include "markup/MarkupInteger.h"
#include "markup/PathSafety.h"

namespace plx {

namespace {

UINT SizeFlag(bool large) { return large ? SHGFI_LARGEICON : SHGFI_SMALLICON; }

// The shell's file information; 0 (nothing found) without the shell.
DWORD_PTR ShellFileInfo(const char* path, DWORD attributes, SHFILEINFOA& info, UINT flags) {
  static const auto get_file_info =
      SystemLibraryFunction<decltype(&::SHGetFileInfoA)>("shell32.dll", "SHGetFileInfoA");
  return get_file_info ? get_file_info(path, attributes, &info, sizeof info, flags) : 0;
}

// The shell's system image list; shared by the whole process, never destroyed.
HIMAGELIST SystemImageList(bool large) {
  SHFILEINFOA info{};
  return reinterpret_cast<HIMAGELIST>(ShellFileInfo(".txt", FILE_ATTRIBUTE_NORMAL, info,
                                                    SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SizeFlag(large)));
}

// A mapped drive may lead to another machine just like a UNC path.
bool IsOnRemoteDrive(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return false;
  const char root[] = {path[0], ':', '\\', '\0'};
  return GetDriveTypeA(root) == DRIVE_REMOTE;
}

}  // namespace

SystemIconLookup LookUpSystemIcon(std::string_view path, bool large) {
  SystemIconLookup lookup;
  const std::string text(path.substr(0, MAX_PATH * 4));
  // The file itself is only consulted when it is local and exists; anything
  // else is looked up by its extension, without touching the file system.
  bool byFile = false;
  if (!IsNetworkOrDevicePath(text) && !IsOnRemoteDrive(text) && text.find('\0') == std::string::npos) {
    byFile = GetFileAttributesA(text.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  SHFILEINFOA info{};
  const UINT flags = SHGFI_SYSICONINDEX | SizeFlag(large) | (byFile ? 0 : SHGFI_USEFILEATTRIBUTES);
  const std::string asked = text.substr(0, text.find('\0'));
  if (ShellFileInfo(asked.c_str(), FILE_ATTRIBUTE_NORMAL, info, flags) != 0) lookup.Index = info.iIcon;
  lookup.ByAttributesOnly = !byFile;
  return lookup;
}

TSize DrawSystemIcon(HDC dc, int x, int y, std::string_view pathOrIndex, bool large, bool draw) {
  HIMAGELIST list = SystemImageList(large);
  if (!list) return {};
  int width = 0;
  int height = 0;
  ImageList_GetIconSize(list, &width, &height);
  if (draw) {
    const MarkupInteger number = ReadMarkupInteger(pathOrIndex);
    const int index = number.Clean ? number.Value : LookUpSystemIcon(pathOrIndex, large).Index;
    if (index >= 0 && index < ImageList_GetImageCount(list)) {
      ImageList_Draw(list, index, dc, x, y, ILD_TRANSPARENT);
    }
  }
  return TSize{width, height};
}

TSize DrawSystemIcon(TCanvas& canvas, int x, int y, const std::string& pathOrIndex, bool large, bool draw) {
  return DrawSystemIcon(canvas.Handle(), x, y, pathOrIndex, large, draw);
}

}  // namespace plx
