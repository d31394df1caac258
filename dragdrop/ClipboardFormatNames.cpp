#include "dragdrop/ClipboardFormatNames.h"

#include <iterator>

namespace plx {

namespace {

constexpr const char* kStandardNames[] = {
    "CF_TEXT",        "CF_BITMAP", "CF_METAFILEPICT", "CF_SYLK",        "CF_DIF",
    "CF_TIFF",        "CF_OEMTEXT", "CF_DIB",         "CF_PALETTE",     "CF_PENDATA",
    "CF_RIFF",        "CF_WAVE",   "CF_UNICODETEXT",  "CF_ENHMETAFILE", "CF_HDROP",
    "CF_LOCALE",
};
constexpr int kStandardCount = static_cast<int>(std::size(kStandardNames));

constexpr const char* kMediumNames[] = {
    "TYMED_HGLOBAL", "TYMED_FILE", "TYMED_ISTREAM", "TYMED_ISTORAGE",
    "TYMED_GDI",     "TYMED_MFPICT", "TYMED_ENHMF",
};

}  // namespace

std::string StandardClipboardFormatName(int format) {
  if (format < 1 || format > kStandardCount) return {};
  return kStandardNames[format - 1];
}

int StandardClipboardFormatFromName(std::string_view name) {
  // Only the plain spellings "1" to "16" are numbers; "01" or "0016" are names.
  if (name.empty() || name.size() > 2) return 0;
  int value = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return (value >= 1 && value <= kStandardCount && name[0] != '0') ? value : 0;
}

std::string StorageMediumDisplayName(std::uint32_t medium) {
  if (medium == 0) return "TYMED_NULL";
  std::string text;
  for (std::size_t bit = 0; bit < std::size(kMediumNames); ++bit) {
    if (!(medium & (1u << bit))) continue;
    if (!text.empty()) text += '+';
    text += kMediumNames[bit];
  }
  return text.empty() ? std::to_string(medium) : text;
}

}  // namespace plx
