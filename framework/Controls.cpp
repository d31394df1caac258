#include "framework/Controls.h"

#include <algorithm>
#include <map>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Graphics.h"
#include "framework/MessageDecoders.h"
#include "framework/OSError.h"
#include "framework/Properties.h"
#include "framework/WindowPos.h"

namespace plx {
namespace {

// A native window is bound to its object through the last pointer-sized slot
// of its extra window bytes: every class the framework registers reserves
// that slot after whatever the system class it extends needs. Reading it is
// a plain memory read, which matters because it happens for every message
// (a window property would be a round trip to the window server).
constexpr int kObjectSlotSize = static_cast<int>(sizeof(LONG_PTR));

// The offset of the object slot in windows of a framework class, or -1 for
// any other window (another class, another process's window).
int ObjectSlotOffset(HWND window) {
  if (reinterpret_cast<WNDPROC>(GetClassLongPtrA(window, GCLP_WNDPROC)) != StandardWindowProc) return -1;
  const auto extra = static_cast<int>(GetClassLongPtrA(window, GCL_CBWNDEXTRA));
  return extra >= kObjectSlotSize ? extra - kObjectSlotSize : -1;
}

// The control whose window is being created on this thread: messages that
// arrive before WM_NCCREATE (WM_GETMINMAXINFO) already find their object.
thread_local TWinControl* g_creating_control = nullptr;

// Window procedures of the system classes our classes extend, by our class name.
std::map<std::string, WNDPROC>& DefaultProcedures() {
  static std::map<std::string, WNDPROC> procedures;
  return procedures;
}

WNDPROC RegisterFrameworkClass(const TCreateParams& params) {
  auto& procedures = DefaultProcedures();
  if (auto found = procedures.find(params.ClassName); found != procedures.end()) return found->second;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  WNDPROC defaultProc = DefWindowProcA;
  if (!params.NativeClass.empty()) {
    // Superclass the system control: same class data, our procedure first.
    if (!GetClassInfoExA(nullptr, params.NativeClass.c_str(), &wc))
      RaiseLastOSError("GetClassInfoExA", "Cannot find window class " + params.NativeClass);
    defaultProc = wc.lpfnWndProc;
    wc.cbSize = sizeof wc;
  } else {
    wc.style = params.ClassStyle;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    // The program's icon, where the module has one; shared icons need no freeing.
    wc.hIcon = LoadIconA(instance, "MAINICON");
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, "MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  }
  wc.lpfnWndProc = StandardWindowProc;
  wc.cbWndExtra += kObjectSlotSize;  // the object slot, after the system class's own bytes
  wc.hInstance = instance;
  wc.lpszClassName = params.ClassName.c_str();
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    RaiseLastOSError("RegisterClassExA", "Cannot register window class " + params.ClassName);
  procedures[params.ClassName] = defaultProc;
  return defaultProc;
}

int NextControlId() {
  static int next = 100;
  return next++;
}

THookToken NextHookToken() {
  static THookToken next = 0;
  return ++next;
}

}  // namespace

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  font_->OnChange = [this](TObject*) {
    parent_font_ = false;
    FontChanged();
  };
}

TControl::~TControl() {
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent_ == parent) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}

TRect TControl::ClientRect() { return {0, 0, width_, height_}; }

void TControl::SetVisible(bool value) { visible_ = value; }
void TControl::SetEnabled(bool value) { enabled_ = value; }
void TControl::SetCaption(std::string value) { caption_ = std::move(value); }

void TControl::SetColor(TColor value) {
  if (color_ == value) return;
  color_ = value;
  Invalidate();
}

void TControl::SetParentFont(bool value) {
  if (parent_font_ == value) return;
  parent_font_ = value;
  if (value && parent_) {
    font_->Assign(parent_->Font());
    parent_font_ = true;  // Assign raised OnChange, which clears the flag
    FontChanged();
  }
}

LRESULT TControl::Perform(UINT msg, WPARAM wparam, LPARAM lparam) {
  TMessage message{msg, wparam, lparam, 0};
  WindowProc(message);
  return message.Result;
}

void TControl::WindowProc(TMessage& message) { CallHooksBelow(message, 0); }

