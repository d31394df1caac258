// RenderMarkup on main-window entries against what a plain list pays: one
// DrawText (word-break, calculate-rectangle) of the entry's plain text for
// measuring, one DrawText for drawing, on the same canvas. Prints the times
// per entry and the ratios, measured in the same run.

#include <windows.h>

#include "bench/BenchReport.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "framework/Bitmap.h"
#include "markup/GdiMarkupSurface.h"
#include "markup/MarkupLayout.h"
#include "markup/MarkupText.h"
#include "markup/RenderMarkup.h"

#undef DrawText

namespace {

using plx::TRect;

constexpr int kEntryWidth = 221;  // the main window's list client width
constexpr int kEntryHeight = 255;

// Entries as the main window builds them: a tinted BODY, the first 80
// characters of the dropped text and "...": at most 106 characters.
std::vector<std::string> MainWindowEntries(std::size_t count) {
  static const char* const kWords[] = {"the", "quick", "brown", "fox", "jumps", "over", "lazy", "dog", "Lorem",
                                       "ipsum", "dolor", "sit", "amet,", "consectetur", "adipiscing", "elit", "sed",
                                       "do", "eiusmod", "tempor", "incididunt", "ut", "labore", "et", "dolore",
                                       "magna", "aliqua.", "Ut", "enim", "ad", "minim", "veniam,", "quis", "12.50",
                                       "e-mail", "C++", "x", "Plexoria", "clip", "board"};
  std::mt19937 random(42);
  std::uniform_int_distribution<int> channel(0, 255);
  std::uniform_int_distribution<std::size_t> word(0, std::size(kWords) - 1);
  std::uniform_int_distribution<std::size_t> length(5, 80);
  std::vector<std::string> entries;
  for (std::size_t i = 0; i < count; ++i) {
    std::string preview;
    const std::size_t wanted = length(random);
    while (preview.size() < wanted) preview += std::string(kWords[word(random)]) + " ";
    preview.resize(wanted);
    char color[8];
    std::snprintf(color, sizeof color, "FF%02X%02X", channel(random), channel(random));
    entries.push_back("<BODY bgcolor=\"#" + std::string(color) + "\">" + preview + "...");
  }
  return entries;
}

// Microseconds per entry of one pass of work(i) over the entries.
double OnePass(std::size_t count, const std::function<void(std::size_t)>& work) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  for (std::size_t i = 0; i < count; ++i) work(i);
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / static_cast<double>(count);
}

// The floor and the work, timed in alternating passes so that both see the
// same machine load; the best pass of each counts.
struct Timing {
  double Floor = 1e30;
  double Work = 1e30;
};
Timing Compare(std::size_t count, const std::function<void(std::size_t)>& floor,
               const std::function<void(std::size_t)>& work) {
  Timing timing;
  for (int round = 0; round < 7; ++round) {
    timing.Floor = std::min(timing.Floor, OnePass(count, floor));
    timing.Work = std::min(timing.Work, OnePass(count, work));
  }
  return timing;
}

}  // namespace

