#pragma once
// The title bar's window menu: "Mi&nimize", "Ma&ximize/Restore", a
// separator and "&Close", each enabled while the title bar shows a visible
// button of that kind. Opened by the control box and by Alt+Space.

#include <windows.h>

#include "skin/UIStyle.h"

namespace plx {

class TkivFileTheme;
class TkivTitleBar;

class TkivTitleBarPopupMenu {
 public:
  enum TCommand : UINT { cmNone = 0, cmMinimize = 1, cmMaximizeRestore = 2, cmClose = 3 };

  explicit TkivTitleBarPopupMenu(TkivTitleBar& titleBar) : title_bar_(titleBar) {}
  TkivTitleBarPopupMenu(const TkivTitleBarPopupMenu&) = delete;
  TkivTitleBarPopupMenu& operator=(const TkivTitleBarPopupMenu&) = delete;

  void SetUIStyle(TkivUIStyle value) { ui_style_ = value; }
  void SetFileTheme(TkivFileTheme* value) { file_theme_ = value; }

  // Shows the menu with its top-left at the screen point and waits until it
  // closes; then carries out the chosen command.
  void Popup(int x, int y);
  // What a choice of the menu does, also without showing it.
  void Execute(TCommand command);
  // Whether an item would be enabled now.
  bool ItemEnabled(TCommand command) const;

 private:
  TkivTitleBar& title_bar_;
  TkivUIStyle ui_style_ = kivFallbackStyle;
  TkivFileTheme* file_theme_ = nullptr;  // borrowed
};

}  // namespace plx
