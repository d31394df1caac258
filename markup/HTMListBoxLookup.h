#pragma once
// Typing in the markup list selects the first entry whose plain text starts
// with what was typed: one character at a time, or, with incremental lookup,
// the characters typed so far.

#include <functional>
#include <string>
#include <string_view>

namespace plx {

class TIncrementalLookup {
 public:
  // Plain text of entry i, 0 <= i < count.
  using TEntryText = std::function<std::string(int index)>;

  // Takes a key press (virtual key code) into the search text and answers
  // the entry to select, or -1. Navigation keys and Escape clear the search
  // text and select nothing.
  int KeyDown(int key, bool incremental, int count, int selected, const TEntryText& entryText);

  void Clear() { text_.clear(); }
  const std::string& Text() const { return text_; }

 private:
  int FindFrom(int first, int count, const TEntryText& entryText) const;

  std::string text_;
};

}  // namespace plx
