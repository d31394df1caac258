#include "skin/SkinArchive.h"

#include <array>
#include <vector>

#include "skin/BinaryFileStream.h"
#include "skin/Inflate.h"

namespace plx {

namespace {

constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kDirectoryEntrySize = 46;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kLongestEntryName = 259;
constexpr std::size_t kEncryptionHeaderSize = 12;
constexpr std::size_t kDecryptBlock = 1024;
constexpr std::uint32_t kEndRecordSignature = 0x06054B50;

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads exactly count bytes at offset; false when the stream has fewer.
bool ReadAt(TStream& stream, std::int64_t offset, void* buffer, std::size_t count) {
  if (stream.Seek(offset, TSeekOrigin::soBeginning) != offset) return false;
  return stream.Read(buffer, count) == count;
}

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

// The three keys of traditional PKWARE encryption.
class TZipCipher {
 public:
  explicit TZipCipher(const std::string& password) {
    for (const char c : password) UpdateKeys(static_cast<std::uint8_t>(c));
  }

  std::uint8_t DecryptByte(std::uint8_t cipher) {
    const std::uint32_t t = (key2_ & 0xFFFF) | 2;
    const std::uint8_t plain = cipher ^ static_cast<std::uint8_t>((t * (t ^ 1)) >> 8);
    UpdateKeys(plain);
    return plain;
  }

 private:
  void UpdateKeys(std::uint8_t plain) {
    key0_ = Crc32Update(key0_, plain);
    key1_ = (key1_ + (key0_ & 0xFF)) * 134775813u + 1;
    key2_ = Crc32Update(key2_, static_cast<std::uint8_t>(key1_ >> 24));
  }

  std::uint32_t key0_ = 0x12345678;
  std::uint32_t key1_ = 0x23456789;
  std::uint32_t key2_ = 0x34567890;
};

// Everything of ExtractArchiveEntry but the final clean-up; both files are
// closed when it returns, so the target can then be deleted.
TExtractResult ExtractIntoTarget(const std::string& archivePath, std::string_view entryName,
                                 const std::string& targetPath, const std::string& password) {
  TBinaryFileStream archive(archivePath, TBinaryFileStream::fmOpenRead);
  if (!archive.IsOpen()) return erFailed;
  TArchiveEntryInfo entry;
  if (!FindArchiveEntry(archive, entryName, entry)) return erFailed;

  TBinaryFileStream target(targetPath, TBinaryFileStream::fmCreate);
  if (!target.IsOpen()) return erFailed;
  const TExtractResult result = DecodeArchiveEntry(archive, entry, password, target);
  return CheckExtractedSize(result, target.Size(), entry.uncompressedSize);
}

}  // namespace

std::uint32_t Crc32Update(std::uint32_t crc, std::uint8_t byte) { return kCrcTable[(crc ^ byte) & 0xFF] ^ (crc >> 8); }

std::uint32_t Crc32(const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::size_t i = 0; i < size; ++i) crc = Crc32Update(crc, p[i]);
  return crc ^ 0xFFFFFFFF;
}

bool FindArchiveEntry(TStream& archive, std::string_view entryName, TArchiveEntryInfo& entry) {
  std::uint8_t signature[4];
  if (!ReadAt(archive, 0, signature, sizeof signature)) return false;
  // Only the first two bytes identify a skin archive.
  if (signature[0] != 'S' || signature[1] != 'K') return false;

  const std::int64_t endRecordPosition = archive.Size() - static_cast<std::int64_t>(kEndRecordSize);
  if (endRecordPosition < 0) return false;
  std::uint8_t endRecord[kEndRecordSize];
  if (!ReadAt(archive, endRecordPosition, endRecord, sizeof endRecord)) return false;
  if (Le32(endRecord) != kEndRecordSignature || Le16(endRecord + 20) != 0) return false;

  std::int64_t position = Le32(endRecord + 16);
  while (position < endRecordPosition) {
    std::uint8_t fixed[kDirectoryEntrySize];
    if (!ReadAt(archive, position, fixed, sizeof fixed)) return false;
    const std::size_t nameLength = Le16(fixed + 28);
    const std::size_t extraLength = Le16(fixed + 30);
    const std::size_t commentLength = Le16(fixed + 32);
    // Longer names cannot be the one wanted; they are passed over unread.
    if (nameLength <= kLongestEntryName) {
      char name[kLongestEntryName];
      if (archive.Read(name, nameLength) != nameLength) return false;
      if (SameNameIgnoringCase(std::string_view(name, nameLength), entryName)) {
        entry.flags = Le16(fixed + 8);
        entry.time = Le16(fixed + 12);
        entry.crc32 = Le32(fixed + 16);
        entry.uncompressedSize = Le32(fixed + 24);
        entry.localHeaderOffset = Le32(fixed + 42);
        return true;
      }
    }
    position += static_cast<std::int64_t>(kDirectoryEntrySize + nameLength + extraLength + commentLength);
  }
  return false;
}

TExtractResult DecodeArchiveEntry(TStream& archive, const TArchiveEntryInfo& entry, const std::string& password,
                                  TStream& target) {
  std::uint8_t localHeader[kLocalHeaderSize];
  if (!ReadAt(archive, entry.localHeaderOffset, localHeader, sizeof localHeader)) return erFailed;
  const std::int64_t dataStart =
      static_cast<std::int64_t>(entry.localHeaderOffset) + kLocalHeaderSize + Le16(localHeader + 26) + Le16(localHeader + 28);
  if (archive.Seek(dataStart, TSeekOrigin::soBeginning) != dataStart) return erFailed;

  // The directory's size bounds the output, so a hostile stream cannot fill
  // the disk. One byte more is let through: a stream longer than promised
  // then leaves a target of the wrong size, which the size rule reports.
  const std::uint64_t outputLimit = std::uint64_t{entry.uncompressedSize} + 1;
  if (!entry.Encrypted()) return InflateStream(archive, target, outputLimit) ? erExtracted : erFailed;

  if (password.empty()) return erPasswordOrSize;
  TZipCipher cipher(password);
  std::uint8_t header[kEncryptionHeaderSize];
  if (archive.Read(header, sizeof header) != sizeof header) return erFailed;
  std::uint8_t lastPlain = 0;
  for (const std::uint8_t c : header) lastPlain = cipher.DecryptByte(c);
  if (lastPlain != entry.CheckByte()) return erPasswordOrSize;

  TMemoryStream plain;
  std::uint8_t block[kDecryptBlock];
  for (;;) {
    const std::size_t n = archive.Read(block, sizeof block);
    if (n == 0) break;
    for (std::size_t i = 0; i < n; ++i) block[i] = cipher.DecryptByte(block[i]);
    plain.Write(block, n);
  }
  plain.SetPosition(0);
  return InflateStream(plain, target, outputLimit) ? erExtracted : erFailed;
}

TExtractResult CheckExtractedSize(TExtractResult result, std::int64_t targetSize, std::uint32_t expectedSize) {
  if (targetSize == 0 && result == erExtracted) return erFailed;
  if (targetSize != static_cast<std::int64_t>(expectedSize)) return erPasswordOrSize;
  return result;
}

TExtractResult ExtractArchiveEntry(const std::string& archivePath, std::string_view entryName,
                                   const std::string& targetPath, const std::string& password) {
  const TExtractResult result = ExtractIntoTarget(archivePath, entryName, targetPath, password);
  // Whatever stands at the target after a failed extraction, a partial
  // write or an older file, must not pass for the entry.
  if (result != erExtracted && FileExists(targetPath)) DeleteFileAt(targetPath);
  return result;
}

}  // namespace plx
