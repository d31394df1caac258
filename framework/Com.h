#pragma once
// COM plumbing written once: an interlocked reference-counted base that
// answers QueryInterface for the interfaces it lists, and a small owning
// smart pointer for interface references.

#include <windows.h>
#include <ole2.h>

#include <new>
#include <utility>

namespace plx {

// Derive as `class TFoo : public TInterfacedObject<IDropTarget> {...}`.
// QueryInterface answers IUnknown and each listed interface; the object
// deletes itself when its count returns to zero. Objects start with a
// count of 0: the creator takes the first reference (TComPtr::Adopt does
// not, TComPtr(ptr) does), as OLE's own conventions expect.
template <class... Interfaces>
class TInterfacedObject : public Interfaces... {
 public:
  TInterfacedObject() = default;
  TInterfacedObject(const TInterfacedObject&) = delete;
  TInterfacedObject& operator=(const TInterfacedObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) {
      // The first listed interface stands for the object's identity.
      *object = static_cast<IUnknown*>(static_cast<FirstInterface*>(this));
    } else {
      (FindInterface<Interfaces>(iid, object) || ...);
    }
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&ref_count_));
  }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG count = InterlockedDecrement(&ref_count_);
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
  }

  LONG RefCount() const { return ref_count_; }

 protected:
  virtual ~TInterfacedObject() = default;

 private:
  template <class First, class...>
  struct FirstOf {
    using Type = First;
  };
  using FirstInterface = typename FirstOf<Interfaces...>::Type;

  template <class Interface>
  bool FindInterface(REFIID iid, void** object) {
    if (!IsEqualIID(iid, __uuidof(Interface))) return false;
    *object = static_cast<Interface*>(this);
    return true;
  }

  volatile LONG ref_count_ = 0;
};

// Holds one reference to an interface and releases it when it goes.
template <class Interface>
class TComPtr {
 public:
  TComPtr() = default;
  // Takes a new reference of its own on pointer.
  explicit TComPtr(Interface* pointer) : pointer_(pointer) {
    if (pointer_) pointer_->AddRef();
  }
  TComPtr(const TComPtr& other) : TComPtr(other.pointer_) {}
  TComPtr(TComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  // NOLINTNEXTLINE(bugprone-unhandled-self-assignment): copy-and-swap takes the extra reference first, so self-assignment is safe
  TComPtr& operator=(const TComPtr& other) {
    TComPtr copy(other);
    Swap(copy);
    return *this;
  }
  TComPtr& operator=(TComPtr&& other) noexcept {
    TComPtr moved(std::move(other));
    Swap(moved);
    return *this;
  }
  ~TComPtr() { Reset(); }

  // Takes over a reference somebody already counted for us (an out
  // parameter of a COM call, a freshly created object's first reference).
  static TComPtr Adopt(Interface* pointer) {
    TComPtr result;
    result.pointer_ = pointer;
    return result;
  }

  Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  void Reset() {
    if (Interface* old = std::exchange(pointer_, nullptr)) old->Release();
  }
  // Hands our reference to the caller.
  Interface* Detach() { return std::exchange(pointer_, nullptr); }
  // For out parameters: releases what we hold, then lets the callee fill us.
  Interface** Put() {
    Reset();
    return &pointer_;
  }
  void Swap(TComPtr& other) noexcept { std::swap(pointer_, other.pointer_); }

  // Asks the object for another of its interfaces; empty when it has none.
  template <class Other>
  TComPtr<Other> As() const {
    TComPtr<Other> result;
    if (pointer_) pointer_->QueryInterface(__uuidof(Other), reinterpret_cast<void**>(result.Put()));
    return result;
  }

 private:
  Interface* pointer_ = nullptr;
};

// Every COM method body runs inside this: an exception must not cross the
// interface boundary, so it becomes an HRESULT.
template <class Body>
HRESULT ComGuard(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace plx
