#pragma once
// Reading shell link (.lnk) files through the shell's link object.

#include <windows.h>

#include <string>

namespace plx {

struct TShortcutInfo {
  std::string Path;  // the target in its short form; empty on failure
  std::string Description;
  std::string WorkingDirectory;
  std::string Arguments;
  std::string IconLocation;
  int IconIndex = 0;
  int ShowCommand = 0;
  WORD HotKey = 0;
};

// Passed as the window: resolve without any user interface.
inline const HWND kNoResolveUI = reinterpret_cast<HWND>(static_cast<INT_PTR>(-1));

// Loads and resolves the link (silently for kNoResolveUI, otherwise letting
// the shell ask the user through window and accept any match). A link
// without a description is described by its file name without extension.
// The path is empty when the link cannot be loaded or resolved.
TShortcutInfo GetShortcutInfo(const std::string& linkFile, HWND window);
// The target path only, resolved silently.
std::string GetShortcutPath(const std::string& linkFile);

}  // namespace plx