void TControl::CallHooksBelow(TMessage& message, THookToken below) {
  const THookEntry* next = nullptr;
  for (const THookEntry& entry : hooks_)
    if (below == 0 || entry.token < below) next = &entry;  // tokens ascend
  if (!next) {
    WndProc(message);
    return;
  }
  // Held here: the hook may remove itself (or others) while it runs.
  const std::shared_ptr<const TWndHook> hook = next->hook;
  const THookToken token = next->token;
  (*hook)(message, [this, token](TMessage& passed) { CallHooksBelow(passed, token); });
}

THookToken TControl::AddWindowProcHook(TWndHook hook) {
  const THookToken token = NextHookToken();
  hooks_.push_back({token, std::make_shared<const TWndHook>(std::move(hook))});
  return token;
}

void TControl::RemoveWindowProcHook(THookToken token) {
  std::erase_if(hooks_, [token](const THookEntry& entry) { return entry.token == token; });
}

void TControl::WndProc(TMessage& message) { DefaultHandler(message); }

void TControl::DefaultHandler(TMessage&) {}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::FontChanged() {}

const TPropertyTable* TControl::PublishedProperties() const {
  static const TPropertyTable table = [] {
    TPropertyTable t;
    t.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled)
        .Boolean("Visible", &TControl::Visible, &TControl::SetVisible)
        .Integer("Left", &TControl::Left, &TControl::SetLeft)
        .Integer("Top", &TControl::Top, &TControl::SetTop)
        .Integer("Width", &TControl::Width, &TControl::SetWidth)
        .Integer("Height", &TControl::Height, &TControl::SetHeight)
        .Event("OnClick", &TControl::OnClick);
    return t;
  }();
  return &table;
}

// ------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

void TWinControl::BeforeDestruction() {
  Destroying();
  DestroyHandle();
  TControl::BeforeDestruction();
}

TWinControl::~TWinControl() {
  // BeforeDestruction has destroyed the window while the object was whole.
  // An object that did not go through it (one on the stack) loses its window
  // here, where only this base sees the last messages.
  if (handle_) DestroyHandle();
  // The children may outlive us (their owner destroys them); they must not
  // call back into a half-destroyed parent.
  for (TControl* child : controls_) child->parent_ = nullptr;
  controls_.clear();
}

TWinControl* TWinControl::FromHandle(HWND window) {
  if (!window) return nullptr;
  const int offset = ObjectSlotOffset(window);
  return offset < 0 ? nullptr : reinterpret_cast<TWinControl*>(GetWindowLongPtrA(window, offset));
}

HWND TWinControl::Handle() {
  if (!handle_) {
    if (Parent() && !Parent()->HandleAllocated()) {
      Parent()->HandleNeeded();  // creates ours too, as one of its children
      if (handle_) return handle_;
    }
    CreateWnd();
  }
  return handle_;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = Caption();
  params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (Visible()) params.Style |= WS_VISIBLE;
  if (!Enabled()) params.Style |= WS_DISABLED;
  params.X = Left();
  params.Y = Top();
  params.Width = Width();
  params.Height = Height();
  params.WndParent = Parent() ? Parent()->Handle() : nullptr;
  params.ClassName = "PlexoriaWindow";
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  class_default_proc_ = RegisterFrameworkClass(params);
  HMENU id = nullptr;
  if (params.Style & WS_CHILD) id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(NextControlId()));
  TWinControl* previous = g_creating_control;
  g_creating_control = this;
  HWND window = CreateWindowExA(params.ExStyle, params.ClassName.c_str(), params.Caption.c_str(), params.Style,
                                params.X, params.Y, params.Width, params.Height, params.WndParent, id,
                                GetModuleHandleA(nullptr), this);
  const DWORD createError = window ? ERROR_SUCCESS : GetLastError();
  g_creating_control = previous;
  if (!window) RaiseOSError("CreateWindowExA", createError, "Error creating window " + params.ClassName);
  if (!handle_) BindNativeWindow(window);
  destroying_announced_ = false;
  ApplyFont();
  CreateHandleDone();
  NotifyHandleEvent(THandleEvent::Created);
  // Children in tab order: that is also the order of keyboard navigation.
  std::vector<TControl*> children = controls_;
  std::stable_sort(children.begin(), children.end(),
                   [](TControl* a, TControl* b) { return a->TabOrder() < b->TabOrder(); });
  for (TControl* child : children)
    if (auto* windowed = dynamic_cast<TWinControl*>(child); windowed && !windowed->HandleAllocated())
      windowed->CreateWnd();
}

