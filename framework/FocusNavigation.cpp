#include "framework/FocusNavigation.h"

#include <algorithm>

#include "framework/Controls.h"
#include "framework/Forms.h"

namespace plx {

namespace {

bool Usable(HWND window) { return window != nullptr && IsWindowVisible(window) && IsWindowEnabled(window); }

void CollectTabStops(TWinControl& container, std::vector<HWND>& stops) {
  std::vector<TWinControl*> children;
  for (int i = 0; i < container.ControlCount(); ++i)
    if (auto* windowed = dynamic_cast<TWinControl*>(container.Controls(i)); windowed && windowed->HandleAllocated())
      children.push_back(windowed);
  std::stable_sort(children.begin(), children.end(),
                   [](const TWinControl* a, const TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
  for (TWinControl* child : children) {
    HWND window = child->Handle();
    if (!Usable(window)) continue;
    if (GetWindowLongPtrA(window, GWL_STYLE) & WS_TABSTOP) stops.push_back(window);
    CollectTabStops(*child, stops);
  }
}

bool ModifierHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

}  // namespace

std::vector<HWND> TabStops(TWinControl& root) {
  std::vector<HWND> stops;
  if (root.HandleAllocated()) CollectTabStops(root, stops);
  return stops;
}

HWND NextTabStop(TWinControl& root, HWND focused, bool forward) {
  const std::vector<HWND> stops = TabStops(root);
  if (stops.empty()) return nullptr;
  const auto at = std::find(stops.begin(), stops.end(), focused);
  if (at == stops.end()) return forward ? stops.front() : stops.back();
  const auto count = static_cast<std::ptrdiff_t>(stops.size());
  const std::ptrdiff_t index = at - stops.begin();
  return stops[static_cast<std::size_t>((index + (forward ? 1 : count - 1)) % count)];
}

HWND FocusTarget(TForm& form, HWND remembered) {
  if (!form.HandleAllocated()) return nullptr;
  if (remembered != nullptr && IsWindow(remembered) && IsChild(form.Handle(), remembered) && Usable(remembered))
    return remembered;
  const std::vector<HWND> stops = TabStops(form);
  return stops.empty() ? nullptr : stops.front();
}

void FocusByKeyboard(HWND window) {
  if (window == nullptr) return;
  SetFocus(window);
  if (GetFocus() == window && (SendMessageA(window, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
    SendMessageA(window, EM_SETSEL, 0, -1);
}

bool HandleTabKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || msg.hwnd == nullptr) return false;
  if (ModifierHeld(VK_CONTROL) || ModifierHeld(VK_MENU)) return false;
  auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)));
  if (form == nullptr) return false;
  HWND next = NextTabStop(*form, GetFocus(), !ModifierHeld(VK_SHIFT));
  if (next == nullptr) return false;
  FocusByKeyboard(next);
  return true;
}

}  // namespace plx
