#pragma once
// A form with a skinned frame, as the main window builds one: a dialog
// border, the caption "Plexoria", a 243-pixel-wide client area, and the
// embedded skin in a built-in theme. Shared by the frame and title bar tests.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "framework/Application.h"
#include "framework/Forms.h"
#include "skin/FileTheme.h"
#include "skin/SkinForm.h"
#include "tests/skin/GoldenImage.h"

namespace plx::test {

inline std::string EmbeddedSkinArchive() {
  std::ifstream in(EnvironmentPath("PLEXORIA_SOURCE_DIR", ".") + "\\resources\\skin\\plexoria.skn", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs the thread's queue dry.
inline void PumpMessages() {
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

class SkinnedFormFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    // Hover pictures follow the real cursor: keep it off the windows.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    form_ = new TForm(nullptr);
    form_->SetCaption("Plexoria");
    form_->SetBorderStyle(TFormBorderStyle::bsDialog);
    form_->SetBounds(300, 200, form_->Width(), form_->Height());
    form_->SetClientWidth(243);
    form_->SetClientHeight(client_height_);
    frame_ = new TkivForm(form_);
    frame_->SetBounds(0, 0, 243, client_height_);
    frame_->SetParent(form_);
    frame_->SetCaption("Plexoria");
  }
  void TearDown() override { delete form_; }

  // The look of the main window: the embedded skin.
  void UseEmbeddedSkin() {
    theme_ = new TkivBuiltInFileTheme(form_);
    theme_->ReadSkinData(EmbeddedSkinArchive());
    ASSERT_TRUE(theme_->Ready());
    frame_->SetUIStyle(TkivUIStyle::FromThemeFile);
    frame_->SetFileTheme(theme_);
  }
  // The title bar's buttons as the main window's layout has them: the
  // maximise button hidden.
  void HideMaximizeButton() {
    TkivTitleBarButtons& buttons = frame_->TitleBarButtons();
    for (int i = 0; i < buttons.Count(); ++i)
      if (buttons.Items(i).ButtonType() == TkivTitleBarBtnType::kivMax) buttons.Items(i).SetVisible(false);
  }
  void Show() {
    form_->Show();
    PumpMessages();
  }
  HWND Window() { return form_->Handle(); }
  RECT WindowBounds() {
    RECT r{};
    GetWindowRect(Window(), &r);
    return r;
  }

  // The whole window as the frame and its panels draw it, off screen.
  std::unique_ptr<TBitmap> Picture() {
    const RECT bounds = WindowBounds();
    auto picture = std::make_unique<TBitmap>(bounds.right - bounds.left, bounds.bottom - bounds.top);
    HDC dc = picture->Canvas().Handle();
    const TRect insets = frame_->FrameInsets();
    {
      TSavedDCState saved(dc);
      SetViewportOrgEx(dc, insets.Left, insets.Top, nullptr);
      frame_->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
      if (frame_->TitleBar()->Visible()) frame_->TitleBar()->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
    }
    frame_->PaintFormBorderOn(dc, picture->Width(), picture->Height());
    return picture;
  }

  int client_height_ = 520;
  TForm* form_ = nullptr;
  TkivForm* frame_ = nullptr;
  TkivBuiltInFileTheme* theme_ = nullptr;
};

}  // namespace plx::test
