#include "skin/PopupMenu.h"

#include "framework/GdiHandles.h"

namespace plx {

void TkivPopupMenu::Popup(HWND owner, int screenX, int screenY) {
  TOwnedMenu menu(CreatePopupMenu());
  if (!menu.Get()) return;
  // Item i answers with command i + 1: 0 is what the platform gives when
  // nothing was chosen.
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const TItem& item = items_[i];
    if (item.caption == "-")
      AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
    else
      AppendMenuA(menu.Get(), MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), i + 1, item.caption.c_str());
  }
  if (OnPopup) OnPopup(this);
  // The menu closes on a click elsewhere only while its owner is the
  // foreground window; the message posted after it lets the owner's queue
  // notice that the menu is gone.
  SetForegroundWindow(owner);
  const auto chosen = static_cast<std::size_t>(TrackPopupMenu(
      menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY, screenX, screenY, 0, owner, nullptr));
  PostMessageA(owner, WM_NULL, 0, 0);
  if (chosen == 0 || chosen > items_.size()) return;
  // Copied: the event may change the items.
  const TNotifyEvent onClick = items_[chosen - 1].onClick;
  if (items_[chosen - 1].enabled && onClick) onClick(this);
}

}  // namespace plx
