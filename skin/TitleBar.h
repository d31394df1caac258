#pragma once
// TkivTitleBar: the caption strip of a skinned window. It composes its
// picture from horizontal sections (left, stretched client, right, and the
// caption section of five-section skins), draws the application icon or a
// control box, the caption and a row of caption buttons whose three pictures
// come from one strip, starts window drags, maximises on double-click and
// opens a small window menu. It also keeps the full-width title image that
// the skinned frame paints the window's top and side edges from and cuts the
// window's region from: those pictures are composed whenever what they show
// changes (look, sections, size, caption, font), not by painting, so the
// frame can read them at any time.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/StdCtrls.h"
#include "skin/PopupMenu.h"
#include "skin/TitleBarMenu.h"
#include "skin/UIStyle.h"

namespace plx {

class TForm;
class TkivFileTheme;
class TkivTitleBar;

enum class TkivTitleBarAlign { kivLeft, kivRight, kivClient };
enum class TkivTitleBarBtnType { kivMax, kivMin, kivClose, kivHelp, kivControlBox, kivCustom };

// Sent to the host window: answers the left inset the title bar lies at
// inside a skinned frame (0 outside one).
inline constexpr UINT kivMsgTitleBarLeftInset = 0x26C3;
// Posted to the title bar: click the button whose index WParam holds, as a
// mouse click on it would (a screen reader's default action comes this way,
// so the click runs after the reader has had its answer).
inline constexpr UINT kivMsgTitleBarClickButton = 0x26C4;

// Inside a skinned frame the top rows of the title pictures belong to the
// window frame: the title bar is that much shorter than its pictures.
inline constexpr int kivFrameTopRows = 3;

// Fired with the index of the clicked custom or help button.
using TkivTitleBarButtonEvent = std::function<void(TObject* sender, int index)>;

class TkivTitleBarSection : public TPersistent {
 public:
  explicit TkivTitleBarSection(TkivTitleBar& titleBar);

  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool value);
  // With AutoSize, the picture's width.
  int Width() const;
  void SetWidth(int value);
  TkivTitleBarAlign Align() const { return align_; }
  // A second client section is refused with an error box.
  void SetAlign(TkivTitleBarAlign value);
  TPicture& Picture() { return picture_; }
  // Always true for the client section.
  bool Stretch() const { return stretch_ || align_ == TkivTitleBarAlign::kivClient; }
  void SetStretch(bool value);
  bool CapSec() const { return cap_sec_; }
  void SetCapSec(bool value);

 private:
  void Changed();

  TkivTitleBar& title_bar_;
  bool auto_size_ = false;
  int width_ = 10;
  TkivTitleBarAlign align_ = TkivTitleBarAlign::kivLeft;
  TPicture picture_;
  bool stretch_ = false;
  bool cap_sec_ = false;
};

class TkivTitleBarButton : public TPersistent {
 public:
  explicit TkivTitleBarButton(TkivTitleBar& titleBar);

