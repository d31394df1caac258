#pragma once
// TkivPopupMenu: a menu dropped from a control, such as the title bar's
// control box. Its items are captions ("-" is a separator) with a click
// event each; showing it waits until it closes and then runs the chosen
// item's event.

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Component.h"

namespace plx {

class TkivPopupMenu : public TComponent {
 public:
  struct TItem {
    std::string caption;  // "&" marks the access key; "-" a separator
    bool enabled = true;
    TNotifyEvent onClick;
  };

  using TComponent::TComponent;

  std::vector<TItem>& Items() { return items_; }
  // Shows the menu with its top-left at the screen point, on behalf of the
  // owner window (which must be able to come to the foreground).
  void Popup(HWND owner, int screenX, int screenY);

  // Fired just before the menu shows.
  TNotifyEvent OnPopup;

 private:
  std::vector<TItem> items_;
};

}  // namespace plx