int main() {
  const std::vector<std::string> entries = MainWindowEntries(2000);
  std::vector<std::string> plain;
  for (const std::string& entry : entries) plain.push_back(plx::StripMarkup(entry));

  plx::TBitmap bitmap(kEntryWidth + 8, kEntryHeight);
  plx::TCanvas& canvas = bitmap.Canvas();
  canvas.Font().SetName("MS Sans Serif");
  canvas.Font().SetSize(8);
  canvas.Brush().SetColor(0xFFFFFF);
  const TRect bounds{0, 0, kEntryWidth, kEntryHeight};
  std::string anchor;
  int extentX = 0;
  int extentY = 0;

  // Warm-up: fonts made, glyphs cached, the same for both sides.
  for (std::size_t i = 0; i < entries.size(); ++i) {
    TRect r = bounds;
    canvas.DrawText(plain[i], r, DT_WORDBREAK | DT_CALCRECT);
    plx::RenderMarkup(canvas, entries[i], bounds, nullptr, 0, 0, 1, true, true, false, true, true, plx::clBlue,
                      plx::clGray, anchor, extentX, extentY, nullptr, nullptr, 0);
  }

  // Entries are drawn in their own rectangle, as tall as they measure.
  std::vector<TRect> entryRects;
  for (const std::string& entry : entries) {
    plx::RenderMarkup(canvas, entry, bounds, nullptr, 0, 0, 1, true, true, false, true, true, plx::clBlue,
                      plx::clGray, anchor, extentX, extentY, nullptr, nullptr, 0);
    entryRects.push_back(TRect{0, 0, kEntryWidth, extentY});
  }

  const std::size_t n = entries.size();
  const auto measureFloor = [&](std::size_t i) {
    TRect r = bounds;
    canvas.DrawText(plain[i], r, DT_WORDBREAK | DT_CALCRECT);
  };
  const Timing measure = Compare(n, measureFloor, [&](std::size_t i) {
    plx::RenderMarkup(canvas, entries[i], bounds, nullptr, 0, 0, 1, true, true, false, true, true, plx::clBlue,
                      plx::clGray, anchor, extentX, extentY, nullptr, nullptr, 0);
  });
  const Timing draw = Compare(
      n,
      [&](std::size_t i) {
        TRect r = entryRects[i];
        canvas.DrawText(plain[i], r, DT_WORDBREAK);
      },
      [&](std::size_t i) {
        plx::RenderMarkup(canvas, entries[i], entryRects[i], nullptr, -1, -1, 1, false, false, false, true, true,
                          plx::clBlue, plx::clGray, anchor, extentX, extentY, nullptr, nullptr, 0);
      });
  const Timing hitTest = Compare(n, measureFloor, [&](std::size_t i) {
    plx::RenderMarkup(canvas, entries[i], entryRects[i], nullptr, 40, 5, 1, true, false, false, true, true,
                      plx::clBlue, plx::clGray, anchor, extentX, extentY, nullptr, nullptr, 0);
  });

  // What the list does with an entry it has laid out: draw the kept layout
  // and find the anchor under the mouse in it.
  std::vector<plx::MarkupLayout> layouts;
  {
    plx::GdiMarkupSurface surface(canvas, plx::MarkupPictureSources{});
    for (std::size_t i = 0; i < n; ++i) {
      plx::MarkupLayoutRequest request;
      request.Bounds = entryRects[i];
      request.ShadowOffset = 1;
      request.URLColor = plx::clBlue;
      request.ShadowColor = plx::clGray;
      request.StartFont = surface.CanvasFont();
      request.StartBackground = canvas.Brush().Color();
      layouts.push_back(plx::LayoutMarkup(surface, entries[i], request));
    }
  }
  const Timing drawKept = Compare(
      n,
      [&](std::size_t i) {
        TRect r = entryRects[i];
        canvas.DrawText(plain[i], r, DT_WORDBREAK);
      },
      [&](std::size_t i) {
        plx::GdiMarkupSurface surface(canvas, plx::MarkupPictureSources{});
        plx::DrawMarkupLayout(surface, layouts[i]);
      });
  std::size_t hits = 0;
  const Timing hitKept = Compare(n, measureFloor, [&](std::size_t i) {
    hits += plx::MarkupAnchorAt(layouts[i], 40, 5) != nullptr ? 1 : 0;
  });

  std::printf("%-52s %10s %8s\n", "main-window entries (2000, <= 106 characters)", "us/entry", "ratio");
  std::printf("%-52s %10.2f\n", "floor: DrawText word-break calc-rect of plain text", measure.Floor);
  std::printf("%-52s %10.2f %7.2fx (goal <= 3x)\n", "RenderMarkup measure", measure.Work, measure.Work / measure.Floor);
  std::printf("%-52s %10.2f\n", "floor: DrawText word-break of plain text", draw.Floor);
  std::printf("%-52s %10.2f %7.2fx (goal <= 1.3x)\n", "RenderMarkup draw", draw.Work, draw.Work / draw.Floor);
  std::printf("%-52s %10.2f %7.2fx (goal <= 1x the measuring floor)\n", "RenderMarkup hit-test", hitTest.Work,
              hitTest.Work / hitTest.Floor);
  std::printf("%-52s %10.2f %7.2fx (goal <= 1.3x)\n", "kept layout drawn", drawKept.Work,
              drawKept.Work / drawKept.Floor);
  std::printf("%-52s %10.2f %7.2fx (goal <= 1x the measuring floor; %zu hits)\n", "kept layout hit-tested",
              hitKept.Work, hitKept.Work / hitKept.Floor, hits);
  plx::bench::Report("main-window entry: kept layout drawn, against DrawText", drawKept.Work, drawKept.Floor, "us",
                     "x1.3");
  plx::bench::Report("main-window entry: kept layout hit-tested, against DrawText measuring", hitKept.Work,
                     hitKept.Floor, "us", "x1");
  plx::bench::Report("main-window entry: RenderMarkup measure, against DrawText", measure.Work, measure.Floor, "us", "x3");
  plx::bench::Report("main-window entry: RenderMarkup draw, against DrawText", draw.Work, draw.Floor, "us", "x1.3");
  plx::bench::Report("main-window entry: RenderMarkup hit-test, against DrawText measuring", hitTest.Work,
                     hitTest.Floor, "us", "x1");
  return 0;
}
