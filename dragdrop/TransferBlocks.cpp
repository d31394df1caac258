#include "dragdrop/TransferBlocks.h"

#include <algorithm>
#include <cstring>

namespace plx {

namespace {

template <class Unsigned>
std::string EncodeLittleEndian(Unsigned value) {
  std::string text(sizeof(Unsigned), '\0');
  for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
    text[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  return text;
}

template <class Unsigned>
Unsigned DecodeLittleEndian(std::string_view text) {
  if (text.size() < sizeof(Unsigned)) return 0;
  Unsigned value = 0;
  for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
    value |= static_cast<Unsigned>(static_cast<unsigned char>(text[i])) << (8 * i);
  }
  return value;
}

void PutDWORD(std::string& block, std::size_t offset, std::uint32_t value) {
  const std::string bytes = EncodeLittleEndian(value);
  block.replace(offset, bytes.size(), bytes);
}

// The zero-terminated text at offset, read no further than limit bytes nor
// past the block's end.
std::string TerminatedTextAt(std::string_view block, std::size_t offset, std::size_t limit) {
  if (offset >= block.size()) return {};
  std::string_view text = block.substr(offset, limit);
  return std::string(text.substr(0, text.find('\0')));
}

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// Deletes the first place where the upper-cased text holds the word.
void DeleteFirstUpperCased(std::string& text, std::string_view word) {
  const std::size_t at = UpperAscii(text).find(word);
  if (at != std::string::npos) text.erase(at, word.size());
}

}  // namespace

std::string EncodeDWORDToString(std::uint32_t value) { return EncodeLittleEndian(value); }
std::uint32_t DecodeDWORDFromString(std::string_view text) { return DecodeLittleEndian<std::uint32_t>(text); }

std::string EncodeDoubleToString(double value) {
  std::string text(sizeof value, '\0');
  std::memcpy(text.data(), &value, sizeof value);
  return text;
}

double DecodeDoubleFromString(std::string_view text) {
  double value = 0;
  if (text.size() >= sizeof value) std::memcpy(&value, text.data(), sizeof value);
  return value;
}

std::string EncodeHandleToString(std::uintptr_t value) { return EncodeLittleEndian(value); }
std::uintptr_t DecodeHandleFromString(std::string_view text) { return DecodeLittleEndian<std::uintptr_t>(text); }

std::string JoinFolderAndName(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += name;
  return path;
}

std::string BuildFileGroupDescriptor(const std::vector<TFileGroupEntry>& entries) {
  std::string block(4 + entries.size() * kFileDescriptorSize, '\0');
  PutDWORD(block, 0, static_cast<std::uint32_t>(entries.size()));
  std::size_t record = 4;
  for (const TFileGroupEntry& entry : entries) {
    PutDWORD(block, record + 0, entry.size ? kFdAttributes | kFdFileSize : kFdAttributes);
    PutDWORD(block, record + 36, entry.attributes);
    if (entry.size) PutDWORD(block, record + 68, *entry.size);
    // The name field keeps room for its terminating zero.
    const std::size_t length = std::min(entry.path.size(), kMaxPath - 1);
    block.replace(record + kFileDescriptorNameOffset, length, entry.path, 0, length);
    record += kFileDescriptorSize;
  }
  return block;
}

std::unique_ptr<TStringList> FileListFromFileGroupDescriptor(std::string_view block) {
  auto names = std::make_unique<TStringList>();
  const std::uint32_t count = DecodeDWORDFromString(block);
  const std::size_t held = block.size() < 4 ? 0 : (block.size() - 4) / kFileDescriptorSize;
  const std::size_t records = std::min<std::size_t>(count, held);
  for (std::size_t i = 0; i < records; ++i) {
    names->Add(TerminatedTextAt(block, 4 + i * kFileDescriptorSize + kFileDescriptorNameOffset, kMaxPath));
  }
  return names;
}

std::string URLTitleFromFileGroupDescriptor(std::string_view block, bool netscapeBookmark) {
  std::string title = TerminatedTextAt(block, 4 + kFileDescriptorNameOffset, kMaxPath);
  DeleteFirstUpperCased(title, ".URL");
  if (netscapeBookmark) DeleteFirstUpperCased(title, "SHORTCUT TO ");
  return title;
}

std::string BuildHDROP(const std::vector<std::string>& paths) {
  std::string block(kDropFilesHeaderSize, '\0');
  PutDWORD(block, 0, kDropFilesHeaderSize);
  for (const std::string& path : paths) {
    block += path;
    block += '\0';
  }
  block += '\0';
  return block;
}

std::string BuildHDROPWide(const std::vector<std::u16string>& paths) {
  std::string block(kDropFilesHeaderSize, '\0');
  PutDWORD(block, 0, kDropFilesHeaderSize);
  PutDWORD(block, 16, 0xFFFFFFFFu);
  auto appendUnit = [&block](char16_t unit) {
    block += static_cast<char>(unit & 0xFF);
    block += static_cast<char>(unit >> 8);
  };
  for (const std::u16string& path : paths) {
    for (char16_t unit : path) appendUnit(unit);
    appendUnit(0);
  }
  appendUnit(0);
  return block;
}

THDROPNames HDROPNameSpans(std::string_view block) {
  THDROPNames list;
  if (block.size() <= kDropFilesHeaderSize) return list;
  // The header says where the list starts; a value outside the block is not
  // trusted and the list is read from just after the header.
  std::size_t start = DecodeDWORDFromString(block);
  if (start < kDropFilesHeaderSize || start >= block.size()) start = kDropFilesHeaderSize;
  list.wide = DecodeDWORDFromString(block.substr(16)) != 0;

  // Units are bytes, or UTF-16 units for a wide list; zero units separate
  // the names and two in a row end the list.
  const std::size_t unit_size = list.wide ? 2 : 1;
  std::size_t nameStart = start;
  bool previousWasZero = false;
  std::size_t i = start;
  for (; i + unit_size <= block.size(); i += unit_size) {
    const bool zero = list.wide ? (block[i] == '\0' && block[i + 1] == '\0') : block[i] == '\0';
    if (zero) {
      if (previousWasZero) return list;
      if (i > nameStart) list.names.push_back(block.substr(nameStart, i - nameStart));
      nameStart = i + unit_size;
    }
    previousWasZero = zero;
  }
  // A last name the block ends inside; an odd byte of a wide list is no unit.
  if (i > nameStart) list.names.push_back(block.substr(nameStart, i - nameStart));
  return list;
}

std::unique_ptr<TStringList> FileListFromHDROP(std::string_view block) {
  auto names = std::make_unique<TStringList>();
  const THDROPNames list = HDROPNameSpans(block);
  for (std::string_view span : list.names) {
    if (!list.wide) {
      names->Add(std::string(span));
      continue;
    }
    // A wide unit becomes its low byte; one beyond 8 bits has no 8-bit
    // character and becomes "?" rather than a stray zero or wrong letter.
    std::string name;
    name.reserve(span.size() / 2);
    for (std::size_t i = 0; i + 2 <= span.size(); i += 2) name += span[i + 1] != '\0' ? '?' : span[i];
    names->Add(std::move(name));
  }
  return names;
}

bool IsWellFormedHDROP(std::string_view block) {
  if (block.size() <= kDropFilesHeaderSize) return false;
  const std::size_t start = DecodeDWORDFromString(block);
  if (start < kDropFilesHeaderSize || start >= block.size()) return false;
  const bool wide = DecodeDWORDFromString(block.substr(16)) != 0;
  if (!wide) return block.find(std::string_view("\0\0", 2), start) != std::string_view::npos ||
                    (start < block.size() && block[start] == '\0');
  // Wide: two zero units in a row, or a zero unit first (an empty list).
  bool previousWasZero = true;
  for (std::size_t i = start; i + 2 <= block.size(); i += 2) {
    const bool zero = block[i] == '\0' && block[i + 1] == '\0';
    if (zero && (previousWasZero || i == start)) return true;
    previousWasZero = zero;
  }
  return false;
}

}  // namespace plx
