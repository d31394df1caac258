// Fuzzes the markup layout engine: every input is laid out (measured and in
// full), the layout value is checked, drawn and hit-tested on a recording
// surface, which checks that no coordinate leaves the layout's range and
// that clipping stays balanced. The same bytes are
// also read as a GIF by the frame finder of markup pictures.
// Input: one byte of options, one byte for the width, one for the mouse
// position, then the markup. Run with: scripts/fuzz.sh markup_layout_fuzzer SECONDS

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "markup/GifFrames.h"
#include "markup/MarkupLayout.h"
#include "tests/markup/RecordingSurface.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool InRange(const plx::TRect& r) {
  const auto in = [](int v) { return v >= -plx::kMaxLayoutCoordinate && v <= plx::kMaxLayoutCoordinate; };
  return in(r.Left) && in(r.Top) && in(r.Right) && in(r.Bottom);
}

void Render(std::string_view markup, plx::MarkupLayoutRequest request, bool measure) {
  plx::test::RecordingSurface surface;
  surface.AddPicture("pic", 20, 20);
  surface.AddPicture("file://a", 3, 200);
  surface.imageCount = 4;
  request.MeasureOnly = measure;
  const plx::MarkupLayout layout = plx::LayoutMarkup(surface, markup, request);
  // Laying out only measures.
  Check(surface.texts.empty() && surface.fills.empty() && surface.pictures.empty() && surface.lines.empty());
  Check(layout.ExtentX >= 0 && layout.ExtentX <= plx::kMaxLayoutCoordinate);
  Check(layout.ExtentY >= 0 && layout.ExtentY <= plx::kMaxLayoutCoordinate);
  if (measure) Check(layout.Steps.empty() && layout.Anchors.empty() && layout.Lines.empty());
  for (const plx::MarkupLine& line : layout.Lines) Check(InRange(line.Box) && line.FirstStep <= layout.Steps.size());
  for (const plx::MarkupStep& step : layout.Steps) {
    Check(InRange(step.Rect));
    if (step.Kind == plx::MarkupStepKind::Text) Check(step.Font < layout.Fonts.size());
  }
  for (const plx::MarkupAnchorBox& anchor : layout.Anchors) Check(InRange(anchor.Box));

  plx::DrawMarkupLayout(surface, layout);
  Check(surface.coordinatesInRange);
  Check(surface.clips.empty());
  // A hit is always inside the box that answers it.
  if (const plx::MarkupAnchorBox* anchor = plx::MarkupAnchorAt(layout, request.MouseX, request.MouseY)) {
    Check(anchor->Box.Left <= request.MouseX && request.MouseX < anchor->Box.Right);
    Check(anchor->Box.Top <= request.MouseY && request.MouseY < anchor->Box.Bottom);
  }
}

void ReadAsGif(std::span<const std::uint8_t> bytes) {
  const std::size_t frames = plx::GifFrameStarts(bytes).size();
  for (int frame = 0; frame <= static_cast<int>(frames) + 1; ++frame) {
    const plx::GifFrameCut cut = plx::CutGifToFrame(bytes, frame);
    Check(cut.Bytes.size() <= bytes.size());
    plx::GifFrameTime(bytes, frame);
    if (frame > 3) break;  // every frame is cut the same way
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ReadAsGif(std::span<const std::uint8_t>(data, size));
  if (size < 3) return 0;
  const std::uint8_t options = data[0];
  plx::MarkupLayoutRequest request;
  request.Bounds = plx::TRect{0, 0, 1 + data[1] * 2, (options & 0x10) ? 13 : 255};
  request.MouseX = data[2] % 64 * 4;
  request.MouseY = data[2] / 64 * 7;
  request.WordWrap = (options & 1) == 0;
  request.Selected = (options & 2) != 0;
  request.BlinkOn = (options & 4) != 0;
  request.LineSpacing = (options & 8) ? -5 : 0;
  request.ShadowOffset = 1;
  request.StartFont.Name = "MS Sans Serif";
  request.StartFont.Size = 8;
  request.StartBackground = 0xFFFFFF;
  const std::string_view markup(reinterpret_cast<const char*>(data + 3), size - 3);
  Render(markup, request, true);
  Render(markup, request, false);
  return 0;
}
