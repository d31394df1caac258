// Drawing and hit-testing a laid-out markup string: both only read the
// layout value.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "markup/MarkupGeometry.h"
#include "markup/MarkupLayout.h"
#include "markup/MarkupPictureSource.h"

namespace plx {

namespace {

constexpr TColor kErrorMarkColor = 0x0000FF;
// A tiled BODY picture is repeated at most this often per tag: a tiny picture
// under a huge area must not turn one paint into millions of draws.
constexpr std::int64_t kMaxBackgroundTiles = 4096;

// A red zigzag of 2-pixel steps between baseBottom - 1 and baseBottom + 1,
// kept on a 4-pixel grid so that runs next to each other join up.
void DrawErrorMark(MarkupSurface& surface, int left, int right, int baseBottom) {
  const TRect clip = surface.ClipBox();
  int x = left - left % 2;
  // Only the part that can show is worked out, from a grid point before it.
  const std::int64_t hiddenPart = static_cast<std::int64_t>(clip.Left) - 4 - x;
  if (hiddenPart > 0) x = ClampCoordinate(x + hiddenPart / 4 * 4);
  right = std::min(right, AddCoordinates(clip.Right, 4));
  if (x >= right) return;
  int phase = (x % 4 == 0) ? 2 : 0;
  std::vector<TPoint> points;
  points.reserve(static_cast<std::size_t>((static_cast<std::int64_t>(right) - x) / 2 + 2));
  points.push_back(TPoint{x, baseBottom + phase - 1});
  while (x < right) {
    phase = 2 - phase;
    x += 2;
    points.push_back(TPoint{x, baseBottom + phase - 1});
  }
  surface.Polyline(points.data(), points.size(), kErrorMarkColor);
}

// Tiles start at the top-left corner of the area; only those that can show
// are drawn.
void DrawTiles(MarkupSurface& surface, const MarkupPictureInfo& picture, const TRect& area) {
  const int width = ScaleToDevice(ClampPictureSize(picture.MaxSize.Width), surface.PixelsPerInchX());
  const int height = ScaleToDevice(ClampPictureSize(picture.MaxSize.Height), surface.PixelsPerInchY());
  if (width <= 0 || height <= 0) return;
  const TRect clip = surface.ClipBox();
  const int firstColumn = std::max(0, (clip.Left - area.Left) / width);
  const int firstRow = std::max(0, (clip.Top - area.Top) / height);
  const int right = std::min(area.Right, clip.Right);
  const int bottom = std::min(area.Bottom, clip.Bottom);
  std::int64_t tiles = 0;
  for (std::int64_t y = area.Top + static_cast<std::int64_t>(firstRow) * height; y < bottom; y += height) {
    for (std::int64_t x = area.Left + static_cast<std::int64_t>(firstColumn) * width; x < right; x += width) {
      if (++tiles > kMaxBackgroundTiles) return;
      surface.DrawPicture(picture, static_cast<int>(x), static_cast<int>(y));
    }
  }
}

void DrawPictureStep(MarkupSurface& surface, const MarkupStep& step, std::string_view source, const TRect& r) {
  const std::optional<MarkupPictureInfo> picture = NamedOrUrlPicture(surface, source);
  if (!picture || picture->Empty) return;
  switch (step.Kind) {
    case MarkupStepKind::Picture:
      if (step.Flag) {
        surface.DrawPicture(*picture, r.Left, r.Top);
      } else {
        surface.DrawPicture(*picture, AddCoordinates(r.Left, picture->FrameOffset.X),
                            AddCoordinates(r.Top, picture->FrameOffset.Y));
      }
      break;
    case MarkupStepKind::StretchedPicture: surface.StretchDrawPicture(*picture, r); break;
    case MarkupStepKind::TiledPicture: DrawTiles(surface, *picture, r); break;
    default: break;
  }
}

// Red, green and blue of a resolved colour.
struct Channels {
  int Red, Green, Blue;
};

Channels ChannelsOf(TColor color) {
  return Channels{static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF)};
}

int Interpolate(int from, int to, int band, int bands) {
  return from + static_cast<int>(std::nearbyint(static_cast<double>(band) * (to - from) / bands));
}

}  // namespace

