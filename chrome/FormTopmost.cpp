#include "chrome/FormTopmost.h"

#include "chrome/ItemProperties.h"
#include "framework/Properties.h"

namespace plx {

// --------------------------------------------- TacCaptionButtonWithMenuItem

TacCaptionButtonWithMenuItem::TacCaptionButtonWithMenuItem(TComponent* owner) : TacCustomCaptionButton(owner) {}

TacCaptionButtonWithMenuItem::~TacCaptionButtonWithMenuItem() {
  *alive_ = false;
  if (menu_item_) menu_item_->RemoveFreeNotification(this);
}

void TacCaptionButtonWithMenuItem::SetMenuItem(TComponent* item) {
  if (item == menu_item_) return;
  if (menu_item_) menu_item_->RemoveFreeNotification(this);
  menu_item_ = item;
  if (!item) return;
  item->FreeNotification(this);
  if (IsDesigning()) return;
  SetItemChecked(item, GetItemState());
  std::weak_ptr<bool> alive = alive_;
  SetPropNotifyEventValue(item, "OnClick", [this, alive](TObject* sender) {
    if (auto still = alive.lock(); still && *still) OnMenuItemClick(sender);
  });
}

void TacCaptionButtonWithMenuItem::Notification(TComponent* component, TOperation operation) {
  TacCustomCaptionButton::Notification(component, operation);
  if (operation == TOperation::opRemove && component == menu_item_) menu_item_ = nullptr;
}

void TacCaptionButtonWithMenuItem::SetItemState(bool state) {
  if (menu_item_) SetItemChecked(menu_item_, state);
}

void TacCaptionButtonWithMenuItem::OnMenuItemClick(TObject*) {
  if (!menu_item_) return;
  // An item with "Down" has already changed; one with only "Checked" is inverted.
  const bool state = GetItemChecked(menu_item_, true);
  SetItemChecked(menu_item_, state);
  SetItemState(state);
}

// ------------------------------------------------------------ TacFormTopmost

namespace {
void LoadGlyph(TBitmap& glyph, const char* name) {
  try {
    glyph.LoadFromResourceName(GetModuleHandleA(nullptr), name);
  } catch (...) {
    // Without the picture the button shows its sign letter.
  }
}
}  // namespace

TacFormTopmost::TacFormTopmost(TComponent* owner) : TacCaptionButtonWithMenuItem(owner) {
  SetAllowPress(true);
  LoadGlyph(Glyph(), "ACCB_TOPMOST_UP");
  LoadGlyph(GlyphDown(), "ACCB_TOPMOST_DOWN");
  SetHint("Always on top");
  SystemMenu().SetCaption("Always on &top");
  const HMENU menu = GetSystemMenuHandle();
  const int count = menu ? GetMenuItemCount(menu) : 0;
  SystemMenu().SetPosition(static_cast<unsigned short>(count > 0 ? count : 0));
  SystemMenu().SetSeparators(seBefore);
  SystemMenu().SetApplyToMenu(true);
  RefreshButton();
}

void TacFormTopmost::Loaded() {
  TacCaptionButtonWithMenuItem::Loaded();
  SetDown(GetTopmost());  // the button takes the window's real state
}

void TacFormTopmost::Click() {
  TacCaptionButtonWithMenuItem::Click();
  SetTopmost(Down());
}

void TacFormTopmost::TopmostChanged(bool topmost) {
  TacCaptionButtonWithMenuItem::TopmostChanged(topmost);
  SetDown(topmost);
  TacCaptionButtonWithMenuItem::SetItemState(Down());
  if (OnTopmostChanged) OnTopmostChanged(this, topmost);
}

void TacFormTopmost::SetItemState(bool state) {
  SetTopmost(state);
  TacCaptionButtonWithMenuItem::SetItemState(state);
}

const TPropertyTable* TacFormTopmost::PublishedProperties() const {
  static const TPropertyTable table = [] {
    TPropertyTable t;
    t.Boolean("Topmost", &TacFormTopmost::Topmost, &TacFormTopmost::SetTopmostProperty)
        .Component("MenuItem", &TacCaptionButtonWithMenuItem::MenuItem, &TacCaptionButtonWithMenuItem::SetMenuItem);
    return t;
  }();
  return &table;
}

}  // namespace plx
