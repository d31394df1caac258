#pragma once
// The rest of the skin drawing set, used by skinned controls outside the
// main window (tool bars, scroll bars, track bars, dialogs): smooth
// resizing, colour replacement, see-through windows, control borders,
// windows shaped by a picture, quarter turns, the system's own dialog
// button captions and caption font, and platform functions bound at first
// use.

#include <windows.h>

#include <string>

#include "framework/Bitmap.h"
#include "framework/Controls.h"
#include "framework/Graphics.h"

namespace plx {

// The whole bitmap stretched into rect with the platform's smoothing mode.
void ResizeImage(TBitmap& bitmap, TCanvas& canvas, const TRect& rect);

// Every pixel of colour from becomes colour to.
void ScanColor(TBitmap& bitmap, TColor from, TColor to);

// The control's window gets the platform's see-through extended style.
void SetWinControlTransparent(TWinControl& control);

// A 1-pixel frame in color around the control's whole window rectangle and,
// with withInner, one in innerColor just inside it.
void DrawControlBorder(TWinControl& control, TColor color, TColor innerColor, bool withInner);

// Gives the window a region made of the bitmap's pixels that are not color,
// row by row. False when the region could not be made or set.
bool SetBitmapWindow(HWND window, TBitmap& bitmap, TColor color);

// Quarter turns; width and height swap. RoundPicture turns clockwise,
// RoundPicture2 counter-clockwise, RoundPicture3 mirrors across the
// top-left to bottom-right diagonal.
void RoundPicture(TBitmap& bitmap);
void RoundPicture2(TBitmap& bitmap);
void RoundPicture3(TBitmap& bitmap);

enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose };

// The caption of a message-dialog button in the system's language, from the
// platform's own strings; "All", "No to All" and "Yes to All" are fixed.
std::string GetLocaleButtonCaption(TMsgDlgBtn button);

// Font becomes the system's caption font.
void GetCaptionFont(TFont& font);

// Platform version flags, computed once.
bool IsWinXP();
bool IsWinVista();

// The platform functions of the same purpose when the running system has
// them (bound at first use); false when it has not or they fail.
bool KIVGetScrollBarInfo(HWND window, LONG object, SCROLLBARINFO& info);
bool KIVGetComboBoxInfo(HWND window, COMBOBOXINFO& info);
bool KIVAnimateWindow(HWND window, DWORD time, DWORD flags);

}  // namespace plx
