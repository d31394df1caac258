#include "markup/TextMetricsCache.h"

#include <functional>

namespace plx {

TextMetricsCache& TextMetricsCache::ForThisThread() {
  thread_local TextMetricsCache cache;
  return cache;
}

std::uint64_t TextMetricsCache::FontId(const std::string& fontAndDevice) {
  const auto found = fonts_.find(fontAndDevice);
  if (found != fonts_.end()) return found->second;
  if (fonts_.size() >= kMaxFonts) fonts_.clear();
  const std::uint64_t id = next_font_++;
  fonts_.emplace(fontAndDevice, id);
  return id;
}

std::size_t TextMetricsCache::KeyHash::operator()(const KeyView& key) const noexcept {
  std::size_t hash = std::hash<std::string_view>{}(key.Text);
  const auto mix = [&hash](std::uint64_t value) {
    hash ^= std::hash<std::uint64_t>{}(value) + 0x9e3779b97f4a7c15ull + (hash << 6) + (hash >> 2);
  };
  mix(key.Font);
  mix(key.Kind);
  mix(static_cast<std::uint32_t>(key.Room));
  return hash;
}

const int* TextMetricsCache::Find(std::uint64_t font, std::uint32_t kind, int room, std::string_view text) const {
  const auto found = entries_.find(KeyView{font, kind, room, text});
  return found == entries_.end() ? nullptr : &found->second;
}

void TextMetricsCache::Store(std::uint64_t font, std::uint32_t kind, int room, std::string_view text, int value) {
  if (!Cacheable(text)) return;
  const std::size_t cost = text.size() + kEntryOverhead;
  if (bytes_ + cost > kMaxBytes) ForgetMeasurements();
  if (entries_.try_emplace(StoredKey{font, kind, room, std::string(text)}, value).second) bytes_ += cost;
}

void TextMetricsCache::ForgetMeasurements() {
  // A fresh map: clear() would keep the bucket array of the largest size seen.
  decltype(entries_)().swap(entries_);
  bytes_ = 0;
}

void TextMetricsCache::Clear() {
  ForgetMeasurements();
  decltype(fonts_)().swap(fonts_);
}

}  // namespace plx
