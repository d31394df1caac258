#pragma once
// A one-byte set over a small enumeration: bit n holds the member of
// ordinal n, so a set's byte matches its stored form. Platform-neutral.

#include <cstdint>
#include <initializer_list>

namespace plx {

template <class Enum>
class TEnumSet {
 public:
  constexpr TEnumSet() = default;
  constexpr TEnumSet(std::initializer_list<Enum> members) {
    for (Enum member : members) Include(member);
  }
  static constexpr TEnumSet FromBits(std::uint8_t bits) {
    TEnumSet set;
    set.bits_ = bits;
    return set;
  }

  constexpr bool Contains(Enum member) const { return (bits_ & Bit(member)) != 0; }
  constexpr void Include(Enum member) { bits_ = static_cast<std::uint8_t>(bits_ | Bit(member)); }
  constexpr void Exclude(Enum member) { bits_ = static_cast<std::uint8_t>(bits_ & ~Bit(member)); }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr std::uint8_t Bits() const { return bits_; }

  friend constexpr bool operator==(TEnumSet, TEnumSet) = default;

 private:
  static constexpr std::uint8_t Bit(Enum member) {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(member));
  }
  std::uint8_t bits_ = 0;
};

}  // namespace plx
