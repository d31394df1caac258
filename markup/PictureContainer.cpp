#include "markup/PictureContainer.h"

#include <algorithm>

#include "markup/TextSearch.h"

namespace plx {

TPictureItem::TPictureItem() : picture_(std::make_unique<THTMLPicture>()) {}

void TPictureItem::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TPictureItem*>(&source);
  if (!other) return TPersistent::Assign(source);
  if (other == this) return;
  name_ = other->name_;
  tag_ = other->tag_;
  picture_->Assign(*other->picture_);
}

TPictureItem& TPictureCollection::Add() { return Insert(Count()); }

TPictureItem& TPictureCollection::Insert(int index) {
  index = std::clamp(index, 0, Count());
  const auto at = items_.insert(items_.begin() + index, std::make_unique<TPictureItem>());
  return **at;
}

TPictureItem* TPictureCollection::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<std::size_t>(index)].get();
}

void TPictureCollection::Delete(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

bool TPictureCollection::Animate() {
  bool changed = false;
  for (const auto& item : items_) changed = item->Picture().Step() || changed;
  return changed;
}

THTMLPicture* TPictureContainer::FindPicture(std::string_view name) {
  const std::string wanted = AsciiUpperCase(name);
  for (int i = 0; i < items_.Count(); ++i) {
    TPictureItem* item = items_.Items(i);
    if (AsciiUpperCase(item->Name()) == wanted) return &item->Picture();
  }
  return nullptr;
}

}  // namespace plx
