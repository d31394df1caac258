#include "chrome/VisualStyles.h"

#include <shlwapi.h>

namespace plx {
namespace {

struct TVersionFlags {
  bool xp_or_later = false;
  DWORD comctl_version = 0;
};

DWORD ReadComCtlVersion() {
  // comctl32 is always loaded by a program that uses the common controls.
  HMODULE library = GetModuleHandleA("comctl32.dll");
  if (!library) library = LoadLibraryA("comctl32.dll");
  if (!library) return 0;
  using TDllGetVersion = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
  auto getVersion = reinterpret_cast<TDllGetVersion>(
      reinterpret_cast<void*>(GetProcAddress(library, "DllGetVersion")));
  // Libraries before 4.71 have no DllGetVersion.
  if (!getVersion) return 0x00040000;
  DLLVERSIONINFO info{};
  info.cbSize = sizeof info;
  if (FAILED(getVersion(&info))) return 0;
  return (info.dwMajorVersion << 16) | (info.dwMinorVersion & 0xFFFF);
}

bool ReadXPOrLater() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  // Compatibility layers may lie about the number; the platform id is enough
  // to tell the old consumer systems apart.
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
  if (!GetVersionExA(&version)) return false;
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
         (version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion != 0));
}

const TVersionFlags& Flags() {
  static const TVersionFlags flags{ReadXPOrLater(), ReadComCtlVersion()};
  return flags;
}

// Read when the program starts, as the rest of the unit expects.
const bool kFlagsReadAtStart = (Flags(), true);

template <class F>
F Entry(HMODULE library, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

struct TThemeLibrary {
  HMODULE library = nullptr;
  BOOL(WINAPI* is_theme_active)() = nullptr;
  BOOL(WINAPI* is_app_themed)() = nullptr;
  HANDLE(WINAPI* open_theme_data)(HWND, LPCWSTR) = nullptr;
  HRESULT(WINAPI* close_theme_data)(HANDLE) = nullptr;
  HRESULT(WINAPI* draw_theme_background)(HANDLE, HDC, int, int, const RECT*, const RECT*) = nullptr;
  HRESULT(WINAPI* draw_theme_parent_background)(HWND, HDC, const RECT*) = nullptr;
  HRESULT(WINAPI* draw_theme_text)(HANDLE, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*) = nullptr;

  ~TThemeLibrary() {
    if (library) FreeLibrary(library);
  }

  // Loads the library on first use; a failed load is tried again next time.
  bool Bind() {
    if (!IsXPOrLater()) return false;
    if (library) return true;
    library = LoadLibraryA("uxtheme.dll");
    if (!library) return false;
    is_theme_active = Entry<decltype(is_theme_active)>(library, "IsThemeActive");
    is_app_themed = Entry<decltype(is_app_themed)>(library, "IsAppThemed");
    open_theme_data = Entry<decltype(open_theme_data)>(library, "OpenThemeData");
    close_theme_data = Entry<decltype(close_theme_data)>(library, "CloseThemeData");
    draw_theme_background = Entry<decltype(draw_theme_background)>(library, "DrawThemeBackground");
    draw_theme_parent_background =
        Entry<decltype(draw_theme_parent_background)>(library, "DrawThemeParentBackground");
    draw_theme_text = Entry<decltype(draw_theme_text)>(library, "DrawThemeText");
    return true;
  }
};

TThemeLibrary& Library() {
  static TThemeLibrary library;
  return library;
}

}  // namespace

bool IsXPOrLater() { return Flags().xp_or_later; }
DWORD GetComCtlVersion() { return Flags().comctl_version; }
bool ComCtl6() { return Flags().comctl_version > 0x5FFFF; }

namespace VisualStyles {

bool Bound() { return Library().library != nullptr; }

bool IsThemeActive() {
  TThemeLibrary& lib = Library();
  return lib.Bind() && lib.is_theme_active && lib.is_theme_active();
}

bool IsAppThemed() {
  TThemeLibrary& lib = Library();
  return lib.Bind() && lib.is_app_themed && lib.is_app_themed();
}

bool IsThemeEnabled() { return ComCtl6() && IsThemeActive() && IsAppThemed(); }

HTHEME_ OpenThemeData(HWND window, const std::wstring& classList) {
  TThemeLibrary& lib = Library();
  return lib.Bind() && lib.open_theme_data ? lib.open_theme_data(window, classList.c_str()) : nullptr;
}

HRESULT CloseThemeData(HTHEME_ theme) {
  TThemeLibrary& lib = Library();
  return lib.Bind() && lib.close_theme_data ? lib.close_theme_data(theme) : 0;
}

HRESULT DrawThemeBackground(HTHEME_ theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) {
  TThemeLibrary& lib = Library();
  return lib.Bind() && lib.draw_theme_background ? lib.draw_theme_background(theme, dc, part, state, rect, clip)
                                                 : 0;
}

HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect) {
  TThemeLibrary& lib = Library();
  return lib.Bind() && lib.draw_theme_parent_background ? lib.draw_theme_parent_background(window, dc, rect) : 0;
}

HRESULT DrawThemeText(HTHEME_ theme, HDC dc, int part, int state, const std::wstring& text, int length,
                      DWORD flags, DWORD flags2, const RECT* rect) {
  TThemeLibrary& lib = Library();
  return lib.Bind() && lib.draw_theme_text
             ? lib.draw_theme_text(theme, dc, part, state, text.c_str(), length, flags, flags2, rect)
             : 0;
}

HRESULT DrawThemedControl(HWND window, HDC dc, const std::wstring& classList, int part, int state,
                          const RECT& rect) {
  HTHEME_ theme = OpenThemeData(window, classList);
  if (!theme) return 0;
  DrawThemeParentBackground(window, dc, &rect);
  DrawThemeBackground(theme, dc, part, state, &rect, nullptr);
  return CloseThemeData(theme);
}

HRESULT DrawThemedControlWithText(HWND window, HDC dc, const std::wstring& classList, int part, int state,
                                  const RECT& rect, const std::wstring& text, const RECT& textRect,
                                  DWORD textFlags, DWORD textFlags2, bool exclude) {
  HTHEME_ theme = OpenThemeData(window, classList);
  if (!theme) return 0;
  if (exclude) ExcludeClipRect(dc, textRect.left, textRect.top, textRect.right, textRect.bottom);
  DrawThemeParentBackground(window, dc, &rect);
  DrawThemeBackground(theme, dc, part, state, &rect, nullptr);
  if (exclude) SelectClipRgn(dc, nullptr);
  if (!text.empty())
    DrawThemeText(theme, dc, part, state, text, static_cast<int>(text.size()), textFlags, textFlags2, &textRect);
  return CloseThemeData(theme);
}

}  // namespace VisualStyles
}  // namespace plx
