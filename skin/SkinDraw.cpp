#include "skin/SkinDraw.h"

#include <algorithm>
#include <cstring>

#include "framework/Application.h"
#include "framework/Forms.h"

namespace plx {

namespace {

// Stretched skin pieces must keep their exact colours (the default
// stretch mode ANDs rows together); the previous mode comes back at the end.
class TStretchModeGuard {
 public:
  explicit TStretchModeGuard(HDC dc) : dc_(dc), previous_(SetStretchBltMode(dc, COLORONCOLOR)) {}
  ~TStretchModeGuard() {
    if (previous_ != 0) SetStretchBltMode(dc_, previous_);
  }
  TStretchModeGuard(const TStretchModeGuard&) = delete;
  TStretchModeGuard& operator=(const TStretchModeGuard&) = delete;

 private:
  HDC dc_;
  int previous_;
};

TRect Intersection(const TRect& a, const TRect& b) {
  return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

bool IsEmpty(const TRect& r) { return r.Width() <= 0 || r.Height() <= 0; }

// Copies part `from` of source into `to` on dest, stretched when the sizes
// differ; with transparent, pixels of key are left out. `from` is cut to the
// source first, so no read leaves the bitmap; empty pieces are skipped.
void DrawPiece(HDC dest, const TRect& to, TBitmap& source, TRect from, bool transparent, TColor key) {
  if (IsEmpty(to)) return;
  from = Intersection(from, {0, 0, source.Width(), source.Height()});
  if (IsEmpty(from)) return;
  HDC src = source.Canvas().Handle();
  if (transparent) {
    TransparentBlt(dest, to.Left, to.Top, to.Width(), to.Height(), src, from.Left, from.Top, from.Width(),
                   from.Height(), static_cast<UINT>(ColorToRGB(key)));
  } else {
    StretchBlt(dest, to.Left, to.Top, to.Width(), to.Height(), src, from.Left, from.Top, from.Width(), from.Height(),
               SRCCOPY);
  }
}

// One solid line of the ramp; the DC's own brush draws it, so no GDI object
// is made per line and the canvas' brush is left alone.
void FillSolid(HDC dc, const TRect& r, TColor color) {
  const RECT area{r.Left, r.Top, r.Right, r.Bottom};
  const COLORREF previous = SetDCBrushColor(dc, static_cast<COLORREF>(color));
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetDCBrushColor(dc, previous);
}

// One channel of the ramp at step of steps: the quotient-product truncated
// toward zero, in integers so every platform gets the same pixels.
int RampChannel(int from, int to, long long step, long long steps) {
  return from + static_cast<int>((static_cast<long long>(to - from) * step) / steps);
}

TColor RampColor(TColor from, TColor to, long long step, long long steps) {
  const int r = RampChannel(from & 0xFF, to & 0xFF, step, steps);
  const int g = RampChannel((from >> 8) & 0xFF, (to >> 8) & 0xFF, step, steps);
  const int b = RampChannel((from >> 16) & 0xFF, (to >> 16) & 0xFF, step, steps);
  return static_cast<TColor>(r | (g << 8) | (b << 16));
}

// A colour as the DIB section stores it: 0x00RRGGBB.
std::uint32_t DibPixel(TColor color) {
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

}  // namespace

void SpitBitmap(TBitmap& source, TBitmap& dest, int count, int index) {
  const int frameWidth = count > 0 ? source.Width() / count : 0;
  if (source.Empty() || frameWidth <= 0 || index < 1 || index > count) {
    dest.SetSize(0, 0);
    return;
  }
  // The last frame is the rightmost columns: leftovers of a width that is not
  // a multiple of count stay unused by it.
  const int left = index == count ? source.Width() - frameWidth : frameWidth * (index - 1);
  const int height = source.Height();
  dest.SetSize(frameWidth, height);
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* from = source.ScanLine(y);
    std::uint32_t* to = dest.ScanLine(y);
    std::memcpy(to, from + left, static_cast<std::size_t>(frameWidth) * sizeof(std::uint32_t));
  }
}

void SpitDraw(TBitmap& bitmap, TCanvas& canvas, const TRect& rect, bool transparent) {
  const int sourceWidth = bitmap.Width(), sourceHeight = bitmap.Height();
  const int width = rect.Width(), height = rect.Height();
  if (bitmap.Empty() || width <= 0 || height <= 0) return;

  // Source blocks: left and top [0, half); right and bottom from
  // size - half + 1, one narrower with odd sizes; the middle band lies between.
  const int halfWidth = sourceWidth / 2, halfHeight = sourceHeight / 2;
  const int bandRight = std::min(sourceWidth - halfWidth + 1, sourceWidth);
  const int bandBottom = std::min(sourceHeight - halfHeight + 1, sourceHeight);

  // Corners unscaled, each cut to its half of the destination; a cut corner
  // keeps the part at the outer corner.
  const int leftW = std::min(halfWidth, width / 2);
  const int rightW = std::min(sourceWidth - bandRight, width - width / 2);
  const int topH = std::min(halfHeight, height / 2);
  const int bottomH = std::min(sourceHeight - bandBottom, height - height / 2);

  // The top-left corner sits on the canvas origin; rect gives the far edges.
  const int R = rect.Right, B = rect.Bottom;
  const int W = sourceWidth, H = sourceHeight;
  const TColor key = kSkinTransparentColor;
  HDC dc = canvas.Handle();
  TStretchModeGuard mode(dc);

  DrawPiece(dc, {0, 0, leftW, topH}, bitmap, {0, 0, leftW, topH}, transparent, key);
  DrawPiece(dc, {R - rightW, 0, R, topH}, bitmap, {W - rightW, 0, W, topH}, transparent, key);
  DrawPiece(dc, {0, B - bottomH, leftW, B}, bitmap, {0, H - bottomH, leftW, H}, transparent, key);
  DrawPiece(dc, {R - rightW, B - bottomH, R, B}, bitmap, {W - rightW, H - bottomH, W, H}, transparent, key);

  DrawPiece(dc, {leftW, 0, R - rightW, topH}, bitmap, {halfWidth, 0, bandRight, topH}, true, key);
  DrawPiece(dc, {leftW, B - bottomH, R - rightW, B}, bitmap, {halfWidth, H - bottomH, bandRight, H}, true, key);
  DrawPiece(dc, {0, topH, leftW, B - bottomH}, bitmap, {0, halfHeight, leftW, bandBottom}, true, key);
  DrawPiece(dc, {R - rightW, topH, R, B - bottomH}, bitmap, {W - rightW, halfHeight, W, bandBottom}, true, key);

  DrawPiece(dc, {leftW, topH, R - rightW, B - bottomH}, bitmap, {halfWidth, halfHeight, bandRight, bandBottom}, true,
            key);
}

void TSpitDrawCache::Draw(TBitmap& bitmap, TCanvas& canvas, const TRect& rect) {
  const int width = rect.Right, height = rect.Bottom;  // SpitDraw draws from the canvas origin
  if (bitmap.Empty() || rect.Width() <= 0 || rect.Height() <= 0 || width <= 0 || height <= 0) return;
  GdiFlush();
  std::vector<std::uint32_t> source;
  source.reserve(static_cast<std::size_t>(bitmap.Width()) * bitmap.Height());
  for (int y = 0; y < bitmap.Height(); ++y) source.insert(source.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width());
  auto found = std::find_if(sliced_.begin(), sliced_.end(), [&](const TSliced& entry) {
    return entry.rect == rect && entry.sourceWidth == bitmap.Width() && entry.sourceHeight == bitmap.Height() &&
           entry.source == source;
  });
  if (found == sliced_.end()) {
    TSliced entry{bitmap.Width(), bitmap.Height(), std::move(source), rect, std::make_unique<TBitmap>(width, height)};
    // Magenta wherever no piece lands; the pieces themselves are copied with
    // their magenta, which the one keyed copy below leaves out as the nine
    // keyed copies would have.
    TCanvas& target = entry.picture->Canvas();
    target.Brush().SetColor(kSkinTransparentColor);
    target.FillRect({0, 0, width, height});
    SpitDraw(bitmap, target, rect, false);
    if (sliced_.size() == kKept) sliced_.pop_back();
    sliced_.insert(sliced_.begin(), std::move(entry));
    found = sliced_.begin();
  } else if (found != sliced_.begin()) {
    std::rotate(sliced_.begin(), found, found + 1);
    found = sliced_.begin();
  }
  TransparentBlt(canvas.Handle(), 0, 0, width, height, found->picture->Canvas().Handle(), 0, 0, width, height,
                 static_cast<UINT>(ColorToRGB(kSkinTransparentColor)));
}

void SpitDrawHorizontal2(TBitmap& bitmap, TCanvas& canvas, const TRect& rect, TColor maskColor, bool masked) {
  const int frameWidth = bitmap.Width() / 3;
  const int height = bitmap.Height();
  if (frameWidth <= 0 || height <= 0 || rect.Width() <= 0) return;
  HDC dc = canvas.Handle();
  TStretchModeGuard mode(dc);
  const int L = rect.Left, T = rect.Top, R = rect.Right;
  if (rect.Width() < frameWidth) {
    DrawPiece(dc, {L, T, R, T + height}, bitmap, {0, 0, rect.Width(), height}, masked, maskColor);
    return;
  }
  const int W = bitmap.Width();
  DrawPiece(dc, {L, T, L + frameWidth, T + height}, bitmap, {0, 0, frameWidth, height}, masked, maskColor);
  DrawPiece(dc, {R - frameWidth, T, R, T + height}, bitmap, {W - frameWidth, 0, W, height}, masked, maskColor);
  DrawPiece(dc, {L + frameWidth, T, R - frameWidth, T + height}, bitmap, {frameWidth, 0, 2 * frameWidth, height},
            masked, maskColor);
}

void SpitDrawHorizontal(TBitmap& bitmap, TCanvas& canvas, const TRect& rect, bool topRow, TColor fillColor,
                        bool sampleMask) {
  const int frameWidth = bitmap.Width() / 3;
  const int height = bitmap.Height();
  if (frameWidth <= 0 || height <= 0 || rect.Width() <= 0) return;
  const TColor key = sampleMask ? bitmap.Pixel(0, topRow ? 0 : height - 1) : kSkinTransparentColor;
  if (rect.Width() < frameWidth) {
    SpitDrawHorizontal2(bitmap, canvas, rect, key, true);
    return;
  }
  // The middle frame on the fill colour, then stretched opaque.
  TBitmap middle(frameWidth, height);
  const std::uint32_t keyPixel = DibPixel(ColorToRGB(key));
  const std::uint32_t fillPixel = DibPixel(ColorToRGB(fillColor));
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* from = bitmap.ScanLine(y) + frameWidth;
    std::uint32_t* to = middle.ScanLine(y);
    for (int x = 0; x < frameWidth; ++x) to[x] = (from[x] & 0xFFFFFF) == keyPixel ? fillPixel : from[x];
  }
  HDC dc = canvas.Handle();
  TStretchModeGuard mode(dc);
  const int L = rect.Left, T = rect.Top, R = rect.Right, W = bitmap.Width();
  DrawPiece(dc, {L, T, L + frameWidth, T + height}, bitmap, {0, 0, frameWidth, height}, true, key);
  DrawPiece(dc, {R - frameWidth, T, R, T + height}, bitmap, {W - frameWidth, 0, W, height}, true, key);
  DrawPiece(dc, {L + frameWidth, T, R - frameWidth, T + height}, middle, {0, 0, frameWidth, height}, false, key);
}

void TileDraw(TCanvas& canvas, TGraphic& picture, const TRect& rect) {
  const long long tileWidth = picture.Width(), tileHeight = picture.Height();
  if (tileWidth <= 0 || tileHeight <= 0) return;
  const long long width = rect.Width(), height = rect.Height();
  for (long long y = 0; y < height + tileHeight; y += tileHeight)
    for (long long x = 0; x < width + tileWidth; x += tileWidth)
      canvas.Draw(static_cast<int>(x), static_cast<int>(y), picture);
}

void DoTrans(TCanvas& canvas, TControl& control) {
  TWinControl* parent = control.Parent();
  if (parent == nullptr || !parent->HandleAllocated()) return;
  const TRect client = parent->ClientRect();
  HDC dc = canvas.Handle();
  TCanvasStateGuard state(canvas);
  // The parent draws in its own coordinates; shifting the origin puts the
  // control's top-left on the canvas origin.
  POINT origin{};
  GetWindowOrgEx(dc, &origin);
  SetWindowOrgEx(dc, origin.x + control.Left(), origin.y + control.Top(), nullptr);
  IntersectClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
  parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

void DrawHorizontalGradient(TCanvas& canvas, const TRect& rect, TColor from, TColor to) {
  const long long steps = rect.Height();
  if (steps <= 0 || rect.Width() <= 0) return;
  from = ColorToRGB(from);
  to = ColorToRGB(to);
  HDC dc = canvas.Handle();
  FillSolid(dc, {rect.Left, rect.Top, rect.Right, rect.Top + 1}, from);
  for (int y = rect.Top + 1; y <= rect.Bottom - 2; ++y)
    FillSolid(dc, {rect.Left, y, rect.Right, y + 1}, RampColor(from, to, y - rect.Top - 1, steps));
  FillSolid(dc, {rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, to);
}

void DrawVerticalGradient(TCanvas& canvas, const TRect& rect, TColor from, TColor to) {
  const long long steps = rect.Width();
  if (steps <= 0 || rect.Height() <= 0) return;
  from = ColorToRGB(from);
  to = ColorToRGB(to);
  HDC dc = canvas.Handle();
  FillSolid(dc, {rect.Left, rect.Top, rect.Left + 1, rect.Bottom}, from);
  for (int x = rect.Left + 1; x <= rect.Right - 2; ++x)
    FillSolid(dc, {x, rect.Top, x + 1, rect.Bottom}, RampColor(from, to, x - rect.Left, steps));
  FillSolid(dc, {rect.Right - 1, rect.Top, rect.Right, rect.Bottom}, to);
}

bool InRect(int x, int y, const TRect& rect) {
  return rect.Left <= x && x <= rect.Right && rect.Top <= y && y <= rect.Bottom;
}

void GetWorkAreaRect(TRect& rect) {
  RECT area{};
  TForm* main = Application().MainForm();
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (main != nullptr && main->HandleAllocated() &&
      GetMonitorInfoA(MonitorFromWindow(main->Handle(), MONITOR_DEFAULTTONEAREST), &info)) {
    area = info.rcWork;
  } else {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  }
  rect = {area.left, area.top, area.right, area.bottom};
}

void PlaceControl(TControl& control, const TRect& rect) {
  control.SetLeft(rect.Left);
  control.SetTop(rect.Top);
  control.SetWidth(rect.Width());
  control.SetHeight(rect.Height());
}

void PlaceControl(TControl& control, TPoint point) {
  control.SetLeft(point.X);
  control.SetTop(point.Y);
}

std::string FormatStringWithWidth(TCanvas& canvas, const std::string& text, int width) {
  if (canvas.TextWidth(text) <= width) return text;
  for (std::size_t i = 1; i < text.size(); ++i) {
    std::string candidate = text.substr(0, i) + "...";
    if (canvas.TextWidth(candidate) >= width) return candidate;
  }
  // A one-character text is cut like any other; a longer one that never
  // reaches the width stays whole.
  if (text.size() == 1) return text + "...";
  return text;
}

std::string CutWithEllipsis(const std::string& text, int width, const std::function<int(const std::string&)>& measure) {
  if (measure(text) <= width) return text;
  // The longest start that fits lies in [low, high): low always fits (the
  // empty start is taken as fitting), high never does.
  std::size_t low = 0, high = text.size();
  while (high - low > 1) {
    const std::size_t middle = low + (high - low) / 2;
    if (measure(text.substr(0, middle) + "...") <= width)
      low = middle;
    else
      high = middle;
  }
  return text.substr(0, low) + "...";
}

bool FormHasFocus(TForm& form) {
  const bool active = form.HandleAllocated() && GetActiveWindow() == form.Handle();
  TForm* main = Application().MainForm();
  if (main == nullptr) return active;
  DWORD foregroundProcess = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &foregroundProcess);
  if (foregroundProcess != GetCurrentProcessId()) return false;
  if (&form == main) return true;
  return active;
}

std::string PCharToStr(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

}  // namespace plx
