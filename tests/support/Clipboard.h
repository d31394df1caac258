#pragma once
// Reading and emptying the system clipboard from tests.

#include <windows.h>

#include <cstring>
#include <string>

namespace plx::test {

// The clipboard's CF_TEXT up to its terminating zero, or "" when it holds
// none (or another process keeps it open).
inline std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (auto* chars = static_cast<const char*>(GlobalLock(data))) {
      text.assign(chars, strnlen(chars, GlobalSize(data)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

inline void EmptyTheClipboard() {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

}  // namespace plx::test
