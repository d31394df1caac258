#include "dragdrop/ClipboardFormats.h"

namespace plx {

UINT ClipboardFormatFromString(const std::string& name) {
  if (name.empty()) return 0;
  if (const int standard = StandardClipboardFormatFromName(name)) return static_cast<UINT>(standard);
  // A name holding a zero character would be cut by the system: it cannot
  // name the format the caller means.
  if (name.find('\0') != std::string::npos) return 0;
  return RegisterClipboardFormatA(name.c_str());
}

std::string ClipboardFormatDisplayName(int format) {
  if (format <= 0) return {};
  if (format <= 16) return StandardClipboardFormatName(format);
  char buffer[256];
  const int length = GetClipboardFormatNameA(static_cast<UINT>(format), buffer, sizeof buffer);
  return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace plx
