#pragma once
// Theme components that hold a loaded skin: TkivFileTheme reads a skin
// archive file; TkivBuiltInFileTheme carries the whole archive in the form
// and reads it through a temporary copy. Skinned controls keep a plain
// reference to one and ask it for the skin's bitmaps, colours, integers and
// booleans by element.

#include <memory>
#include <string>
#include <string_view>

#include "framework/Bitmap.h"
#include "framework/Component.h"
#include "skin/SkinFileReader.h"
#include "skin/SkinKeys.h"

namespace plx {

// Holds the present skin reader, if any.
class TkivFileThemeMgr : public TObject {
 public:
  // When the file exists: replaces the reader by one loaded from it and
  // answers whether it loaded; a failure of any kind leaves no reader and
  // answers false, silently. A missing file keeps the present reader and
  // answers false.
  bool LoadFromFile(const std::string& fileName, const std::string& password);
  Tsk2SkinFileReader* Reader() const { return reader_.get(); }

 private:
  std::unique_ptr<Tsk2SkinFileReader> reader_;
};

class TkivFileTheme : public TComponent {
 public:
  explicit TkivFileTheme(TComponent* owner);
  ~TkivFileTheme() override;

  // The skin archive in use. Setting it looks the file up (the path, then
  // the program's folder, the Windows folder and the system folder by its
  // file name) and loads it; a file found nowhere changes nothing.
  const std::string& ThemeFile() const { return theme_file_; }
  virtual void SetThemeFile(const std::string& value);
  // For encrypted skins; a non-empty password reloads the present file.
  const std::string& Password() const { return password_; }
  void SetPassword(const std::string& value);
  // Whether a skin is loaded. Assigning does nothing: readiness follows
  // from loading.
  bool Ready() const;
  void SetReady(bool) {}
  bool CanUse() const { return Ready(); }

  // The skin's bitmap, owned by the theme; nullptr without it.
  TBitmap* GetBitmap(Tsk2SkinBitmapElement element) const;
  // With subIndex and subCount both not 0, frame subIndex of subCount of the
  // skin's bitmap; otherwise a copy of the whole. Without it: empty.
  void GetBitmap2(Tsk2SkinBitmapElement element, TBitmap& bitmap, int subIndex = 0, int subCount = 0) const;
  // The skin's value (-1 for an integer the skin lacks); 0, 0 and false
  // without a loaded skin.
  TColor GetColor(Tsk2SkinColorElement element) const;
  int GetInt(Tsk2IntElement element) const;
  bool GetBool(Tsk2BoolElement element) const;

 protected:
  // Loads an existing file and lets the owner form's skinned components
  // re-read their look.
  void LoadThemeFile(const std::string& value);

 private:
  std::string theme_file_;
  std::string password_;
  TkivFileThemeMgr manager_;
};

// A theme whose skin archive is stored in the form itself ("SkinData").
class TkivBuiltInFileTheme : public TkivFileTheme {
 public:
  using TkivFileTheme::TkivFileTheme;

  // The design-time source of the stored archive; it is looked up and, when
  // it exists, loaded like any theme file.
  const std::string& DesignThemeFile() const { return design_theme_file_; }
  void SetThemeFile(const std::string& value) override;

  // Reads the stored archive: it is written to a new temporary file of its
  // own, loaded from there, and the file is deleted on every path. A skin
  // that cannot be written or read leaves the theme not ready, silently.
  void ReadSkinData(std::string_view archive);

 private:
  std::string design_theme_file_;
};

}  // namespace plx
