#include "framework/TextConversion.h"

#include <windows.h>

#include <climits>

#include "framework/Exception.h"

namespace plx {

std::wstring WideFromAnsi(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > INT_MAX) throw EOutOfResources("Text too long to convert");
  const int count = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), count, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), count, wide.data(), length);
  return wide;
}

std::string AnsiFromWide(std::wstring_view text) {
  if (text.empty()) return {};
  if (text.size() > INT_MAX) throw EOutOfResources("Text too long to convert");
  const int count = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), count, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), count, result.data(), size, nullptr, nullptr);
  return result;
}

}  // namespace plx
