#pragma once
// Standard controls over the system ones: TCustomControl (a window that paints
// itself on a canvas), TPanel, TButton, TMemo and the owner-drawn list box
// base TCustomListBox.

#include <memory>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "framework/StringList.h"

namespace plx {

// A window of our own class that paints itself through Paint() on Canvas().
//
// Double-buffered (the default), Paint() draws into a memory bitmap of the
// client area's size that is copied to the screen in one step, and the
// background is not erased first: what Paint() leaves is what shows, without
// flicker. A WM_PAINT that brings its own DC (WParam) is painted into it
// directly.
//
// MouseEnter and MouseLeave bracket the time the mouse is over the client
// area (the system reports the leaving once asked with TrackMouseEvent).
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas& Canvas() { return *canvas_; }

  bool DoubleBuffered() const { return double_buffered_; }
  void SetDoubleBuffered(bool value) { double_buffered_ = value; }
  bool MouseInControl() const { return mouse_in_control_; }

 protected:
  void WndProc(TMessage& message) override;
  // Paints the control; the base fills the client area in Color.
  virtual void Paint();
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}

 private:
  void PaintMessage(TMessage& message);
  void PaintOn(HDC dc);
  void TrackMouse();

  std::unique_ptr<TCanvas> canvas_;
  bool double_buffered_ = true;
  bool mouse_in_control_ = false;
};

enum class TBevelCut { bvNone, bvLowered, bvRaised };

class TCustomPanel : public TCustomControl {
 public:
  explicit TCustomPanel(TComponent* owner);
  TBevelCut BevelOuter() const { return bevel_outer_; }
  void SetBevelOuter(TBevelCut value);

 protected:
  void Paint() override;

 private:
  TBevelCut bevel_outer_ = TBevelCut::bvRaised;
};

class TPanel : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
};

// The system push button.
class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);

 protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
};

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// The system multi-line edit. Its text lives in the window while there is
// one, and in the object across a re-creation.
class TMemo : public TWinControl {
 public:
  explicit TMemo(TComponent* owner);

  std::string Text();
  // Takes text as a zero-terminated string: it ends at its first zero byte.
  void SetText(const std::string& text);
  void Clear() { SetText(std::string()); }
  void SelectAll();
  void CopyToClipboard();
  // The lines of the text; setting replaces the whole text.
  std::vector<std::string> Lines();
  void SetLines(const std::vector<std::string>& lines);

  TScrollStyle ScrollBars() const { return scroll_bars_; }
  void SetScrollBars(TScrollStyle value);
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool value);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool value);

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void SaveStateBeforeDestroy() override;
  void WndProc(TMessage& message) override;

 private:
  std::string text_;  // the text while there is no window
  TScrollStyle scroll_bars_ = TScrollStyle::ssNone;
  bool word_wrap_ = true;
  bool read_only_ = false;
  bool setting_text_ = false;  // inside WM_SETTEXT: its change is announced once, after it
};

enum TOwnerDrawStateFlag : unsigned {
  odSelected = 1u << 0,
  odGrayed = 1u << 1,
  odDisabled = 1u << 2,
  odChecked = 1u << 3,
  odFocused = 1u << 4,
};
using TOwnerDrawState = unsigned;

// The system list box, owner-drawn with entries of variable height. The
// entries' strings (and attached objects) are kept here, so they may hold any
// bytes; the system list only holds the entries' places and heights.
//
// Entries can be added, deleted and selected before the window exists: they
// wait here and go into the window when it is created.
//
// Each entry is measured when it goes into the window (and again on
// ReMeasure) by MeasureItem, with Canvas() on a DC of the list's window and
// the list's font, so text measures exactly as it will be drawn. The system
// list keeps an entry's height in one byte: heights are clamped to 1 ..
// kMaxListItemHeight, here, in one place.
//
// Entries are added, inserted, deleted and cleared through LB_ADDSTRING,
// LB_INSERTSTRING, LB_DELETESTRING and LB_RESETCONTENT sent through
// WindowProc, so a subclass sees each of them in its WndProc after the base
// has handled it (the result is the entry's index).
class TCustomListBox : public TWinControl {
 public:
  static constexpr int kMaxListItemHeight = 255;

  explicit TCustomListBox(TComponent* owner);

  int Count() const { return static_cast<int>(items_.Count()); }
  const TStringList& Items() const { return items_; }
  const std::string& Item(int index) const { return items_.Strings(index); }
  TObject* ItemObject(int index) const { return items_.Objects(index); }

  int AddItem(const std::string& text, TObject* object = nullptr);
  void InsertItem(int index, const std::string& text, TObject* object = nullptr);
  void DeleteItem(int index);
  // Replacing an entry's string removes and re-inserts it, so it is measured
  // again; the selection stays on it.
  void SetItem(int index, const std::string& text);
  void SetItemObject(int index, TObject* object) { items_.SetObjects(index, object); }
  // Replaces every entry (strings and objects) with those of list.
  void AssignItems(const TStringList& list);
  void Clear();
  // Measures every entry again (after a change of font or width).
  void ReMeasure();

  int ItemIndex();
  void SetItemIndex(int index);
  bool Selected(int index);
  int TopIndex();
  void SetTopIndex(int index);

  int ItemHeight() const { return item_height_; }
  virtual void SetItemHeight(int value);
  // Per-entry height in the system list.
  int ItemHeightOf(int index);
  void SetItemHeightOf(int index, int height);
  TRect ItemRect(int index);
  // The entry under a client point, -1 when the point is past the last.
  int ItemAtPos(TPoint point, bool existingOnly = true);
  int HorizontalExtent();
  void SetHorizontalExtent(int extent);

  TCanvas& Canvas() { return *canvas_; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void SaveStateBeforeDestroy() override;
  void WndProc(TMessage& message) override;
  // Draws one entry; the base fills the rectangle and writes the string.
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
  // Asked when the system list creates an entry; answer its height.
  virtual void MeasureItem(int index, int& height);

 private:
  void DrawItemMessage(const DRAWITEMSTRUCT& item);
  // MeasureItem's answer for an entry, clamped to what the list can hold.
  int MeasuredHeight(int index);
  int SendInsert(UINT msg, int index);

  TStringList items_;
  std::unique_ptr<TCanvas> canvas_;
  int item_height_ = 16;
  int saved_item_index_ = -1;
  int saved_top_index_ = 0;
  int saved_horizontal_extent_ = 0;
};

class TListBox : public TCustomListBox {
 public:
  using TCustomListBox::TCustomListBox;
};

}  // namespace plx
