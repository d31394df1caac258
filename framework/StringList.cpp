#include "framework/StringList.h"

#include <algorithm>
#include <cctype>

#include "framework/Exception.h"

namespace plx {

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string& TStringList::Strings(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)].text;
}

void TStringList::SetStrings(int index, std::string value) {
  CheckIndex(index);
  items_[static_cast<std::size_t>(index)].text = std::move(value);
  Changed();
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)].object;
}

void TStringList::SetObjects(int index, TObject* object) {
  CheckIndex(index);
  items_[static_cast<std::size_t>(index)].object = object;
  Changed();
}

int TStringList::AddObject(std::string value, TObject* object) {
  int index = Count();
  if (sorted_) {
    auto at = std::upper_bound(items_.begin(), items_.end(), value, [this](const std::string& v, const Item& item) {
      return CompareStrings(v, item.text) < 0;
    });
    index = static_cast<int>(at - items_.begin());
  }
  items_.insert(items_.begin() + index, Item{std::move(value), object});
  Changed();
  return index;
}

void TStringList::InsertObject(int index, std::string value, TObject* object) {
  if (sorted_) throw EListError("Operation not allowed on sorted list");
  if (index < 0 || index > Count())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  items_.insert(items_.begin() + index, Item{std::move(value), object});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[static_cast<std::size_t>(index1)], items_[static_cast<std::size_t>(index2)]);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int x = static_cast<unsigned char>(a[i]);
    int y = static_cast<unsigned char>(b[i]);
    if (!case_sensitive_) {
      x = std::toupper(x);
      y = std::toupper(y);
    }
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int TStringList::IndexOf(std::string_view value) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (CompareStrings(items_[i].text, value) == 0) return static_cast<int>(i);
  return -1;
}

void TStringList::SetSorted(bool sorted) {
  if (sorted_ == sorted) return;
  if (sorted) Sort();
  sorted_ = sorted;
}

void TStringList::Sort() {
  std::stable_sort(items_.begin(), items_.end(),
                   [this](const Item& a, const Item& b) { return CompareStrings(a.text, b.text) < 0; });
  Changed();
}

void TStringList::CustomSort(const TCompare& compare) {
  // Sort a permutation, so the comparison sees the list as it stands.
  std::vector<int> order(items_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (int i : order) sorted.push_back(std::move(items_[static_cast<std::size_t>(i)]));
  items_ = std::move(sorted);
  Changed();
}

std::string TStringList::Text() const {
  std::string text;
  for (const Item& item : items_) {
    text += item.text;
    text += "\r\n";
  }
  return text;
}

void TStringList::SetText(std::string_view text) {
  BeginUpdate();
  items_.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    items_.push_back(Item{std::string(text.substr(start, end - start)), nullptr});
    if (end < text.size() && text[end] == '\r') ++end;
    if (end < text.size() && text[end] == '\n') ++end;
    start = end;
  }
  if (sorted_) Sort();
  Changed();
  EndUpdate();
}

void TStringList::EndUpdate() {
  if (update_count_ > 0 && --update_count_ == 0) Changed();
}

void TStringList::Changed() {
  if (update_count_ == 0 && OnChange) OnChange(this);
}

void TStringList::Assign(const TPersistent& source) {
  if (auto* other = dynamic_cast<const TStringList*>(&source)) {
    if (other == this) return;
    items_ = other->items_;
    if (sorted_) Sort();
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

}  // namespace plx
