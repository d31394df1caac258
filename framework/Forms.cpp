#include "framework/Forms.h"

#include "framework/Application.h"
#include "framework/FocusNavigation.h"
#include "framework/MessageDecoders.h"
#include "framework/ScopedState.h"

namespace plx {

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);  // a form appears when shown
}

void TForm::BeforeDestruction() {
  if (!on_destroy_called_) {
    on_destroy_called_ = true;
    Destroying();
    if (OnDestroy) {
      try {
        OnDestroy(this);
      } catch (...) {
        Application().HandleException(this);
      }
    }
  }
  TWinControl::BeforeDestruction();
  Application().FormDestroyed(this);
}

// A form on the stack comes here without the first step: it runs now, for
// what is left of the object.
TForm::~TForm() { TForm::BeforeDestruction(); }

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
SIZE FrameExtra(DWORD style, DWORD exStyle) {
  RECT r{0, 0, 100, 100};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return {r.right - r.left - 100, r.bottom - r.top - 100};
}
}  // namespace

void TForm::SetClientWidth(int value) {
  wanted_client_width_ = value;
  if (HandleAllocated()) {
    ApplyWantedClientSize();
  } else {
    SetWidth(value + FrameExtra(WindowStyle(), WindowExStyle()).cx);
  }
}

void TForm::SetClientHeight(int value) {
  wanted_client_height_ = value;
  if (HandleAllocated()) {
    ApplyWantedClientSize();
  } else {
    SetHeight(value + FrameExtra(WindowStyle(), WindowExStyle()).cy);
  }
}

void TForm::ApplyWantedClientSize() {
  if (!HandleAllocated() || IsIconic(Handle()) || IsZoomed(Handle())) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  const int dx = wanted_client_width_ < 0 ? 0 : wanted_client_width_ - (client.right - client.left);
  const int dy = wanted_client_height_ < 0 ? 0 : wanted_client_height_ - (client.bottom - client.top);
  if (dx == 0 && dy == 0) return;
  applying_client_size_ = true;
  SetBounds(Left(), Top(), Width() + dx, Height() + dy);
  applying_client_size_ = false;
}

void TForm::CreateHandleDone() {
  TWinControl::CreateHandleDone();
  // The size asked for before the window existed was worked out from the
  // standard frame; the real one may differ.
  ApplyWantedClientSize();
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
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  if (!canClose) return;
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

bool TForm::BroadcastDialogKey(TWinControl& container, WPARAM key) {
  for (int i = 0; i < container.ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(container.Controls(i));
    if (child == nullptr) continue;
    if (child->Perform(CM_DIALOGKEY, key, 0) != 0) return true;
    if (BroadcastDialogKey(*child, key)) return true;
  }
  return false;
}

void TForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case WM_WINDOWPOSCHANGED: {
      // A new frame (style bits changed, a frame that paints its own
      // non-client area) changes the client area: the window follows it.
      if ((msg::WindowPos(message).flags & SWP_FRAMECHANGED) && !applying_client_size_) {
        {
          TAutoReset<bool> applying(applying_client_size_, true);  // the WM_SIZE this sends is not the user's
          TWinControl::WndProc(message);
        }
        ApplyWantedClientSize();
        return;
      }
      break;
    }
    case WM_SIZE:
      // Sizing by the user (or by code outside this form) sets the size to keep.
      if (msg::Size(message).Kind == SIZE_RESTORED && !applying_client_size_ && wanted_client_width_ >= 0) {
        RECT client{};
        GetClientRect(Handle(), &client);
        wanted_client_width_ = client.right - client.left;
        wanted_client_height_ = client.bottom - client.top;
      }
      break;
    case WM_COMMAND: {
      // The dialog manager's Enter and Escape: IDOK or IDCANCEL from no control.
      const msg::TCommand command = msg::Command(message);
      if (command.Control == nullptr && (command.Id == IDOK || command.Id == IDCANCEL) &&
          BroadcastDialogKey(*this, command.Id == IDOK ? VK_RETURN : VK_ESCAPE)) {
        message.Result = 0;
        return;
      }
      break;
    }
    case WM_ACTIVATE:
      // The focus is still on the control while the form is told it loses
      // the activation; it goes back there when the form is activated again.
      if (!msg::Activating(message))
        if (HWND focused = GetFocus(); focused != nullptr && IsChild(Handle(), focused)) active_control_ = focused;
      break;
    case WM_SETFOCUS:
      // The form itself has nothing to type into: the focus it is given (on
      // activation, at start) goes on to its control.
      TWinControl::WndProc(message);
      if (HWND target = FocusTarget(*this, active_control_); target != nullptr && !IsIconic(Handle())) ::SetFocus(target);
      return;
    case WM_GETMINMAXINFO: {
      MINMAXINFO* info = &msg::MinMaxInfo(message);
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
