// The handle owners: each gives its handle back the way its kind requires.

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "framework/GdiHandles.h"

namespace plx {
namespace {

TEST(GdiHandles, OwnedObjectsAreDeletedOnceAndMoveWithTheirOwner) {
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  {
    TOwnedPen first(pen);
    TOwnedPen second(std::move(first));
    EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): the moved-from owner must be empty
    EXPECT_EQ(second.Get(), pen);
    TOwnedPen third;
    third = std::move(second);
    EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN));
  }
  EXPECT_EQ(GetObjectType(pen), 0u);

  TOwnedBrush brush(CreateSolidBrush(0));
  HBRUSH kept = brush.Release();
  EXPECT_FALSE(brush);
  EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BRUSH));
  DeleteObject(kept);
}

TEST(GdiHandles, DCsGoBackTheirOwnWay) {
  HDC memoryDc;
  {
    TMemoryDC memory(nullptr);
    memoryDc = memory.Get();
    EXPECT_EQ(GetObjectType(memoryDc), static_cast<DWORD>(OBJ_MEMDC));
  }
  EXPECT_EQ(GetObjectType(memoryDc), 0u);

  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  {
    TWindowDC dc(window);
    EXPECT_EQ(dc.Window(), window);
    EXPECT_EQ(WindowFromDC(dc.Get()), window);
  }
  DestroyWindow(window);
}

TEST(GdiHandles, SelectionGuardPutsThePreviousObjectBack) {
  TMemoryDC dc(nullptr);
  const HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_BRUSH);
  TOwnedBrush brush(CreateSolidBrush(RGB(9, 9, 9)));
  {
    TSelectObject select(dc.Get(), brush.Get());
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
    TSavedDCState saved(dc.Get());
    SelectObject(dc.Get(), GetStockObject(BLACK_BRUSH));
  }
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), before);
}

TEST(GdiHandles, GlobalMemoryIsLockedForAScopeAndFreedUnlessHandedOn) {
  TGlobalMemory block(GMEM_MOVEABLE, 6);
  ASSERT_TRUE(block);
  EXPECT_GE(block.Size(), 6u);
  {
    TGlobalLock lock(block.Get());
    ASSERT_TRUE(lock);
    std::memcpy(lock.Data(), "clip\0x", 6);
  }
  // Unlocked again: a movable block's lock count is 0.
  EXPECT_EQ(GlobalFlags(block.Get()) & GMEM_LOCKCOUNT, 0u);
  {
    TGlobalLock lock(block.Get());
    EXPECT_EQ(std::memcmp(lock.As<char>(), "clip\0x", 6), 0);
  }
  HGLOBAL handedOn = block.Release();
  EXPECT_FALSE(block);
  TGlobalMemory receiver(handedOn);
  EXPECT_EQ(receiver.Get(), handedOn);

  TGlobalLock nothing(nullptr);
  EXPECT_FALSE(nothing);
  EXPECT_EQ(nothing.Size(), 0u);
}

}  // namespace
}  // namespace plx
