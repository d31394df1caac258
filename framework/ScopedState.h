#pragma once
// State set for the length of a call is put back by a scope object on every
// path, exceptions included, instead of by hand in a catch block that only
// restores and rethrows.
//
//   TAutoReset busy(busy_, true);       // busy_ is true until the scope ends
//   TScopeExit restore([&] { ... });     // runs once when the scope ends
//   TUpdateLock lock(list);              // BeginUpdate now, EndUpdate at the end

#include <exception>
#include <utility>

namespace plx {

// Sets a variable for the scope and puts its previous value back when the
// scope ends. The variable must outlive the scope.
template <class T>
class TAutoReset {
 public:
  TAutoReset(T& variable, T value) : variable_(variable), previous_(std::move(variable)) {
    variable_ = std::move(value);
  }
  TAutoReset(const TAutoReset&) = delete;
  TAutoReset& operator=(const TAutoReset&) = delete;
  ~TAutoReset() { variable_ = std::move(previous_); }

 private:
  T& variable_;
  T previous_;
};

// Runs an action once when the scope ends, unless dismissed. The action must
// not throw: it runs during unwinding too.
template <class Action>
class TScopeExit {
 public:
  explicit TScopeExit(Action action) : action_(std::move(action)) {}
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;
  ~TScopeExit() {
    if (armed_) action_();
  }
  // For a step that only has to be undone when what follows fails.
  void Dismiss() { armed_ = false; }

 private:
  Action action_;
  bool armed_ = true;
};

// Holds an update batch open on anything with BeginUpdate/EndUpdate (string
// lists, the markup list box) for the scope: the batch ends, and its one
// refresh happens, on every path. A refresh that fails on the normal path
// reports its error; while another error is already unwinding, that first
// error is the one the caller sees.
template <class Updatable>
class TUpdateLock {
 public:
  explicit TUpdateLock(Updatable& target)
      : target_(target), exceptions_at_start_(std::uncaught_exceptions()) {
    target_.BeginUpdate();
  }
  TUpdateLock(const TUpdateLock&) = delete;
  TUpdateLock& operator=(const TUpdateLock&) = delete;
  ~TUpdateLock() noexcept(false) {
    if (std::uncaught_exceptions() == exceptions_at_start_) {
      target_.EndUpdate();
      return;
    }
    try {
      target_.EndUpdate();
    } catch (...) {  // NOLINT(bugprone-empty-catch): the unwinding error wins
    }
  }

 private:
  Updatable& target_;
  int exceptions_at_start_;
};

}  // namespace plx
