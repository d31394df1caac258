#pragma once
// One small owner per kind of GDI and global-memory handle. Each releases its
// handle the way that handle kind must be released, cannot be copied, and can
// be moved. A handle that is only borrowed is never wrapped by these owners.

#include <windows.h>
#include <objbase.h>

#include <utility>

#include "framework/OwnedHandle.h"

namespace plx {

// A pen, brush, font, bitmap or region created by this process
// (CreatePen, CreateFontIndirect, CreateDIBSection, CreateRectRgn...).
// It must not be selected into any DC when the owner lets it go.
template <class H>
struct TGdiObjectTraits {
  using Handle = H;
  static void Release(H handle) { DeleteObject(handle); }
};
template <class H>
using TGdiObject = TOwnedHandle<TGdiObjectTraits<H>>;

using TOwnedFont = TGdiObject<HFONT>;
using TOwnedPen = TGdiObject<HPEN>;
using TOwnedBrush = TGdiObject<HBRUSH>;
using TOwnedBitmap = TGdiObject<HBITMAP>;
using TOwnedRegion = TGdiObject<HRGN>;

// Metafiles are not GDI objects: each kind goes with its own delete function.
struct TEnhMetaFileTraits {
  using Handle = HENHMETAFILE;
  static void Release(HENHMETAFILE handle) { DeleteEnhMetaFile(handle); }
};
struct TMetaFileTraits {
  using Handle = HMETAFILE;
  static void Release(HMETAFILE handle) { DeleteMetaFile(handle); }
};
using TOwnedEnhMetaFile = TOwnedHandle<TEnhMetaFileTraits>;
using TOwnedMetaFile = TOwnedHandle<TMetaFileTraits>;

// An icon or cursor made by this process (CreateIconIndirect, CopyIcon,
// ExtractIcon, LoadImage without LR_SHARED); shared icons are never owned.
struct TIconTraits {
  using Handle = HICON;
  static void Release(HICON handle) { DestroyIcon(handle); }
};
using TOwnedIcon = TOwnedHandle<TIconTraits>;

// A menu that no window owns (CreatePopupMenu): a window destroys its own.
struct TMenuTraits {
  using Handle = HMENU;
  static void Release(HMENU handle) { DestroyMenu(handle); }
};
using TOwnedMenu = TOwnedHandle<TMenuTraits>;

// Memory handed out by the COM task allocator (CoTaskMemAlloc, shell item
// lists, names from IStorage and IMoniker).
template <class T>
struct TTaskMemoryTraits {
  using Handle = T*;
  static void Release(T* handle) { CoTaskMemFree(handle); }
};
template <class T>
using TTaskMemory = TOwnedHandle<TTaskMemoryTraits<T>>;

// A window's DC from GetDC; it goes back with ReleaseDC to the same window.
class TWindowDC {
 public:
  TWindowDC() = default;
  explicit TWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  // The DC of the whole window, non-client area included (GetWindowDC).
  static TWindowDC WholeWindow(HWND window) { return TWindowDC(window, GetWindowDC(window)); }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  TWindowDC(TWindowDC&& other) noexcept
      : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}
  TWindowDC& operator=(TWindowDC&& other) noexcept {
    if (this != &other) {
      Reset();
      window_ = std::exchange(other.window_, nullptr);
      dc_ = std::exchange(other.dc_, nullptr);
    }
    return *this;
  }
  ~TWindowDC() { Reset(); }

  HDC Get() const { return dc_; }
  HWND Window() const { return window_; }
  explicit operator bool() const { return dc_ != nullptr; }
  void Reset() {
    if (dc_) ReleaseDC(window_, dc_);
    dc_ = nullptr;
    window_ = nullptr;
  }

 private:
  TWindowDC(HWND window, HDC dc) : window_(window), dc_(dc) {}

  HWND window_ = nullptr;  // borrowed
  HDC dc_ = nullptr;
};

// A memory DC from CreateCompatibleDC; it goes with DeleteDC. Whatever was
// selected into it must have been selected out by then.
class TMemoryDC {
 public:
  TMemoryDC() = default;
  // reference: a DC the memory DC is made compatible with (nullptr: the screen).
  explicit TMemoryDC(HDC reference) : dc_(CreateCompatibleDC(reference)) {}
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  TMemoryDC(TMemoryDC&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
  TMemoryDC& operator=(TMemoryDC&& other) noexcept {
    if (this != &other) {
      Reset();
      dc_ = std::exchange(other.dc_, nullptr);
    }
    return *this;
  }
  ~TMemoryDC() { Reset(); }

  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }
  void Reset() {
    if (dc_) DeleteDC(dc_);
    dc_ = nullptr;
  }

 private:
  HDC dc_ = nullptr;
};

// BeginPaint/EndPaint for one WM_PAINT; EndPaint runs on every path.
class TPaintDC {
 public:
  explicit TPaintDC(HWND window) : window_(window) { dc_ = BeginPaint(window_, &paint_); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  ~TPaintDC() { EndPaint(window_, &paint_); }

  HDC Get() const { return dc_; }
  const PAINTSTRUCT& Paint() const { return paint_; }

 private:
  HWND window_;  // borrowed
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

// Selects an object into a DC and selects the previous one back when it goes
// out of scope, so the object can be deleted afterwards.
class TSelectObject {
 public:
  TSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;
  ~TSelectObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;             // borrowed
  HGDIOBJ previous_;  // borrowed: it belongs to whoever selected it before
};

// SaveDC/RestoreDC: modes, colours, clip region and selections set in the
// guard's scope are undone when it ends.
class TSavedDCState {
 public:
  explicit TSavedDCState(HDC dc) : dc_(dc), level_(SaveDC(dc)) {}
  TSavedDCState(const TSavedDCState&) = delete;
  TSavedDCState& operator=(const TSavedDCState&) = delete;
  ~TSavedDCState() {
    if (level_ > 0) RestoreDC(dc_, level_);
  }

 private:
  HDC dc_;  // borrowed
  int level_;
};

// A movable global memory block (GlobalAlloc). Release() hands the block to
// someone else, e.g. the clipboard or an OLE STGMEDIUM whose receiver frees it.
struct TGlobalMemoryTraits {
  using Handle = HGLOBAL;
  static void Release(HGLOBAL handle) { GlobalFree(handle); }
};

class TGlobalMemory : public TOwnedHandle<TGlobalMemoryTraits> {
 public:
  TGlobalMemory() = default;
  TGlobalMemory(UINT flags, SIZE_T size) : TOwnedHandle(GlobalAlloc(flags, size)) {}
  // Takes ownership of an existing block.
  explicit TGlobalMemory(HGLOBAL block) : TOwnedHandle(block) {}
  SIZE_T Size() const { return Get() ? GlobalSize(Get()) : 0; }
};

// GlobalLock/GlobalUnlock over a block that somebody else owns (the lock does
// not keep the block alive). Data() is nullptr when the lock failed.
class TGlobalLock {
 public:
  explicit TGlobalLock(HGLOBAL block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;
  ~TGlobalLock() {
    if (data_) GlobalUnlock(block_);
  }

  void* Data() const { return data_; }
  template <class T>
  T* As() const { return static_cast<T*>(data_); }
  SIZE_T Size() const { return data_ ? GlobalSize(block_) : 0; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  HGLOBAL block_;  // borrowed
  void* data_;
};

}  // namespace plx
