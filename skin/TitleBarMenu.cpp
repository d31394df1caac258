#include "skin/TitleBarMenu.h"

#include "framework/Forms.h"
#include "framework/GdiHandles.h"
#include "skin/TitleBar.h"

namespace plx {

namespace {

bool HasVisibleButton(TkivTitleBar& titleBar, TkivTitleBarBtnType type) {
  for (int i = 0; i < titleBar.Buttons().Count(); ++i) {
    const TkivTitleBarButton& button = titleBar.Buttons().Items(i);
    if (button.ButtonType() == type && button.Visible()) return true;
  }
  return false;
}

}  // namespace

bool TkivTitleBarPopupMenu::ItemEnabled(TCommand command) const {
  switch (command) {
    case cmMinimize: return HasVisibleButton(title_bar_, TkivTitleBarBtnType::kivMin);
    case cmMaximizeRestore: return HasVisibleButton(title_bar_, TkivTitleBarBtnType::kivMax);
    case cmClose: return HasVisibleButton(title_bar_, TkivTitleBarBtnType::kivClose);
    case cmNone: break;
  }
  return false;
}

void TkivTitleBarPopupMenu::Popup(int x, int y) {
  TForm* form = title_bar_.ParentForm();
  if (!form) return;
  TOwnedMenu menu(CreatePopupMenu());
  if (!menu.Get()) return;
  auto add = [&](TCommand command, const char* text) {
    AppendMenuA(menu.Get(), MF_STRING | (ItemEnabled(command) ? MF_ENABLED : MF_GRAYED), command, text);
  };
  add(cmMinimize, "Mi&nimize");
  add(cmMaximizeRestore, "Ma&ximize/Restore");
  AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
  add(cmClose, "&Close");
  // The menu closes properly on a click elsewhere only while its owner is
  // the foreground window.
  HWND owner = form->Handle();
  SetForegroundWindow(owner);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0, owner, nullptr));
  PostMessageA(owner, WM_NULL, 0, 0);
  Execute(static_cast<TCommand>(chosen));
}

void TkivTitleBarPopupMenu::Execute(TCommand command) {
  if (!ItemEnabled(command)) return;
  TkivTitleBarButtons& buttons = title_bar_.Buttons();
  switch (command) {
    case cmMinimize:
      for (int i = 0; i < buttons.Count(); ++i)
        if (buttons.Items(i).ButtonType() == TkivTitleBarBtnType::kivMin && buttons.Items(i).Visible()) {
          title_bar_.DoClick(i);
          return;
        }
      return;
    case cmMaximizeRestore:
      for (int i = 0; i < buttons.Count(); ++i)
        if (buttons.Items(i).ButtonType() == TkivTitleBarBtnType::kivMax && buttons.Items(i).Visible())
          title_bar_.DoClick(i);
      return;
    case cmClose:
      if (TForm* form = title_bar_.ParentForm()) form->Close();
      return;
    case cmNone: return;
  }
}

}  // namespace plx
