// The floor of the start-up benchmark: the main window's tree of windows made
// the plainest way, with raw Win32 and nothing of the project. A captionless
// topmost popup of the main window's size with a region; a client panel with
// a title strip; three painted buttons at the layout's places; a multiline
// EDIT holding the prompt; an owner-drawn LISTBOX registered as an OLE drop
// target. OLE and the common controls are initialised, and the program
// carries the same manifest (visual styles) as plexoria.exe. It paints, then
// waits to be closed.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <iterator>

namespace {

// The main window as it opens: its place, its outer size (the layout's
// minimum width, and the client height within the skinned frame's borders),
// its client area, and the title strip's height.
constexpr int kLeft = 731;
constexpr int kTop = 341;
constexpr int kWidth = 251;
constexpr int kHeight = 529;
constexpr int kClientWidth = 243;
constexpr int kClientHeight = 520;
constexpr int kTitleHeight = 36;

constexpr COLORREF kPanelColour = RGB(0xF0, 0xF0, 0xF0);
constexpr COLORREF kTitleColour = RGB(0x20, 0x48, 0x90);
constexpr COLORREF kButtonColour = RGB(0xD8, 0xE4, 0xF4);
constexpr char kPrompt[] = "Please drop your text above.";

// Child places within the panel, as the main window's layout has them.
struct TPlace {
  int left, top, width, height;
};
struct TButtonPlace {
  const char* caption;
  TPlace place;
  bool enabled;  // the main window starts with no clips to remove or clear
};
constexpr TButtonPlace kButtons[] = {
    {"Remove [-]", {8, 32, 113, 27}, false},
    {"Clear All", {128, 32, 104, 27}, false},
    {"Copy", {8, 488, 225, 27}, true},
};
constexpr TPlace kMemo{8, 336, 225, 145};
constexpr TPlace kList{8, 64, 225, 257};
constexpr int kListItemHeight = 16;

constexpr char kMainClass[] = "PlexoriaTreeFloor";
constexpr char kPanelClass[] = "PlexoriaTreeFloorPanel";
constexpr char kTitleClass[] = "PlexoriaTreeFloorTitle";
constexpr char kButtonClass[] = "PlexoriaTreeFloorButton";

// Created once in WinMain, deleted after the loop.
HFONT g_text_font = nullptr;
HFONT g_title_font = nullptr;
// The list, registered as a drop target until the main window goes.
HWND g_list = nullptr;

// Accepts CF_TEXT as a copy; the drop itself only has to be possible.
class TMinimalTarget : public IDropTarget {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
      *out = static_cast<IDropTarget*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on WinMain's stack for as long as the registration.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    FORMATETC format{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    accepts_ = data->QueryGetData(&format) == S_OK;
    return Answer(effect);
  }
  STDMETHODIMP DragOver(DWORD, POINTL, DWORD* effect) override { return Answer(effect); }
  STDMETHODIMP DragLeave() override { return S_OK; }
  STDMETHODIMP Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override { return Answer(effect); }

 private:
  HRESULT Answer(DWORD* effect) const {
    *effect = accepts_ ? (*effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
    return S_OK;
  }
  bool accepts_ = false;
};

// Fills the window with a colour and writes its text on it.
void PaintFilled(HWND window, COLORREF back, COLORREF fore, HFONT font, UINT format) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT area;
  GetClientRect(window, &area);
  HBRUSH brush = CreateSolidBrush(back);  // deleted below
  FillRect(dc, &area, brush);
  DeleteObject(brush);
  char text[64] = {};
  const int length = GetWindowTextA(window, text, static_cast<int>(std::size(text)));
  if (length > 0) {
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(window) ? fore : GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, text, length, &area, format | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, oldFont);
  }
  EndPaint(window, &paint);
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      PaintFilled(window, kPanelColour, kPanelColour, g_text_font, 0);
      return 0;
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->itemHeight = kListItemHeight;
      return TRUE;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_WINDOW));
      return TRUE;
    }
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

LRESULT CALLBACK TitleProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT) {
    PaintFilled(window, kTitleColour, RGB(0xFF, 0xFF, 0xFF), g_title_font, DT_LEFT);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT) {
    PaintFilled(window, kButtonColour, RGB(0, 0, 0), g_text_font, DT_CENTER);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    // The parent hears of its destruction before its children: the list is
    // still whole here.
    RevokeDragDrop(g_list);
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

void RegisterClassOf(HINSTANCE instance, const char* name, WNDPROC procedure) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);
}

HWND Child(const char* windowClass, const char* text, DWORD style, DWORD exStyle, const TPlace& place, HWND parent) {
  return CreateWindowExA(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, place.left,
                         place.top, place.width, place.height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  g_text_font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
  g_title_font = CreateFontA(-11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
  RegisterClassOf(instance, kMainClass, MainProc);
  RegisterClassOf(instance, kPanelClass, PanelProc);
  RegisterClassOf(instance, kTitleClass, TitleProc);
  RegisterClassOf(instance, kButtonClass, ButtonProc);

  // A dialog-framed popup without a caption, as the main window is once its
  // skinned frame has taken the caption away.
  constexpr DWORD kStyle = WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME;
  constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT |
                             WS_EX_APPWINDOW;
  HWND main = CreateWindowExA(kExStyle, kMainClass, "Plexoria", kStyle, kLeft, kTop, kWidth, kHeight, nullptr,
                              nullptr, instance, nullptr);
  // The system owns the region once it is set.
  SetWindowRgn(main, CreateRectRgn(0, 0, kWidth, kHeight), FALSE);

  HWND panel = Child(kPanelClass, "", WS_CLIPCHILDREN, 0, {0, 0, kClientWidth, kClientHeight}, main);
  Child(kTitleClass, "Plexoria", 0, 0, {0, 0, kClientWidth, kTitleHeight}, panel);
  for (const TButtonPlace& button : kButtons) {
    HWND window = Child(kButtonClass, button.caption, WS_TABSTOP, 0, button.place, panel);
    EnableWindow(window, button.enabled);
  }
  HWND memo = Child("EDIT", kPrompt,
                    ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL | WS_VSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE, kMemo, panel);
  SendMessageA(memo, WM_SETFONT, reinterpret_cast<WPARAM>(g_text_font), FALSE);
  g_list = Child("LISTBOX", "", LBS_NOTIFY | LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                 WS_EX_CLIENTEDGE, kList, panel);
  SendMessageA(g_list, WM_SETFONT, reinterpret_cast<WPARAM>(g_text_font), FALSE);
  TMinimalTarget target;
  RegisterDragDrop(g_list, &target);

  ShowWindow(main, SW_SHOWNORMAL);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(main, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  DeleteObject(g_title_font);
  DeleteObject(g_text_font);
  OleUninitialize();
  return 0;
}
