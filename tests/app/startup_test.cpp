#include "app/Startup.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace plx
