#pragma once
// Forms: top-level windows with a border style, client size, constraints,
// position, window state, Close and OnCreate.

#include "framework/Controls.h"

namespace plx {

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

// Sent by a form to its controls, depth first, for Enter (VK_RETURN) and
// Escape (VK_ESCAPE) that the dialog manager turned into IDOK and IDCANCEL
// because the focused control did not want them. A control that acts on the
// key answers non-zero and the broadcast stops there.
inline constexpr UINT CM_DIALOGKEY = 0xB000 + 0x0100;

struct TSizeConstraints {
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;  // 0: no limit
};

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  // Runs OnCreate; the application calls it once the form is fully built.
  virtual void AfterConstruction();

  TFormBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TFormBorderStyle value);
  // The client area's size; the window's size follows from the real
  // window's frame. The size set here is kept when the frame changes
  // (a component that paints its own non-client area, a new border style):
  // the window grows or shrinks around it. Sizing by the user sets it anew.
  void SetClientWidth(int value);
  void SetClientHeight(int value);
  TSizeConstraints& Constraints() { return constraints_; }
  bool Scaled() const { return scaled_; }
  void SetScaled(bool value) { scaled_ = value; }
  int PixelsPerInch() const { return pixels_per_inch_; }
  void SetPixelsPerInch(int value) { pixels_per_inch_ = value; }
  TWindowState WindowState() const { return window_state_; }
  // Set by the buttons that carry one; 0 when none was clicked.
  int ModalResult() const { return modal_result_; }
  void SetModalResult(int value) { modal_result_ = value; }
  void SetWindowState(TWindowState value);

  void Show();
  void Hide() { SetVisible(false); }
  // Asks OnCloseQuery/OnClose; closing the main form ends the application.
  void Close();

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  std::function<void(TObject* sender, TCloseAction& action)> OnClose;
  std::function<void(TObject* sender, bool& canClose)> OnCloseQuery;

 protected:
  void BeforeDestruction() override;
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void WndProc(TMessage& message) override;

 private:
  // Offers a dialog key to every control on the form until one takes it.
  static bool BroadcastDialogKey(TWinControl& container, WPARAM key);
  DWORD WindowStyle() const;
  DWORD WindowExStyle() const;
  // Sizes the window so that its client area is the wanted size.
  void ApplyWantedClientSize();

  TFormBorderStyle border_style_ = TFormBorderStyle::bsSizeable;
  TSizeConstraints constraints_;
  bool scaled_ = true;
  int pixels_per_inch_ = 96;
  TWindowState window_state_ = TWindowState::wsNormal;
  int wanted_client_width_ = -1;  // -1: none asked for
  int wanted_client_height_ = -1;
  bool applying_client_size_ = false;
  bool on_destroy_called_ = false;
  int modal_result_ = 0;
  // The control that had the focus when the form was last deactivated
  // (borrowed; checked before use, it may be gone).
  HWND active_control_ = nullptr;
};

}  // namespace plx
