#include "markup/HTMListBoxPictures.h"

#include <functional>

#include "markup/TextSearch.h"

namespace plx {

const TEntryPicture* TEntryPictureCache::Find(const std::string& key) const {
  const auto found = pictures_.find(key);
  return found == pictures_.end() ? nullptr : &found->second;
}

void TEntryPictureCache::Store(const std::string& key, TEntryPicture picture) {
  const std::size_t size = picture.pixels.size();
  if (size > budget_ / 4) return;
  if (const auto old = pictures_.find(key); old != pictures_.end()) {
    pixels_ -= old->second.pixels.size();
    pictures_.erase(old);
  }
  if (pixels_ + size > budget_) Clear();
  pictures_.emplace(key, std::move(picture));
  pixels_ += size;
}

bool TEntryPictureCache::NoteDrawn(const std::string& key) {
  const std::size_t hash = std::hash<std::string>{}(key);
  if (drawn_.count(hash) != 0) return true;
  if (drawn_.size() >= kMaxNoted) decltype(drawn_)().swap(drawn_);
  drawn_.insert(hash);
  return false;
}

void TEntryPictureCache::Clear() {
  decltype(pictures_)().swap(pictures_);
  pixels_ = 0;
  decltype(drawn_)().swap(drawn_);
}

bool EntryPictureMayBeKept(const std::string& markup) {
  // One pass without a copy: every list entry is asked on each paint. The
  // names are matched where they start, in any case.
  const std::string_view text = markup;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = AsciiUpper(text[i]);
    if (c != '<' && c != 'B') continue;
    const std::string_view rest = text.substr(i);
    if (c == '<' ? StartsWithNoCase(rest, "<IMG")
                 : StartsWithNoCase(rest, "BACKGROUND") || StartsWithNoCase(rest, "BGTOPLEFT") ||
                       StartsWithNoCase(rest, "BGTOPRIGHT")) {
      return false;
    }
  }
  return true;
}

}  // namespace plx
