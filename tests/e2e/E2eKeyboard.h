#pragma once
// Real keyboard input for the program under test, and where its keyboard
// focus is, read from another process.
#include <windows.h>

#include <initializer_list>

namespace plx::e2e {

// Presses and releases a key, with the given modifier keys (VK_SHIFT,
// VK_CONTROL, VK_MENU) held around it. Not waited for: the caller waits for
// what the key changes.
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});

// The window that has the keyboard focus in the thread that owns window;
// nullptr while that thread has none (its window is not active).
HWND FocusedWindowOf(HWND window);

// Waits until the focus of window's thread is on expected.
bool WaitForFocus(HWND window, HWND expected);

}  // namespace plx::e2e
