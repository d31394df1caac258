#include "skin/TitleBarAccessible.h"

#include <string>
#include <vector>

#include "framework/Accessible.h"
#include "framework/Forms.h"
#include "skin/TitleBar.h"

namespace plx {

namespace {

std::string ButtonName(const TkivTitleBarButton& button, int index, bool formMaximized) {
  switch (button.ButtonType()) {
    case TkivTitleBarBtnType::kivMax: return formMaximized ? "Restore" : "Maximize";
    case TkivTitleBarBtnType::kivMin: return "Minimize";
    case TkivTitleBarBtnType::kivClose: return "Close";
    case TkivTitleBarBtnType::kivHelp: return "Help";
    case TkivTitleBarBtnType::kivControlBox: return button.ControlBoxMenu() ? "Menu" : "Window menu";
    case TkivTitleBarBtnType::kivCustom: break;
  }
  // A custom button shows only its picture; the program gives it its meaning.
  return "Button " + std::to_string(index + 1);
}

class TTitleBarAccessible : public TAccessibleObject {
 public:
  using TAccessibleObject::TAccessibleObject;

 protected:
  int ChildCount() override { return static_cast<int>(Places().size()); }

  long Role(int child) override { return child == 0 ? ROLE_SYSTEM_TITLEBAR : ROLE_SYSTEM_PUSHBUTTON; }

  std::string Name(int child) override {
    TkivTitleBar* titleBar = Find<TkivTitleBar>();
    if (titleBar == nullptr) return {};
    if (child == 0) return titleBar->Caption();
    const int index = IndexOf(child);
    if (index < 0) return {};
    TForm* form = titleBar->ParentForm();
    const bool maximized = form != nullptr && form->HandleAllocated() && IsZoomed(form->Handle());
    return ButtonName(titleBar->Buttons().Items(index), index, maximized);
  }

  long State(int child) override {
    long state = WindowState();
    if (child == 0) return state;
    // The title bar never takes the focus; its buttons are clicked, not focused.
    state &= ~STATE_SYSTEM_FOCUSED;
    if (!Clickable()) state |= STATE_SYSTEM_UNAVAILABLE;
    return state;
  }

  std::string DefaultAction(int child) override { return child == 0 ? std::string() : "Press"; }

  bool DoDefaultAction(int child) override {
    const int index = IndexOf(child);
    if (index < 0 || !Clickable()) return false;
    // Posted: minimising, closing or a menu runs after the reader has had its answer.
    return PostMessageA(Window(), kivMsgTitleBarClickButton, static_cast<WPARAM>(index), 0) != FALSE;
  }

  bool Location(int child, RECT& screen) override {
    if (child == 0) return TAccessibleObject::Location(child, screen);
    const std::vector<TkivTitleBar::TButtonPlace> places = Places();
    if (child > static_cast<int>(places.size())) return false;
    const TRect& rect = places[static_cast<std::size_t>(child - 1)].Rect;
    screen = {rect.Left, rect.Top, rect.Right, rect.Bottom};
    MapWindowPoints(Window(), HWND_DESKTOP, reinterpret_cast<POINT*>(&screen), 2);
    return true;
  }

  int ChildAt(POINT screen) override {
    TkivTitleBar* titleBar = Find<TkivTitleBar>();
    if (titleBar == nullptr) return 0;
    ScreenToClient(Window(), &screen);
    const int index = titleBar->ButtonAt({screen.x, screen.y});
    const std::vector<TkivTitleBar::TButtonPlace> places = Places();
    for (std::size_t i = 0; i < places.size(); ++i)
      if (places[i].Index == index) return static_cast<int>(i) + 1;
    return 0;
  }

 private:
  std::vector<TkivTitleBar::TButtonPlace> Places() {
    TkivTitleBar* titleBar = Find<TkivTitleBar>();
    return titleBar != nullptr ? titleBar->ButtonPlaces() : std::vector<TkivTitleBar::TButtonPlace>();
  }

  // The button's index in the title bar's collection, -1 for none.
  int IndexOf(int child) {
    const std::vector<TkivTitleBar::TButtonPlace> places = Places();
    if (child < 1 || child > static_cast<int>(places.size())) return -1;
    return places[static_cast<std::size_t>(child - 1)].Index;
  }

  // A click reaches the buttons only while both the title bar and its form
  // take input (a modal box disables the form).
  bool Clickable() {
    if (!IsWindowEnabled(Window()) || !IsWindowVisible(Window())) return false;
    HWND form = GetAncestor(Window(), GA_ROOT);
    return form == nullptr || IsWindowEnabled(form);
  }
};

}  // namespace

TAccessibleObject* NewTitleBarAccessible(HWND titleBar) { return new TTitleBarAccessible(titleBar); }

void NotifyTitleBarButtonsStateChanged(TkivTitleBar& titleBar) {
  if (!titleBar.HandleAllocated()) return;
  const HWND window = titleBar.Handle();
  NotifyAccessible(EVENT_OBJECT_STATECHANGE, window);
  const auto count = static_cast<LONG>(titleBar.ButtonPlaces().size());
  for (LONG child = 1; child <= count; ++child) NotifyAccessible(EVENT_OBJECT_STATECHANGE, window, child);
}

}  // namespace plx