void DrawMarkupLayout(MarkupSurface& surface, const MarkupLayout& layout, int dy, const TRect* fillArea) {
  const MarkupFont* selected = nullptr;
  int clips = 0;
  for (const MarkupStep& step : layout.Steps) {
    const TRect r{step.Rect.Left, AddCoordinates(step.Rect.Top, dy), step.Rect.Right,
                  AddCoordinates(step.Rect.Bottom, dy)};
    switch (step.Kind) {
      case MarkupStepKind::Text: {
        const MarkupFont& font = layout.Fonts[step.Font];
        if (selected != &font) {
          surface.SelectFont(font);
          selected = &font;
        }
        surface.DrawText(layout.TextOf(step), r, step.Format, step.Color, step.Background);
        break;
      }
      case MarkupStepKind::Fill:
        if (fillArea) {
          surface.FillRect(TRect{std::max(r.Left, fillArea->Left), std::max(r.Top, fillArea->Top),
                                 std::min(r.Right, fillArea->Right), std::min(r.Bottom, fillArea->Bottom)},
                           step.Color);
        } else {
          surface.FillRect(r, step.Color);
        }
        break;
      case MarkupStepKind::Gradient:
        FillGradient(surface, step.Color, step.Background, step.Flag, r, step.Value, clNone);
        break;
      case MarkupStepKind::Line: {
        const TPoint points[] = {{r.Left, r.Top}, {r.Right, r.Bottom}};
        surface.Polyline(points, 2, step.Color);
        break;
      }
      case MarkupStepKind::ErrorMark:
        DrawErrorMark(surface, r.Left, r.Right, AddCoordinates(step.Value, dy));
        break;
      case MarkupStepKind::ListImage: surface.DrawImage(step.Value, r.Left, r.Top); break;
      case MarkupStepKind::Icon: surface.SystemIcon(layout.TextOf(step), step.Flag, true, r.Left, r.Top); break;
      case MarkupStepKind::Picture:
      case MarkupStepKind::StretchedPicture:
      case MarkupStepKind::TiledPicture: DrawPictureStep(surface, step, layout.TextOf(step), r); break;
      case MarkupStepKind::PushClip:
        surface.PushClip(r);
        ++clips;
        break;
      case MarkupStepKind::PopClip:
        if (clips > 0) {
          surface.PopClip();
          --clips;
        }
        break;
    }
  }
  for (; clips > 0; --clips) surface.PopClip();
}

bool MarkupLayoutDrawsWithin(const MarkupLayout& layout, const TRect& area, int dy) {
  const auto inside = [&](std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    // Nothing is painted in an empty rectangle.
    if (right <= left || bottom <= top) return true;
    return left >= area.Left && top >= area.Top && right <= area.Right && bottom <= area.Bottom;
  };
  for (const MarkupStep& step : layout.Steps) {
    const TRect& r = step.Rect;
    const std::int64_t top = static_cast<std::int64_t>(r.Top) + dy;
    const std::int64_t bottom = static_cast<std::int64_t>(r.Bottom) + dy;
    switch (step.Kind) {
      case MarkupStepKind::Fill: break;
      case MarkupStepKind::Text:
      case MarkupStepKind::Gradient:
        if (!inside(r.Left, top, r.Right, bottom)) return false;
        break;
      case MarkupStepKind::Line:
        // Both ends count: a one-pixel pen covers the pixel right and below
        // each point it passes.
        if (!inside(std::min(r.Left, r.Right), std::min(top, bottom), std::max(r.Left, r.Right) + std::int64_t{1},
                    std::max(top, bottom) + 1)) {
          return false;
        }
        break;
      case MarkupStepKind::ErrorMark: {
        // The zigzag starts on the column DrawErrorMark rounds Left to, ends
        // before 2 pixels right of Right and spans a pixel about the base line.
        const std::int64_t base = static_cast<std::int64_t>(step.Value) + dy;
        if (r.Right > r.Left && !inside(static_cast<std::int64_t>(r.Left) - r.Left % 2, base - 1,
                                        static_cast<std::int64_t>(r.Right) + 2, base + 2)) {
          return false;
        }
        break;
      }
      case MarkupStepKind::ListImage:
      case MarkupStepKind::Icon:
      case MarkupStepKind::Picture:
      case MarkupStepKind::StretchedPicture:
      case MarkupStepKind::TiledPicture: return false;
      case MarkupStepKind::PushClip:
      case MarkupStepKind::PopClip: break;
    }
  }
  return true;
}

