#pragma once
// Remembered text measurements. Every list entry is measured on each
// measure, paint and mouse move; the width of a text run depends only on the
// font (on a given device), the output flags, the room for a cut text and the
// text itself, so it is measured once. Bounded by the memory its entries
// take: the cache starts afresh when full. One cache per thread (GDI work
// happens on the GUI thread).

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace plx {

class TextMetricsCache {
 public:
  // Texts longer than this are measured every time rather than kept.
  static constexpr std::size_t kMaxText = 512;
  // What an entry costs beyond its text: the map's node, key and bucket.
  static constexpr std::size_t kEntryOverhead = 96;
  // The entries' texts and overheads together stay within this.
  static constexpr std::size_t kMaxBytes = 512 * 1024;
  static constexpr std::size_t kMaxFonts = 1 << 10;

  static TextMetricsCache& ForThisThread();

  // A number for a font and device description (any bytes). Numbers are
  // never reused, so one handed out stays unique even after the cache has
  // started afresh.
  std::uint64_t FontId(std::string_view fontAndDevice);

  // kind tells apart what is measured (widths by output flags, heights).
  const int* Find(std::uint64_t font, std::uint32_t kind, int room, std::string_view text) const;
  void Store(std::uint64_t font, std::uint32_t kind, int room, std::string_view text, int value);

  static bool Cacheable(std::string_view text) { return text.size() <= kMaxText; }

  // The advance widths of a font's printable ASCII characters (' ' to '~').
  // Such a text is measured by adding them up, without a call into the
  // system or a look-up of the text: nearly every word of a list entry is
  // one. Usable is false for a font whose widths were found not to add up to
  // what measuring a whole string gives; its texts are measured as others.
  struct AsciiWidths {
    static constexpr unsigned char kFirst = ' ';
    static constexpr unsigned char kLast = '~';
    bool Usable = false;
    std::array<int, kLast - kFirst + 1> Advance{};
    // The width of text when every character of it is printable ASCII.
    std::optional<int> WidthOf(std::string_view text) const;
  };
  // Fonts whose widths are kept at most; when full, they start afresh.
  static constexpr std::size_t kMaxWidthFonts = 64;
  // Shared, so that a surface may hold them while the cache starts afresh.
  std::shared_ptr<const AsciiWidths> FindAsciiWidths(std::uint64_t font) const;
  std::shared_ptr<const AsciiWidths> StoreAsciiWidths(std::uint64_t font, const AsciiWidths& widths);
  std::size_t WidthFontCount() const { return ascii_widths_.size(); }

  // Forgets every measurement, width table and font number and gives their memory back
  // (font numbers already handed out are still never reused).
  void Clear();
  // The memory the entries are counted as taking, within kMaxBytes.
  std::size_t Bytes() const { return bytes_; }
  std::size_t Count() const { return entries_.size(); }

 private:
  struct StoredKey {
    std::uint64_t Font;
    std::uint32_t Kind;
    int Room;
    std::string Text;
  };
  // Looked up without copying the text.
  struct KeyView {
    std::uint64_t Font;
    std::uint32_t Kind;
    int Room;
    std::string_view Text;
  };
  static KeyView View(const StoredKey& key) { return KeyView{key.Font, key.Kind, key.Room, key.Text}; }
  static const KeyView& View(const KeyView& key) { return key; }
  struct KeyHash {
    using is_transparent = void;
    std::size_t operator()(const KeyView& key) const noexcept;
    std::size_t operator()(const StoredKey& key) const noexcept { return (*this)(View(key)); }
  };
  struct KeyEqual {
    using is_transparent = void;
    template <class A, class B>
    bool operator()(const A& a, const B& b) const noexcept {
      const KeyView x = View(a);
      const KeyView y = View(b);
      return x.Font == y.Font && x.Kind == y.Kind && x.Room == y.Room && x.Text == y.Text;
    }
  };

  void ForgetMeasurements();

  std::unordered_map<StoredKey, int, KeyHash, KeyEqual> entries_;
  std::size_t bytes_ = 0;
  // Found by a view of the description, without a string made for it.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const noexcept { return std::hash<std::string_view>{}(name); }
  };
  std::unordered_map<std::string, std::uint64_t, NameHash, std::equal_to<>> fonts_;
  std::unordered_map<std::uint64_t, std::shared_ptr<const AsciiWidths>> ascii_widths_;
  std::uint64_t next_font_ = 1;
};

}  // namespace plx
