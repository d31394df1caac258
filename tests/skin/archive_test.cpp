// Extracting entries from skin archives written by Debian's zip (local
// signatures changed to "SK"), and from damaged copies of them.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "skin/BinaryFileStream.h"
#include "skin/SkinArchive.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/WholeFiles.h"

namespace plx {
namespace {

using test::ReadWholeFile;
using test::SourcePath;
using test::TScratchFolder;
using test::WriteWholeFile;

std::string ExpectedEntry() {
  std::string text;
  for (int n = 1; n <= 8000; ++n) text += std::to_string(n) + " skin data line\n";
  return text;
}

std::string Fixture(const std::string& name) { return ReadWholeFile(SourcePath("tests/skin/fixtures/" + name)); }

// Offset of the single central directory entry (after the local data).
std::size_t DirectoryEntry(const std::string& archive) { return archive.rfind(std::string("PK\x01\x02", 4)); }

void Poke16(std::string& s, std::size_t at, unsigned v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8);
}

struct TExtractCase {
  const char* name;
  const char* fixture;
  std::function<void(std::string&)> damage;
  const char* entryName;
  const char* password;
  TExtractResult expected;
};

TEST(ExtractArchiveEntry, ArchivesWrittenByZip) {
  const TExtractCase cases[] = {
      {"deflated entry", "plain.skn", nullptr, "SKINDATA.SK2", "", erExtracted},
      {"wanted name in lower case", "plain.skn", nullptr, "skindata.sk2", "", erExtracted},
      {"entry name stored in lower case", "lowercase.skn", nullptr, "SKINDATA.SK2", "", erExtracted},
      {"signature bytes 2 and 3 are not tested", "plain.skn", [](std::string& a) { a[2] = '\xFF', a[3] = '\xEE'; },
       "SKINDATA.SK2", "", erExtracted},
      {"encrypted, check byte from the time", "encrypted.skn", nullptr, "SKINDATA.SK2", "secret", erExtracted},
      {"encrypted with a data descriptor", "streamed.skn", nullptr, "SKINDATA.SK2", "secret", erExtracted},
      // zip writes its encrypted entries with flag bit 3; without it the check
      // byte is the CRC's top byte, here made equal to the header's (the
      // time's top byte, 0x60). The CRC itself is never verified.
      {"encrypted, check byte from the CRC", "encrypted.skn",
       [](std::string& a) {
         a[DirectoryEntry(a) + 8] &= ~0x08;
         a[DirectoryEntry(a) + 19] = '\x60';
       },
       "SKINDATA.SK2", "secret", erExtracted},
      {"encrypted without password", "encrypted.skn", nullptr, "SKINDATA.SK2", "", erPasswordOrSize},
      {"encrypted with a wrong password", "encrypted.skn", nullptr, "SKINDATA.SK2", "Secret", erPasswordOrSize},
      {"encrypted, check byte taken from the CRC instead", "encrypted.skn",
       [](std::string& a) { a[DirectoryEntry(a) + 8] &= ~0x08; }, "SKINDATA.SK2", "secret", erPasswordOrSize},
      {"standard ZIP signature", "pk-signature.zip", nullptr, "SKINDATA.SK2", "", erFailed},
      {"archive comment", "commented.skn", nullptr, "SKINDATA.SK2", "", erFailed},
      {"entry not in the archive", "plain.skn", nullptr, "SKINDATA.SK3", "", erFailed},
      {"directory promises another size", "plain.skn",
       [](std::string& a) { a[DirectoryEntry(a) + 24] ^= 1; }, "SKINDATA.SK2", "", erPasswordOrSize},
      {"directory offset beyond the file", "plain.skn",
       [](std::string& a) { Poke16(a, a.size() - 6, 0xFFFF); }, "SKINDATA.SK2", "", erFailed},
      {"local header offset beyond the file", "plain.skn",
       [](std::string& a) { Poke16(a, DirectoryEntry(a) + 44, 0x7FFF); }, "SKINDATA.SK2", "", erPasswordOrSize},
      {"name length running past the directory", "plain.skn",
       [](std::string& a) { Poke16(a, DirectoryEntry(a) + 28, 0xFFFF); }, "SKINDATA.SK2", "", erFailed},
      {"shorter than an end record", "plain.skn", [](std::string& a) { a.resize(21); }, "SKINDATA.SK2", "",
       erFailed},
      {"compressed data damaged", "plain.skn", [](std::string& a) { a[5000] ^= 0x5A, a[5001] ^= 0xA5; },
       "SKINDATA.SK2", "", erPasswordOrSize},
  };
  const std::string expected = ExpectedEntry();
  for (const TExtractCase& c : cases) {
    SCOPED_TRACE(c.name);
    TScratchFolder dir;
    std::string archive = Fixture(c.fixture);
    ASSERT_GT(archive.size(), 1000u);
    if (c.damage) c.damage(archive);
    WriteWholeFile(dir.File("skin.skn"), archive);
    const std::string target = dir.File("target");
    EXPECT_EQ(ExtractArchiveEntry(dir.File("skin.skn"), c.entryName, target, c.password), c.expected);
    if (c.expected == erExtracted) {
      EXPECT_TRUE(ReadWholeFile(target) == expected);
    } else {
      EXPECT_EQ(dir.EntryCount(), 1u) << "the target must not be left behind";
    }
  }
}

TEST(ExtractArchiveEntry, AFileAlreadyAtTheTargetIsDeletedOnEveryFailure) {
  const struct {
    const char* name;
    const char* fixture;  // nullptr: no archive at all
    const char* entryName;
    const char* password;
    TExtractResult expected;
  } cases[] = {
      {"missing archive", nullptr, "SKINDATA.SK2", "", erFailed},
      {"standard ZIP signature", "pk-signature.zip", "SKINDATA.SK2", "", erFailed},
      {"entry not in the archive", "plain.skn", "OTHER.SK2", "", erFailed},
      {"wrong password", "encrypted.skn", "SKINDATA.SK2", "wrong", erPasswordOrSize},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TScratchFolder dir;
    if (c.fixture != nullptr) WriteWholeFile(dir.File("skin.skn"), Fixture(c.fixture));
    WriteWholeFile(dir.File("target"), "an older file");
    EXPECT_EQ(ExtractArchiveEntry(dir.File("skin.skn"), c.entryName, dir.File("target"), c.password), c.expected);
    EXPECT_EQ(dir.EntryCount(), c.fixture != nullptr ? 1u : 0u) << "the target must be gone";
  }
}

TEST(ExtractArchiveEntry, ATargetThatCannotBeCreatedFails) {
  TScratchFolder dir;
  WriteWholeFile(dir.File("skin.skn"), Fixture("plain.skn"));
  EXPECT_EQ(ExtractArchiveEntry(dir.File("skin.skn"), "SKINDATA.SK2", dir.File("no-such-folder/target"), ""),
            erFailed);
  EXPECT_EQ(dir.EntryCount(), 1u);
}

// Replaces the fixture's entry data with the given deflate stream and
// uncompressed size.
std::string WithEntryData(const std::string& deflated, std::uint32_t size) {
  const std::string archive = Fixture("plain.skn");
  const std::size_t dataStart = 30 + 12;  // local header and "SKINDATA.SK2"
  std::string rebuilt = archive.substr(0, dataStart) + deflated + archive.substr(DirectoryEntry(archive));
  const std::size_t directory = dataStart + deflated.size();
  for (int i = 0; i < 4; ++i) {
    rebuilt[directory + 24 + i] = static_cast<char>(size >> (8 * i));  // uncompressed size
    rebuilt[rebuilt.size() - 6 + i] = static_cast<char>(directory >> (8 * i));  // directory offset
  }
  return rebuilt;
}

// Two stored blocks of 40,000 'x' each: 80,000 bytes, so the first 32 KB
// reach the target before the stream ends.
std::string EightyThousandStored() {
  const std::string piece(40'000, 'x');
  const std::string lengths("\x40\x9C\xBF\x63", 4);  // LEN 40,000 and its complement
  return std::string(1, '\x00') + lengths + piece     // BFINAL 0, BTYPE 0, aligned
         + std::string(1, '\x01') + lengths + piece;  // BFINAL 1, BTYPE 0
}

TEST(ExtractArchiveEntry, TheTargetSizeDecidesTheResult) {
  const struct {
    const char* name;
    std::string deflated;
    std::uint32_t size;
    TExtractResult expected;
  } cases[] = {
      {"one byte", std::string("\x73\x04\x00", 3), 1, erExtracted},  // "A" in a fixed block
      {"nothing", std::string("\x03\x00", 2), 0, erFailed},           // a fixed block holding only its end
      {"more than the directory promises nothing", std::string("\x73\x04\x00", 3), 0, erPasswordOrSize},
      {"less than the directory promises", std::string("\x73\x04\x00", 3), 2, erPasswordOrSize},
      {"more than promised, the promise written already", EightyThousandStored(), 32'768, erPasswordOrSize},
      {"a long stored entry", EightyThousandStored(), 80'000, erExtracted},
      {"reserved block type, nothing promised", std::string("\x07", 1), 0, erFailed},  // BFINAL, BTYPE 3
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TScratchFolder dir;
    WriteWholeFile(dir.File("skin.skn"), WithEntryData(c.deflated, c.size));
    EXPECT_EQ(ExtractArchiveEntry(dir.File("skin.skn"), "SKINDATA.SK2", dir.File("target"), ""), c.expected);
    EXPECT_EQ(dir.EntryCount(), c.expected == erExtracted ? 2u : 1u);
  }
}

TEST(BinaryFileStream, WritesReadsAndSeeksLikeTheMemoryStreams) {
  TScratchFolder dir;
  const std::string path = dir.File("stream");
  {
    TBinaryFileStream out(path, TBinaryFileStream::fmCreate);
    ASSERT_TRUE(out.IsOpen());
    EXPECT_EQ(out.Write("0123456789", 10), 10u);
  }
  EXPECT_TRUE(FileExists(path));
  TBinaryFileStream in(path, TBinaryFileStream::fmOpenRead);
  ASSERT_TRUE(in.IsOpen());
  char buffer[16] = {};
  const struct {
    std::int64_t offset;
    TSeekOrigin origin;
    std::int64_t position;  // where the stream then stands
    std::size_t readable;   // of 4 bytes asked for
    char first;
  } cases[] = {
      {3, TSeekOrigin::soBeginning, 3, 4, '3'}, {-2, TSeekOrigin::soEnd, 8, 2, '8'},
      {-5, TSeekOrigin::soCurrent, 5, 4, '5'},  {-7, TSeekOrigin::soBeginning, 0, 4, '0'},  // clamped to the start
      {12, TSeekOrigin::soBeginning, 12, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.offset);
    EXPECT_EQ(in.Seek(c.offset, c.origin), c.position);
    buffer[0] = 0;
    EXPECT_EQ(in.Read(buffer, 4), c.readable);
    EXPECT_EQ(buffer[0], c.first);
  }
  in.Close();
  EXPECT_FALSE(in.IsOpen());
  EXPECT_EQ(in.Read(buffer, 4), 0u);
  EXPECT_EQ(in.Seek(0, TSeekOrigin::soBeginning), -1);
  EXPECT_TRUE(DeleteFileAt(path));
  EXPECT_FALSE(FileExists(path));
  EXPECT_FALSE(TBinaryFileStream(path, TBinaryFileStream::fmOpenRead).IsOpen()) << "a missing file";
}

TEST(Crc32, MatchesTheZipCheckValue) { EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u); }

}  // namespace
}  // namespace plx
