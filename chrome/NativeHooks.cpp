#include "chrome/NativeHooks.h"

#include <algorithm>
#include <array>
#include <memory>

#include "framework/Application.h"
#include "framework/OSError.h"

namespace plx {
namespace {

std::vector<const TNativeHook*>& LiveHooks() {
  static std::vector<const TNativeHook*> hooks;
  return hooks;
}

// What one group's entry point knows about one window.
struct TSubclassRecord {
  HWND window;
  TNativeHookGroup group;
  WNDPROC base;       // the window's procedure before the entry point
  bool unicode;       // how the slot was read and written
  std::vector<TNativeHook*> chain;  // innermost first; borrowed
};

std::vector<std::unique_ptr<TSubclassRecord>>& Records() {
  static std::vector<std::unique_ptr<TSubclassRecord>> records;
  return records;
}

TSubclassRecord* FindRecord(HWND window, TNativeHookGroup group) {
  for (auto& record : Records())
    if (record->window == window && record->group == group) return record.get();
  return nullptr;
}

void ForgetRecord(HWND window, TNativeHookGroup group) {
  auto& records = Records();
  records.erase(std::remove_if(records.begin(), records.end(),
                               [&](const auto& r) { return r->window == window && r->group == group; }),
                records.end());
}

// The hooks of one message, copied when it arrives: the live chain may
// change while the message travels (a hook added or destroyed by a handler).
class TChainSnapshot {
 public:
  explicit TChainSnapshot(const std::vector<TNativeHook*>& chain) : size_(chain.size()) {
    if (size_ <= inline_.size()) {
      std::copy(chain.begin(), chain.end(), inline_.begin());
      data_ = inline_.data();
    } else {
      heap_ = chain;
      data_ = heap_.data();
    }
  }
  std::size_t Size() const { return size_; }
  TNativeHook* At(std::size_t index) const { return data_[index]; }

 private:
  std::array<TNativeHook*, 8> inline_{};
  std::vector<TNativeHook*> heap_;
  TNativeHook** data_ = nullptr;
  std::size_t size_;
};

// Runs hook `index` of the snapshot and, through its next, the ones inside it.
class TChainCall {
 public:
  TChainCall(HWND window, bool unicode, WNDPROC base, const TChainSnapshot& hooks)
      : window_(window), unicode_(unicode), base_(base), hooks_(hooks) {}

  void Run(std::size_t count, TMessage& message) const {
    // count hooks remain, the outermost of them at count - 1.
    while (count > 0 && !TNativeHook::Alive(hooks_.At(count - 1))) --count;
    if (count == 0) {
      message.Result = CallWindowProcFor(unicode_, base_, window_, message.Msg, message.WParam, message.LParam);
      return;
    }
    TNext next(*this, count - 1);
    try {
      hooks_.At(count - 1)->HookMessage(window_, message, next);
    } catch (...) {
      // Hooks report their own failures; nothing may cross the system's dispatch.
      Application().HandleMessageException(window_, message.Msg, nullptr);
    }
  }

 private:
  class TNext final : public TNativeHookNext {
   public:
    TNext(const TChainCall& call, std::size_t count) : call_(call), count_(count) {}
    void operator()(TMessage& message) const override { call_.Run(count_, message); }

   private:
    const TChainCall& call_;
    std::size_t count_;
  };

  HWND window_;
  bool unicode_;
  WNDPROC base_;
  const TChainSnapshot& hooks_;
};

LRESULT Dispatch(HWND window, TNativeHookGroup group, WNDPROC self, UINT msg, WPARAM wparam, LPARAM lparam) {
  const TSubclassRecord* record = FindRecord(window, group);
  if (!record)  // cannot happen while the slot holds us; answer as a plain window would
    return IsWindowUnicode(window) ? DefWindowProcW(window, msg, wparam, lparam)
                                   : DefWindowProcA(window, msg, wparam, lparam);
  const WNDPROC base = record->base;
  const bool unicode = record->unicode;
  const TChainSnapshot hooks(record->chain);
  TMessage message{msg, wparam, lparam, 0};
  TChainCall(window, unicode, base, hooks).Run(hooks.Size(), message);

  if (msg == WM_NCDESTROY) {
    // The window is gone: a record kept now could match a new window that
    // reuses the handle.
    ForgetRecord(window, group);
  } else if (hooks.Size() == 0) {
    // A pass-through left under a foreign subclass: once that subclass has
    // given the slot back to us, the window can have its base procedure again.
    if (reinterpret_cast<WNDPROC>(GetWindowLongFor(window, GWLP_WNDPROC)) == self) {
      // Refused, we simply stay the pass-through we already are.
      if (const TSubclassRecord* still = FindRecord(window, group); still && still->chain.empty())
        if (TrySetWindowLongFor(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base))) ForgetRecord(window, group);
    }
  }
  return message.Result;
}

template <int Group>
LRESULT CALLBACK EntryPoint(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  return Dispatch(window, static_cast<TNativeHookGroup>(Group), EntryPoint<Group>, msg, wparam, lparam);
}

WNDPROC EntryPointOf(TNativeHookGroup group) {
  return group == TNativeHookGroup::FormHooks ? EntryPoint<0> : EntryPoint<1>;
}

}  // namespace

