#include "tests/e2e/E2eDrop.h"

#include "framework/Com.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/support/DropWhenAnswered.h"
#include "tests/support/TextBlockSource.h"

namespace plx::e2e {
TDragResult DragOnto(HWND target, UINT format, const std::string& data, bool control, bool shift, DWORD allowed) {
  RECT client{};
  GetClientRect(target, &client);
  POINT centre{client.right / 2, client.bottom / 2};
  ClientToScreen(target, &centre);
  // The first target OLE enters must be the target window.
  if (!MoveCursorTo(centre.x, centre.y) || WindowFromPoint(centre) != target) return {E_FAIL, DROPEFFECT_NONE};
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = control ? 0x80 : 0;
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  keys[VK_LBUTTON] = 0x80;
  SetKeyboardState(keys);
  TComPtr<test::TTextBlockSource> source(new test::TTextBlockSource(data, format));
  TComPtr<test::TDropWhenAnswered> dropper(new test::TDropWhenAnswered(centre));
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT result = DoDragDrop(source.Get(), dropper.Get(), allowed, &effect);
  keys[VK_CONTROL] = keys[VK_SHIFT] = keys[VK_LBUTTON] = 0;
  SetKeyboardState(keys);
  return {result, effect};
}

}  // namespace plx::e2e
