#include "skin/SkinDrawExtras.h"

#include <vector>

#include "framework/GdiHandles.h"
#include "framework/SystemLibrary.h"

namespace plx {

namespace {

std::uint32_t DibPixel(TColor color) {
  color = ColorToRGB(color);
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

// Turns bitmap so that destination pixel (x, y) comes from source(x, y).
template <class Source>
void Remap(TBitmap& bitmap, Source source) {
  const int width = bitmap.Width(), height = bitmap.Height();
  if (bitmap.Empty()) return;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = bitmap.ScanLine(y);
    std::copy(row, row + width, pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
  }
  bitmap.SetSize(height, width);
  for (int y = 0; y < width; ++y) {
    std::uint32_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < height; ++x) {
      const auto [sx, sy] = source(x, y, width, height);
      row[x] = pixels[static_cast<std::size_t>(sy) * width + sx];
    }
  }
}

bool VersionAtLeast(DWORD major, DWORD minor) {
  OSVERSIONINFOEXA wanted{};
  wanted.dwOSVersionInfoSize = sizeof wanted;
  wanted.dwMajorVersion = major;
  wanted.dwMinorVersion = minor;
  DWORDLONG mask = 0;
  mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
  mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
  return VerifyVersionInfoA(&wanted, VER_MAJORVERSION | VER_MINORVERSION, mask) != FALSE;
}

}  // namespace

void ResizeImage(TBitmap& bitmap, TCanvas& canvas, const TRect& rect) {
  if (bitmap.Empty() || rect.Width() <= 0 || rect.Height() <= 0) return;
  HDC dc = canvas.Handle();
  const int previous = SetStretchBltMode(dc, HALFTONE);
  POINT origin{};
  SetBrushOrgEx(dc, 0, 0, &origin);  // halftone needs the brush origin reset after the mode
  StretchBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), bitmap.Canvas().Handle(), 0, 0, bitmap.Width(),
             bitmap.Height(), SRCCOPY);
  SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
  if (previous != 0) SetStretchBltMode(dc, previous);
}

void ScanColor(TBitmap& bitmap, TColor from, TColor to) {
  const std::uint32_t match = DibPixel(from), replacement = DibPixel(to);
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint32_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x)
      if ((row[x] & 0xFFFFFF) == match) row[x] = replacement;
  }
}

