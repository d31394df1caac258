// Drop-effect conversions and the rules that choose the reported effect.
#include <gtest/gtest.h>

#include "dragdrop/DropEffects.h"

namespace plx {
namespace {

TEST(DropEffectConversions, SetFromDropEffectIgnoresBitsBeyondLink) {
  struct Case {
    TDropEffectValue value;
    const char* expected;
  } cases[] = {
      {0, "[deNone]"},
      {1, "[deCopy]"},
      {3, "[deCopy,deMove]"},
      {7, "[deCopy,deMove,deLink]"},
      {8, "[]"},
      {0x80000002u, "[deMove]"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(stringFromDropEffects(setFromDropEffect(c.value)), c.expected) << "value " << c.value;
  }
}

TEST(DropEffectConversions, EnumAndSetToValue) {
  EXPECT_EQ(dropEffectFromEnum(deNone), 0u);
  EXPECT_EQ(dropEffectFromEnum(deCopy), 1u);
  EXPECT_EQ(dropEffectFromEnum(deMove), 2u);
  EXPECT_EQ(dropEffectFromEnum(deLink), 4u);
  EXPECT_EQ(dropEffectFromEnum(deScroll), 8u);
  EXPECT_EQ(dropEffectFromSet({deNone, deMove, deScroll}), 10u);
  EXPECT_EQ(dropEffectFromSet({}), 0u);
}

TEST(DropEffectConversions, SingleMemberAndEnumFromValue) {
  EXPECT_EQ(singleEffectFromSet({}), deNone);
  EXPECT_EQ(singleEffectFromSet({deLink, deMove}), deMove);
  struct Case {
    TDropEffectValue value;
    TDropEffect expected;
  } cases[] = {{0, deNone}, {1, deCopy}, {3, deMove}, {7, deLink}, {5, deLink}, {8, deCopy}, {0x80000000u, deCopy}};
  for (const Case& c : cases) {
    EXPECT_EQ(EnumFromDropEffect(c.value), c.expected) << "value " << c.value;
  }
}

TEST(DropEffectRules, ModifierKeysToWantedEffect) {
  EXPECT_EQ(OleStdGetDropEffect(0), kDropEffectNone);
  EXPECT_EQ(OleStdGetDropEffect(kKeyShift), kDropEffectMove);
  EXPECT_EQ(OleStdGetDropEffect(kKeyControl), kDropEffectCopy);
  EXPECT_EQ(OleStdGetDropEffect(kKeyControl | kKeyShift | 1 /* left button */), kDropEffectLink);
}

// Keys x allowed effects, for the text target (link possible) and the picture
// target (never link).
TEST(DropEffectRules, QueryTable) {
  constexpr std::uint32_t none = 0, ctrl = kKeyControl, shift = kKeyShift, both = kKeyControl | kKeyShift;
  struct Case {
    std::uint32_t keys;
    TDropEffectValue allowed;
    TDropEffectValue text;
    TDropEffectValue picture;
  } cases[] = {
      {none, 7, 2, 2}, {none, 3, 2, 2}, {none, 1, 1, 1}, {none, 5, 1, 1}, {none, 4, 4, 0}, {none, 0, 0, 0},
      {ctrl, 7, 1, 1}, {ctrl, 2, 0, 0}, {shift, 3, 2, 2}, {shift, 1, 0, 0},
      {both, 7, 4, 0}, {both, 3, 0, 0}, {both, 4, 4, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QueryDropEffect(true, c.keys, c.allowed), c.text) << "keys " << c.keys << " allowed " << c.allowed;
    EXPECT_EQ(QueryDropEffect(true, c.keys, c.allowed, false), c.picture)
        << "picture, keys " << c.keys << " allowed " << c.allowed;
    EXPECT_EQ(QueryDropEffect(false, c.keys, c.allowed), 0u) << "not acceptable, keys " << c.keys;
  }
}

TEST(DropEffectRules, ReportingAppliesOverridesAndOfferedEffects) {
  TOverrideDropEffect moveAsCopy = kIdentityDropEffects;
  moveAsCopy[static_cast<int>(deMove)] = deCopy;
  struct Case {
    const char* name;
    TDropEffectValue proposed;
    TOverrideDropEffect overrides;
    TDropEffects offered;
    TDropEffect expected;
  } cases[] = {
      {"identity move", 2, kIdentityDropEffects, {deCopy, deMove}, deMove},
      {"move reported as copy", 2, moveAsCopy, {deCopy, deMove}, deCopy},
      {"copy not offered", 2, moveAsCopy, {deMove}, deNone},
      {"refused stays none", 0, kIdentityDropEffects, {deCopy}, deNone},
      {"lowest member of a set", 6, kIdentityDropEffects, {deMove, deLink}, deMove},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReportedDropEffect(c.proposed, c.overrides, c.offered), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace plx
