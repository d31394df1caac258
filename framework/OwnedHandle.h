#pragma once
// One move-only owner for every kind of handle that is released by a single
// call. The traits name the handle type and how it is released:
//
//   struct Traits {
//     using Handle = ...;                  // a pointer-like handle type
//     static void Release(Handle handle);  // called only for non-null handles
//   };
//
// A handle that is only borrowed is never wrapped.

#include <utility>

namespace plx {

template <class Traits>
class TOwnedHandle {
 public:
  using Handle = typename Traits::Handle;

  TOwnedHandle() = default;
  explicit TOwnedHandle(Handle handle) : handle_(handle) {}
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;
  TOwnedHandle(TOwnedHandle&& other) noexcept : handle_(other.Release()) {}
  TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~TOwnedHandle() { Reset(); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(Handle handle = nullptr) {
    if (handle_ && handle_ != handle) Traits::Release(handle_);
    handle_ = handle;
  }
  // Hands the handle to someone else, who releases it from now on.
  Handle Release() { return std::exchange(handle_, nullptr); }
  // For out parameters: releases what is held and lends the slot.
  Handle* Put() {
    Reset();
    return &handle_;
  }

 private:
  Handle handle_ = nullptr;
};

}  // namespace plx