void SetWinControlTransparent(TWinControl& control) {
  HWND window = control.Handle();
  SetWindowLongPtrA(window, GWL_EXSTYLE, GetWindowLongPtrA(window, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
}

void DrawControlBorder(TWinControl& control, TColor color, TColor innerColor, bool withInner) {
  HWND window = control.Handle();
  RECT bounds{};
  GetWindowRect(window, &bounds);
  RECT frame{0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
  const TWindowDC dc = TWindowDC::WholeWindow(window);
  if (!dc.Get()) return;
  const TOwnedBrush outer(CreateSolidBrush(ColorToRGB(color)));
  FrameRect(dc.Get(), &frame, outer.Get());
  if (!withInner) return;
  InflateRect(&frame, -1, -1);
  const TOwnedBrush inner(CreateSolidBrush(ColorToRGB(innerColor)));
  FrameRect(dc.Get(), &frame, inner.Get());
}

bool SetBitmapWindow(HWND window, TBitmap& bitmap, TColor color) {
  const std::uint32_t see_through = DibPixel(color);
  TOwnedRegion region(CreateRectRgn(0, 0, 0, 0));
  if (!region) return false;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint32_t* row = bitmap.ScanLine(y);
    int x = 0;
    while (x < bitmap.Width()) {
      while (x < bitmap.Width() && (row[x] & 0xFFFFFF) == see_through) ++x;
      const int start = x;
      while (x < bitmap.Width() && (row[x] & 0xFFFFFF) != see_through) ++x;
      if (x > start) {
        const TOwnedRegion run(CreateRectRgn(start, y, x, y + 1));
        if (!run) return false;
        CombineRgn(region.Get(), region.Get(), run.Get(), RGN_OR);
      }
    }
  }
  // The system owns the region once it is set.
  if (!SetWindowRgn(window, region.Get(), TRUE)) return false;
  region.Release();
  return true;
}

void RoundPicture(TBitmap& bitmap) {
  // Clockwise: the new top row is the old left column read bottom-up.
  Remap(bitmap, [](int x, int y, int, int height) { return std::pair<int, int>{y, height - 1 - x}; });
}

void RoundPicture2(TBitmap& bitmap) {
  Remap(bitmap, [](int x, int y, int width, int) { return std::pair<int, int>{width - 1 - y, x}; });
}

void RoundPicture3(TBitmap& bitmap) {
  Remap(bitmap, [](int x, int y, int, int) { return std::pair<int, int>{y, x}; });
}

std::string GetLocaleButtonCaption(TMsgDlgBtn button) {
  switch (button) {
    case TMsgDlgBtn::mbAll: return "All";
    case TMsgDlgBtn::mbNoToAll: return "No to All";
    case TMsgDlgBtn::mbYesToAll: return "Yes to All";
    default: break;
  }
  struct TEntry {
    TMsgDlgBtn button;
    UINT id;
    const char* fallback;
  };
  // The platform's own captions for its message boxes, strings 800 to 808.
  static constexpr TEntry kEntries[] = {
      {TMsgDlgBtn::mbOK, 800, "OK"},        {TMsgDlgBtn::mbCancel, 801, "Cancel"}, {TMsgDlgBtn::mbAbort, 802, "&Abort"},
      {TMsgDlgBtn::mbRetry, 803, "&Retry"}, {TMsgDlgBtn::mbIgnore, 804, "&Ignore"}, {TMsgDlgBtn::mbYes, 805, "&Yes"},
      {TMsgDlgBtn::mbNo, 806, "&No"},       {TMsgDlgBtn::mbClose, 807, "&Close"}, {TMsgDlgBtn::mbHelp, 808, "Help"},
  };
  for (const TEntry& entry : kEntries) {
    if (entry.button != button) continue;
    char text[128] = {};
    const int length = LoadStringA(GetModuleHandleA("user32.dll"), entry.id, text, sizeof text);
    return length > 0 ? std::string(text, static_cast<std::size_t>(length)) : std::string(entry.fallback);
  }
  return {};
}

void GetCaptionFont(TFont& font) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return;
  const LOGFONTA& caption = metrics.lfCaptionFont;
  font.SetName(caption.lfFaceName);
  font.SetHeight(caption.lfHeight);
  TFontStyles style;
  if (caption.lfWeight >= FW_BOLD) style.Include(fsBold);
  if (caption.lfItalic) style.Include(fsItalic);
  if (caption.lfUnderline) style.Include(fsUnderline);
  if (caption.lfStrikeOut) style.Include(fsStrikeOut);
  font.SetStyle(style);
  font.SetCharset(caption.lfCharSet);
}

bool IsWinXP() {
  static const bool value = VersionAtLeast(5, 1);
  return value;
}

bool IsWinVista() {
  static const bool value = VersionAtLeast(6, 0);
  return value;
}

bool KIVGetScrollBarInfo(HWND window, LONG object, SCROLLBARINFO& info) {
  using TFunction = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);
  static const TFunction function = SystemLibraryFunction<TFunction>("user32.dll", "GetScrollBarInfo");
  info.cbSize = sizeof info;
  return function != nullptr && function(window, object, &info) != FALSE;
}

bool KIVGetComboBoxInfo(HWND window, COMBOBOXINFO& info) {
  using TFunction = BOOL(WINAPI*)(HWND, PCOMBOBOXINFO);
  static const TFunction function = SystemLibraryFunction<TFunction>("user32.dll", "GetComboBoxInfo");
  info.cbSize = sizeof info;
  return function != nullptr && function(window, &info) != FALSE;
}

bool KIVAnimateWindow(HWND window, DWORD time, DWORD flags) {
  using TFunction = BOOL(WINAPI*)(HWND, DWORD, DWORD);
  static const TFunction function = SystemLibraryFunction<TFunction>("user32.dll", "AnimateWindow");
  return function != nullptr && function(window, time, flags) != FALSE;
}

}  // namespace plx
