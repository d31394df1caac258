#include "tools/skin/SkinFileWriter.h"

#include <zlib.h>

#include <iterator>
#include <stdexcept>

namespace plx::skingen {

namespace {

void Put16(std::string& s, unsigned v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

struct TValue {
  std::string key;
  std::uint8_t type;
  std::string bytes;
};

std::string Int32(std::int32_t v) {
  std::string s;
  Put32(s, static_cast<std::uint32_t>(v));
  return s;
}

// Colours are stored as 0x00BBGGRR integers.
const std::pair<const char*, std::uint32_t> kColours[] = {
    {"SKIN2_TRANSCOLOR", 0x00FF00FF},
    {"SKIN2_TITLEFONTCOLOR", 0x00FFFFFF},
    {"SKIN2_FORMCOLOR", 0x00F0F0F0},
    {"SKIN2_MENUBARSTARTCOLOR", 0x00F0F0F0},
    {"SKIN2_MENUBARENDCOLOR", 0x00F0F0F0},
    {"SKIN2_TOPSELECTEDMENUCOLOR", 0x00228194},
    {"SKIN2_TOPSELECTEDMENUBORDERCOLOR", 0x0020737A},
    {"SKIN2_TOPSELECTEDMENUFONTCOLOR", 0x00FFFFFF},
    {"SKIN2_TOPMENUFONTCOLOR", 0x00656565},
    {"SKIN2_LEFTBARSTARTCOLOR", 0x0020737A},
    {"SKIN2_LEFTBARENDCOLOR", 0x0020737A},
    {"SKIN2_MENUITEMCOLOR", 0x00217D8D},
    {"SKIN2_MENUITEMFONTCOLOR", 0x0094CCD5},
    {"SKIN2_SELECTEDMENUCOLOR", 0x001E9CB5},
    {"SKIN2_SELECTEDMENUBORDERCOLOR", 0x001E9CB5},
    {"SKIN2_SELECTEDMENUFONTCOLOR", 0x00FFFFFF},
    {"SKIN2_TOOLBARSTARTCOLOR", 0x00207279},
    {"SKIN2_TOOLBARENDCOLOR", 0x00228194},
    {"SKIN2_TOOLBARONCOLOR", 0x001E9CB5},
    {"SKIN2_TOOLBARBORDERCOLOR", 0x00228194},
    {"SKIN2_TOOLBARDOWNCOLOR", 0x00207279},
    {"SKIN2_CONTROLCOLOR", 0x00FFFFFF},
    {"SKIN2_CONTROLBORDERCOLOR", 0x00B5B5B5},
    {"SKIN2_CONTROLFONTCOLOR", 0x00656565},
    {"SKIN2_BUTTONFONTCOLOR", 0x00FAF8FA},
    {"SKIN2_SCROLLBARCOLOR", 0x00F4F3F3},
    {"SKIN2_TABCONTROLCOLOR", 0x00FFFFFF},
    {"SKIN2_TABCONTROLBORDERCOLOR", 0x00B5B5B5},
    {"SKIN2_TABCONTROLACTIVEFONTCOLOR", 0x00FFFFFF},
    {"SKIN2_TABCONTROLINACTIVEFONTCOLOR", 0x00FFFFFF},
    {"SKIN2_SIDECHANNELCOLOR", 0x00F4F4F4},
    {"SKIN2_SIDECHANNELBORDERCOLOR", 0x000D2E59},
};

const std::pair<const char*, std::int32_t> kIntegers[] = {
    {"SKIN2_TITLEBARICONPOSX", 9},    {"SKIN2_TITLEBARICONPOSY", 7},    {"SKIN2_TITLEBARCAPTIONTOP", 7},
    {"SKIN2_TITLEBARBUTTONPOSX", 14}, {"SKIN2_TITLEBARBUTTONPOSY", 7},  {"SKIN2_TITLEBARREGIONMINY", -1},
    {"SKIN2_TITLEBARREGIONMAXY", -1}, {"SKIN2_BOTTOMREGIONMINY", -1},   {"SKIN2_BOTTOMREGIONMAXY", -1},
    // Kept for skin editors; no element names them.
    {"SKIN2_SYSTEMCOLOR1", 0x0000FF00}, {"SKIN2_SYSTEMCOLOR2", 0x000000FF},
};

const std::pair<const char*, bool> kBooleans[] = {
    {"SKIN2_TITLEFIVESECT", false},         {"SKIN2_BOTTOMBORDERTHREESECT", true}, {"SKIN2_TITLEBARNEEDREGION", false},
    {"SKIN2_BOTTOMBORDERNEEDREGION", false}, {"SKIN2_TITLEBTNTRANS", true},        {"SKIN2_BUTTONTRANS", true},
    {"SKIN2_CHECKBOXTRANS", false},         {"SKIN2_RADIOBUTTONTRANS", true},      {"SKIN2_TABCONTROLTRANS", true},
};

constexpr std::uint32_t kHeaderSize = 24;
constexpr std::uint32_t kRecordSize = 77;

void PutRecord(std::string& file, const std::string& key, std::uint8_t type, std::uint32_t valueOffset,
               std::uint32_t valueSize, std::uint32_t next) {
  std::string field = key;
  field.resize(64, '\0');
  file += field;
  file.push_back(static_cast<char>(type));
  Put32(file, valueOffset);
  Put32(file, valueSize);
  Put32(file, next);
}

}  // namespace

std::string BuildSkinRecordFile(const std::vector<TSkinPicture>& pictures) {
  std::vector<TValue> values;
  values.reserve(pictures.size() + std::size(kColours) + std::size(kIntegers) + std::size(kBooleans));
  for (const TSkinPicture& p : pictures) values.push_back({p.key, 0, p.picture.ToBmp()});
  for (const auto& [key, colour] : kColours) values.push_back({key, 1, Int32(static_cast<std::int32_t>(colour))});
  for (const auto& [key, value] : kIntegers) values.push_back({key, 1, Int32(value)});
  for (const auto& [key, value] : kBooleans) values.push_back({key, 2, std::string(1, value ? '\1' : '\0')});

  std::string file = "KESTRAMO_SK2";
  Put32(file, kHeaderSize);
  Put32(file, 2);            // format version
  Put32(file, kHeaderSize);  // first record
  for (const TValue& v : values) {
    const auto valueOffset = static_cast<std::uint32_t>(file.size() + kRecordSize);
    const auto size = static_cast<std::uint32_t>(v.bytes.size());
    PutRecord(file, v.key, v.type, valueOffset, size, valueOffset + size);
    file += v.bytes;
  }
  PutRecord(file, "", 2, 0, 0, 0);  // the terminator
  return file;
}

std::string BuildSkinArchive(const std::string& entryName, const std::string& data) {
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("deflateInit2");
  std::string compressed(deflateBound(&z, data.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(compressed.data());
  z.avail_out = static_cast<uInt>(compressed.size());
  if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
  compressed.resize(z.total_out);
  deflateEnd(&z);

  const auto crc = static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()),
                                                    static_cast<uInt>(data.size())));
  const unsigned kVersion = 20, kMethodDeflate = 8;
  const unsigned kTime = (12 << 11) | (0 << 5);                 // 12:00:00
  const unsigned kDate = ((2024 - 1980) << 9) | (1 << 5) | 1;  // 2024-01-01

