#include "markup/TextMetricsCache.h"

#include <climits>
#include <functional>

namespace plx {

TextMetricsCache& TextMetricsCache::ForThisThread() {
  thread_local TextMetricsCache cache;
  return cache;
}

std::uint64_t TextMetricsCache::FontId(std::string_view fontAndDevice) {
  const auto found = fonts_.find(fontAndDevice);
  if (found != fonts_.end()) return found->second;
  if (fonts_.size() >= kMaxFonts) fonts_.clear();
  const std::uint64_t id = next_font_++;
  fonts_.emplace(std::string(fontAndDevice), id);
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

std::optional<int> TextMetricsCache::AsciiWidths::WidthOf(std::string_view text) const {
  long long width = 0;
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code < kFirst || code > kLast) return std::nullopt;
    width += Advance[code - kFirst];
  }
  // Beyond what a coordinate can hold, the system's own measuring answers.
  if (width > INT_MAX) return std::nullopt;
  return static_cast<int>(width);
}

std::shared_ptr<const TextMetricsCache::AsciiWidths> TextMetricsCache::FindAsciiWidths(std::uint64_t font) const {
  const auto found = ascii_widths_.find(font);
  return found == ascii_widths_.end() ? nullptr : found->second;
}

std::shared_ptr<const TextMetricsCache::AsciiWidths> TextMetricsCache::StoreAsciiWidths(std::uint64_t font,
                                                                                      const AsciiWidths& widths) {
  if (ascii_widths_.size() >= kMaxWidthFonts) decltype(ascii_widths_)().swap(ascii_widths_);
  auto stored = std::make_shared<const AsciiWidths>(widths);
  ascii_widths_[font] = stored;
  return stored;
}

void TextMetricsCache::ForgetMeasurements() {
  // A fresh map: clear() would keep the bucket array of the largest size seen.
  decltype(entries_)().swap(entries_);
  bytes_ = 0;
}

void TextMetricsCache::Clear() {
  ForgetMeasurements();
  decltype(fonts_)().swap(fonts_);
  decltype(ascii_widths_)().swap(ascii_widths_);
}

}  // namespace plx
