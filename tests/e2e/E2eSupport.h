#pragma once
// Starts plexoria.exe as a separate process and drives it from the test:
// finds its windows, clicks with real mouse input, reads controls and the
// clipboard.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/Clipboard.h"

namespace plx::e2e {

// The Windows path of the plexoria.exe under test: the build's own, or the
// copy PLEXORIA_E2E_EXE names (an unpacked package, say).
std::string PlexoriaExePath();

// Polls condition every 20 ms until it holds or the timeout passes.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

class PlexoriaProcess {
 public:
  PlexoriaProcess() = default;
  PlexoriaProcess(const PlexoriaProcess&) = delete;
  PlexoriaProcess& operator=(const PlexoriaProcess&) = delete;
  // Closes the window and waits for the process; kills it if it hangs.
  ~PlexoriaProcess();

  // Starts the program and waits for its visible main window.
  bool Start();
  HWND MainWindow() const { return main_window_; }
  DWORD ProcessId() const { return process_.dwProcessId; }
  HANDLE ProcessHandle() const { return process_.hProcess; }

  // A child window of the main window by its framework class and, when
  // given, its text; nullptr when there is none.
  HWND FindChild(const std::string& className, const std::string& text = {}) const;

  // Asks the window to close and answers the exit code (or -1 on timeout).
  int CloseAndWait();

 private:
  PROCESS_INFORMATION process_{};
  HWND main_window_ = nullptr;
};

std::string WindowText(HWND window);

// Real mouse input: moves the cursor to the centre of the window's client
// area (or to a client point) and clicks the left button. A click is not
// waited for: the caller waits for what it changes on the screen. The next
// click first waits until the last one has let the mouse capture go.
void ClickCentre(HWND window);
void ClickAt(HWND window, int clientX, int clientY);
// Moves the cursor and waits until the system reports it there.
bool MoveCursorTo(int screenX, int screenY);
// Waits until no window of the thread that owns window holds the capture.
bool WaitForReleasedCapture(HWND window);

using test::ClipboardText;
using test::EmptyTheClipboard;

// A screenshot: what the screen shows of a window's client area.
struct TScreenshot {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
  // As a COLORREF (0x00BBGGRR), to compare with the program's colours.
  COLORREF At(int x, int y) const;
  // Writes a 24-bit BMP for a person to look at.
  bool SaveBmp(const std::string& path) const;
};
TScreenshot CaptureClientArea(HWND window);
// What the screen shows of a rectangle in screen coordinates.
TScreenshot CaptureScreen(const RECT& area);

}  // namespace plx::e2e
