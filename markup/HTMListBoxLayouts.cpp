#include "markup/HTMListBoxLayouts.h"

#include <algorithm>
#include <utility>

namespace plx {

std::shared_ptr<const MarkupLayout> TEntryLayoutCache::Find(const std::string& key) {
  const auto found = layouts_.find(key);
  if (found == layouts_.end()) return nullptr;
  found->second.LastUse = ++clock_;
  return found->second.Layout;
}

void TEntryLayoutCache::Store(const std::string& key, std::shared_ptr<const MarkupLayout> layout) {
  if (capacity_ == 0) return;
  if (const auto old = layouts_.find(key); old != layouts_.end()) {
    old->second = Kept{std::move(layout), ++clock_};
    return;
  }
  if (layouts_.size() >= capacity_) {
    // A scan over a few hundred entries, only when a new layout is made:
    // far less than the layout itself costs.
    const auto oldest = std::min_element(layouts_.begin(), layouts_.end(), [](const auto& a, const auto& b) {
      return a.second.LastUse < b.second.LastUse;
    });
    layouts_.erase(oldest);
  }
  layouts_.emplace(key, Kept{std::move(layout), ++clock_});
}

void TEntryLayoutCache::Clear() { decltype(layouts_)().swap(layouts_); }

}  // namespace plx
