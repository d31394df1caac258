// The main window in-process with many and with large clips:
// - selecting a 10 MB clip until the memo has painted it, against setting the
//   same text into a bare EDIT control of the memo's size and styles;
// - 10,000 drops through the drop target: the time of each Drop (the
//   program's own work) and the memory each clip takes beyond its text;
// - with those 10,000 clips, a full repaint of the list and a scroll from top
//   to bottom page by page, against a plain owner-drawn list box that draws
//   the same entries' text with DrawText.
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "bench/BenchReport.h"
#include "bench/BenchTiming.h"
#include "framework/Application.h"
#include "framework/Com.h"
#include "tests/support/TextBlockSource.h"

namespace plx {
namespace {

using bench::Clock;
using bench::Median;
using bench::Milliseconds;

double TimeOf(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return Milliseconds(Clock::now() - start);
}

// The bytes of every busy block of every heap of the process.
std::size_t HeapBytesInUse() {
  HANDLE heaps[256];
  const DWORD count = GetProcessHeaps(256, heaps);
  std::size_t bytes = 0;
  for (DWORD i = 0; i < count && i < 256; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    HeapUnlock(heaps[i]);
  }
  return bytes;
}

// Text as people drop it: words and a line break every line or so.
std::string Prose(std::size_t size) {
  static const char* const kWords[] = {"clip ", "the ", "text ", "dropped ", "on ", "a ", "list, ", "and "};
  std::string text;
  text.reserve(size + 16);
  unsigned word = 0;
  while (text.size() < size) {
    text += kWords[word++ % 8];
    if (word % 11 == 0) text += "\r\n";
  }
  text.resize(size);
  return text;
}

// The floor for the list: a plain owner-drawn list box of the same entries,
// each as high as the main window's list made it, whose text is drawn with
// DrawText (wrapped, as the markup wraps), in a top-level window of the same
// client size.
int g_plain_entry_height = 16;  // the height the next entry added gets

LRESULT CALLBACK PlainListParent(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
    if (item->itemID == static_cast<UINT>(-1)) return TRUE;
    char text[256] = {};
    SendMessageA(item->hwndItem, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
    RECT r = item->rcItem;
    FillRect(item->hDC, &r, GetSysColorBrush(COLOR_WINDOW));
    r.left += 3;
    DrawTextA(item->hDC, text, -1, &r, DT_WORDBREAK | DT_NOPREFIX);
    return TRUE;
  }
  if (message == WM_MEASUREITEM) {
    reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->itemHeight = static_cast<UINT>(g_plain_entry_height);
    return TRUE;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

struct TPlainList {
  HWND parent = nullptr;
  HWND list = nullptr;
  TPlainList(int width, int height) {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = PlainListParent;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "PlexoriaBenchPlainListParent";
    window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    RegisterClassA(&window_class);
    parent = CreateWindowExA(0, window_class.lpszClassName, "floor", WS_POPUP | WS_VISIBLE, 100, 100, width + 16,
                             height + 16, nullptr, nullptr, window_class.hInstance, nullptr);
    list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWVARIABLE |
                                                 LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                           8, 8, width, height, parent, nullptr, window_class.hInstance, nullptr);
  }
  ~TPlainList() { DestroyWindow(parent); }
  void Add(const std::string& text, int height) {
    g_plain_entry_height = height;
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
};

// What the plain list shows of a clip: the start of its text.
std::string PlainEntryText(const std::string& text) {
  return text.substr(0, std::min<std::size_t>(80, text.find('\0'))) + "...";
}

void Pump() { Application().ProcessMessages(); }

void RepaintNow(HWND window) { RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

// Page by page from the top entry to the last, each page painted.
void ScrollTopToBottom(HWND list) {
  SendMessageA(list, LB_SETTOPINDEX, 0, 0);
  UpdateWindow(list);
  LRESULT top = -1;
  while (SendMessageA(list, LB_GETTOPINDEX, 0, 0) != top) {
    top = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
    SendMessageA(list, WM_VSCROLL, SB_PAGEDOWN, 0);
    UpdateWindow(list);
  }
}

void SelectLargeClip() {
  constexpr std::size_t kSize = 10u << 20;
  const std::string text = Prose(kSize);
  TForm1* form = new TForm1(nullptr);
  form->AfterConstruction();
  ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
  form->QXTextTarget1Drop(form, form->ListBox1, "small", 0, 0);
  form->QXTextTarget1Drop(form, form->ListBox1, text, 0, 0);
  Pump();
  HWND memo = form->Memo1->Handle();
  RECT memo_rect{};
  GetClientRect(memo, &memo_rect);
  const LONG style = GetWindowLongA(memo, GWL_STYLE);
  const HFONT font = reinterpret_cast<HFONT>(SendMessageA(memo, WM_GETFONT, 0, 0));

  HWND bare = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_POPUP | WS_VISIBLE | (style & ~WS_CHILD), 400, 100,
                              225, 145, nullptr, nullptr, nullptr, nullptr);
  SendMessageA(bare, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  std::vector<double> ours, floor;
  for (int run = 0; run < 3; ++run) {
    form->ListBox1->SetItemIndex(0);
    form->ListBox1Click(form->ListBox1);
    UpdateWindow(memo);
    ours.push_back(TimeOf([&] {
      form->ListBox1->SetItemIndex(1);
      form->ListBox1Click(form->ListBox1);
      UpdateWindow(memo);
    }));
    SetWindowTextA(bare, "small");
    UpdateWindow(bare);
    floor.push_back(TimeOf([&] {
      SetWindowTextA(bare, text.c_str());
      UpdateWindow(bare);
    }));
  }
  bench::Report("select a 10 MB clip until the memo is painted, against a bare EDIT", Median(ours), Median(floor), "ms",
                "x1.2");
  DestroyWindow(bare);
  delete form;
}

void TenThousandClips() {
  constexpr int kClips = 10000;
  TForm1* form = new TForm1(nullptr);
  form->AfterConstruction();
  ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
  Pump();
  IDropTarget* target = form->QXTextTarget1->DropTargetObject();
  const TPoint screen = form->ListBox1->ClientToScreen({10, 10});
  const POINTL point{screen.X, screen.Y};

  // Texts of a typical clip's length, each different, made before counting.
  std::vector<std::string> texts;
  std::size_t text_bytes = 0;
  for (int i = 0; i < kClips; ++i) {
    texts.push_back(Prose(60 + i % 200) + std::to_string(i) + '\0');
    text_bytes += texts.back().size();
  }
  std::vector<TComPtr<test::TTextBlockSource>> objects;
  for (const std::string& text : texts) objects.emplace_back(new test::TTextBlockSource(text));

  const std::size_t before = HeapBytesInUse();
  double drop_ms = 0;
  for (int i = 0; i < kClips; ++i) {
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(objects[static_cast<std::size_t>(i)].Get(), MK_LBUTTON, point, &effect);
    effect = DROPEFFECT_COPY;
    drop_ms += TimeOf([&] { target->Drop(objects[static_cast<std::size_t>(i)].Get(), MK_LBUTTON, point, &effect); });
  }
  const std::size_t after = HeapBytesInUse();
  Pump();
  if (form->ListBox1->Count() != kClips) std::printf("only %d clips\n", form->ListBox1->Count());
  bench::ReportAbsolute("10,000 clips: each drop's own work (Drop to OnDrop's end)", drop_ms / kClips, "ms", "<=0.2");
  // The target keeps its last drop's text: one text more than the clips.
  const double per_clip = (static_cast<double>(after) - static_cast<double>(before) -
                           static_cast<double>(text_bytes) - static_cast<double>(texts.back().size())) /
                          kClips;
  bench::ReportAbsolute("10,000 clips: memory per clip beyond its text", per_clip, "bytes", "<=300");

  HWND list = form->ListBox1->Handle();
  RECT list_rect{};
  GetClientRect(list, &list_rect);
  TPlainList plain(list_rect.right, list_rect.bottom);
  SendMessageA(plain.list, WM_SETFONT, SendMessageA(list, WM_GETFONT, 0, 0), FALSE);
  SendMessageA(plain.list, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < kClips; ++i)
    plain.Add(PlainEntryText(texts[static_cast<std::size_t>(i)]), form->ListBox1->ItemHeightOf(i));
  SendMessageA(plain.list, WM_SETREDRAW, TRUE, 0);
  Pump();

  std::vector<double> ours, floor;
  for (int run = 0; run < 7; ++run) {
    ours.push_back(TimeOf([&] { RepaintNow(list); }));
    floor.push_back(TimeOf([&] { RepaintNow(plain.list); }));
  }
  bench::Report("10,000 clips: full repaint of the list, against plain owner-drawn entries", Median(ours),
                Median(floor), "ms", "x2");
  ours.clear();
  floor.clear();
  for (int run = 0; run < 3; ++run) {
    ours.push_back(TimeOf([&] { ScrollTopToBottom(list); }));
    floor.push_back(TimeOf([&] { ScrollTopToBottom(plain.list); }));
  }
  bench::Report("10,000 clips: scroll from top to bottom page by page, against plain owner-drawn entries",
                Median(ours), Median(floor), "ms", "x2");

  // Drop defers the list's redrawing to its message queue: this is the whole
  // of a drop until the list is up to date on the screen (scroll bar
  // included), against adding the same entry to the plain list and painting.
  ours.clear();
  floor.clear();
  for (int run = 0; run < 51; ++run) {
    const std::string& text = texts[static_cast<std::size_t>(run)];
    TComPtr<test::TTextBlockSource> object(new test::TTextBlockSource(text));
    ours.push_back(TimeOf([&] {
      DWORD effect = DROPEFFECT_COPY;
      target->DragEnter(object.Get(), MK_LBUTTON, point, &effect);
      effect = DROPEFFECT_COPY;
      target->Drop(object.Get(), MK_LBUTTON, point, &effect);
      Pump();
      UpdateWindow(list);
    }));
    const int height = form->ListBox1->ItemHeightOf(form->ListBox1->Count() - 1);
    floor.push_back(TimeOf([&] {
      plain.Add(PlainEntryText(text), height);
      UpdateWindow(plain.list);
    }));
  }
  bench::Report("10,000 clips: a drop until the list is painted, against adding to plain owner-drawn entries",
                Median(ours), Median(floor), "ms", "-");
  delete form;
}

}  // namespace
}  // namespace plx

int main() {
  plx::Application().Initialize();
  plx::SelectLargeClip();
  plx::TenThousandClips();
  return 0;
}
