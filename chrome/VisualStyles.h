#pragma once
// Access to the system's visual styles. The library is bound at first use;
// without it (or without one of its entries) every call answers as if no
// visual style were active and draws nothing.

#include <windows.h>

#include <string>

namespace plx {

using HTHEME_ = HANDLE;  // the library's theme handle

// NT 5.1 (XP) or later; fixed when the program starts.
bool IsXPOrLater();
// The common-controls library is version 6.0 or later; fixed at start.
bool ComCtl6();
// The common-controls version: major in the high 16 bits, minor in the low.
DWORD GetComCtlVersion();

namespace VisualStyles {

bool IsThemeActive();
bool IsAppThemed();
// ComCtl6() and IsThemeActive() and IsAppThemed().
bool IsThemeEnabled();
HTHEME_ OpenThemeData(HWND window, const std::wstring& classList);
HRESULT CloseThemeData(HTHEME_ theme);
HRESULT DrawThemeBackground(HTHEME_ theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect);
HRESULT DrawThemeText(HTHEME_ theme, HDC dc, int part, int state, const std::wstring& text, int length,
                      DWORD flags, DWORD flags2, const RECT* rect);

// A themed part over its parent's background; 0 when there is no theme data.
HRESULT DrawThemedControl(HWND window, HDC dc, const std::wstring& classList, int part, int state,
                          const RECT& rect);
// The same with text; exclude keeps the background off the text rectangle.
HRESULT DrawThemedControlWithText(HWND window, HDC dc, const std::wstring& classList, int part, int state,
                                  const RECT& rect, const std::wstring& text, const RECT& textRect,
                                  DWORD textFlags, DWORD textFlags2, bool exclude);

// Whether the library is loaded (for tests).
bool Bound();

}  // namespace VisualStyles
}  // namespace plx
