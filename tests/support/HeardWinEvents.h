#pragma once
// What a screen reader in this process hears: the platform's WinEvents from
// this process's windows, in a range of events. Out-of-context events reach
// the hook through the thread's queue some time after they were raised;
// Settle() raises a marker event of its own and pumps until the marker has
// come round, so every event raised before it has been heard.

#include <windows.h>

#include <chrono>
#include <vector>

namespace plx::test {

class THeardWinEvents {
 public:
  struct TEvent {
    DWORD event;
    HWND window;
    LONG object;
    LONG child;
  };

  THeardWinEvents(DWORD first, DWORD last) : first_(first) {
    current_ = this;
    hook_ = SetWinEventHook(first, last, nullptr, Hear, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  }
  ~THeardWinEvents() {
    if (hook_) UnhookWinEvent(hook_);
    current_ = nullptr;
  }
  THeardWinEvents(const THeardWinEvents&) = delete;
  THeardWinEvents& operator=(const THeardWinEvents&) = delete;

  explicit operator bool() const { return hook_ != nullptr; }

  // Pumps until the marker raised on window has been heard; false on timeout.
  bool Settle(HWND window) {
    marker_heard_ = false;
    NotifyWinEvent(first_, window, OBJID_CLIENT, kMarkerChild);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!marker_heard_ && std::chrono::steady_clock::now() < deadline) {
      MSG msg{};
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      if (!marker_heard_) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return marker_heard_;
  }
  void Clear() { heard_.clear(); }
  // How often the event was heard for the window's client object and child.
  int Count(DWORD event, HWND window, LONG child = CHILDID_SELF) const {
    int times = 0;
    for (const TEvent& e : heard_)
      if (e.event == event && e.window == window && e.object == OBJID_CLIENT && e.child == child) ++times;
    return times;
  }
  // Everything heard but the markers.
  const std::vector<TEvent>& Heard() const { return heard_; }

 private:
  static constexpr LONG kMarkerChild = 0x7E57;

  static void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (current_ == nullptr) return;
    if (child == kMarkerChild) {
      current_->marker_heard_ = true;
      return;
    }
    current_->heard_.push_back({event, window, object, child});
  }

  static inline THeardWinEvents* current_ = nullptr;
  DWORD first_;
  HWINEVENTHOOK hook_ = nullptr;
  bool marker_heard_ = false;
  std::vector<TEvent> heard_;
};

}  // namespace plx::test
