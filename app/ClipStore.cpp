#include "app/ClipStore.h"

#include "framework/Exception.h"

namespace plx {

const TClipItem& TClipStore::Item(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)];
}

void TClipStore::Append(std::int32_t position, std::string text) {
  items_.push_back(TClipItem{position, std::move(text)});
}

void TClipStore::Remove(int index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
}

void TClipStore::Clear() {
  // Gives the memory back, not only the items: a clip may have been huge.
  std::vector<TClipItem>().swap(items_);
}

void TClipStore::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError("Clip index out of range (" + std::to_string(index) + ")");
}

}  // namespace plx