void TWinControl::BindNativeWindow(HWND window) {
  handle_ = window;
  if (const int offset = ObjectSlotOffset(window); offset >= 0)
    SetWindowLongPtrA(window, offset, reinterpret_cast<LONG_PTR>(this));
}

void TWinControl::DestroyWnd() {
  if (handle_) DestroyWindow(handle_);
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* child : controls_)
    if (auto* windowed = dynamic_cast<TWinControl*>(child)) windowed->DestroyHandle();
  SaveStateBeforeDestroy();
  NotifyHandleEvent(THandleEvent::Destroying);
  DestroyWnd();
  handle_ = nullptr;
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  DestroyHandle();
  HandleNeeded();
}

void TWinControl::HandleNcDestroy() {
  if (handle_)
    if (const int offset = ObjectSlotOffset(handle_); offset >= 0) SetWindowLongPtrA(handle_, offset, 0);
  handle_ = nullptr;
}

THookToken TWinControl::SubscribeHandleEvents(THandleListener listener) {
  const THookToken token = NextHookToken();
  handle_listeners_.emplace_back(token, std::make_shared<const THandleListener>(std::move(listener)));
  return token;
}

void TWinControl::UnsubscribeHandleEvents(THookToken token) {
  std::erase_if(handle_listeners_, [token](const auto& entry) { return entry.first == token; });
}

void TWinControl::NotifyHandleEvent(THandleEvent event) {
  if (event == THandleEvent::Destroying) {
    // Once per window: DestroyHandle announces it, and a window destroyed
    // by someone else announces it from its WM_DESTROY.
    if (destroying_announced_) return;
    destroying_announced_ = true;
  }
  // A copy: a listener may subscribe or unsubscribe while we call them.
  const auto listeners = handle_listeners_;
  for (const auto& [token, listener] : listeners) {
    const bool still_subscribed = std::any_of(handle_listeners_.begin(), handle_listeners_.end(),
                                              [token = token](const auto& entry) { return entry.first == token; });
    if (still_subscribed) (*listener)(event);
  }
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  if (control->ParentFont()) {
    control->font_->Assign(Font());
    control->parent_font_ = true;
    control->FontChanged();
  }
  if (handle_)
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) windowed->HandleNeeded();
}

void TWinControl::RemoveControl(TControl* control) {
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) windowed->DestroyHandle();
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  control->parent_ = nullptr;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (left == Left() && top == Top() && width == Width() && height == Height()) return;
  const TRect before{Left(), Top(), Left() + Width(), Top() + Height()};
  // Stored first: the window's own messages during the move read them (and
  // WM_WINDOWPOSCHANGED puts in what the window really took).
  TControl::SetBounds(left, top, width, height);
  if (!handle_ || TrySetWindowPosFor(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE))
    return;
  // Refused (a window that went without telling us): the stored bounds
  // stay the window's last ones.
  const DWORD code = GetLastError();
  TControl::SetBounds(before.Left, before.Top, before.Right - before.Left, before.Bottom - before.Top);
  RaiseOSError("SetWindowPos", code, "Cannot move or size a window");
}

TRect TWinControl::ClientRect() {
  if (!handle_) return TControl::ClientRect();
  RECT r{};
  GetClientRect(handle_, &r);
  return {r.left, r.top, r.right, r.bottom};
}

void TWinControl::SetVisible(bool value) {
  if (Visible() == value) return;
  TControl::SetVisible(value);
  if (handle_) ShowWindow(handle_, value ? SW_SHOW : SW_HIDE);
}

void TWinControl::SetEnabled(bool value) {
  if (Enabled() == value) return;
  TControl::SetEnabled(value);
  if (handle_) EnableWindow(handle_, value);
}

void TWinControl::SetCaption(std::string value) {
  if (Caption() == value) return;
  TControl::SetCaption(std::move(value));
  if (handle_) SetWindowTextA(handle_, Caption().c_str());
}

void TWinControl::SetColor(TColor value) { TControl::SetColor(value); }

void TWinControl::SetFocus() {
  ::SetFocus(Handle());
}

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

