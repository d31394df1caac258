#pragma once
// Layouts of the list's entries, kept so that painting, blinking, hit
// testing and hints read an entry's layout instead of laying its markup out
// again. A layout is found by a key that holds everything it depends on (the
// markup, the room it was laid out in, the font and the settings that change
// layout or colours), so a changed entry or setting simply misses and lays
// out afresh. Only as many layouts are kept as a few screens of entries
// need: the one used longest ago goes first.

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "markup/MarkupLayout.h"

namespace plx {

class TEntryLayoutCache {
 public:
  explicit TEntryLayoutCache(std::size_t capacity) : capacity_(capacity) {}

  // The layout kept under key, or nullptr; a found layout counts as used.
  std::shared_ptr<const MarkupLayout> Find(const std::string& key);
  // Keeps a layout under key, letting the least recently used go when full.
  void Store(const std::string& key, std::shared_ptr<const MarkupLayout> layout);
  void Clear();

  std::size_t Count() const { return layouts_.size(); }
  std::size_t Capacity() const { return capacity_; }

 private:
  struct Kept {
    std::string Key;
    std::shared_ptr<const MarkupLayout> Layout;
  };
  using Order = std::list<Kept>;
  std::size_t capacity_;
  // Most recently used first. A new layout is stored on every first paint
  // of an entry: finding the one to let go must not cost a scan of them all.
  Order order_;
  // Keys viewed in their list nodes, which never move.
  std::unordered_map<std::string_view, Order::iterator> layouts_;
};

}  // namespace plx
