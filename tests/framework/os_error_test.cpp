// Failed system calls are raised as EOSError naming the call, with the code
// the system gave and its text.
#include "framework/OSError.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/Forms.h"

namespace plx {
namespace {

TEST(OSError, NamesTheCallAndCarriesTheSystemsCodeAndText) {
  struct Case {
    DWORD code;
    const char* call;
    const char* context;
    const char* messageStart;
  } cases[] = {
      {ERROR_FILE_NOT_FOUND, "CreateFileA", "", "CreateFileA failed with system error 2: "},
      {ERROR_ACCESS_DENIED, "SetWindowPos", "Cannot move the window",
       "Cannot move the window: SetWindowPos failed with system error 5: "},
      {0, "CreateFontIndirectA", "", "CreateFontIndirectA failed without a system error code"},
  };
  for (const Case& c : cases) {
    SetLastError(c.code);
    try {
      RaiseLastOSError(c.call, c.context);
      ADD_FAILURE() << c.call << ": nothing raised";
    } catch (const EOSError& error) {
      EXPECT_EQ(error.Call(), c.call);
      EXPECT_EQ(error.ErrorCode(), c.code);
      EXPECT_EQ(error.Message().rfind(c.messageStart, 0), 0u) << error.Message();
      const std::string text = SystemErrorText(c.code);
      if (c.code != 0) {
        EXPECT_FALSE(text.empty()) << c.code;
        EXPECT_EQ(error.Message(), c.messageStart + text);
        EXPECT_NE(text.back(), '.') << "the display adds the full stop";
      }
    }
  }
}

// A control whose system class does not exist: the framework's failure says
// which call failed and why.
TEST(OSError, AControlOfAMissingSystemClassRaisesTheLookupsError) {
  struct TMissingClassControl : TWinControl {
    using TWinControl::TWinControl;
    void CreateParams(TCreateParams& params) override {
      TWinControl::CreateParams(params);
      params.ClassName = "PlexoriaMissingSuperclass";
      params.NativeClass = "NoSuchSystemClass";
    }
  };
  TForm form(nullptr);
  auto* control = new TMissingClassControl(&form);
  control->SetParent(&form);
  try {
    control->HandleNeeded();
    ADD_FAILURE() << "the window was made";
  } catch (const EOSError& error) {
    EXPECT_EQ(error.Call(), "GetClassInfoExA");
    EXPECT_EQ(error.ErrorCode(), static_cast<unsigned long>(ERROR_CLASS_DOES_NOT_EXIST));
    EXPECT_NE(error.Message().find("NoSuchSystemClass"), std::string::npos) << error.Message();
  }
}

}  // namespace
}  // namespace plx
