#include "markup/HTMListBoxLookup.h"

#include "markup/TextSearch.h"

namespace plx {

namespace {

constexpr int kBackspace = 8;
constexpr int kEscape = 27;
constexpr int kFirstNavigationKey = 33;  // page up
constexpr int kLastNavigationKey = 40;   // arrow down

}  // namespace

int TIncrementalLookup::FindFrom(int first, int count, const TEntryText& entryText) const {
  const std::string wanted = AsciiUpperCase(text_);
  for (int i = first < 0 ? 0 : first; i < count; ++i) {
    if (StartsWithNoCase(entryText(i), wanted)) return i;
  }
  return -1;
}

int TIncrementalLookup::KeyDown(int key, bool incremental, int count, int selected, const TEntryText& entryText) {
  if (key == kEscape || (key >= kFirstNavigationKey && key <= kLastNavigationKey)) {
    text_.clear();
    return -1;
  }
  const char typed = static_cast<char>(key);
  if (key == kBackspace && !text_.empty()) {
    text_.pop_back();
  } else if (incremental && key > 31 && key <= 255) {
    text_ += typed;
  } else {
    text_.assign(1, typed);
  }
  if (selected >= 0 || incremental) {
    const int found = FindFrom(selected, count, entryText);
    if (found >= 0) return found;
  }
  const int found = FindFrom(0, count, entryText);
  if (found >= 0 || !incremental) return found;
  // Nothing starts with the whole search text: start over with this key.
  text_.assign(1, typed);
  return FindFrom(0, count, entryText);
}

}  // namespace plx