  std::string archive;
  // Method, time, date, CRC, sizes and name length: the local header and the
  // directory record both carry them, in this order.
  const auto putEntryFields = [&] {
    Put16(archive, kMethodDeflate);
    Put16(archive, kTime);
    Put16(archive, kDate);
    Put32(archive, crc);
    Put32(archive, static_cast<std::uint32_t>(compressed.size()));
    Put32(archive, static_cast<std::uint32_t>(data.size()));
    Put16(archive, static_cast<unsigned>(entryName.size()));
  };

  archive += std::string("SK\x03\x04", 4);  // local header, skin signature
  Put16(archive, kVersion);
  Put16(archive, 0);  // flags
  putEntryFields();
  Put16(archive, 0);  // extra field length
  archive += entryName;
  archive += compressed;

  const auto directoryOffset = static_cast<std::uint32_t>(archive.size());
  archive += std::string("PK\x01\x02", 4);
  Put16(archive, kVersion);  // made by
  Put16(archive, kVersion);  // needed
  Put16(archive, 0);         // flags
  putEntryFields();
  Put16(archive, 0);     // extra field length
  Put16(archive, 0);     // comment length
  Put16(archive, 0);     // disk start
  Put16(archive, 0);     // internal attributes
  Put32(archive, 0x20);  // external attributes: archive bit
  Put32(archive, 0);     // local header offset
  archive += entryName;
  const auto directorySize = static_cast<std::uint32_t>(archive.size() - directoryOffset);

  archive += std::string("PK\x05\x06", 4);
  Put16(archive, 0);  // this disk
  Put16(archive, 0);  // disk with the directory
  Put16(archive, 1);  // entries on this disk
  Put16(archive, 1);  // entries in all
  Put32(archive, directorySize);
  Put32(archive, directoryOffset);
  Put16(archive, 0);  // no archive comment
  return archive;
}

}  // namespace plx::skingen
