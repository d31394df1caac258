#pragma once
// The byte layouts that carry values and file lists through a data object:
// numbers in strings, file group descriptor blocks and HDROP blocks. The
// readers take blocks from other processes and so trust no field: every read
// is bounds-checked against the block. Platform-neutral.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/StringList.h"

namespace plx {

// 4 bytes, little-endian / the first 4 bytes as a value, 0 when shorter.
std::string EncodeDWORDToString(std::uint32_t value);
std::uint32_t DecodeDWORDFromString(std::string_view text);
// The 8 bytes of a double / the first 8 bytes as a double, 0 when shorter.
std::string EncodeDoubleToString(double value);
double DecodeDoubleFromString(std::string_view text);
// A handle or interface pointer: all of its pointer-sized bytes, so that no
// half of a 64-bit pointer is lost; 0 when the text is shorter.
std::string EncodeHandleToString(std::uintptr_t value);
std::uintptr_t DecodeHandleFromString(std::string_view text);

// folder + name with one "\" between them, none when the folder is empty or
// already ends in "\".
std::string JoinFolderAndName(std::string_view folder, std::string_view name);

// File group descriptor block: a 4-byte count, then one 332-byte record per
// file (flags at 0, attributes at 36, size high at 64, size low at 68, the
// zero-terminated name of at most 259 characters at 72).
inline constexpr std::size_t kFileDescriptorSize = 332;
inline constexpr std::size_t kFileDescriptorNameOffset = 72;
inline constexpr std::size_t kMaxPath = 260;
inline constexpr std::uint32_t kFdAttributes = 0x4;
inline constexpr std::uint32_t kFdFileSize = 0x40;
inline constexpr std::uint32_t kFileAttributeArchive = 32;

struct TFileGroupEntry {
  std::string path;
  std::uint32_t attributes = kFileAttributeArchive;
  std::optional<std::uint32_t> size;
};
std::string BuildFileGroupDescriptor(const std::vector<TFileGroupEntry>& entries);
// The file name of each record, as many as the count says and the block holds.
std::unique_ptr<TStringList> FileListFromFileGroupDescriptor(std::string_view block);
// The title a URL drop carries as its first file descriptor's name, with
// ".URL" and, for a bookmark, "SHORTCUT TO " removed (compared upper-cased).
std::string URLTitleFromFileGroupDescriptor(std::string_view block, bool netscapeBookmark);

// HDROP block: the 20-byte header (file list offset 20, point 0,0, non-client
// 0, wide flag), then each name and its zero, then one more zero.
inline constexpr std::size_t kDropFilesHeaderSize = 20;
std::string BuildHDROP(const std::vector<std::string>& paths);
std::string BuildHDROPWide(const std::vector<std::u16string>& paths);
// The names of an HDROP block as they lie in it, found in one pass from the
// start of the list to the double zero that ends it (or the block's end):
// each name is a view of its bytes in the block, for a wide list two
// (little-endian) per UTF-16 unit. Empty names are dropped. Nothing for a
// block no longer than the header.
struct THDROPNames {
  bool wide = false;
  std::vector<std::string_view> names;
};
THDROPNames HDROPNameSpans(std::string_view block);
// The names of an HDROP block longer than the header; wide names keep the
// low byte of each UTF-16 unit.
std::unique_ptr<TStringList> FileListFromHDROP(std::string_view block);
// Whether the system's own HDROP reader can walk the block without leaving
// it: a header, a list offset inside the block, and the list ended by two
// zero characters (of the header's width) before the block ends.
bool IsWellFormedHDROP(std::string_view block);

}  // namespace plx
