#include "skin/SkinButtonAccessible.h"

#include "framework/AcceleratorText.h"
#include "framework/Accessible.h"
#include "skin/SkinButton.h"

namespace plx {

namespace {

class TSkinButtonAccessible : public TAccessibleObject {
 public:
  using TAccessibleObject::TAccessibleObject;

 protected:
  long Role(int) override { return ROLE_SYSTEM_PUSHBUTTON; }

  std::string Name(int) override {
    TkivCustomButton* button = Find<TkivCustomButton>();
    return button != nullptr ? WithoutAcceleratorMarkers(button->Caption()) : std::string();
  }

  long State(int) override {
    long state = WindowState();
    TkivCustomButton* button = Find<TkivCustomButton>();
    if (button == nullptr) return state;
    if (button->TabStop() && IsWindowEnabled(Window()) && IsWindowVisible(Window())) state |= STATE_SYSTEM_FOCUSABLE;
    if (button->Pressed()) state |= STATE_SYSTEM_PRESSED;
    if (button->Default()) state |= STATE_SYSTEM_DEFAULT;
    return state;
  }

  std::string DefaultAction(int) override { return "Press"; }

  bool DoDefaultAction(int) override {
    if (!IsWindowEnabled(Window()) || !IsWindowVisible(Window())) return false;
    // Posted: the click's handler runs after the reader has had its answer.
    return PostMessageA(Window(), BM_CLICK, 0, 0) != FALSE;
  }
};

}  // namespace

TAccessibleObject* NewSkinButtonAccessible(HWND button) { return new TSkinButtonAccessible(button); }

}  // namespace plx
