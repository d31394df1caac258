// The skinned main window against the platform's own:
//  - start-up: from process start until plexoria.exe's skinned window is
//    shown and its message loop idles, against a bare Win32 window of the
//    same size that initialises OLE and the common controls and paints its
//    client area (skin_bare_window.exe), started in turns under the same
//    Wine server; with the peak working set of each process;
//  - a full repaint (frame, title bar, buttons) of a skinned form against the
//    same form with the platform's frame and push buttons, in this process.
// Medians; the ratios are the figures that matter.
#include <windows.h>

#include "bench/BenchReport.h"
#include "bench/BenchTiming.h"
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "skin/FileTheme.h"
#include "skin/SkinButton.h"
#include "skin/SkinForm.h"

namespace plx {
namespace {

using bench::Clock;
using bench::Median;
using bench::Milliseconds;

// <build>/bench/skin/ holds this benchmark; <build>/app/ the program.
std::string BuildFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path);
  for (int up = 0; up < 3; ++up) self = self.substr(0, self.find_last_of('\\'));
  return self;
}

struct TFound {
  DWORD process;
  HWND window;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<TFound*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == found->process && IsWindowVisible(window)) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

struct TStart {
  double ms = -1;
  double peakMiB = 0;
};

TStart StartOnce(const std::string& program) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string command = "\"" + program + "\"";
  TStart result;
  const auto start = Clock::now();
  if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return result;
  TFound found{process.dwProcessId, nullptr};
  const auto give_up = start + std::chrono::seconds(20);
  while (Clock::now() < give_up) {
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&found));
    if (found.window && WaitForInputIdle(process.hProcess, 0) == 0) {
      result.ms = Milliseconds(Clock::now() - start);
      break;
    }
    Sleep(1);
  }
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory))
    result.peakMiB = static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0);
  if (found.window) PostMessageA(found.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

void CompareStartUp() {
  const std::string skinned = BuildFolder() + "\\app\\plexoria.exe";
  const std::string bare = BuildFolder() + "\\bench\\skin\\skin_bare_window.exe";
  StartOnce(skinned);
  StartOnce(bare);
  std::vector<double> skinnedMs, bareMs, skinnedPeak, barePeak;
  for (int i = 0; i < 9; ++i) {
    const TStart a = StartOnce(skinned), b = StartOnce(bare);
    if (a.ms < 0 || b.ms < 0) {
      std::fprintf(stderr, "a window never showed\n");
      return;
    }
    skinnedMs.push_back(a.ms);
    bareMs.push_back(b.ms);
    skinnedPeak.push_back(a.peakMiB);
    barePeak.push_back(b.peakMiB);
  }
  const double s = Median(skinnedMs), b = Median(bareMs);
  std::printf("start-up until shown and idle: skinned plexoria.exe %.1f ms, bare window %.1f ms: %.2fx (goal: at most 1.1x)\n",
              s, b, s / b);
  const double sp = Median(skinnedPeak), bp = Median(barePeak);
  std::printf("peak working set: skinned %.1f MiB, bare %.1f MiB: +%.1f MiB (goal: at most +4 MiB)\n", sp, bp, sp - bp);
  bench::Report("skinned window: start-up until shown and idle, against a bare window", s, b, "ms", "x1.1");
  bench::Report("skinned window: peak working set, against a bare window", sp, bp, "MiB", "+4");
}

std::string EmbeddedSkin() {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, "SKINDATA", MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  return data ? std::string(static_cast<const char*>(data), SizeofResource(module, found)) : std::string();
}

void PumpMessages() {
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// The main window's frame and buttons, skinned or with the platform's own.
TForm* MakeWindow(bool skinned) {
  auto* form = new TForm(nullptr);
  form->SetCaption("Plexoria");
  form->SetBorderStyle(TFormBorderStyle::bsDialog);
  form->SetBounds(731, 341, form->Width(), form->Height());
  form->SetClientWidth(243);
  form->SetClientHeight(520);
  TWinControl* panel = nullptr;
  if (skinned) {
    auto* frame = new TkivForm(form);
    frame->SetBounds(0, 0, 243, 520);
    frame->SetParent(form);
    auto* theme = new TkivBuiltInFileTheme(form);
    theme->ReadSkinData(EmbeddedSkin());
    frame->SetUIStyle(TkivUIStyle::FromThemeFile);
    frame->SetFileTheme(theme);
    panel = frame;
  } else {
    auto* plain = new TPanel(form);
    plain->SetBounds(0, 0, 243, 520);
    plain->SetBevelOuter(TBevelCut::bvNone);
    plain->SetParent(form);
    panel = plain;
  }
  const struct {
    int left, top, width;
    const char* caption;
  } buttons[] = {{8, 32, 113, "Remove [-]"}, {128, 32, 104, "Clear All"}, {8, 488, 225, "Copy"}};
  for (const auto& b : buttons) {
    TWinControl* button = nullptr;
    if (skinned) {
      auto* k = new TkivButton(form);
      k->SetUIStyle(TkivUIStyle::BlueGlass);
      k->SetTransparent(true);
      button = k;
    } else {
      button = new TButton(form);
    }
    button->SetBounds(b.left, b.top, b.width, 27);
    button->SetCaption(b.caption);
    button->SetParent(panel);
  }
  form->Show();
  PumpMessages();
  return form;
}

double RepaintMs(TForm* form) {
  HWND window = form->Handle();
  const UINT flags = RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW;
  for (int i = 0; i < 20; ++i) RedrawWindow(window, nullptr, nullptr, flags);
  std::vector<double> times;
  for (int i = 0; i < 300; ++i) {
    const auto start = Clock::now();
    RedrawWindow(window, nullptr, nullptr, flags);
    GdiFlush();
    times.push_back(Milliseconds(Clock::now() - start));
    PumpMessages();
  }
  return Median(times);
}

void CompareCreation() {
  for (int round = 0; round < 2; ++round) {
    delete MakeWindow(true);
    delete MakeWindow(false);
  }
  std::vector<double> skinnedMs, platformMs;
  for (int i = 0; i < 9; ++i) {
    auto start = Clock::now();
    TForm* skinned = MakeWindow(true);
    skinnedMs.push_back(Milliseconds(Clock::now() - start));
    delete skinned;
    start = Clock::now();
    TForm* platform = MakeWindow(false);
    platformMs.push_back(Milliseconds(Clock::now() - start));
    delete platform;
  }
  std::printf("making and showing the window: skinned frame and buttons %.1f ms, platform's %.1f ms\n",
              Median(skinnedMs), Median(platformMs));
}

void CompareRepaint() {
  TForm* skinned = MakeWindow(true);
  const double s = RepaintMs(skinned);
  delete skinned;
  TForm* platform = MakeWindow(false);
  const double p = RepaintMs(platform);
  delete platform;
  std::printf("full repaint (frame, title bar, buttons): skinned %.3f ms, platform frame and buttons %.3f ms: %.2fx (goal: at most 2x)\n",
              s, p, s / p);
  bench::Report("skinned window: full repaint of frame, title bar and buttons, against the platform's", s, p, "ms",
                "x2");
}

}  // namespace
}  // namespace plx

// "startup" as the only argument runs the start-up comparison alone.
int main(int argc, char** argv) {
  plx::Application().Initialize();
  const bool startUpOnly = argc == 2 && std::string(argv[1]) == "startup";
  if (!startUpOnly) {
    plx::CompareRepaint();
    plx::CompareCreation();
  }
  plx::CompareStartUp();
  return 0;
}
