#pragma once
// Functions of system libraries the program needs only now and then (the
// shell's file icons and launcher, OLE's picture loader), looked up when
// first called instead of imported. An import would load the library, and
// every library it needs in turn, into each start of the program, where it
// costs start-up time and working set although most runs never call it.
// Functions an older system may lack are looked up the same way, so that the
// program still starts there.

#include <windows.h>

namespace plx {

// The address of a function exported by a library of the system folder
// (never one found beside the program or in the current folder), or nullptr
// when the library or the function is missing. The library is loaded on the
// first call and stays loaded for the rest of the process.
FARPROC SystemLibraryProcedure(const char* library, const char* procedure);

// The same, typed as the function it is:
//   static const auto shell_execute =
//       SystemLibraryFunction<decltype(&::ShellExecuteA)>("shell32.dll", "ShellExecuteA");
template <typename Function>
Function SystemLibraryFunction(const char* library, const char* procedure) {
  // Through the generic function pointer type, the cast compilers accept
  // between unrelated function types.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SystemLibraryProcedure(library, procedure)));
}

}  // namespace plx
