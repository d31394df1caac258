#include "framework/EditAccessible.h"

#include <string>
#include <utility>

#include "framework/Accessible.h"

namespace plx {

namespace {

class TEditAccessible : public TAccessibleObject {
 public:
  using TAccessibleObject::TAccessibleObject;

 protected:
  long Role(int) override { return ROLE_SYSTEM_TEXT; }

  // An edit control is named by the label beside it; the memo has none.
  std::string Name(int) override { return {}; }

  long State(int) override {
    long state = WindowState();
    const LONG_PTR style = GetWindowLongPtrA(Window(), GWL_STYLE);
    if (IsWindowEnabled(Window()) && IsWindowVisible(Window())) state |= STATE_SYSTEM_FOCUSABLE;
    if (style & ES_READONLY) state |= STATE_SYSTEM_READONLY;
    if (style & ES_PASSWORD) state |= STATE_SYSTEM_PROTECTED;
    return state;
  }

  bool Value(int, std::string& value) override {
    // A password is not read out.
    if (GetWindowLongPtrA(Window(), GWL_STYLE) & ES_PASSWORD) return false;
    const LRESULT length = SendMessageA(Window(), WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const LRESULT copied =
        SendMessageA(Window(), WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    value = std::move(text);
    return true;
  }

  bool SetValue(int, const std::string& value) override {
    if (!IsWindowEnabled(Window()) || (GetWindowLongPtrA(Window(), GWL_STYLE) & ES_READONLY)) return false;
    return SendMessageA(Window(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str())) != FALSE;
  }
};

bool PlatformSeesAnEdit(HWND window) {
  char real[64] = {};
  RealGetWindowClassA(window, real, sizeof real);
  return lstrcmpiA(real, "Edit") == 0;
}

}  // namespace

bool AnswerEditClient(TMessage& message, HWND edit) {
  if (PlatformSeesAnEdit(edit)) return false;
  return AnswerAccessibleClient(message, edit, [edit] { return new TEditAccessible(edit); });
}

void NotifyEditValueChanged(HWND edit) {
  if (edit != nullptr && !PlatformSeesAnEdit(edit)) NotifyAccessible(EVENT_OBJECT_VALUECHANGE, edit);
}

}  // namespace plx
