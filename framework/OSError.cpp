#include "framework/OSError.h"

namespace plx {

std::string SystemErrorText(DWORD code) {
  char* buffer = nullptr;  // LocalAlloc'ed by FormatMessage; freed with LocalFree below
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  std::string text = length && buffer ? std::string(buffer, length) : std::string();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
    text.pop_back();
  return text;
}

void RaiseOSError(const char* call, DWORD code, const std::string& context) {
  std::string message = context.empty() ? std::string() : context + ": ";
  message += call;
  if (code == 0) {
    // Some calls fail without saying why.
    message += " failed without a system error code";
  } else {
    message += " failed with system error " + std::to_string(code);
    const std::string text = SystemErrorText(code);
    if (!text.empty()) message += ": " + text;
  }
  throw EOSError(message, call, code);
}

void RaiseLastOSError(const char* call, const std::string& context) {
  const DWORD code = GetLastError();
  RaiseOSError(call, code, context);
}

}  // namespace plx
