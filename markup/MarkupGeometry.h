#pragma once
// Bounds for numbers that reach the layout from markup. Sizes, indents and
// offsets are written by whoever wrote the dropped text and may be any int;
// the layout adds them up line after line. Keeping every coordinate inside
// a few million pixels means no sum can overflow, and GDI never sees a
// coordinate it cannot draw at.

#include <algorithm>
#include <cstdint>

namespace plx {

// Far beyond any screen, far inside what GDI and int arithmetic handle.
inline constexpr int kMaxLayoutCoordinate = 1 << 22;
// Pictures and fonts larger than this would only make GDI allocate.
inline constexpr int kMaxPictureSize = 1 << 14;

inline int ClampCoordinate(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, -kMaxLayoutCoordinate, kMaxLayoutCoordinate));
}

// a + b for coordinates, saturating at the layout bounds.
inline int AddCoordinates(int a, int b) { return ClampCoordinate(static_cast<std::int64_t>(a) + b); }

inline int ClampPictureSize(int value) { return std::clamp(value, -kMaxPictureSize, kMaxPictureSize); }

}  // namespace plx
