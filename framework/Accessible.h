#pragma once
// The accessibility interface that screen readers ask a window for
// (IAccessible, through WM_GETOBJECT), written once. A control derives what
// it is: its role, the name a person reads, its state, its default action,
// where it is, and the items it holds as numbered children (1 .. count;
// 0 is the control itself).
//
// The object outlives any guarantee about the control: a reader in another
// process may keep it after the window is gone. It therefore holds only the
// window's handle and finds the control again on every call; once the window
// is gone every call fails with CO_E_OBJNOTCONNECTED.
//
// oleacc, which turns the object into the answer of WM_GETOBJECT and makes
// the platform's default objects, is looked up on the first question: the
// program does not import it, so a start without a reader never loads it.

#include <windows.h>

#include <oleacc.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Controls.h"

namespace plx {

// The interface's id, spelt out: the id an import library carries for it may
// be wrong.
inline constexpr GUID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

class TAccessibleObject : public IAccessible {
 public:
  explicit TAccessibleObject(HWND window) : window_(window) {}
  TAccessibleObject(const TAccessibleObject&) = delete;
  TAccessibleObject& operator=(const TAccessibleObject&) = delete;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IDispatch: readers call the interface's methods directly.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
  // IAccessible
  STDMETHODIMP get_accParent(IDispatch** parent) override;
  STDMETHODIMP get_accChildCount(long* count) override;
  STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override;
  STDMETHODIMP get_accName(VARIANT child, BSTR* name) override;
  STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override;
  STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override;
  STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override;
  STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override;
  STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override;
  STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
  STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
  STDMETHODIMP get_accFocus(VARIANT* child) override;
  STDMETHODIMP get_accSelection(VARIANT* children) override;
  STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override;
  STDMETHODIMP accSelect(long flags, VARIANT child) override;
  STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
  STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override;
  STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override;
  STDMETHODIMP accDoDefaultAction(VARIANT child) override;
  STDMETHODIMP put_accName(VARIANT, BSTR) override;
  STDMETHODIMP put_accValue(VARIANT child, BSTR value) override;

 protected:
  virtual ~TAccessibleObject() = default;

  HWND Window() const { return window_; }
  // The framework's object of the window, of the class asked for, or nullptr.
  template <class Control>
  Control* Find() const {
    return dynamic_cast<Control*>(TWinControl::FromHandle(window_));
  }

  // What the derived control answers; child is 0 (itself) .. ChildCount().
  // Each is called only while the window exists.
  virtual int ChildCount() { return 0; }
  virtual long Role(int child) = 0;
  virtual std::string Name(int child) = 0;
  virtual long State(int child) = 0;
  // The child's value (an edit control's text); false: it has none.
  virtual bool Value(int, std::string&) { return false; }
  // A reader sets the value; false: it cannot be set.
  virtual bool SetValue(int, const std::string&) { return false; }
  // Empty: there is none.
  virtual std::string DefaultAction(int) { return {}; }
  // Answers whether the action was taken. It must not wait for anything the
  // user does (a menu, a message box): the reader waits for the answer.
  virtual bool DoDefaultAction(int) { return false; }
  // The child's place in screen coordinates; the whole window for 0.
  virtual bool Location(int child, RECT& screen);
  virtual bool Select(int, long) { return false; }
  // The child with the keyboard focus, 0 for the control itself, -1 none.
  virtual int FocusedChild();
  virtual std::vector<int> SelectedChildren() { return {}; }
  // The child at a screen point inside the window (0 when no item is there).
  virtual int ChildAt(POINT) { return 0; }

  // The state bits every window has: unavailable, invisible, focused.
  long WindowState() const;

 private:
  // Checks the window and the child id, then runs body with the child.
  HRESULT WithChild(const VARIANT& child, const std::function<HRESULT(int)>& body);

  HWND window_;  // borrowed: it may be gone by the time a reader asks
  volatile LONG ref_count_ = 0;
};

// The answer to WM_GETOBJECT for the window's client object: made is called
// to make the object (its first reference is the caller's). Answers false
// for other objects, which the default handling answers.
bool AnswerAccessibleClient(TMessage& message, HWND window, const std::function<TAccessibleObject*()>& made);

// Tells readers that something of the window's client object changed (the
// platform's WinEvents: focus, selection, name, state); child 0 is the
// control itself.
void NotifyAccessible(DWORD event, HWND window, LONG child = CHILDID_SELF);

}  // namespace plx
