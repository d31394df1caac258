#include "framework/SystemLibrary.h"

namespace plx {

FARPROC SystemLibraryProcedure(const char* library, const char* procedure) {
  // A module loaded here is never freed: the functions looked up in it are
  // kept by their callers for the life of the process.
  HMODULE module = LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module ? GetProcAddress(module, procedure) : nullptr;
}

}  // namespace plx
