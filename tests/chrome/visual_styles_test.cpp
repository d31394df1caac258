// Visual-style access: the version flags, binding at first use, and the
// neutral answers when there is no theme data.
#include <gtest/gtest.h>

#include "chrome/VisualStyles.h"
#include "tests/chrome/ChromeTestSupport.h"

namespace plx {
namespace {

TEST(VisualStylesTest, VersionFlagsMatchTheSystem) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_TRUE(GetVersionExA(&version));
  const bool xp = version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                  (version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1));
  EXPECT_EQ(IsXPOrLater(), xp);
  EXPECT_EQ(ComCtl6(), GetComCtlVersion() >= 0x60000);
  EXPECT_GE(GetComCtlVersion(), 0x50000u) << "the common controls are always there";
}

TEST(VisualStylesTest, LibraryIsBoundAtFirstUseAndAnswersConsistently) {
  const bool active = VisualStyles::IsThemeActive();
  EXPECT_EQ(VisualStyles::Bound(), IsXPOrLater());
  EXPECT_EQ(VisualStyles::IsThemeEnabled(), ComCtl6() && active && VisualStyles::IsAppThemed());
}

TEST(VisualStylesTest, UnknownThemeClassDrawsNothingAndAnswersZero) {
  test::TMessageRecorder recorder;
  test::TRecordingForm form(recorder);
  HDC dc = GetDC(form.Handle());
  RECT r{0, 0, 10, 10};
  const COLORREF before = GetPixel(dc, 5, 5);
  EXPECT_EQ(VisualStyles::OpenThemeData(form.Handle(), L"NoSuchThemeClass"), nullptr);
  EXPECT_EQ(VisualStyles::DrawThemedControl(form.Handle(), dc, L"NoSuchThemeClass", 1, 1, r), 0);
  EXPECT_EQ(VisualStyles::DrawThemedControlWithText(form.Handle(), dc, L"NoSuchThemeClass", 1, 1, r, L"x", r, 0, 0,
                                                    true),
            0);
  EXPECT_EQ(GetPixel(dc, 5, 5), before);
  ReleaseDC(form.Handle(), dc);
}

}  // namespace
}  // namespace plx
