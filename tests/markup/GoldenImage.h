#pragma once
// Golden images of the markup tests, kept in tests/markup/golden.

#include "tests/support/GoldenImage.h"

namespace plx::test {

inline std::string EnvironmentFolder(const char* variable) { return EnvironmentPath(variable, "."); }

inline ::testing::AssertionResult MatchesGoldenImage(TBitmap& drawn, const std::string& name) {
  return MatchesGoldenIn(drawn, "markup", name);
}

}  // namespace plx::test