TNativeHook::TNativeHook() { LiveHooks().push_back(this); }

TNativeHook::~TNativeHook() {
  auto& hooks = LiveHooks();
  hooks.erase(std::remove(hooks.begin(), hooks.end(), this), hooks.end());
}

bool TNativeHook::Alive(const TNativeHook* hook) {
  const auto& hooks = LiveHooks();
  return std::find(hooks.begin(), hooks.end(), hook) != hooks.end();
}

void SetNativeHookChain(HWND window, TNativeHookGroup group, const std::vector<TNativeHook*>& chain) {
  TSubclassRecord* record = FindRecord(window, group);
  const WNDPROC entry = EntryPointOf(group);
  if (chain.empty()) {
    if (!record) return;
    record->chain.clear();
    const bool weAreOutermost = IsWindow(window) &&
                                reinterpret_cast<WNDPROC>(GetWindowLongFor(window, GWLP_WNDPROC)) == entry;
    if (!IsWindow(window) ||
        (weAreOutermost && TrySetWindowLongFor(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record->base)))) {
      ForgetRecord(window, group);
    }
    // Otherwise a foreign subclass sits on top and calls us: writing the base
    // procedure back would cut it out, so we stay as a pass-through.
    return;
  }
  if (!record) {
    if (!IsWindow(window)) return;
    auto fresh = std::make_unique<TSubclassRecord>();
    fresh->window = window;
    fresh->group = group;
    fresh->unicode = IsWindowUnicode(window) != FALSE;
    fresh->base = reinterpret_cast<WNDPROC>(GetWindowLongFor(window, GWLP_WNDPROC));
    // Recorded only once the window really calls us: a refusal raises and
    // leaves no record that would claim hooks the window never runs.
    SetWindowLongFor(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry));
    record = fresh.get();
    Records().push_back(std::move(fresh));
  }
  record->chain = chain;
}

WNDPROC NativeBaseProcedure(HWND window, TNativeHookGroup group) {
  if (const TSubclassRecord* record = FindRecord(window, group)) return record->base;
  return reinterpret_cast<WNDPROC>(GetWindowLongFor(window, GWLP_WNDPROC));
}

bool NativeHooksInstalled(HWND window, TNativeHookGroup group) { return FindRecord(window, group) != nullptr; }

LONG_PTR GetWindowLongFor(HWND window, int index) {
  return IsWindowUnicode(window) ? GetWindowLongPtrW(window, index) : GetWindowLongPtrA(window, index);
}

bool TrySetWindowLongFor(HWND window, int index, LONG_PTR value, LONG_PTR* previous) {
  // 0 is also a legitimate previous value: only the error code, cleared
  // before the call, tells a refusal apart.
  SetLastError(0);
  const LONG_PTR old = IsWindowUnicode(window) ? SetWindowLongPtrW(window, index, value)
                                               : SetWindowLongPtrA(window, index, value);
  if (previous) *previous = old;
  return old != 0 || GetLastError() == 0;
}

LONG_PTR SetWindowLongFor(HWND window, int index, LONG_PTR value) {
  LONG_PTR previous = 0;
  if (!TrySetWindowLongFor(window, index, value, &previous))
    RaiseLastOSError("SetWindowLongPtr", "Cannot change a window's data");
  return previous;
}

LRESULT CallWindowProcFor(bool unicode, WNDPROC procedure, HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  return unicode ? CallWindowProcW(procedure, window, msg, wparam, lparam)
                 : CallWindowProcA(procedure, window, msg, wparam, lparam);
}

}  // namespace plx
