// libFuzzer target for the skin reader's parsers: the first byte picks the
// deflate decoder, the archive walk (with extraction) or the record file.
//
//   scripts/fuzz.sh fuzz_skin 300

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/Streams.h"
#include "skin/Inflate.h"
#include "skin/SkinArchive.h"
#include "skin/SkinRecords.h"

namespace {

constexpr std::uint64_t kOutputLimit = 4 * 1024 * 1024;

void FuzzInflate(const std::uint8_t* data, std::size_t size) {
  plx::TReadOnlyMemoryStream input(data, size);
  plx::TMemoryStream output;
  plx::InflateStream(input, output, kOutputLimit);
  if (output.Bytes().size() > kOutputLimit) std::abort();
}

void FuzzArchive(const std::uint8_t* data, std::size_t size) {
  plx::TReadOnlyMemoryStream archive(data, size);
  plx::TArchiveEntryInfo entry;
  if (!plx::FindArchiveEntry(archive, "SKINDATA.SK2", entry)) return;
  if (entry.uncompressedSize > kOutputLimit) entry.uncompressedSize = kOutputLimit;
  plx::TMemoryStream target;
  const plx::TExtractResult result = plx::DecodeArchiveEntry(archive, entry, "secret", target);
  // The decoder lets one byte past the promised size through, no more.
  if (target.Bytes().size() > std::uint64_t{entry.uncompressedSize} + 1) std::abort();
  plx::CheckExtractedSize(result, static_cast<std::int64_t>(target.Bytes().size()), entry.uncompressedSize);
}

void FuzzRecords(const std::uint8_t* data, std::size_t size) {
  plx::TReadOnlyMemoryStream file(data, size);
  try {
    plx::TSkinValueLists lists;
    for (const plx::TSkinRecord& record : plx::ReadSkinRecords(file)) lists.AddRecord(record);
    lists.GetInteger("SKIN2_TRANSCOLOR");
    lists.GetBool("SKIN2_TITLEBTNTRANS");
  } catch (const plx::ESkinFormatError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  switch (data[0] % 3) {
    case 0: FuzzInflate(data + 1, size - 1); break;
    case 1: FuzzArchive(data + 1, size - 1); break;
    default: FuzzRecords(data + 1, size - 1); break;
  }
  return 0;
}
