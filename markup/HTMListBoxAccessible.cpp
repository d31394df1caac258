#include "markup/HTMListBoxAccessible.h"

#include "framework/Accessible.h"
#include "markup/HTMListBox.h"
#include "markup/VisibleText.h"

namespace plx {

namespace {

class THTMListBoxAccessible : public TAccessibleObject {
 public:
  using TAccessibleObject::TAccessibleObject;

 protected:
  int ChildCount() override {
    THTMListBox* list = Find<THTMListBox>();
    return list != nullptr ? list->Count() : 0;
  }

  long Role(int child) override { return child == 0 ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM; }

  std::string Name(int child) override {
    THTMListBox* list = Find<THTMListBox>();
    if (list == nullptr || child == 0) return {};
    return VisibleText(list->Item(child - 1));
  }

  long State(int child) override {
    long state = WindowState();
    THTMListBox* list = Find<THTMListBox>();
    if (list == nullptr) return state;
    if (IsWindowEnabled(Window()) && IsWindowVisible(Window())) state |= STATE_SYSTEM_FOCUSABLE;
    if (child == 0) return state;
    // The list's focus belongs to the item with the caret.
    state &= ~STATE_SYSTEM_FOCUSED;
    const int index = child - 1;
    state |= STATE_SYSTEM_SELECTABLE;
    if (list->Selected(index)) state |= STATE_SYSTEM_SELECTED;
    if (GetFocus() == Window() && SendMessageA(Window(), LB_GETCARETINDEX, 0, 0) == index) state |= STATE_SYSTEM_FOCUSED;
    RECT item{}, client{}, visible{};
    SendMessageA(Window(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    GetClientRect(Window(), &client);
    if (!IntersectRect(&visible, &item, &client)) state |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
    return state;
  }

  std::string DefaultAction(int child) override { return child == 0 ? std::string() : "Select"; }

  bool DoDefaultAction(int child) override { return child > 0 && Select(child, SELFLAG_TAKESELECTION); }

  bool Location(int child, RECT& screen) override {
    if (child == 0) return TAccessibleObject::Location(child, screen);
    if (SendMessageA(Window(), LB_GETITEMRECT, static_cast<WPARAM>(child - 1), reinterpret_cast<LPARAM>(&screen)) ==
        LB_ERR)
      return false;
    MapWindowPoints(Window(), HWND_DESKTOP, reinterpret_cast<POINT*>(&screen), 2);
    return true;
  }

  bool Select(int child, long flags) override {
    THTMListBox* list = Find<THTMListBox>();
    if (list == nullptr || child == 0 || !IsWindowEnabled(Window())) return false;
    if (flags & SELFLAG_TAKEFOCUS) SetFocus(Window());
    if (!(flags & (SELFLAG_TAKESELECTION | SELFLAG_ADDSELECTION))) return (flags & SELFLAG_TAKEFOCUS) != 0;
    const int index = child - 1;
    if (list->ItemIndex() != index) {
      list->SetItemIndex(index);
      // The same notification the list sends when the user selects: the
      // selection is the user's, and whoever shows the selected entry
      // follows it.
      if (HWND parent = GetParent(Window()))
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Window()), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Window()));
    }
    return true;
  }

  int FocusedChild() override {
    if (GetFocus() != Window()) return -1;
    const LRESULT caret = SendMessageA(Window(), LB_GETCARETINDEX, 0, 0);
    return caret >= 0 && caret < ChildCount() ? static_cast<int>(caret) + 1 : 0;
  }

  std::vector<int> SelectedChildren() override {
    THTMListBox* list = Find<THTMListBox>();
    if (list == nullptr) return {};
    const int index = list->ItemIndex();
    if (index < 0) return {};
    return {index + 1};
  }

  int ChildAt(POINT screen) override {
    THTMListBox* list = Find<THTMListBox>();
    if (list == nullptr) return 0;
    ScreenToClient(Window(), &screen);
    const int index = list->ItemAtPos({screen.x, screen.y}, true);
    return index >= 0 ? index + 1 : 0;
  }
};

}  // namespace

TAccessibleObject* NewHTMListBoxAccessible(HWND list) { return new THTMListBoxAccessible(list); }

void NotifyListSelectionChanged(HWND list) {
  if (list == nullptr || !IsWindow(list)) return;
  const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (selected < 0) return;
  const LONG child = static_cast<LONG>(selected) + 1;
  if (GetFocus() == list) NotifyAccessible(EVENT_OBJECT_FOCUS, list, child);
  NotifyAccessible(EVENT_OBJECT_SELECTION, list, child);
}

}  // namespace plx
