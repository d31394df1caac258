#include "tests/support/TempFolder.h"

#include <windows.h>

namespace plx::test {

namespace {

void ListFolder(const std::string& root, const std::string& relative, std::set<std::string>& entries) {
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((root + relative + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = relative + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      entries.insert(path + "\\");
      ListFolder(root, path + "\\", entries);
    } else {
      entries.insert(path);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

std::string TempFolder() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof path, path);
  return std::string(path, length <= MAX_PATH ? length : 0);
}

std::set<std::string> TempFolderEntries() {
  std::set<std::string> entries;
  const std::string root = TempFolder();
  if (!root.empty()) ListFolder(root, "", entries);
  return entries;
}

std::set<std::string> NewEntries(const std::set<std::string>& before, const std::set<std::string>& now) {
  std::set<std::string> added;
  for (const std::string& entry : now)
    if (!before.count(entry)) added.insert(entry);
  return added;
}

}  // namespace plx::test
