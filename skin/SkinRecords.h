#pragma once
// The skin record file ("SKINDATA.SK2"): a 24-byte header followed by a
// chain of 77-byte records, each pointing at its value and at the next
// record. Platform-neutral.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Exception.h"
#include "framework/Streams.h"

namespace plx {

inline constexpr std::string_view kSkinDataEntryName = "SKINDATA.SK2";
inline constexpr char kSkinReadFailedMessage[] = "Failed to read skin file!";

inline constexpr std::size_t kSkinHeaderSize = 24;
inline constexpr std::size_t kSkinRecordSize = 77;
inline constexpr std::size_t kSkinKeySize = 64;

enum TSkinValueType : std::uint8_t { svBitmap = 0, svInteger = 1, svBoolean = 2, svString = 3 };

// A record file that does not hold together: a header or record outside the
// file, a value outside the file, a value of the wrong size, values that
// together are larger than the file, or a chain that comes back to a record
// already read.
class ESkinFormatError : public Exception {
 public:
  ESkinFormatError() : Exception(kSkinReadFailedMessage) {}
};

struct TSkinRecord {
  std::string key;  // the key field up to its first zero byte
  std::uint8_t type = 0;
  std::string value;  // raw value bytes
};

// Reads the record chain from the start of file. The record whose
// next-offset is 0 ends the chain and is never taken as data; records of
// unknown type are passed over. Raises ESkinFormatError.
std::vector<TSkinRecord> ReadSkinRecords(TStream& file);
// The same records handed to take one by one, in chain order, each value
// read just before and released just after: the values are never all in
// memory together. The whole chain is checked first, so nothing is handed
// over from a file that raises ESkinFormatError.
void ForEachSkinRecord(TStream& file, const std::function<void(const TSkinRecord&)>& take);

// Case-insensitive key comparison (ASCII letters), as skins are queried.
bool SameSkinKey(std::string_view a, std::string_view b);

// The integer, boolean and string values of a skin, as key/value lines in
// record order; the first line whose key matches wins.
class TSkinValueLists {
 public:
  // Takes an integer, boolean or string record; other types are ignored.
  void AddRecord(const TSkinRecord& record);

  // -1 when the key is missing or its value is not a number.
  std::int32_t GetInteger(std::string_view key) const;
  // The low byte of the stored number; false when missing or not a number.
  bool GetBool(std::string_view key) const;
  // Empty when missing.
  std::string GetStr(std::string_view key) const;

  // Replace the key's value, appending a line when the key is missing.
  void SetInteger(std::string_view key, std::int32_t value);
  void SetBool(std::string_view key, bool value);

  std::size_t IntegerCount() const { return integers_.size(); }
  std::size_t BoolCount() const { return booleans_.size(); }
  std::size_t StringCount() const { return strings_.size(); }

 private:
  struct TLine {
    std::string key;
    std::string value;
  };
  static const TLine* Find(const std::vector<TLine>& lines, std::string_view key);
  static void Set(std::vector<TLine>& lines, std::string_view key, std::string value);

  std::vector<TLine> integers_;
  std::vector<TLine> booleans_;
  std::vector<TLine> strings_;
};

}  // namespace plx
