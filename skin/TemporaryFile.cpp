#include "skin/TemporaryFile.h"

#include <windows.h>
#include <objbase.h>

#include "framework/Exception.h"
#include "skin/SkinRecords.h"

namespace plx {

namespace {

// Names tried for one GUID before giving up: the GUID is fresh, so a taken
// name means something else is wrong.
constexpr int kNamesPerGuid = 100;

std::string TemporaryFolder() {
  char folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) throw Exception(kSkinReadFailedMessage);
  std::string path(folder, length);
  if (path.back() != '\\') path += '\\';
  return path;
}

std::string NewGuidText() {
  GUID guid{};
  if (FAILED(CoCreateGuid(&guid))) throw Exception(kSkinReadFailedMessage);
  wchar_t text[40] = {};
  const int characters = StringFromGUID2(guid, text, 40);  // includes the terminating zero
  std::string result;
  for (int i = 0; i + 1 < characters; ++i) result += static_cast<char>(text[i]);  // hex digits, braces and dashes
  return result;
}

}  // namespace

std::string NewTemporaryPath(const std::string& extension) { return TemporaryFolder() + NewGuidText() + extension; }

TTemporaryFile TTemporaryFile::CreateUnique(const std::string& extension) {
  const std::string stem = TemporaryFolder() + NewGuidText();
  for (int counter = 0; counter < kNamesPerGuid; ++counter) {
    std::string path = stem;
    if (counter > 0) path += std::to_string(counter);
    path += extension;
    // CREATE_NEW fails when the name exists: nothing of anyone else's is
    // ever opened, truncated or later deleted by us.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return TTemporaryFile(std::move(path));
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw Exception(kSkinReadFailedMessage);
}

TTemporaryFile::~TTemporaryFile() {
  if (!path_.empty()) DeleteFileA(path_.c_str());
}

}  // namespace plx
