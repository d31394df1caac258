#pragma once
// What all caption buttons of the process share: the tooltip window, the
// themed face bitmaps, and the counters that make command and tool ids.

#include <windows.h>

#include "framework/Bitmap.h"

namespace plx {

enum class TacCaptionButtonXPStyleColor { xpcBlue, xpcGreen, xpcRed, xpcYellow, xpcBrown };

// The first caption button's command id; each further button takes the next.
inline constexpr UINT kFirstCaptionCommandId = 5734;

// The shared tooltip control while some button uses it, else nullptr.
HWND CaptionTooltipWindow();
// A button that adds its tool takes the tooltip (made on the first take;
// nullptr when it cannot be made) and gives it back when its tool goes; the
// last give-back destroys the window.
HWND AcquireCaptionTooltip();
void ReleaseCaptionTooltip();
// The themed face of a colour; empty when its resource is missing.
TBitmap& XPButtonBitmap(TacCaptionButtonXPStyleColor color);
UINT TakeNextCommandId();
UINT TakeNextToolId();

// A cursor by the framework's cursor index (0: the default arrow; negative:
// the standard shapes), shared, never freed.
HCURSOR CursorForIndex(short index);

}  // namespace plx
