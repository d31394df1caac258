#pragma once
// THTMListBox: the owner-drawn list whose entries are markup strings. Each
// entry is measured, drawn and hit-tested by the markup renderer; anchors in
// entries react to the mouse (hand cursor, enter and exit events, web and
// mail links opened by the shell); entries can be sorted by their plain text,
// searched by typing, highlighted, marked and made to blink.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "framework/Bitmap.h"
#include "framework/Exception.h"
#include "framework/ImageList.h"
#include "framework/StdCtrls.h"
#include "markup/GdiMarkupSurface.h"
#include "markup/GradientStyle.h"
#include "markup/HTMListBoxHint.h"
#include "markup/HTMListBoxLayouts.h"
#include "markup/HTMListBoxLookup.h"
#include "markup/HTMListBoxPictures.h"
#include "markup/HTMLPicture.h"
#include "markup/MarkupLayout.h"
#include "markup/PictureContainer.h"
#include "markup/TextMetricsCache.h"

namespace plx {

class EHTMListBoxError : public Exception {
 public:
  using Exception::Exception;
};

// (Sender, entry index, anchor value).
using TAnchorClick = std::function<void(TObject* sender, int index, const std::string& anchor)>;
// (Sender, entry index, anchor value the handler may change before it is shown).
using TAnchorHintEvent = std::function<void(TObject* sender, int index, std::string& anchor)>;
// Hands a web or mail link to the shell's "open" operation.
using TShellOpener = std::function<void(const std::string& link)>;

class THTMListBox : public TCustomListBox {
 public:
  explicit THTMListBox(TComponent* owner);
  ~THTMListBox() override;

