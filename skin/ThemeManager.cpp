#include "skin/ThemeManager.h"

#include "framework/Forms.h"
#include "framework/Properties.h"
#include "skin/FileTheme.h"

namespace plx {

TkivThemeManager::TkivThemeManager(TComponent* owner) : TComponent(owner) {}

TkivThemeManager::~TkivThemeManager() {
  if (file_theme_ != nullptr) file_theme_->RemoveFreeNotification(this);
}

void TkivThemeManager::SetUIStyle(TkivUIStyle value) {
  const bool changed = value != ui_style_;
  ui_style_ = value;
  UpdateAll();
  if (changed && OnUIStyleChanged) OnUIStyleChanged(this);
}

void TkivThemeManager::SetFileTheme(TkivFileTheme* value) {
  if (file_theme_ != nullptr) file_theme_->RemoveFreeNotification(this);
  file_theme_ = value;
  if (file_theme_ != nullptr) file_theme_->FreeNotification(this);
  SetUIStyle(ui_style_);
}

void TkivThemeManager::SetCompList(const TStringList& value) { comp_list_.Assign(value); }

void TkivThemeManager::UpdateAll() {
  // Frames are not part of this framework; forms are the only containers
  // that own components by name.
  auto* form = dynamic_cast<TForm*>(Owner());
  if (form == nullptr || form->IsDestroying()) return;
  for (int i = 0; i < comp_list_.Count(); ++i) {
    TComponent* component = form->FindComponent(comp_list_.Strings(i));
    if (component == nullptr) continue;
    SetIntProp(component, "UIStyle", static_cast<long long>(ui_style_));
    SetComponentProp(component, "FileTheme", file_theme_);
  }
}

void TkivThemeManager::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove || component == nullptr) return;
  const int index = comp_list_.IndexOf(component->Name());
  if (index >= 0 && !component->Name().empty()) comp_list_.Delete(index);
  if (component == file_theme_) {
    file_theme_ = nullptr;
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
