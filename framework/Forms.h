#pragma once
// Forms: top-level windows with a border style, client size, constraints,
// position, window state, Close and OnCreate.

#include "framework/Controls.h"

namespace plx {

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

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
  // The client area's size; the window's size follows from the border style.
  void SetClientWidth(int value);
  void SetClientHeight(int value);
  TSizeConstraints& Constraints() { return constraints_; }
  bool Scaled() const { return scaled_; }
  void SetScaled(bool value) { scaled_ = value; }
  int PixelsPerInch() const { return pixels_per_inch_; }
  void SetPixelsPerInch(int value) { pixels_per_inch_ = value; }
  TWindowState WindowState() const { return window_state_; }
  void SetWindowState(TWindowState value);

  void Show();
  void Hide() { SetVisible(false); }
  // Asks OnCloseQuery/OnClose; closing the main form ends the application.
  void Close();

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  std::function<void(TObject* sender, TCloseAction& action)> OnClose;
  std::function<void(TObject* sender, bool& can_close)> OnCloseQuery;

 protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;

 private:
  DWORD WindowStyle() const;
  DWORD WindowExStyle() const;

  TFormBorderStyle border_style_ = TFormBorderStyle::bsSizeable;
  TSizeConstraints constraints_;
  bool scaled_ = true;
  int pixels_per_inch_ = 96;
  TWindowState window_state_ = TWindowState::wsNormal;
};

}  // namespace plx
