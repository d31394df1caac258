#include "app/ClipEntry.h"

namespace plx {
namespace {
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) < 33; }
}  // namespace

std::string ClipPreview(const std::string& text) {
  const std::size_t length = text.size() < kPreviewLength ? text.size() : kPreviewLength;
  std::size_t first = 0;
  std::size_t last = length;
  while (first < last && IsTrimmed(text[first])) ++first;
  while (last > first && IsTrimmed(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::string ClipColorTag(const std::function<int()>& nextRandom) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string tag = "FF";
  for (int i = 0; i < 4; ++i) {
    // The generator's high bits: its low bits repeat with a short period.
    const int value = nextRandom() & 0x7FFF;
    tag += kDigits[(value * 16) / 32768];
  }
  return "#" + tag;
}

std::string ClipEntryString(const std::string& colorTag, const std::string& preview) {
  return "<BODY bgcolor=\"" + colorTag + "\">" + preview + "...";
}

}  // namespace plx