TPoint TWinControl::ScreenToClient(TPoint point) {
  POINT p{point.X, point.Y};
  ::ScreenToClient(Handle(), &p);
  return {p.x, p.y};
}

TPoint TWinControl::ClientToScreen(TPoint point) {
  POINT p{point.X, point.Y};
  ::ClientToScreen(Handle(), &p);
  return {p.x, p.y};
}

void TWinControl::FontChanged() {
  ApplyFont();
  for (TControl* child : controls_)
    if (child->ParentFont()) {
      child->font_->Assign(Font());
      child->parent_font_ = true;
      child->FontChanged();
    }
}

void TWinControl::ApplyFont() {
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
}

HBRUSH TWinControl::BackgroundBrush() {
  if (!background_brush_ || background_brush_color_ != Color()) {
    background_brush_.Reset(CreateSolidBrush(ColorToRGB(Color())));
    background_brush_color_ = Color();
  }
  return background_brush_.Get();
}

bool TWinControl::EraseBackground(HDC dc) {
  RECT r{};
  GetClientRect(handle_, &r);
  FillRect(dc, &r, BackgroundBrush());
  return true;
}

bool TWinControl::ReflectToChild(TMessage& message) {
  HWND childWindow = nullptr;
  switch (message.Msg) {
    case WM_COMMAND:
      childWindow = msg::Command(message).Control;
      break;
    case WM_DRAWITEM: {
      const DRAWITEMSTRUCT& item = msg::DrawItem(message);
      if (item.CtlType != ODT_MENU) childWindow = item.hwndItem;
      break;
    }
    case WM_MEASUREITEM: {
      const MEASUREITEMSTRUCT& item = msg::MeasureItem(message);
      if (item.CtlType != ODT_MENU) childWindow = GetDlgItem(handle_, static_cast<int>(item.CtlID));
      break;
    }
    case WM_NOTIFY:
      if (const NMHDR* header = msg::NotifyHeader(message)) childWindow = header->hwndFrom;
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
      childWindow = msg::ControlColor(message).Control;
      break;
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      childWindow = msg::KeyToItemList(message);
      break;
    default:
      return false;
  }
  TWinControl* child = FromHandle(childWindow);
  if (!child || child == this) return false;
  message.Result = child->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
  return true;
}

void TWinControl::WndProc(TMessage& message) {
  if (ReflectToChild(message)) return;
  switch (message.Msg) {
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORSCROLLBAR: {
      HDC dc = msg::ControlColor(message).Dc;
      SetTextColor(dc, ColorToRGB(Font().Color()));
      SetBkColor(dc, ColorToRGB(Color()));
      message.Result = reinterpret_cast<LRESULT>(BackgroundBrush());
      return;
    }
    case CN_VKEYTOITEM:
    case CN_CHARTOITEM:
      message.Result = -1;  // the list handles the key itself
      return;
    case CN_NOTIFY:
      message.Result = 0;  // a notification nobody answers
      return;
    case WM_ERASEBKGND:
      if (class_default_proc_ == DefWindowProcA) {
        message.Result = EraseBackground(msg::EraseDC(message)) ? 1 : 0;
        return;
      }
      break;
    case WM_WINDOWPOSCHANGED: {
      // Keep the stored bounds in step with moves the user or the system made.
      RECT r{};
      GetWindowRect(handle_, &r);
      if (HWND parent = GetParent(handle_); parent && (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
      TControl::SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
      break;
    }
    default:
      break;
  }
  TControl::WndProc(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
  if (!handle_) return;
  message.Result = CallWindowProcA(class_default_proc_, handle_, message.Msg, message.WParam, message.LParam);
}

LRESULT CALLBACK StandardWindowProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  TWinControl* control = TWinControl::FromHandle(window);
  if (!control && g_creating_control) {
    control = g_creating_control;
    control->BindNativeWindow(window);
  }
  if (!control) return DefWindowProcA(window, msg, wparam, lparam);
  TMessage message{msg, wparam, lparam, 0};
  try {
    if (msg == WM_DESTROY) control->NotifyHandleEvent(THandleEvent::Destroying);
    control->WindowProc(message);
  } catch (...) {
    Application().HandleMessageException(window, msg, control);
  }
  if (msg == WM_NCDESTROY) control->HandleNcDestroy();
  return message.Result;
}

}  // namespace plx
