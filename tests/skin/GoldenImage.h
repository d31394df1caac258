#pragma once
// Golden images of the skin tests, kept in tests/skin/golden.

#include "tests/support/GoldenImage.h"

namespace plx::test {

inline ::testing::AssertionResult MatchesGolden(TBitmap& picture, const std::string& name) {
  return MatchesGoldenIn(picture, "skin", name);
}

}  // namespace plx::test