const MarkupAnchorBox* MarkupAnchorAt(const MarkupLayout& layout, int x, int y, bool picturesOnly) {
  for (auto anchor = layout.Anchors.rbegin(); anchor != layout.Anchors.rend(); ++anchor) {
    if (picturesOnly && !anchor->Picture) continue;
    const TRect& box = anchor->Box;
    if (box.Left <= x && x < box.Right && box.Top <= y && y < box.Bottom) return &*anchor;
  }
  return nullptr;
}

MarkupLayoutResult RenderOnSurface(MarkupSurface& surface, std::string_view markup,
                                   const MarkupLayoutRequest& request) {
  const MarkupLayout layout = LayoutMarkup(surface, markup, request);
  const bool drawing = !request.HitTestOnly && !request.MeasureOnly;
  if (drawing) DrawMarkupLayout(surface, layout);
  MarkupLayoutResult result;
  if (const MarkupAnchorBox* anchor = MarkupAnchorAt(layout, request.MouseX, request.MouseY, drawing)) {
    result.OnAnchor = true;
    result.AnchorUnderMouse = anchor->Value;
  }
  result.ExtentX = layout.ExtentX;
  result.ExtentY = layout.ExtentY;
  return result;
}

void FillGradient(MarkupSurface& surface, TColor from, TColor to, bool horizontal, const TRect& area, int bands,
                  TColor border) {
  // More bands than pixels only paints the same pixels again.
  constexpr int kMaxBands = 4096;
  bands = std::clamp(bands, 1, kMaxBands);
  const TRect r{ClampCoordinate(area.Left), ClampCoordinate(area.Top), ClampCoordinate(area.Right),
                ClampCoordinate(area.Bottom)};
  const Channels start = ChannelsOf(surface.ResolveColor(from) & 0xFFFFFF);
  const Channels end = ChannelsOf(surface.ResolveColor(to) & 0xFFFFFF);
  const double step = static_cast<double>(horizontal ? r.Width() : r.Height()) / bands;
  for (int band = 0; band < bands; ++band) {
    const TColor color = static_cast<TColor>(Interpolate(start.Red, end.Red, band, bands)) |
                         static_cast<TColor>(Interpolate(start.Green, end.Green, band, bands)) << 8 |
                         static_cast<TColor>(Interpolate(start.Blue, end.Blue, band, bands)) << 16;
    const int offset = static_cast<int>(std::nearbyint(band * step));
    const int length = static_cast<int>(std::trunc(step)) + 1;
    if (horizontal) {
      const int x = AddCoordinates(r.Left, offset);
      surface.FillRect(TRect{x, r.Top, std::min(r.Right, AddCoordinates(x, length)), r.Bottom}, color);
    } else {
      const int y = AddCoordinates(r.Top, offset);
      surface.FillRect(TRect{r.Left, y, r.Right, std::min(r.Bottom, AddCoordinates(y, length))}, color);
    }
  }
  if (border != clNone) surface.FrameRect(r, border);
}

}  // namespace plx
