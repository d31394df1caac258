#include "skin/SkinRecords.h"

#include <charconv>
#include <functional>
#include <unordered_set>

namespace plx {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads exactly count bytes at offset, which must lie inside a file of fileSize bytes.
void ReadAt(TStream& file, std::int64_t fileSize, std::uint64_t offset, void* buffer, std::size_t count) {
  if (offset > static_cast<std::uint64_t>(fileSize) || count > static_cast<std::uint64_t>(fileSize) - offset)
    throw ESkinFormatError();
  if (file.Seek(static_cast<std::int64_t>(offset), TSeekOrigin::soBeginning) != static_cast<std::int64_t>(offset) ||
      file.Read(buffer, count) != count)
    throw ESkinFormatError();
}

bool ParseInteger(const std::string& text, std::int64_t& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  const auto [end, error] = std::from_chars(first, last, value);
  return error == std::errc() && end == last && !text.empty();
}

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

void ForEachSkinRecord(TStream& file, const std::function<void(const TSkinRecord&)>& take) {
  const std::int64_t fileSize = file.Size();
  std::uint8_t header[kSkinHeaderSize];
  ReadAt(file, fileSize, 0, header, 16);
  // Only the one header layout exists; anything else is not a record file we know.
  if (Le32(header + 12) != kSkinHeaderSize) throw ESkinFormatError();
  ReadAt(file, fileSize, 0, header, kSkinHeaderSize);

  // The whole chain is checked before any value is read, so a file that does
  // not hold together is refused before anything of it is taken; the values
  // are then read one at a time and never all held together.
  struct TPlace {
    TSkinRecord record;  // key and type; the value is read later
    std::uint32_t valueOffset;
    std::uint32_t valueSize;
  };
  std::vector<TPlace> places;
  std::unordered_set<std::uint32_t> visited;
  // Written files give every value bytes of its own, so the values together
  // never outgrow the file; records that share one large value could
  // otherwise make a small file fill memory with copies.
  std::uint64_t valueBytes = 0;
  std::uint32_t offset = Le32(header + 20);
  for (;;) {
    if (!visited.insert(offset).second) throw ESkinFormatError();  // the chain loops
    std::uint8_t raw[kSkinRecordSize];
    ReadAt(file, fileSize, offset, raw, sizeof raw);
    const std::uint32_t next = Le32(raw + 73);
    if (next == 0) break;

    TPlace place{};
    std::size_t keyLength = 0;
    while (keyLength < kSkinKeySize && raw[keyLength] != 0) ++keyLength;
    place.record.key.assign(reinterpret_cast<const char*>(raw), keyLength);
    place.record.type = raw[64];
    place.valueOffset = Le32(raw + 65);
    place.valueSize = Le32(raw + 69);
    const bool known = place.record.type <= svString;
    if (known) {
      const std::uint8_t type = place.record.type;
      if ((type == svInteger && place.valueSize != 4) || (type == svBoolean && place.valueSize != 1))
        throw ESkinFormatError();
      if (place.valueOffset > static_cast<std::uint64_t>(fileSize) ||
          place.valueSize > static_cast<std::uint64_t>(fileSize) - place.valueOffset)
        throw ESkinFormatError();
      valueBytes += place.valueSize;
      if (valueBytes > static_cast<std::uint64_t>(fileSize)) throw ESkinFormatError();
      places.push_back(std::move(place));
    }
    offset = next;
  }
  for (TPlace& place : places) {
    place.record.value.resize(place.valueSize);
    ReadAt(file, fileSize, place.valueOffset, place.record.value.data(), place.valueSize);
    take(place.record);
    std::string().swap(place.record.value);  // its memory goes before the next value's
  }
}

std::vector<TSkinRecord> ReadSkinRecords(TStream& file) {
  std::vector<TSkinRecord> records;
  ForEachSkinRecord(file, [&](const TSkinRecord& record) { records.push_back(record); });
  return records;
}

bool SameSkinKey(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

void TSkinValueLists::AddRecord(const TSkinRecord& record) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(record.value.data());
  switch (record.type) {
    case svInteger:
      integers_.push_back({record.key, std::to_string(static_cast<std::int32_t>(Le32(bytes)))});
      break;
    case svBoolean:
      booleans_.push_back({record.key, std::to_string(static_cast<unsigned>(bytes[0]))});
      break;
    case svString:
      strings_.push_back({record.key, record.value});
      break;
    default:
      break;
  }
}

const TSkinValueLists::TLine* TSkinValueLists::Find(const std::vector<TLine>& lines, std::string_view key) {
  for (const TLine& line : lines)
    if (SameSkinKey(line.key, key)) return &line;
  return nullptr;
}

void TSkinValueLists::Set(std::vector<TLine>& lines, std::string_view key, std::string value) {
  for (TLine& line : lines) {
    if (SameSkinKey(line.key, key)) {
      line.value = std::move(value);
      return;
    }
  }
  lines.push_back({std::string(key), std::move(value)});
}

std::int32_t TSkinValueLists::GetInteger(std::string_view key) const {
  const TLine* line = Find(integers_, key);
  std::int64_t value = 0;
  if (line == nullptr || !ParseInteger(line->value, value) || value < INT32_MIN || value > INT32_MAX) return -1;
  return static_cast<std::int32_t>(value);
}

bool TSkinValueLists::GetBool(std::string_view key) const {
  const TLine* line = Find(booleans_, key);
  std::int64_t value = 0;
  if (line == nullptr || !ParseInteger(line->value, value)) return false;
  return (value & 0xFF) != 0;
}

std::string TSkinValueLists::GetStr(std::string_view key) const {
  const TLine* line = Find(strings_, key);
  return line != nullptr ? line->value : std::string();
}

void TSkinValueLists::SetInteger(std::string_view key, std::int32_t value) { Set(integers_, key, std::to_string(value)); }

void TSkinValueLists::SetBool(std::string_view key, bool value) { Set(booleans_, key, value ? "1" : "0"); }

}  // namespace plx
