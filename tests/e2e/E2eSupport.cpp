#include "tests/e2e/E2eSupport.h"

#include "framework/GdiHandles.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace plx::e2e {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return condition();
}

std::string PlexoriaExePath() {
  if (const char* copy = std::getenv("PLEXORIA_E2E_EXE"); copy != nullptr && *copy != '\0') return copy;
  return PLEXORIA_EXE_PATH;
}

PlexoriaProcess::~PlexoriaProcess() {
  if (!process_.hProcess) return;
  if (CloseAndWait() == -1) TerminateProcess(process_.hProcess, 1);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

namespace {
struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == search->pid && IsWindowVisible(window) && WindowText(window) == "Plexoria") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

bool PlexoriaProcess::Start() {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string command = "\"" + PlexoriaExePath() + "\"";
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
    return false;
  WaitForInputIdle(process_.hProcess, 10000);
  return WaitUntil([this] {
    Search search{process_.dwProcessId, nullptr};
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
    main_window_ = search.found;
    return main_window_ != nullptr;
  });
}

HWND PlexoriaProcess::FindChild(const std::string& className, const std::string& text) const {
  struct ChildSearch {
    const std::string* class_name;
    const std::string* text;
    HWND found;
  } search{&className, &text, nullptr};
  EnumChildWindows(
      main_window_,
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<ChildSearch*>(param);
        char name[256] = {};
        GetClassNameA(window, name, sizeof name);
        if (*s->class_name == name && (s->text->empty() || WindowText(window) == *s->text)) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int PlexoriaProcess::CloseAndWait() {
  if (main_window_ && IsWindow(main_window_)) PostMessageA(main_window_, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<int>(code);
}

std::string WindowText(HWND window) {
  const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT copied = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

bool WaitForReleasedCapture(HWND window) {
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return WaitUntil([&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) && info.hwndCapture == nullptr;
  });
}

bool MoveCursorTo(int screenX, int screenY) {
  SetCursorPos(screenX, screenY);
  return WaitUntil([&] {
    POINT at{};
    return GetCursorPos(&at) && at.x == screenX && at.y == screenY;
  });
}

namespace {
// A mouse event at an explicit screen point. Each event carries its own
// place: a click sent without one lands wherever the system's cursor is when
// the event is queued, and a late pointer motion (the window system reporting
// an earlier position) can have moved it back in the meantime.
INPUT MouseEventAt(int screenX, int screenY, DWORD flags) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  // The smallest normalised value that maps back onto the pixel.
  input.mi.dx = static_cast<LONG>((static_cast<long long>(screenX) * 65536 + width - 1) / width);
  input.mi.dy = static_cast<LONG>((static_cast<long long>(screenY) * 65536 + height - 1) / height);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return input;
}
}  // namespace

void ClickAt(HWND window, int clientX, int clientY) {
  // The last click is over once its window has let the mouse go; input sent
  // before that would go to the window still holding the capture.
  WaitForReleasedCapture(window);
  POINT p{clientX, clientY};
  ClientToScreen(window, &p);
  MoveCursorTo(p.x, p.y);
  INPUT inputs[3] = {MouseEventAt(p.x, p.y, 0), MouseEventAt(p.x, p.y, MOUSEEVENTF_LEFTDOWN),
                     MouseEventAt(p.x, p.y, MOUSEEVENTF_LEFTUP)};
  SendInput(3, inputs, sizeof(INPUT));
}

void ClickCentre(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  ClickAt(window, r.right / 2, r.bottom / 2);
}

COLORREF TScreenshot::At(int x, int y) const {
  const std::uint32_t rgb = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

TScreenshot CaptureClientArea(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return CaptureScreen(RECT{origin.x, origin.y, origin.x + r.right, origin.y + r.bottom});
}

TScreenshot CaptureScreen(const RECT& area) {
  TScreenshot shot;
  const POINT origin{area.left, area.top};
  shot.width = std::max(0L, area.right - area.left);
  shot.height = std::max(0L, area.bottom - area.top);
  shot.pixels.assign(static_cast<std::size_t>(shot.width) * static_cast<std::size_t>(shot.height), 0);
  const TWindowDC screen(nullptr);
  const TMemoryDC memory(screen.Get());
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const TOwnedBitmap bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bitmap) {
    const TSelectObject selected(memory.Get(), bitmap.Get());
    BitBlt(memory.Get(), 0, 0, shot.width, shot.height, screen.Get(), origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < shot.pixels.size(); ++i) shot.pixels[i] = source[i] & 0xFFFFFF;
  }
  return shot;
}

bool TScreenshot::SaveBmp(const std::string& path) const {
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  const DWORD image_size = stride * static_cast<DWORD>(height);
  BITMAPINFOHEADER header{sizeof header, width, -height, 1, 24, BI_RGB, image_size, 0, 0, 0, 0};
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + image_size;
  std::vector<std::uint8_t> rows(image_size, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint32_t rgb = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
      std::uint8_t* out = &rows[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3];
      out[0] = rgb & 0xFF;
      out[1] = (rgb >> 8) & 0xFF;
      out[2] = (rgb >> 16) & 0xFF;
    }
  FILE* out = fopen(path.c_str(), "wb");
  if (!out) return false;
  const bool written = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&header, sizeof header, 1, out) == 1 &&
                       fwrite(rows.data(), 1, rows.size(), out) == rows.size();
  return fclose(out) == 0 && written;
}

}  // namespace plx::e2e
