#include "skin/ThemeManager.h"

#include "framework/Forms.h"
#include "framework/Properties.h"
#include "skin/FileTheme.h"

namespace plx {

TkivThemeManager::TkivThemeManager(TComponent* owner) : TComponent(owner) {}

TkivThemeManager::~TkivThemeManager() {
  if (fileTheme_ != nullptr) fileTheme_->RemoveFreeNotification(this);
}

void TkivThemeManager::SetUIStyle(TkivUIStyle value) {
  const bool changed = value != uiStyle_;
  uiStyle_ = value;
  UpdateAll();
  if (changed && OnUIStyleChanged) OnUIStyleChanged(this);
}

void TkivThemeManager::SetFileTheme(TkivFileTheme* value) {
  if (fileTheme_ != nullptr) fileTheme_->RemoveFreeNotification(this);
  fileTheme_ = value;
  if (fileTheme_ != nullptr) fileTheme_->FreeNotification(this);
  SetUIStyle(uiStyle_);
}

void TkivThemeManager::SetCompList(const TStringList& value) { compList_.Assign(value); }

void TkivThemeManager::UpdateAll() {
  // Frames are not part of this framework; forms are the only containers
  // that own components by name.
  auto* form = dynamic_cast<TForm*>(Owner());
  if (form == nullptr || form->IsDestroying()) return;
  for (int i = 0; i < compList_.Count(); ++i) {
    TComponent* component = form->FindComponent(compList_.Strings(i));
    if (component == nullptr) continue;
    SetIntProp(component, "UIStyle", static_cast<long long>(uiStyle_));
    SetComponentProp(component, "FileTheme", fileTheme_);
  }
}

void TkivThemeManager::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove || component == nullptr) return;
  const int index = compList_.IndexOf(component->Name());
  if (index >= 0 && !component->Name().empty()) compList_.Delete(index);
  if (component == fileTheme_) {
    fileTheme_ = nullptr;
    SetUIStyle(kivFallbackStyle);
  }
}

const TPropertyTable* TkivThemeManager::PublishedProperties() const {
  static const TPropertyTable table = [] {
    TPropertyTable t;
    t.Integer("UIStyle", &TkivThemeManager::UIStyle, &TkivThemeManager::SetUIStyle)
        .Component("FileTheme", &TkivThemeManager::FileTheme, &TkivThemeManager::SetFileTheme)
        .Event("OnUIStyleChanged", &TkivThemeManager::OnUIStyleChanged);
    return t;
  }();
  return &table;
}

}  // namespace plx
