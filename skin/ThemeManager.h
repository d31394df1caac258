#pragma once
// TkivThemeManager: gives a list of the owner's skinned components, by name,
// one style and one theme, and gives them again whenever either changes.

#include "framework/Component.h"
#include "framework/StringList.h"
#include "skin/UIStyle.h"

namespace plx {

class TkivFileTheme;

// The names of the components a theme manager looks after.
class TkivThemeMgrCompList : public TStringList {};

class TkivThemeManager : public TComponent {
 public:
  explicit TkivThemeManager(TComponent* owner);
  ~TkivThemeManager() override;

  TkivUIStyle UIStyle() const { return ui_style_; }
  // Stores the style, gives it to every listed component, and reports a
  // change through OnUIStyleChanged.
  void SetUIStyle(TkivUIStyle value);
  TkivFileTheme* FileTheme() const { return file_theme_; }
  void SetFileTheme(TkivFileTheme* value);
  TkivThemeMgrCompList& CompList() { return comp_list_; }
  void SetCompList(const TStringList& value);

  // When the owner is a form: sets "UIStyle" and then "FileTheme" on every
  // owned component named in CompList.
  void UpdateAll();
  void UpdateTheme() { UpdateAll(); }

  TNotifyEvent OnUIStyleChanged;

  void Notification(TComponent* component, TOperation operation) override;
  const TPropertyTable* PublishedProperties() const override;

 private:
  TkivUIStyle ui_style_ = kivFallbackStyle;
  TkivFileTheme* file_theme_ = nullptr;  // borrowed
  TkivThemeMgrCompList comp_list_;
};

}  // namespace plx
