#pragma once
// Raising EOSError for a system call that just failed. The code must be read
// straight after the call: any later system call may overwrite it.

#include <windows.h>

#include <string>

#include "framework/Exception.h"

namespace plx {

// The system's own text for an error code, without its closing full stop and
// line break; empty when the system has none.
std::string SystemErrorText(DWORD code);

// Raises EOSError for `call` with GetLastError's code. `context` says what
// the program was doing ("Cannot create a utility window"); the message
// reads "<context>: <call> failed with system error <code>: <text>".
[[noreturn]] void RaiseLastOSError(const char* call, const std::string& context = {});
// The same with a code already read.
[[noreturn]] void RaiseOSError(const char* call, DWORD code, const std::string& context = {});

}  // namespace plx
