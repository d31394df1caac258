#include "markup/HTMListBoxLayouts.h"

#include <utility>

namespace plx {

std::shared_ptr<const MarkupLayout> TEntryLayoutCache::Find(const std::string& key) {
  const auto found = layouts_.find(key);
  if (found == layouts_.end()) return nullptr;
  order_.splice(order_.begin(), order_, found->second);
  return found->second->Layout;
}

void TEntryLayoutCache::Store(const std::string& key, std::shared_ptr<const MarkupLayout> layout) {
  if (capacity_ == 0) return;
  if (const auto old = layouts_.find(key); old != layouts_.end()) {
    old->second->Layout = std::move(layout);
    order_.splice(order_.begin(), order_, old->second);
    return;
  }
  if (layouts_.size() >= capacity_) {
    layouts_.erase(order_.back().Key);
    order_.pop_back();
  }
  order_.push_front(Kept{key, std::move(layout)});
  layouts_.emplace(order_.front().Key, order_.begin());
}

void TEntryLayoutCache::Clear() {
  decltype(layouts_)().swap(layouts_);
  order_.clear();
}

}  // namespace plx
