#include "tests/e2e/E2eKeyboard.h"

#include <vector>

#include "tests/e2e/E2eSupport.h"

namespace plx::e2e {

namespace {
INPUT KeyEvent(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}
}  // namespace

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
  std::vector<INPUT> inputs;
  for (WORD modifier : modifiers) inputs.push_back(KeyEvent(modifier, false));
  inputs.push_back(KeyEvent(key, false));
  inputs.push_back(KeyEvent(key, true));
  for (auto it = modifiers.end(); it != modifiers.begin();) inputs.push_back(KeyEvent(*--it, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND FocusedWindowOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

bool WaitForFocus(HWND window, HWND expected) {
  return WaitUntil([&] { return FocusedWindowOf(window) == expected; });
}

}  // namespace plx::e2e
