#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace plx {
namespace {

struct Shown {
  std::string text;
  std::string caption;
};

struct ApplicationFixture : ::testing::Test {
  void SetUp() override {
    Application().SetTitle("Plexoria");
    Application().OnShowMessage = [this](const std::string& text, const std::string& caption) {
      shown.push_back({text, caption});
    };
  }
  void TearDown() override {
    Application().OnShowMessage = nullptr;
    Application().OnMessage = nullptr;
  }
  std::vector<Shown> shown;
};

template <class Thrower>
void HandleThrown(Thrower thrower) {
  try {
    thrower();
  } catch (...) {
    Application().HandleException(nullptr);
  }
}

TEST_F(ApplicationFixture, ShowsExceptionsCaptionedWithTheTitleAndSilencesAbort) {
  HandleThrown([] { throw Exception("Disk full"); });
  HandleThrown([] { throw EInvalidOperation("Done."); });
  HandleThrown([] { Abort(); });
  HandleThrown([] { throw 42; });
  Application().ProcessMessages();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].text, "Disk full.");
  EXPECT_EQ(shown[0].caption, "Plexoria");
  EXPECT_EQ(shown[1].text, "Done.");
  EXPECT_EQ(shown[2].text, "");  // not an exception object: empty message
}

TEST_F(ApplicationFixture, ExceptionInAnEventHandlerIsShownAndTheLoopGoesOn) {
  TForm form(nullptr);
  auto* button = new TButton(&form);
  button->SetParent(&form);
  button->OnClick = [](TObject*) { throw Exception("Handler failed"); };
  HWND window = button->Handle();
  SendMessageA(window, BM_CLICK, 0, 0);
  Application().ProcessMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Handler failed.");
  // Still alive: the window answers.
  EXPECT_TRUE(IsWindow(window));
  SendMessageA(window, BM_CLICK, 0, 0);
  Application().ProcessMessages();
  EXPECT_EQ(shown.size(), 2u);
}

TEST_F(ApplicationFixture, MessageHookSeesPostedMessagesBeforeDispatch) {
  TForm form(nullptr);
  HWND window = form.Handle();
  std::vector<UINT> hooked;
  int dispatched = 0;
  form.AddWindowProcHook([&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == WM_APP + 3 || m.Msg == WM_APP + 4) ++dispatched;
    next(m);
  });
  Application().OnMessage = [&](MSG& msg) {
    if (msg.hwnd == window) hooked.push_back(msg.message);
    return msg.message == WM_APP + 4;  // swallowed
  };
  PostMessageA(window, WM_APP + 3, 0, 0);
  PostMessageA(window, WM_APP + 4, 0, 0);
  Application().ProcessMessages();
  EXPECT_NE(std::find(hooked.begin(), hooked.end(), static_cast<UINT>(WM_APP + 3)), hooked.end());
  EXPECT_NE(std::find(hooked.begin(), hooked.end(), static_cast<UINT>(WM_APP + 4)), hooked.end());
  EXPECT_EQ(dispatched, 1);
}

}  // namespace
}  // namespace plx
