#pragma once
// Always on top: a latching caption button with a pin, mirrored as the
// checkable "Always on &top" window-menu item and optionally linked to one
// more checkable item (anything with a Boolean "Down" or "Checked" and an
// "OnClick" event). Every change, from any of the views or from code, ends
// in SetTopmost, whose AC_TOPMOSTCHANGED brings all views in step.

#include <functional>
#include <memory>

#include "chrome/CaptionButton.h"

namespace plx {

class TacCaptionButtonWithMenuItem : public TacCustomCaptionButton {
 public:
  explicit TacCaptionButtonWithMenuItem(TComponent* owner);
  ~TacCaptionButtonWithMenuItem() override;

  TComponent* MenuItem() const { return menu_item_; }
  // Links the item: it shows the state at once and its OnClick is taken over.
  void SetMenuItem(TComponent* item);
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  // The state the linked item should show.
  virtual bool GetItemState() = 0;
  virtual void SetItemState(bool state);
  void OnMenuItemClick(TObject* sender);

 private:
  TComponent* menu_item_ = nullptr;  // borrowed
  // The handler given to the item outlives us in the item: it checks this.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class TacFormTopmost : public TacCaptionButtonWithMenuItem {
 public:
  explicit TacFormTopmost(TComponent* owner);

  bool Topmost() const { return GetTopmost(); }
  void SetTopmostProperty(bool value) { SetTopmost(value); }

  std::function<void(TObject* sender, bool topmost)> OnTopmostChanged;

  void Loaded() override;
  const TPropertyTable* PublishedProperties() const override;

 protected:
  void Click() override;
  void TopmostChanged(bool topmost) override;
  bool GetItemState() override { return GetTopmost(); }
  void SetItemState(bool state) override;
};

}  // namespace plx
