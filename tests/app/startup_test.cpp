#include "app/Startup.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/WindowPlacement.h"
#include "framework/Exception.h"

namespace plx {
namespace {

TEST(Startup, FailureWhileCreatingTheWindowShowsOneMessageAndAnswersZero) {
  std::vector<std::pair<std::string, std::string>> shown;
  Application().OnShowMessage = [&](const std::string& text, const std::string& caption) {
    shown.emplace_back(text, caption);
  };
  const int code = RunApplication("Plexoria", [] { throw Exception("Cannot create the main window"); });
  Application().OnShowMessage = nullptr;
  EXPECT_EQ(code, 0);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].first, "Cannot create the main window.");
  EXPECT_EQ(shown[0].second, "Plexoria");
}

// Whatever start-up throws is shown once, framework exception or not, and
// the process still answers 0; the silent exception shows nothing.
TEST(Startup, AnyFailureDuringStartUpIsShownOnce) {
  struct Case {
    const char* name;
    std::function<void()> create;
    std::vector<std::string> shown;
  } cases[] = {
      {"standard exception", [] { throw std::runtime_error("Cannot reach the desktop"); },
       {"Cannot reach the desktop."}},
      {"out of memory", [] { throw std::bad_alloc(); }, {"Out of memory."}},
      {"not an exception object", [] { throw 42; }, {""}},
      {"silent exception", [] { throw EAbort("unseen"); }, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> shown;
    Application().OnShowMessage = [&](const std::string& text, const std::string& caption) {
      shown.push_back(text);
      EXPECT_EQ(caption, "Plexoria") << c.name;
    };
    const int code = RunApplication("Plexoria", c.create);
    Application().OnShowMessage = nullptr;
    EXPECT_EQ(code, 0) << c.name;
    EXPECT_EQ(shown, c.shown) << c.name;
  }
}

// The process is told not to show the system's boxes for missing media
// before anything (the theme's file lookup) can touch a drive.
TEST(Startup, SystemErrorBoxesAreOffBeforeTheWindowIsMade) {
  const UINT before = SetErrorMode(0);
  UINT during = 0;
  RunApplication("Plexoria", [&] {
    during = SetErrorMode(0);
    SetErrorMode(during);
    throw EAbort("stop here");
  });
  const UINT after = SetErrorMode(before);
  const UINT wanted = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
  EXPECT_EQ(during & wanted, wanted);
  EXPECT_EQ(after & wanted, wanted);
}

// A 251 x 551 window designed at (731, 341): kept there wherever it fits,
// moved just enough onto a work area that is too small there, its left and
// top edges first when the work area is smaller than the window itself.
TEST(Startup, WindowMovesOnlyAsFarAsItsWorkAreaNeeds) {
  const RECT designed{731, 341, 731 + 251, 341 + 551};
  struct Case {
    const char* name;
    RECT workArea;
    POINT expected;
  } cases[] = {
      {"1280 x 1024", {0, 0, 1280, 1024}, {731, 341}},
      {"1280 x 1024 less a task bar", {0, 0, 1280, 994}, {731, 341}},
      {"exactly fits", {731, 341, 982, 892}, {731, 341}},
      {"800 x 600", {0, 0, 800, 600}, {549, 49}},
      {"1024 x 768 less a task bar", {0, 0, 1024, 738}, {731, 187}},
      {"task bar on the left", {60, 0, 960, 700}, {709, 149}},
      {"offset monitor to the right", {1280, 0, 2560, 1024}, {1280, 341}},
      {"monitor left of the primary", {-1280, 0, 0, 1024}, {-251, 341}},
      {"monitor above the primary", {0, -1024, 1280, 0}, {731, -551}},
      {"negative origin, fits", {-1920, -200, 1920, 1080}, {731, 341}},
      {"smaller than the window", {100, 50, 300, 450}, {100, 50}},
  };
  for (const Case& c : cases) {
    const POINT place = FitIntoWorkArea(designed, c.workArea);
    EXPECT_EQ(place.x, c.expected.x) << c.name;
    EXPECT_EQ(place.y, c.expected.y) << c.name;
  }
}

}  // namespace
}  // namespace plx
