#include "dragdrop/FileUtils.h"

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "framework/Exception.h"
#include "framework/TextConversion.h"

namespace plx {

std::string GetTempPathEx() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof path, path);
  if (length == 0 || length > MAX_PATH) return {};
  return std::string(path, length);
}

std::string GetTempFileNameEx(const std::string& prefix) {
  const std::string folder = GetTempPathEx();
  char name[MAX_PATH] = {};
  if (folder.empty() || GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, name) == 0) return {};
  return name;
}

bool ConvertUnicodeFileToAnsi(const std::string& fileName) {
  std::string bytes;
  {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EStreamError("Cannot open file \"" + fileName + "\"");
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (bytes.find('\0') == std::string::npos) return false;
  // An odd last byte is half a character: it is dropped.
  const int units = static_cast<int>(bytes.size() / 2);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  if (units > 0) std::memcpy(wide.data(), bytes.data(), static_cast<std::size_t>(units) * 2);
  const std::string text = AnsiFromWide(wide);
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) throw EStreamError("Cannot create file \"" + fileName + "\"");
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out) throw EStreamError("Cannot write file \"" + fileName + "\"");
  return true;
}

}  // namespace plx
