#pragma once
// Reading one entry out of a skin archive: a ZIP-layout file whose local
// headers are signed "SK" instead of "PK", with deflate-compressed entries
// that may carry traditional PKWARE encryption. Platform-neutral.

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Streams.h"

namespace plx {

enum TExtractResult : int {
  erExtracted = 0,
  erFailed = 1,
  // An encrypted entry without password or with the wrong one, or an
  // extracted size other than the directory promises.
  erPasswordOrSize = 2,
};

// What the central directory says about the wanted entry.
struct TArchiveEntryInfo {
  std::uint16_t flags = 0;
  std::uint16_t time = 0;
  std::uint32_t crc32 = 0;
  std::uint32_t uncompressedSize = 0;
  std::uint32_t localHeaderOffset = 0;

  bool Encrypted() const { return (flags & 0x0001) != 0; }
  // With flag bit 3 the CRC is not known when the encryption header is
  // written, so its check byte comes from the modification time instead.
  std::uint8_t CheckByte() const {
    return (flags & 0x0008) != 0 ? static_cast<std::uint8_t>(time >> 8) : static_cast<std::uint8_t>(crc32 >> 24);
  }
};

// Checks the "SK" signature and the end record (exactly the last 22 bytes,
// no archive comment), then walks the central directory for entryName,
// compared case-insensitively. False when any of that fails.
bool FindArchiveEntry(TStream& archive, std::string_view entryName, TArchiveEntryInfo& entry);

// Decrypts (when the entry is encrypted) and inflates the entry's data into
// target. erExtracted when the final block was decoded and written.
TExtractResult DecodeArchiveEntry(TStream& archive, const TArchiveEntryInfo& entry, const std::string& password,
                                  TStream& target);

// The verdict on an extracted target: an empty result counts as a failure,
// and a size other than the directory's turns any result into
// erPasswordOrSize.
TExtractResult CheckExtractedSize(TExtractResult result, std::int64_t targetSize, std::uint32_t expectedSize);

// Extracts entryName of the archive file at archivePath into the file at
// targetPath (created or truncated). The target is deleted whenever the
// result is not erExtracted.
TExtractResult ExtractArchiveEntry(const std::string& archivePath, std::string_view entryName,
                                   const std::string& targetPath, const std::string& password);

// The CRC-32 of the ZIP format (reflected polynomial 0xEDB88320).
std::uint32_t Crc32Update(std::uint32_t crc, std::uint8_t byte);
std::uint32_t Crc32(const void* data, std::size_t size);

}  // namespace plx
