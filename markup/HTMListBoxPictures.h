#pragma once
// Pictures of drawn list entries, kept so that painting an entry again
// copies its pixels instead of laying its markup out once more. A picture is
// found by a key that holds everything its drawing depends on (the markup,
// the entry's size and state, the colours and the font), so a stored picture
// is exactly what drawing would give. The pixels kept are bounded: when a
// new picture would pass the budget, the older ones are let go.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace plx {

struct TEntryPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // top row first, 0x00RRGGBB
};

class TEntryPictureCache {
 public:
  explicit TEntryPictureCache(std::size_t pixelBudget) : budget_(pixelBudget) {}

  // The picture stored under key, or nullptr.
  const TEntryPicture* Find(const std::string& key) const;
  // Stores a picture; one larger than a quarter of the budget is not kept.
  void Store(const std::string& key, TEntryPicture picture);
  // Notes that an entry was drawn under key without a picture being kept;
  // answers whether that had been noted before since the last Clear. Most
  // entries are drawn once only (a list filled or scrolled through): their
  // pictures are kept only when they are drawn again.
  bool NoteDrawn(const std::string& key);
  void Clear();

  std::size_t Pixels() const { return pixels_; }
  std::size_t Count() const { return pictures_.size(); }

 private:
  std::size_t budget_;
  std::size_t pixels_ = 0;
  std::unordered_map<std::string, TEntryPicture> pictures_;
  // Hashes of the keys noted as drawn; a collision only keeps a picture
  // sooner. Bounded: the notes start afresh when full.
  static constexpr std::size_t kMaxNoted = 4096;
  std::unordered_set<std::size_t> drawn_;
};

// Whether an entry's drawing depends only on its markup and the list's
// settings: pictures (which animate, load and react to the mouse) are not.
bool EntryPictureMayBeKept(const std::string& markup);

}  // namespace plx
