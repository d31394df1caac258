#include "framework/Forms.h"

#include "framework/Application.h"

namespace plx {

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);  // a form appears when shown
}

TForm::~TForm() {
  Destroying();
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      Application().HandleException(this);
    }
  }
  // The window goes first, while the components it holds are still whole:
  // their windows see WM_DESTROY as complete objects.
  DestroyHandle();
  Application().FormDestroyed(this);
}

void TForm::AfterConstruction() {
  if (OnCreate) OnCreate(this);
}

DWORD TForm::WindowStyle() const {
  DWORD style = WS_CLIPCHILDREN;
  switch (border_style_) {
    case TFormBorderStyle::bsNone: style |= WS_POPUP; break;
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsToolWindow:
      style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
      break;
    case TFormBorderStyle::bsSizeable:
    case TFormBorderStyle::bsSizeToolWin:
      style |= WS_OVERLAPPEDWINDOW;
      break;
    case TFormBorderStyle::bsDialog: style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME; break;
  }
  return style;
}

DWORD TForm::WindowExStyle() const {
  DWORD ex = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
  if (border_style_ == TFormBorderStyle::bsDialog) ex |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
  if (border_style_ == TFormBorderStyle::bsToolWindow || border_style_ == TFormBorderStyle::bsSizeToolWin)
    ex |= WS_EX_TOOLWINDOW;
  return ex;
}

void TForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style = WindowStyle();
  params.ExStyle = WindowExStyle();
  params.WndParent = nullptr;
  params.ClassName = "PlexoriaForm";
}

void TForm::SetBorderStyle(TFormBorderStyle value) {
  if (border_style_ == value) return;
  // Keep the client area: it is what the layout fixes.
  const TRect client = ClientRect();
  border_style_ = value;
  if (HandleAllocated()) RecreateWnd();
  SetClientWidth(client.Width());
  SetClientHeight(client.Height());
}

namespace {
SIZE FrameExtra(DWORD style, DWORD ex_style) {
  RECT r{0, 0, 100, 100};
  AdjustWindowRectEx(&r, style, FALSE, ex_style);
  return {r.right - r.left - 100, r.bottom - r.top - 100};
}
}  // namespace

void TForm::SetClientWidth(int value) {
  if (HandleAllocated()) {
    RECT client{};
    GetClientRect(Handle(), &client);
    SetWidth(Width() + value - (client.right - client.left));
  } else {
    SetWidth(value + FrameExtra(WindowStyle(), WindowExStyle()).cx);
  }
}

void TForm::SetClientHeight(int value) {
  if (HandleAllocated()) {
    RECT client{};
    GetClientRect(Handle(), &client);
    SetHeight(Height() + value - (client.bottom - client.top));
  } else {
    SetHeight(value + FrameExtra(WindowStyle(), WindowExStyle()).cy);
  }
}

void TForm::SetWindowState(TWindowState value) {
  window_state_ = value;
  if (!HandleAllocated() || !Visible()) return;
  ShowWindow(Handle(), value == TWindowState::wsMinimized   ? SW_MINIMIZE
                       : value == TWindowState::wsMaximized ? SW_MAXIMIZE
                                                             : SW_RESTORE);
}

void TForm::Show() {
  HandleNeeded();
  SetVisible(true);
  if (window_state_ != TWindowState::wsNormal) SetWindowState(window_state_);
  SetForegroundWindow(Handle());
}

void TForm::Close() {
  bool can_close = true;
  if (OnCloseQuery) OnCloseQuery(this, can_close);
  if (!can_close) return;
  TCloseAction action = TCloseAction::caHide;
  if (OnClose) OnClose(this, action);
  if (action == TCloseAction::caNone) return;
  if (Application().MainForm() == this) {
    Hide();
    Application().Terminate();
  } else if (action == TCloseAction::caMinimize) {
    SetWindowState(TWindowState::wsMinimized);
  } else {
    Hide();
  }
}

void TForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
      if (constraints_.MinWidth > 0) info->ptMinTrackSize.x = constraints_.MinWidth;
      if (constraints_.MinHeight > 0) info->ptMinTrackSize.y = constraints_.MinHeight;
      if (constraints_.MaxWidth > 0) info->ptMaxTrackSize.x = constraints_.MaxWidth;
      if (constraints_.MaxHeight > 0) info->ptMaxTrackSize.y = constraints_.MaxHeight;
      break;
    }
    default:
      break;
  }
  TWinControl::WndProc(message);
}

}  // namespace plx
