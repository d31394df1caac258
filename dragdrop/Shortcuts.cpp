#include "dragdrop/Shortcuts.h"

#include <shlobj.h>

#include "framework/Com.h"
#include "framework/TextConversion.h"

namespace plx {

namespace {

std::string NameWithoutExtension(const std::string& file) {
  const std::size_t slash = file.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

}  // namespace

TShortcutInfo GetShortcutInfo(const std::string& linkFile, HWND window) {
  TShortcutInfo info;
  TComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(link.Put())))) {
    return info;
  }
  TComPtr<IPersistFile> file = link.As<IPersistFile>();
  if (!file || FAILED(file->Load(WideFromAnsi(linkFile).c_str(), STGM_READ))) return info;
  const bool silent = window == kNoResolveUI;
  // With SLR_NO_UI the high word of the flags is the search time-out (ms).
  const DWORD flags = silent ? (static_cast<DWORD>(SLR_NO_UI) | (1000u << 16)) : static_cast<DWORD>(SLR_ANY_MATCH);
  if (FAILED(link->Resolve(silent ? nullptr : window, flags))) return info;

  char text[MAX_PATH * 2] = {};
  WIN32_FIND_DATAA found{};
  if (SUCCEEDED(link->GetPath(text, MAX_PATH, &found, SLGP_SHORTPATH))) info.Path = text;
  text[0] = '\0';
  if (SUCCEEDED(link->GetDescription(text, sizeof text))) info.Description = text;
  if (info.Description.empty()) info.Description = NameWithoutExtension(linkFile);
  text[0] = '\0';
  if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof text))) info.WorkingDirectory = text;
  text[0] = '\0';
  if (SUCCEEDED(link->GetArguments(text, sizeof text))) info.Arguments = text;
  text[0] = '\0';
  if (SUCCEEDED(link->GetIconLocation(text, sizeof text, &info.IconIndex))) info.IconLocation = text;
  link->GetShowCmd(&info.ShowCommand);
  link->GetHotkey(&info.HotKey);
  return info;
}

std::string GetShortcutPath(const std::string& linkFile) { return GetShortcutInfo(linkFile, kNoResolveUI).Path; }

}  // namespace plx