  bool AnchorHint() const { return anchor_hint_; }
  void SetAnchorHint(bool value) { anchor_hint_ = value; }
  bool AutoItemHeight() const { return auto_item_height_; }
  void SetAutoItemHeight(bool value);
  bool Ellipsis() const { return ellipsis_; }
  void SetEllipsis(bool value);
  bool EnableBlink() const { return enable_blink_; }
  void SetEnableBlink(bool value);
  bool HTMLHint() const { return html_hint_; }
  void SetHTMLHint(bool value) { html_hint_ = value; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  bool IncrLookup() const { return incr_lookup_; }
  void SetIncrLookup(bool value) { incr_lookup_ = value; }
  void SetItemHeight(int value) override;
  bool ItemHint() const { return item_hint_; }
  void SetItemHint(bool value) { item_hint_ = value; }
  int LineSpacing() const { return line_spacing_; }
  void SetLineSpacing(int value);
  bool Multiline() const { return multiline_; }
  TPictureContainer* PictureContainer() const { return picture_container_; }
  void SetPictureContainer(TPictureContainer* value);
  void SetMultiline(bool value);
  bool ScrollHorizontal() const { return scroll_horizontal_; }
  void SetScrollHorizontal(bool value);
  TGradientStyle& SelectionColors() { return *selection_colors_; }
  void SetSelectionColors(const TGradientStyle& value) { selection_colors_->Assign(value); }
  TColor SelectionFontColor() const { return selection_font_color_; }
  void SetSelectionFontColor(TColor value);
  TColor ShadowColor() const { return shadow_color_; }
  void SetShadowColor(TColor value);
  int ShadowOffset() const { return shadow_offset_; }
  void SetShadowOffset(int value);
  bool ShowFocus() const { return show_focus_; }
  void SetShowFocus(bool value) { show_focus_ = value; }
  bool ShowSelection() const { return show_selection_; }
  void SetShowSelection(bool value) { show_selection_ = value; }
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  bool SortWithHTML() const { return sort_with_html_; }
  void SetSortWithHTML(bool value) { sort_with_html_ = value; }
  TColor URLColor() const { return url_color_; }
  void SetURLColor(TColor value);
  std::string Version() const { return "1.9.1.4"; }
  void SetVersion(const std::string&) {}

  TAnchorClick OnAnchorClick;
  TAnchorClick OnAnchorEnter;
  TAnchorClick OnAnchorExit;
  TAnchorHintEvent OnAnchorHint;

  // Opens web and mail links; the shell's "open" operation unless replaced.
  TShellOpener ShellOpener;

  // The anchor and entry under a client point: ("", -1) over no entry, the
  // entry and "" over an entry but no anchor.
  bool IsAnchor(int x, int y, std::string& anchor, int& index);
  // The entry's plain text; raises EHTMListBoxError for an index outside the list.
  std::string GetTextItem(int index);

  void HilightInItem(int index, const std::string& text, bool caseSensitive);
  void HilightInList(const std::string& text, bool caseSensitive);
  void UnHilightInItem(int index);
  void UnHilightInList();
  void MarkInItem(int index, const std::string& text, bool caseSensitive);
  void MarkInList(const std::string& text, bool caseSensitive);
  void UnMarkInItem(int index);
  void UnMarkInList();

  void BeginUpdate() { ++update_count_; }
  void EndUpdate();
  // Measures every entry again.
  void ReMeasure();
  // The widest entry laid out without wrapping, plus a margin.
  int MaxHorizontalExtent();
  void UpdateHScrollExtent(int extent);

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  // Repaints every entry from its markup.
  void Invalidate() override;

  // The text measurements the list keeps for its entries.
  const TextMetricsCache& MeasuredTexts() const { return measured_texts_; }

 protected:
  void WndProc(TMessage& message) override;
  void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
  void MeasureItem(int index, int& height) override;
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void SaveStateBeforeDestroy() override;
  void FontChanged() override;
  // Called each time an entry's markup is laid out (to measure, draw or
  // hit-test it): lets a subclass watch how often the list does that work.
  virtual void MarkupLaidOut() {}

 private:
  // What laying an entry out starts from: the list's settings, the
  // canvas' font and brush colour, and the room given.
  MarkupLayoutRequest LayoutRequest(TCanvas& canvas, const TRect& bounds, bool selected) const;
  // An entry measured in bounds (not drawn, not kept).
  MarkupLayout MeasureEntry(TCanvas& canvas, const std::string& markup, const TRect& bounds, int lineSpacing);
  // The room an entry in rect is laid out in for painting and hit testing,
  // with its top at 0: the layout is drawn moved down to the entry.
  TRect PaintBounds(const TRect& rect, int scrollX) const;
  // The entry's layout for painting and hit testing: the one kept for it,
  // or made on `canvas` (set up as painting sets it up; through `drawing`
  // when painting has a surface on it already) and kept. The mouse point,
  // relative to the entry's top, only matters to entries with pictures,
  // which are laid out every time; without one given, such an entry is laid
  // out for where the cursor is.
  std::shared_ptr<const MarkupLayout> EntryLayout(TCanvas& canvas, GdiMarkupSurface* drawing, int index,
                                                  const TRect& rect, bool selected, int scrollX,
                                                  std::optional<TPoint> mouse);
  std::string EntryLayoutKey(const std::string& markup, const TRect& bounds, bool selected);
  MarkupPictureSources PictureSources() const;
  GdiMarkupSurface MarkupSurfaceOn(TCanvas& canvas);

  // Runs work on a canvas with the list's font that measures (and hit-tests).
  void WithMeasuringCanvas(const std::function<void(TCanvas&)>& work);
  // The rectangle an entry is laid out in for measuring.
  TRect MeasuringBounds(int index, int margin);
  void MeasureAddedEntry(int index);
  // The widest entry, and the extent set from it, without the entry leaving
  // (an index, or every entry when the list is being emptied).
  int WidestEntry(int leaving);
  void ApplyHScrollExtent(int extent, int leaving);
  void ApplySelectionColors(TCanvas& canvas, bool selected);
  // The mouse in client coordinates; during a paint, where it was when the
  // paint first asked. Asking the system costs more than painting several
  // entries, so a paint asks only when an entry with pictures needs it.
  TPoint CursorInClient();
  // Fills and draws one entry in rect, clipped to it.
  void PaintEntry(TCanvas& canvas, int index, const TRect& rect, bool selected, bool focusDrawn, int scrollX);
  std::string EntryPictureKey(const std::string& markup, const TRect& rect, bool selected, bool focusDrawn);
  void FillSelectionGradient(TCanvas& canvas, const TRect& rect);
  void ReplaceEach(const std::function<std::string(const std::string&)>& change);

  void MouseMove(int x, int y);
  // Answers whether the list should still see the press (no anchor under it).
  void MouseDown(int x, int y);
  void MouseLeft();
  void KeyDown(int key);
  void DoEnter() { lookup_.Clear(); }
  // Shows the hint for the mouse at (x, y), over the anchor already found
  // there (empty for none) in entry anchorIndex.
  void ShowHintAt(int x, int y, const std::string& anchor, int anchorIndex);
  void CancelHint();
  void Blink();
  void StartBlinkTimer();
  void StopBlinkTimer();
  void RemeasureAfterChange();
  // Entries are added with the system list's redrawing off, and it is turned
  // back on from the list's message queue: see DeferRedraw.
  void DeferRedraw();
  void ResumeRedraw();
  // Lets go of the drawings and measurements kept for the entries.
  void ForgetDrawings();

  bool anchor_hint_ = false;
  bool auto_item_height_ = true;
  bool ellipsis_ = false;
  bool enable_blink_ = false;
  bool html_hint_ = false;
  TCustomImageList* images_ = nullptr;  // borrowed
  bool incr_lookup_ = false;
  bool item_hint_ = false;
  int line_spacing_ = 0;
  bool multiline_ = false;
  TPictureContainer* picture_container_ = nullptr;  // borrowed
  bool scroll_horizontal_ = false;
  std::unique_ptr<TGradientStyle> selection_colors_;
  std::unique_ptr<THTMLPictureCache> picture_cache_;  // pictures markup loads by URL
  TColor selection_font_color_ = clHighlightText;
  TColor shadow_color_ = clGray;
  int shadow_offset_ = 1;
  bool show_focus_ = true;
  bool show_selection_ = true;
  bool sorted_ = false;
  bool sort_with_html_ = false;
  TColor url_color_ = clBlue;

  bool blink_phase_ = false;
  int blink_ticks_ = 0;
  UINT_PTR blink_timer_ = 0;
  bool hand_cursor_ = false;
  HCURSOR saved_cursor_ = nullptr;  // shared system cursor
  std::string last_anchor_;
  int last_anchor_index_ = -1;  // the entry last_anchor_ is in
  int last_hint_index_ = -1;
  bool tracking_leave_ = false;
  bool painting_ = false;
  std::optional<TPoint> paint_cursor_;  // set while painting_, once asked
  TIncrementalLookup lookup_;
  int widest_ = 0;
  // What leaves the list while its horizontal extent is worked out: an
  // entry's index, or one of these.
  static constexpr int kNoEntryLeaving = -1;
  static constexpr int kAllEntriesLeaving = -2;
  int leaving_ = kNoEntryLeaving;
  int update_count_ = 0;
  bool measuring_ = false;
  bool redraw_deferred_ = false;  // redrawing is off until the queued message resumes it
  bool redraw_held_by_caller_ = false;  // WM_SETREDRAW FALSE came from outside
  THTMListBoxHint hint_;
  // A few screens of drawn entries; painting them again copies them.
  TEntryPictureCache entry_pictures_{4 * 256 * 256};
  // Widths and heights of the entries' texts; the list's own, so that letting
  // go of them leaves other users of markup alone.
  TextMetricsCache measured_texts_;
  // Layouts of entries painted or hit-tested lately: a few screens' worth.
  TEntryLayoutCache entry_layouts_{256};
  std::unique_ptr<TBitmap> scratch_;  // where new pictures are drawn
  TMemoryDC measuring_dc_;                     // declared before the canvas that borrows it
  std::unique_ptr<TCanvas> measuring_canvas_;
};

}  // namespace plx
