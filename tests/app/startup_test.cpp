#include "app/Startup.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace plx
