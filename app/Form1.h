#pragma once
// The main window: the list of clips, the memo that shows the selected clip,
// and the "Remove [-]", "Clear All" and "Copy" buttons.

#include <string>

#include "app/ClipStore.h"
#include "chrome/FormTopmost.h"
#include "dragdrop/TextTarget.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "markup/HTMListBox.h"
#include "skin/FileTheme.h"
#include "skin/SkinButton.h"
#include "skin/SkinForm.h"

namespace plx {

class TLayoutBuilder;

class TForm1 : public TForm {
 public:
  explicit TForm1(TComponent* owner);
  ~TForm1() override;

  // The window's components, in the layout's order of declaration.
  TkivBuiltInFileTheme* kivBuiltInFileTheme1 = nullptr;
  TkivForm* kivForm1 = nullptr;
  TMemo* Memo1 = nullptr;
  TacFormTopmost* acFormTopmost1 = nullptr;
  TkivButton* btnRemove = nullptr;
  TkivButton* btnClear = nullptr;
  TkivButton* kivButton3 = nullptr;
  THTMListBox* ListBox1 = nullptr;
  TQXTextTarget* QXTextTarget1 = nullptr;

  // Event handlers, bound by the layout.
  void FormCreate(TObject* sender);
  void QXTextTarget1Drop(TObject* sender, TWinControl* acceptor, const std::string& dropText, int x, int y);
  void ListBox1Click(TObject* sender);
  void btnRemoveClick(TObject* sender);
  void btnClearClick(TObject* sender);
  void kivButton3Click(TObject* sender);

  const TClipStore& Clips() const { return clips_; }

 protected:
  void BeforeDestruction() override;

 private:
  void BuildLayout();
  void BuildSkinnedFrame(TLayoutBuilder& layout);
  // "Remove [-]" and "Clear All" are enabled exactly while there are clips.
  void ApplyButtonRule();

  TClipStore clips_;
};

// The main window, created by the entry.
extern TForm1* Form1;

}  // namespace plx
