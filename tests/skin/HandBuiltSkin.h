#pragma once
// Skin archives built by hand for tests: a record file of the given records
// (each value right after its record, a terminator last) in stored deflate
// blocks inside the skin archive's ZIP layout with its "SK" signature.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Types.h"

namespace plx::test {

inline std::string Le16(unsigned value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}
inline std::string Le32(std::uint32_t value) { return Le16(value & 0xFFFF) + Le16(value >> 16); }

struct SkinRecord {
  std::string key;
  std::uint8_t type;  // 0 bitmap, 1 integer, 2 boolean
  std::string value;
};

// A 24-bit bottom-up BMP of one colour (0x00BBGGRR).
inline std::string SolidBmp(int width, int height, TColor color) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t size = stride * static_cast<std::uint32_t>(height);
  std::string bmp = "BM" + Le32(54 + size) + Le32(0) + Le32(54);
  bmp += Le32(40) + Le32(static_cast<std::uint32_t>(width)) + Le32(static_cast<std::uint32_t>(height)) + Le16(1) +
         Le16(24) + Le32(0) + Le32(size) + Le32(2835) + Le32(2835) + Le32(0) + Le32(0);
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x)
      row += {static_cast<char>(color >> 16), static_cast<char>(color >> 8), static_cast<char>(color)};
    row.resize(stride, '\0');
    bmp += row;
  }
  return bmp;
}

inline SkinRecord Picture(const char* key, int width, int height, TColor color) {
  return {key, 0, SolidBmp(width, height, color)};
}
inline SkinRecord Integer(const char* key, std::int32_t value) {
  return {key, 1, Le32(static_cast<std::uint32_t>(value))};
}
inline SkinRecord Boolean(const char* key, bool value) { return {key, 2, std::string(1, value ? '\x01' : '\x00')}; }

inline std::string SkinArchiveOf(const std::vector<SkinRecord>& records) {
  std::string data = "KESTRAMO_SK2" + Le32(24) + Le32(2) + Le32(24);
  const auto record = [](std::string key, std::uint8_t type, std::uint32_t offset, std::uint32_t size,
                         std::uint32_t next) {
    key.resize(64, '\0');
    return key + static_cast<char>(type) + Le32(offset) + Le32(size) + Le32(next);
  };
  for (const SkinRecord& r : records) {
    const auto valueOffset = static_cast<std::uint32_t>(data.size() + 77);
    const auto size = static_cast<std::uint32_t>(r.value.size());
    data += record(r.key, r.type, valueOffset, size, valueOffset + size) + r.value;
  }
  data += record("", 2, 0, 0, 0);
  // Stored blocks of at most 65,535 bytes: BFINAL, BTYPE 0, LEN, NLEN, the bytes.
  std::string deflated;
  std::size_t done = 0;
  do {
    const auto length = static_cast<unsigned>(std::min<std::size_t>(data.size() - done, 0xFFFF));
    const bool last = done + length == data.size();
    deflated += static_cast<char>(last ? 1 : 0);
    deflated += Le16(length) + Le16(~length & 0xFFFF) + data.substr(done, length);
    done += length;
  } while (done < data.size());

  const std::string name = "SKINDATA.SK2";
  const std::string common = Le16(20) + Le16(0) + Le16(8) + Le16(0) + Le16(0) + Le32(0) +
                             Le32(static_cast<std::uint32_t>(deflated.size())) +
                             Le32(static_cast<std::uint32_t>(data.size())) + Le16(static_cast<unsigned>(name.size()));
  std::string archive = std::string("SK\x03\x04", 4) + common + Le16(0) + name + deflated;
  const auto directory = static_cast<std::uint32_t>(archive.size());
  archive += std::string("PK\x01\x02", 4) + Le16(20) + common + Le16(0) + Le16(0) + Le16(0) + Le16(0) + Le32(0x20) +
             Le32(0) + name;
  const auto directorySize = static_cast<std::uint32_t>(archive.size()) - directory;
  archive += std::string("PK\x05\x06", 4) + Le16(0) + Le16(0) + Le16(1) + Le16(1) + Le32(directorySize) +
             Le32(directory) + Le16(0);
  return archive;
}

}  // namespace plx::test
