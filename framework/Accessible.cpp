#include "framework/Accessible.h"

#include "framework/Com.h"
#include "framework/MessageDecoders.h"
#include "framework/SystemLibrary.h"
#include "framework/TextConversion.h"

namespace plx {

namespace {

// BSTRs come from oleaut32, looked up like oleacc: neither is imported.
HRESULT MakeBstr(const std::string& text, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  static const auto allocate =
      SystemLibraryFunction<BSTR(WINAPI*)(const OLECHAR*, UINT)>("oleaut32.dll", "SysAllocStringLen");
  if (allocate == nullptr) return E_FAIL;
  const std::wstring wide = WideFromAnsi(text);
  *out = allocate(wide.data(), static_cast<UINT>(wide.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetLong(VARIANT* out, long value) {
  out->vt = VT_I4;
  out->lVal = value;
}

}  // namespace

// ------------------------------------------------------------- IUnknown

STDMETHODIMP TAccessibleObject::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kIidAccessible))
    *object = static_cast<IAccessible*>(this);
  if (*object == nullptr) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) TAccessibleObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&ref_count_)); }

STDMETHODIMP_(ULONG) TAccessibleObject::Release() {
  const LONG count = InterlockedDecrement(&ref_count_);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

// ------------------------------------------------------------- IDispatch

STDMETHODIMP TAccessibleObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}
STDMETHODIMP TAccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP TAccessibleObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
STDMETHODIMP TAccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

// ------------------------------------------------------------- IAccessible

HRESULT TAccessibleObject::WithChild(const VARIANT& child, const std::function<HRESULT(int)>& body) {
  return ComGuard([&]() -> HRESULT {
    if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > ChildCount()) return E_INVALIDARG;
    return body(static_cast<int>(child.lVal));
  });
}

STDMETHODIMP TAccessibleObject::get_accParent(IDispatch** parent) {
  return ComGuard([&]() -> HRESULT {
    if (parent == nullptr) return E_POINTER;
    *parent = nullptr;
    if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
    // The platform's object for the window itself (frame and client).
    static const auto standard = SystemLibraryFunction<decltype(&::CreateStdAccessibleObject)>(
        "oleacc.dll", "CreateStdAccessibleObject");
    if (standard == nullptr) return S_FALSE;
    return standard(window_, OBJID_WINDOW, IID_IDispatch, reinterpret_cast<void**>(parent));
  });
}

STDMETHODIMP TAccessibleObject::get_accChildCount(long* count) {
  return ComGuard([&]() -> HRESULT {
    if (count == nullptr) return E_POINTER;
    if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
    *count = ChildCount();
    return S_OK;
  });
}

STDMETHODIMP TAccessibleObject::get_accChild(VARIANT child, IDispatch** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  // The items are simple elements: the reader asks this object about them.
  return WithChild(child, [](int) { return S_FALSE; });
}

STDMETHODIMP TAccessibleObject::get_accName(VARIANT child, BSTR* name) {
  if (name == nullptr) return E_POINTER;
  *name = nullptr;
  return WithChild(child, [&](int id) { return MakeBstr(Name(id), name); });
}

STDMETHODIMP TAccessibleObject::get_accValue(VARIANT child, BSTR* value) {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  return WithChild(child, [&](int id) {
    std::string text;
    return Value(id, text) ? MakeBstr(text, value) : DISP_E_MEMBERNOTFOUND;
  });
}

STDMETHODIMP TAccessibleObject::get_accDescription(VARIANT child, BSTR* description) {
  if (description == nullptr) return E_POINTER;
  *description = nullptr;
  return WithChild(child, [](int) { return S_FALSE; });
}

STDMETHODIMP TAccessibleObject::get_accRole(VARIANT child, VARIANT* role) {
  if (role == nullptr) return E_POINTER;
  role->vt = VT_EMPTY;
  return WithChild(child, [&](int id) {
    SetLong(role, Role(id));
    return S_OK;
  });
}

STDMETHODIMP TAccessibleObject::get_accState(VARIANT child, VARIANT* state) {
  if (state == nullptr) return E_POINTER;
  state->vt = VT_EMPTY;
  return WithChild(child, [&](int id) {
    SetLong(state, State(id));
    return S_OK;
  });
}

STDMETHODIMP TAccessibleObject::get_accHelp(VARIANT child, BSTR* help) {
  if (help == nullptr) return E_POINTER;
  *help = nullptr;
  return WithChild(child, [](int) { return S_FALSE; });
}

STDMETHODIMP TAccessibleObject::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
  if (file == nullptr || topic == nullptr) return E_POINTER;
  *file = nullptr;
  *topic = 0;
  return WithChild(child, [](int) { return S_FALSE; });
}

STDMETHODIMP TAccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  if (shortcut == nullptr) return E_POINTER;
  *shortcut = nullptr;
  return WithChild(child, [](int) { return S_FALSE; });
}

STDMETHODIMP TAccessibleObject::get_accFocus(VARIANT* child) {
  return ComGuard([&]() -> HRESULT {
    if (child == nullptr) return E_POINTER;
    child->vt = VT_EMPTY;
    if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
    const int focused = FocusedChild();
    if (focused < 0) return S_FALSE;
    SetLong(child, focused);
    return S_OK;
  });
}

