#pragma once
// TkivForm: the skinned frame. Dropped on a form, it becomes the panel that
// fills the form's client area and carries the other controls; it hosts the
// skinned title bar, takes the platform's caption off the window (the dialog
// border style stays), paints the remaining window frame (left, right and
// bottom borders from the skin's pictures, or in a plain border colour),
// gives the window its region and fits a maximised window to the work area.
//
// It sees the host window's messages through the host's WindowProc hook
// chain, so native window-procedure hooks of other components stay outside
// it and keep working.

#include <functional>
#include <optional>
#include <string>

#include "framework/Bitmap.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "skin/TitleBar.h"
#include "skin/UIStyle.h"

namespace plx {

class TkivFileTheme;

// Where a skinned frame stands with its host window. Moves only along
// NoWindowYet -> Attached <-> WindowGone, and from anywhere to Stopped.
enum class TkivFormState {
  NoWindowYet,  // no window of the host has carried the frame's look yet
  Attached,     // the host window carries the look
  WindowGone,   // the window that carried it went; the next one carries it from its first message
  Stopped,      // destroying or detached: every message goes on, nothing is painted
};

// Whether the lifecycle allows the move (staying Attached or Stopped included).
constexpr bool IsLegalFormStateMove(TkivFormState from, TkivFormState to) {
  using enum TkivFormState;
  switch (to) {
    case Attached: return from != Stopped;
    case WindowGone: return from == Attached;
    case Stopped: return true;
    case NoWindowYet: return false;
  }
  return false;
}

class TkivForm : public TCustomPanel, public TkivFormStyleSource {
 public:
  // The menu bar's height until one is set.
  static constexpr int kDefaultMenuBarHeight = 22;

  // Raises when the owner form already has a skinned frame. An owner that
  // is not a form gets a plain panel.
  explicit TkivForm(TComponent* owner);
  ~TkivForm() override;  // NOLINT(bugprone-exception-escape): see the definition

  bool TitleBarCustom() const { return title_bar_ ? title_bar_->Custom() : false; }
  void SetTitleBarCustom(bool value);
  TkivFileTheme* FileTheme() const { return file_theme_; }
  void SetFileTheme(TkivFileTheme* value);
  TkivUIStyle UIStyle() const { return ui_style_; }
  void SetUIStyle(TkivUIStyle value);
  TkivUIStyle FormUIStyle() const override { return ui_style_; }
  bool UIStyleAutoUpdateSub() const { return auto_update_sub_; }
  void SetUIStyleAutoUpdateSub(bool value) { auto_update_sub_ = value; }
  TColor BorderColor() const { return border_color_; }
  void SetBorderColor(TColor value);
  int BorderWidth() const { return border_width_; }
  void SetBorderWidth(int value);
  bool TitleBarVisible() const { return title_bar_visible_; }
  void SetTitleBarVisible(bool value);
  // The title bar's caption; writing it also sets the host form's caption.
  const std::string& Caption() const;
  void SetCaption(std::string value) override;
  bool TitleBarDrawAppIcon() const { return title_bar_ ? title_bar_->DrawAppIcon() : true; }
  void SetTitleBarDrawAppIcon(bool value);
  // The title bar's font: the caption text.
  TFont& Font();
  // A panel that fills the client area (below the title bar when it lies
  // on the frame). The frame itself is refused with an error box.
  TCustomPanel* FormPanel() const { return form_panel_; }
  void SetFormPanel(TCustomPanel* value);
  TColor MenuBarColor() const { return menu_bar_color_; }
  void SetMenuBarColor(TColor value) { menu_bar_color_ = value; }
  TColor MenuBarToColor() const { return menu_bar_to_color_; }
  void SetMenuBarToColor(TColor value) { menu_bar_to_color_ = value; }
  // The menu bar's height; this frame shows no menu bar, so it reads 0.
  int MenuBarHeight() const { return 0; }
  void SetMenuBarHeight(int value) { menu_bar_height_ = value; }
  int RoundCorner() const { return title_bar_visible_ && title_bar_ ? title_bar_->RoundCorner() : 0; }
  void SetRoundCorner(int value);
  int RoundCornerBottom() const { return title_bar_visible_ && title_bar_ ? title_bar_->RoundCornerBottom() : 0; }
  void SetRoundCornerBottom(int value);
  TColor InactiveCaptionColor() const;
  void SetInactiveCaptionColor(TColor value);
  std::string Version() const { return "6.2"; }

