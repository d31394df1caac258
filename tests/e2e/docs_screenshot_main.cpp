// Starts plexoria.exe, drops a few clips into it from this process with real
// OLE drags, selects one so the memo shows its text, and saves a picture of
// the whole window as a BMP: docs_screenshot OUT.bmp. Exits non-zero when any
// step does not happen, so the picture always shows what it claims to.
#include <windows.h>

#include <ole2.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "tests/e2e/E2eDrop.h"
#include "tests/e2e/E2eSupport.h"

namespace plx::e2e {
namespace {

// What a person might collect in a morning: a note, a link, a line of code
// and a paragraph long enough to be cut short in the list.
const char* const kClips[] = {
    "Call the printer shop back about the invoice before noon.",
    "https://example.org/handbook/chapter-3",
    "SELECT name, size FROM orders WHERE shipped = 0 ORDER BY size DESC;",
    ("The meeting moves to Thursday at ten. Bring the figures for the third quarter, the draft of the letter "
     "to the suppliers and the list of open questions from last week."),
};
constexpr int kShownClip = 3;

int Fail(const char* what) {
  std::fprintf(stderr, "docs_screenshot: %s\n", what);
  return 1;
}

int Run(const char* outPath) {
  PlexoriaProcess app;
  if (!app.Start()) return Fail("no Plexoria window");
  const HWND list = app.FindChild("PlexoriaListBox");
  const HWND memo = app.FindChild("PlexoriaMemo");
  if (!list || !memo) return Fail("no list or memo");
  int count = 0;
  std::time_t lastDrop = 0;
  for (const char* clip : kClips) {
    // The tint is drawn from a generator seeded with the time in whole
    // seconds at each drop: one drop per second shows different tints.
    if (!WaitUntil([&] { return std::time(nullptr) != lastDrop; })) return Fail("the clock stands");
    lastDrop = std::time(nullptr);
    const TDragResult drag = DragOnto(list, CF_TEXT, std::string(clip) + '\0', /*control=*/true);
    if (drag.result != DRAGDROP_S_DROP) return Fail("a drag was not dropped");
    ++count;
    if (!WaitUntil([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == count; })) return Fail("no entry");
  }
  RECT item{};
  SendMessageA(list, LB_GETITEMRECT, kShownClip, reinterpret_cast<LPARAM>(&item));
  ClickAt(list, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
  if (!WaitUntil([&] { return WindowText(memo) == kClips[kShownClip]; })) return Fail("the memo shows no clip");
  // The cursor off the window, so no button is drawn hot; then every part
  // painted before the picture is taken (the paints are sent, so this returns
  // after them).
  if (!WaitForReleasedCapture(list) || !MoveCursorTo(0, 0)) return Fail("the mouse is still busy");
  const HWND window = app.MainWindow();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT area{};
  GetWindowRect(window, &area);
  if (!CaptureScreen(area).SaveBmp(outPath)) return Fail("cannot write the picture");
  return app.CloseAndWait() == 0 ? 0 : Fail("the program did not close cleanly");
}

}  // namespace
}  // namespace plx::e2e

int main(int argc, char** argv) {
  if (argc != 2) return plx::e2e::Fail("usage: docs_screenshot OUT.bmp");
  if (FAILED(OleInitialize(nullptr))) return plx::e2e::Fail("OleInitialize failed");
  const int result = plx::e2e::Run(argv[1]);
  OleUninitialize();
  return result;
}