STDMETHODIMP TAccessibleObject::get_accSelection(VARIANT* children) {
  return ComGuard([&]() -> HRESULT {
    if (children == nullptr) return E_POINTER;
    children->vt = VT_EMPTY;
    if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
    const std::vector<int> selected = SelectedChildren();
    if (selected.empty()) return S_FALSE;
    // One selected item is answered as its id; the lists here select one.
    SetLong(children, selected.front());
    return S_OK;
  });
}

STDMETHODIMP TAccessibleObject::get_accDefaultAction(VARIANT child, BSTR* action) {
  if (action == nullptr) return E_POINTER;
  *action = nullptr;
  return WithChild(child, [&](int id) {
    const std::string text = DefaultAction(id);
    return text.empty() ? DISP_E_MEMBERNOTFOUND : MakeBstr(text, action);
  });
}

STDMETHODIMP TAccessibleObject::accSelect(long flags, VARIANT child) {
  return WithChild(child, [&](int id) { return Select(id, flags) ? S_OK : DISP_E_MEMBERNOTFOUND; });
}

STDMETHODIMP TAccessibleObject::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
  if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
  *left = *top = *width = *height = 0;
  return WithChild(child, [&](int id) {
    RECT r{};
    if (!Location(id, r)) return S_FALSE;
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  });
}

STDMETHODIMP TAccessibleObject::accNavigate(long direction, VARIANT start, VARIANT* end) {
  if (end == nullptr) return E_POINTER;
  end->vt = VT_EMPTY;
  return WithChild(start, [&](int id) -> HRESULT {
    const int count = ChildCount();
    int to = -1;
    switch (direction) {
      case NAVDIR_FIRSTCHILD: to = id == 0 && count > 0 ? 1 : -1; break;
      case NAVDIR_LASTCHILD: to = id == 0 && count > 0 ? count : -1; break;
      case NAVDIR_NEXT:
      case NAVDIR_DOWN: to = id > 0 && id < count ? id + 1 : -1; break;
      case NAVDIR_PREVIOUS:
      case NAVDIR_UP: to = id > 1 ? id - 1 : -1; break;
      default: return E_INVALIDARG;
    }
    if (to < 0) return S_FALSE;
    SetLong(end, to);
    return S_OK;
  });
}

STDMETHODIMP TAccessibleObject::accHitTest(long x, long y, VARIANT* child) {
  return ComGuard([&]() -> HRESULT {
    if (child == nullptr) return E_POINTER;
    child->vt = VT_EMPTY;
    if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
    RECT r{};
    GetWindowRect(window_, &r);
    const POINT point{x, y};
    if (!PtInRect(&r, point)) return S_FALSE;
    SetLong(child, ChildAt(point));
    return S_OK;
  });
}

STDMETHODIMP TAccessibleObject::accDoDefaultAction(VARIANT child) {
  return WithChild(child, [&](int id) { return DoDefaultAction(id) ? S_OK : DISP_E_MEMBERNOTFOUND; });
}

STDMETHODIMP TAccessibleObject::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }
STDMETHODIMP TAccessibleObject::put_accValue(VARIANT child, BSTR value) {
  return WithChild(child, [&](int id) {
    // Read up to the first zero: the count before a BSTR is oleaut32's, which
    // is not imported; a null BSTR is the empty string.
    std::wstring_view wide;
    if (value != nullptr) wide = std::wstring_view(value, wcslen(value));
    return SetValue(id, AnsiFromWide(wide)) ? S_OK : DISP_E_MEMBERNOTFOUND;
  });
}

// ------------------------------------------------------------- defaults

bool TAccessibleObject::Location(int, RECT& screen) { return GetWindowRect(window_, &screen) != FALSE; }

int TAccessibleObject::FocusedChild() { return GetFocus() == window_ ? 0 : -1; }

long TAccessibleObject::WindowState() const {
  long state = 0;
  if (!IsWindowEnabled(window_)) state |= STATE_SYSTEM_UNAVAILABLE;
  if (!IsWindowVisible(window_)) state |= STATE_SYSTEM_INVISIBLE;
  if (GetFocus() == window_) state |= STATE_SYSTEM_FOCUSED;
  return state;
}

// ------------------------------------------------------------- helpers

bool AnswerAccessibleClient(TMessage& message, HWND window, const std::function<TAccessibleObject*()>& made) {
  const msg::TGetObject request = msg::ObjectRequest(message);
  if (request.ObjectId != OBJID_CLIENT) return false;
  static const auto answer =
      SystemLibraryFunction<decltype(&::LresultFromObject)>("oleacc.dll", "LresultFromObject");
  if (answer == nullptr || !IsWindow(window)) return false;
  TAccessibleObject* object = made();
  if (object == nullptr) return false;
  object->AddRef();
  // The answer holds its own reference to the object until the reader has
  // taken it; ours goes here.
  message.Result = answer(kIidAccessible, request.Flags, static_cast<IAccessible*>(object));
  object->Release();
  return true;
}

void NotifyAccessible(DWORD event, HWND window, LONG child) {
  if (window != nullptr) NotifyWinEvent(event, window, OBJID_CLIENT, child);
}

}  // namespace plx