  TkivUIStyle UIStyle() const { return ui_style_; }
  void SetUIStyle(TkivUIStyle value);
  TkivTitleBarBtnType ButtonType() const { return button_type_; }
  // A second control box is refused with an error box.
  void SetButtonType(TkivTitleBarBtnType value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  int Top() const { return top_; }
  void SetTop(int value);
  // The menu a control box opens instead of the window menu (borrowed; the
  // title bar forgets it when it goes).
  TkivPopupMenu* ControlBoxMenu() const { return control_box_menu_; }
  void SetControlBoxMenu(TkivPopupMenu* value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  TPicture& PicNormal() { return pic_normal_; }
  TPicture& PicMouseOn() { return pic_mouse_on_; }
  TPicture& PicMouseDown() { return pic_mouse_down_; }
  // A button lacking one of its pictures is neither drawn nor clickable.
  bool HasAllPictures() const;

 private:
  void Changed();

  TkivTitleBar& title_bar_;
  TkivUIStyle ui_style_ = kivFallbackStyle;
  TkivTitleBarBtnType button_type_ = TkivTitleBarBtnType::kivCustom;
  bool transparent_ = false;
  int top_ = 2;
  TkivPopupMenu* control_box_menu_ = nullptr;
  bool visible_ = true;
  TPicture pic_normal_;
  TPicture pic_mouse_on_;
  TPicture pic_mouse_down_;
};

// An ordered collection of sections or buttons, owned by the title bar.
template <class Item>
class TkivTitleBarCollection {
 public:
  explicit TkivTitleBarCollection(TkivTitleBar& titleBar) : title_bar_(titleBar) {}
  int Count() const { return static_cast<int>(items_.size()); }
  Item& Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
  Item& Add() {
    items_.push_back(std::make_unique<Item>(title_bar_));
    return *items_.back();
  }
  void Clear() { items_.clear(); }

 private:
  TkivTitleBar& title_bar_;
  std::vector<std::unique_ptr<Item>> items_;
};
using TkivTitleBarSections = TkivTitleBarCollection<TkivTitleBarSection>;
using TkivTitleBarButtons = TkivTitleBarCollection<TkivTitleBarButton>;

class TkivTitleBar : public TCustomPanel {
 public:
  explicit TkivTitleBar(TComponent* owner);
  ~TkivTitleBar() override;

  bool Custom() const { return custom_; }
  void SetCustom(bool value) { custom_ = value; }
  TkivFileTheme* FileTheme() const { return file_theme_; }
  void SetFileTheme(TkivFileTheme* value);
  // The theme and the style together, the look loaded once: as SetFileTheme
  // followed by SetUIStyle, without loading the look the new theme gives the
  // old style on the way.
  void SetLook(TkivFileTheme* fileTheme, TkivUIStyle style);
  TkivUIStyle UIStyle() const { return ui_style_; }
  void SetUIStyle(TkivUIStyle value);
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool value);

  TkivTitleBarSections& Sections() { return sections_; }
  TkivTitleBarButtons& Buttons() { return buttons_; }
  int ButtonInterval() const { return button_interval_; }
  void SetButtonInterval(int value);
  void SetCaption(std::string value) override;
  bool FormActive() const { return form_active_; }
  void SetActive(bool value);
  int LeftBtnXOffset() const { return left_btn_x_offset_; }
  void SetLeftBtnXOffset(int value);
  int RightBtnXOffset() const { return right_btn_x_offset_; }
  void SetRightBtnXOffset(int value);
  bool DrawAppIcon() const { return draw_app_icon_; }
  void SetDrawAppIcon(bool value);
  int RoundCorner() const { return round_corner_; }
  void SetRoundCorner(int value);
  int RoundCornerBottom() const { return round_corner_bottom_; }
  void SetRoundCornerBottom(int value);
  TColor InactiveCaptionColor() const { return inactive_caption_color_; }
  void SetInactiveCaptionColor(TColor value);

  TkivTitleBarButtonEvent OnCustomBtnsClick;
  TkivTitleBarButtonEvent OnHelpBtnClick;

  // Every maximise button shows the restore pictures while the form is
  // maximised and the maximise pictures otherwise.
  void ProcessMaxBtn();
  // -1: the plain full-width title image; -2: the same laid on the fill
  // colour; 0 and above: that section's picture (with more than two
  // sections). nullptr when there is none. The title images are brought up
  // to date first when something they show has changed.
  TBitmap* GetTitleImage(int index);
  // Three sections with pictures, or five with all their pictures.
  bool CanPaint();
  // The smallest size the look allows the form (0: no rule), from the
  // last look loaded. A title bar inside a skinned frame leaves writing
  // them to the frame; on a form of its own it writes them itself.
  int MinFormWidth() const { return min_form_width_; }
  int MinFormHeight() const { return min_form_height_; }
  // Inside a skinned frame.
  bool InForm() const;
  // Acts as a click on the button: maximise or restore, minimise, close.
  void DoClick(int index);
  // Opens the window menu with its top-left at the screen point.
  void PopupWindowMenu(int screenX, int screenY);
  TkivTitleBarPopupMenu& WindowMenu() { return window_menu_; }

  // The form the title bar sits on (its top-level parent), or nullptr.
  TForm* ParentForm() const;
  // The index of the button at a client point (control box included), -1
  // for none, with the rules painting uses.
  int ButtonAt(TPoint point);
  // The buttons a click can reach, left to right as painted: the control box
  // first, then the caption buttons; client coordinates. Hidden buttons and
  // buttons lacking a picture are not among them.
  struct TButtonPlace {
    int Index = -1;  // in Buttons()
    TRect Rect;
  };
  std::vector<TButtonPlace> ButtonPlaces();
  // What releasing the mouse on the button does: a control box without a
  // menu of its own opens the window menu; any other button is clicked and
  // fires the custom or help event. Nothing for a button no click reaches.
  void ClickButton(int index);

  void SetColor(TColor value) override;
  void SetParent(TWinControl* parent) override;
  void Notification(TComponent* component, TOperation operation) override;
  const TPropertyTable* PublishedProperties() const override;

  // Internal: the items call this when they change (and so does the title
  // bar when anything its title images show changes): the images are
  // composed again before their next use, and the title bar repaints.
  void ItemChanged();

 protected:
  void Paint() override;
  bool EraseBackground(HDC) override { return true; }
  void WndProc(TMessage& message) override;
  void MouseLeave() override;
  void FontChanged() override;

 private:
  struct TButtonLayout {
    std::vector<std::pair<int, TRect>> buttons;  // index and place, right to left
    int controlBox = -1;
    TRect controlBoxRect;
    int right = 0;         // the caption ends here
    int captionLeft = 0;
  };
  TButtonLayout LayOutButtons();
  int LeftInset() const;
  // Where the sections lie relative to the title bar: inside a frame the
  // pictures start left of it and above it, under the window frame.
  TPoint SectionOffset() const;
  // Composes the sections as the title bar shows them and the two
  // full-width title images, when something they show has changed.
  void UpdateTitleImages();
  void ComposeTitleImages(TPoint offset);
  // Only the buttons' state or the caption's colour changed: repaint.
  void RepaintSoon();
  void DrawButtons(TCanvas& canvas);
  // Follows the theme's removal; false when it is the theme already held.
  bool TakeFileTheme(TkivFileTheme* value);
  // The look's title-button strip: the skin's, or the built-in one decoded
  // into builtIn; nullptr when there is none.
  TBitmap* TitleButtonStrip(bool useSkin, TkivUIStyle effective, TBitmap& builtIn);
  void ApplyStyleToButton(TkivTitleBarButton& button, bool useSkin, TkivUIStyle effective, TBitmap* strip);
  // The button's three pictures, frames lastFrame-2..lastFrame of strip
  // (empty without one).
  void LoadButtonPictures(TkivTitleBarButton& button, int lastFrame, TBitmap* strip);
  bool ParentMaximized() const;
  void AdjustHeight();
  void MouseDown(TPoint point);
  void MouseUp(TPoint point);
  void DoubleClick(TPoint point);

  // Holds back the repaints the items ask for while a whole look is being
  // loaded (every section, picture and button reports its own change): one
  // repaint follows at the end, when anything changed.
  class TChangeBatch {
   public:
    explicit TChangeBatch(TkivTitleBar& titleBar);
    TChangeBatch(const TChangeBatch&) = delete;
    TChangeBatch& operator=(const TChangeBatch&) = delete;
    ~TChangeBatch();

   private:
    TkivTitleBar& title_bar_;
  };

  bool custom_ = false;
  TkivFileTheme* file_theme_ = nullptr;  // borrowed
  TkivUIStyle ui_style_ = kivFallbackStyle;
  bool auto_size_ = false;
  TkivTitleBarSections sections_{*this};
  TkivTitleBarButtons buttons_{*this};
  int button_interval_ = 0;
  bool form_active_ = true;
  int left_btn_x_offset_ = 0;
  int right_btn_x_offset_ = 0;
  bool draw_app_icon_ = true;
  int round_corner_ = 0;
  int round_corner_bottom_ = 0;
  TColor inactive_caption_color_ = clInactiveCaption;

  bool five_sections_ = false;
  TColor trans_color_ = 0x00FF00FF;
  TColor fill_color_ = clBlack;
  bool title_region_ = false;  // the skin cuts the window's region from the title
  std::string shown_caption_;  // the caption a caption section shows
  TBitmap sections_image_;     // the sections as the title bar shows them
  TBitmap plain_title_;        // full window width, full picture height
  TBitmap filled_title_;       // the plain image laid on the fill colour
  bool caption_section_ = false;  // the composed title has a caption section
  // The title images are up to date for this size and section offset
  // unless titleDirty_.
  bool title_dirty_ = true;
  TRect composed_for_;  // width, height and section offset, as Left/Top/Right/Bottom
  int min_form_width_ = 0, min_form_height_ = 0;
  TkivTitleBarPopupMenu window_menu_{*this};
  int button_top_ = 2;
  int icon_top_ = 2;
  int caption_top_ = 2;
  int hot_button_ = -1;
  bool pressed_ = false;
  bool keep_font_color_ = false;
  HICON app_icon_ = nullptr;      // shared: the system owns it
  int change_batches_ = 0;        // open TChangeBatch scopes
  bool changed_in_batch_ = false;  // an item changed while they were open
};

}  // namespace plx
