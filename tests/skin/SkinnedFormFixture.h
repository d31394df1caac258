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
    form = new TForm(nullptr);
    form->SetCaption("Plexoria");
    form->SetBorderStyle(TFormBorderStyle::bsDialog);
    form->SetBounds(300, 200, form->Width(), form->Height());
    form->SetClientWidth(243);
    form->SetClientHeight(clientHeight);
    frame = new TkivForm(form);
    frame->SetBounds(0, 0, 243, clientHeight);
    frame->SetParent(form);
    frame->SetCaption("Plexoria");
  }
  void TearDown() override { delete form; }

  // The look of the main window: the embedded skin.
  void UseEmbeddedSkin() {
    theme = new TkivBuiltInFileTheme(form);
    theme->ReadSkinData(EmbeddedSkinArchive());
    ASSERT_TRUE(theme->Ready());
    frame->SetUIStyle(TkivUIStyle::FromThemeFile);
    frame->SetFileTheme(theme);
  }
  // The title bar's buttons as the main window's layout has them: the
  // maximise button hidden.
  void HideMaximizeButton() {
    TkivTitleBarButtons& buttons = frame->TitleBarButtons();
    for (int i = 0; i < buttons.Count(); ++i)
      if (buttons.Items(i).ButtonType() == TkivTitleBarBtnType::kivMax) buttons.Items(i).SetVisible(false);
  }
  void Show() {
    form->Show();
    PumpMessages();
  }
  HWND Window() { return form->Handle(); }
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
    const TRect insets = frame->FrameInsets();
    {
      TSavedDCState saved(dc);
      SetViewportOrgEx(dc, insets.Left, insets.Top, nullptr);
      frame->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
      if (frame->TitleBar()->Visible()) frame->TitleBar()->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
    }
    frame->PaintFormBorderOn(dc, picture->Width(), picture->Height());
    return picture;
  }

  int clientHeight = 520;
  TForm* form = nullptr;
  TkivForm* frame = nullptr;
  TkivBuiltInFileTheme* theme = nullptr;
};

}  // namespace plx::test