  TkivTitleBar* TitleBar() const { return title_bar_; }
  TkivFormState State() const { return state_; }
  TkivTitleBarButtons& TitleBarButtons() { return title_bar_->Buttons(); }
  TkivTitleBarSections& TitleBarSections() { return title_bar_->Sections(); }
  TkivTitleBarButtonEvent OnTitleBarCustomBtnsClick;
  TkivTitleBarButtonEvent OnTitleBarHelpBtnClick;

  // Paints the frame around the panel on the host window.
  void PaintFormBorder();
  // The same on any DC in window coordinates, for a window of that size.
  void PaintFormBorderOn(HDC dc, int width, int height);
  // Computes and applies the window region.
  void RegionWindow();
  // The host window's insets (left, top, right, bottom) around its client area.
  TRect FrameInsets() const;

  void SetBounds(int left, int top, int width, int height) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  const TPropertyTable* PublishedProperties() const override;

 protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
  bool EraseBackground(HDC) override { return true; }
  void BeforeDestruction() override;

 private:
  // Moves the lifecycle on; a move it does not allow raises and changes nothing.
  void MoveTo(TkivFormState next);
  bool Attached() const { return state_ == TkivFormState::Attached; }
  bool Stopped() const { return state_ == TkivFormState::Stopped; }
  void HostWindowProc(TMessage& message, const TWndMethod& next);
  // Stops all work, leaves the host's chain and gives its window the caption back.
  void DetachFromHost();
  void AttachToHostWindow();
  void StripCaption();
  void RecomputeFrame();
  void FitToHostClientArea();
  void AlignTitleBar();
  void AlignFormPanel();
  void HostResized();
  void OpenWindowMenuBelowTitleBar();
  bool UsingSkin() const;
  void UpdateFrameSizes();
  bool HostMinimized() const;
  void PaintSkinBorder(TCanvas& canvas, int width, int height);
  void PaintBuiltInBorder(TCanvas& canvas, int width, int height);
  void ComposeBottomImage(int width);
  // The panel's background tile for the effective look, or nullptr.
  TBitmap* BackgroundTile(bool useSkin, TkivUIStyle effective);

  TForm* host_ = nullptr;              // the owner form (borrowed)
  TkivTitleBar* title_bar_ = nullptr;   // owned as a component
  TkivFileTheme* file_theme_ = nullptr;  // borrowed
  TCustomPanel* form_panel_ = nullptr;   // borrowed; forgotten when it goes
  TkivUIStyle ui_style_ = kivFallbackStyle;
  bool auto_update_sub_ = false;
  TColor border_color_ = clBlack;
  int border_width_ = 1;
  bool title_bar_visible_ = true;
  TColor menu_bar_color_ = clBtnFace;
  TColor menu_bar_to_color_ = clBtnFace;
  int menu_bar_height_ = kDefaultMenuBarHeight;

  // The frame's sizes: the skin's border pictures when the frame is drawn
  // from the skin (frameFromSkin_), else the built-in frame's.
  bool frame_from_skin_ = false;
  int skin_left_ = 0, skin_right_ = 0, skin_bottom_ = 0;
  // The insets the host window's client area was last measured with.
  std::optional<TRect> measured_insets_;
  TColor trans_color_ = 0x00FF00FF;
  bool title_region_ = false, bottom_region_ = false;
  int title_min_y_ = -1, title_max_y_ = -1, bottom_min_y_ = -1, bottom_max_y_ = -1;
  TBitmap bottom_image_;
  // The background tile of the built-in style it was loaded for (the
  // resource is loaded once per look, not on every paint); empty when that
  // style has none or it could not be loaded.
  TBitmap tile_;
  std::optional<TkivUIStyle> tile_for_;

  THookToken hook_token_ = 0;          // the frame's place in the host's chain
  THookToken handle_events_token_ = 0;  // the host's window created and destroyed
  TkivFormState state_ = TkivFormState::NoWindowYet;
  bool placing_ = false;            // fitting a maximised window to the work area
  bool painting_elsewhere_ = false;  // painting into a DC given with WM_PAINT
  bool look_pending_ = false;        // a look asked for while the layout was read
};

}  // namespace plx
