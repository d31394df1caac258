// The skin record file: its parser on hand-built files, and the embedded
// skin, extracted from the committed archive and read key by key.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <functional>
#include <string>
#include <vector>

#include "skin/SkinArchive.h"
#include "skin/SkinKeys.h"
#include "skin/SkinRecords.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/WholeFiles.h"

namespace plx {
namespace {

using test::ReadWholeFile;
using test::SourcePath;
using test::TScratchFolder;

std::string Le32(std::uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
  return s;
}

// Builds record files: header, records each followed by its value, and a
// terminator. Offsets can be overridden to damage the chain.
class TRecordFileBuilder {
 public:
  TRecordFileBuilder& Add(const std::string& key, std::uint8_t type, const std::string& value) {
    entries_.push_back({key, type, value});
    return *this;
  }
  std::string Build(std::uint8_t terminatorType = 2) const {
    std::string file = "KESTRAMO_SK2" + Le32(24) + Le32(2) + Le32(24);
    for (const TEntry& e : entries_) {
      const auto valueOffset = static_cast<std::uint32_t>(file.size() + 77);
      const auto size = static_cast<std::uint32_t>(e.value.size());
      file += Record(e.key, e.type, valueOffset, size, valueOffset + size) + e.value;
    }
    return file + Record("", terminatorType, 0, 0, 0);
  }
  static std::string Record(const std::string& key, std::uint8_t type, std::uint32_t valueOffset,
                            std::uint32_t size, std::uint32_t next) {
    std::string field = key;
    field.resize(64, '\0');
    return field + static_cast<char>(type) + Le32(valueOffset) + Le32(size) + Le32(next);
  }

 private:
  struct TEntry {
    std::string key;
    std::uint8_t type;
    std::string value;
  };
  std::vector<TEntry> entries_;
};

std::vector<TSkinRecord> Parse(const std::string& file) {
  TReadOnlyMemoryStream stream(file.data(), file.size());
  return ReadSkinRecords(stream);
}

void Poke32(std::string& s, std::size_t at, std::uint32_t v) { s.replace(at, 4, Le32(v)); }

TEST(ReadSkinRecords, ReadsTheChainUpToTheTerminator) {
  const std::string key64(64, 'K');  // fills the key field: no terminating zero
  const std::string file = TRecordFileBuilder()
                               .Add("SKIN2_A", svInteger, Le32(static_cast<std::uint32_t>(-7)))
                               .Add("SKIN2_B", svBoolean, std::string(1, '\x02'))
                               .Add("SKIN2_C", 9, "skipped: unknown type")
                               .Add(key64, svString, std::string("x\0y", 3))
                               .Build(svInteger);
  const std::vector<TSkinRecord> records = Parse(file);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].key, "SKIN2_A");
  EXPECT_EQ(records[1].value, "\x02");
  EXPECT_EQ(records[2].key, key64);
  EXPECT_EQ(records[2].value, std::string("x\0y", 3));

  TSkinValueLists lists;
  for (const TSkinRecord& r : records) lists.AddRecord(r);
  EXPECT_EQ(lists.GetInteger("skin2_a"), -7);
  EXPECT_TRUE(lists.GetBool("Skin2_B"));
  EXPECT_EQ(lists.GetStr(key64), std::string("x\0y", 3));
  EXPECT_EQ(lists.IntegerCount(), 1u) << "the terminator is never stored, whatever its type";
}

TEST(ReadSkinRecords, TheTerminatorIsNeverReadWhateverItHolds) {
  for (const int type : {0, 1, 2, 3, 9}) {  // the four value types and an unknown one
    SCOPED_TRACE(type);
    std::string file = TRecordFileBuilder()
                           .Add("SKIN2_LAST", svBoolean, std::string(1, '\x01'))
                           .Build(static_cast<std::uint8_t>(type));
    const std::size_t terminator = file.size() - 77;
    file.replace(terminator, 8, "SKIN2_TX");     // a key of its own
    Poke32(file, terminator + 65, 0xFFFFFFF0u);  // a value far outside the file
    Poke32(file, terminator + 69, 3);            // of a size no integer or boolean has
    const std::vector<TSkinRecord> records = Parse(file);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].key, "SKIN2_LAST");
  }
}

TEST(ReadSkinRecords, RejectsFilesThatDoNotHoldTogether) {
  const std::string good = TRecordFileBuilder().Add("SKIN2_A", svInteger, Le32(1)).Add("SKIN2_B", svBitmap, "BMxx").Build();
  const std::size_t first = 24, second = 24 + 77 + 4;
  const struct {
    const char* name;
    std::function<void(std::string&)> damage;
  } cases[] = {
      {"shorter than a header", [](std::string& f) { f.resize(15); }},
      {"header size other than 24", [](std::string& f) { Poke32(f, 12, 28); }},
      {"first record outside the file", [](std::string& f) { Poke32(f, 20, 0xFFFFFF00u); }},
      {"record running past the end", [](std::string& f) { f.resize(f.size() - 1); }},
      {"next record outside the file", [&](std::string& f) { Poke32(f, first + 73, 0x7FFFFFFF); }},
      {"chain loops back", [&](std::string& f) { Poke32(f, second + 73, first); }},
      {"record points at itself", [&](std::string& f) { Poke32(f, first + 73, first); }},
      {"value outside the file", [&](std::string& f) { Poke32(f, second + 65, 0xFFFFFFF0u); }},
      {"value size running past the end", [&](std::string& f) { Poke32(f, second + 69, 0xFFFFFFFFu); }},
      {"integer of 2 bytes", [&](std::string& f) { Poke32(f, first + 69, 2); }},
      {"boolean of 4 bytes", [&](std::string& f) { f[first + 64] = svBoolean; }},
      // Both records claim the whole file as their value: more than the file holds.
      {"values sharing the file's bytes", [&](std::string& f) {
         for (const std::size_t record : {first, second}) {
           f[record + 64] = svString;
           Poke32(f, record + 65, 0);
           Poke32(f, record + 69, static_cast<std::uint32_t>(f.size()));
         }
       }},
  };
  // Records handed over one by one: none from a file that is refused, even
  // when the damage lies past records that are whole.
  const auto handedOver = [](const std::string& file) {
    int count = 0;
    TReadOnlyMemoryStream stream(file.data(), file.size());
    try {
      ForEachSkinRecord(stream, [&](const TSkinRecord&) { ++count; });
    } catch (const ESkinFormatError&) {
    }
    return count;
  };
  ASSERT_NO_THROW(Parse(good));
  EXPECT_EQ(handedOver(good), 2);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file = good;
    c.damage(file);
    EXPECT_THROW(Parse(file), ESkinFormatError);
    EXPECT_EQ(handedOver(file), 0);
  }
}

TEST(SkinValueLists, FirstMatchWinsAndSettersReplaceOrAppend) {
  TSkinValueLists lists;
  lists.AddRecord({"SKIN2_X", svInteger, Le32(5)});
  lists.AddRecord({"skin2_x", svInteger, Le32(6)});
  EXPECT_EQ(lists.GetInteger("SKIN2_X"), 5);
  lists.SetInteger("Skin2_X", 42);
  EXPECT_EQ(lists.GetInteger("skin2_x"), 42);
  EXPECT_EQ(lists.IntegerCount(), 2u);
  lists.SetInteger("SKIN2_NEW", -3);
  EXPECT_EQ(lists.GetInteger("SKIN2_NEW"), -3);
  lists.SetBool("SKIN2_FLAG", true);
  EXPECT_TRUE(lists.GetBool("SKIN2_FLAG"));
  lists.AddRecord({"SKIN2_BYTE", svBoolean, std::string(1, '\x00')});
  EXPECT_FALSE(lists.GetBool("SKIN2_BYTE"));
  EXPECT_EQ(lists.GetInteger("SKIN2_MISSING"), -1);
  EXPECT_FALSE(lists.GetBool("SKIN2_MISSING"));
  EXPECT_EQ(lists.GetStr("SKIN2_MISSING"), "");
}

// --- The embedded skin -------------------------------------------------------

constexpr int kAbsent = -1;
struct TExpectedKey {
  const char* key;
  int type;       // record type, or kAbsent
  std::int64_t a;  // bitmap width, integer or boolean value
  int b;          // bitmap height
};
const TExpectedKey kEmbeddedSkin[] = {
    {"SKIN2_TRANSCOLOR", svInteger, 0x00FF00FF, 0},
    {"SKIN2_TITLEFONTCOLOR", svInteger, 0x00FFFFFF, 0},
    {"SKIN2_FORMCOLOR", svInteger, 0x00F0F0F0, 0},
    {"SKIN2_MENUBARSTARTCOLOR", svInteger, 0x00F0F0F0, 0},
    {"SKIN2_MENUBARENDCOLOR", svInteger, 0x00F0F0F0, 0},
    {"SKIN2_TOPSELECTEDMENUCOLOR", svInteger, 0x00228194, 0},
    {"SKIN2_TOPSELECTEDMENUBORDERCOLOR", svInteger, 0x0020737A, 0},
    {"SKIN2_TOPSELECTEDMENUFONTCOLOR", svInteger, 0x00FFFFFF, 0},
    {"SKIN2_TOPMENUFONTCOLOR", svInteger, 0x00656565, 0},
    {"SKIN2_LEFTBARSTARTCOLOR", svInteger, 0x0020737A, 0},
    {"SKIN2_LEFTBARENDCOLOR", svInteger, 0x0020737A, 0},
    {"SKIN2_MENUITEMCOLOR", svInteger, 0x00217D8D, 0},
    {"SKIN2_MENUITEMFONTCOLOR", svInteger, 0x0094CCD5, 0},
    {"SKIN2_SELECTEDMENUCOLOR", svInteger, 0x001E9CB5, 0},
    {"SKIN2_SELECTEDMENUBORDERCOLOR", svInteger, 0x001E9CB5, 0},
    {"SKIN2_SELECTEDMENUFONTCOLOR", svInteger, 0x00FFFFFF, 0},
    {"SKIN2_TOOLBARSTARTCOLOR", svInteger, 0x00207279, 0},
    {"SKIN2_TOOLBARENDCOLOR", svInteger, 0x00228194, 0},
    {"SKIN2_TOOLBARONCOLOR", svInteger, 0x001E9CB5, 0},
    {"SKIN2_TOOLBARBORDERCOLOR", svInteger, 0x00228194, 0},
    {"SKIN2_TOOLBARDOWNCOLOR", svInteger, 0x00207279, 0},
    {"SKIN2_CONTROLCOLOR", svInteger, 0x00FFFFFF, 0},
    {"SKIN2_CONTROLBORDERCOLOR", svInteger, 0x00B5B5B5, 0},
    {"SKIN2_CONTROLFONTCOLOR", svInteger, 0x00656565, 0},
    {"SKIN2_BUTTONFONTCOLOR", svInteger, 0x00FAF8FA, 0},
    {"SKIN2_SCROLLBARCOLOR", svInteger, 0x00F4F3F3, 0},
    {"SKIN2_TABCONTROLCOLOR", svInteger, 0x00FFFFFF, 0},
    {"SKIN2_TABCONTROLBORDERCOLOR", svInteger, 0x00B5B5B5, 0},
    {"SKIN2_TABCONTROLACTIVEFONTCOLOR", svInteger, 0x00FFFFFF, 0},
    {"SKIN2_TABCONTROLINACTIVEFONTCOLOR", svInteger, 0x00FFFFFF, 0},
    {"SKIN2_SIDECHANNELCOLOR", svInteger, 0x00F4F4F4, 0},
    {"SKIN2_SIDECHANNELBORDERCOLOR", svInteger, 0x000D2E59, 0},
    {"SKIN2_TITLEBAR1", svBitmap, 126, 36},
    {"SKIN2_TITLEBAR2", svBitmap, 190, 36},
    {"SKIN2_TITLEBAR3", svBitmap, 125, 36},
    {"SKIN2_TITLEBAR4", kAbsent, 0, 0},
    {"SKIN2_TITLEBAR5", kAbsent, 0, 0},
    {"SKIN2_FORMLEFTBORDER", svBitmap, 2, 12},
    {"SKIN2_FORMRIGHTBORDER", svBitmap, 2, 12},
    {"SKIN2_FORMBOTTOMBORDER1", svBitmap, 126, 6},
    {"SKIN2_FORMBOTTOMBORDER2", svBitmap, 190, 6},
    {"SKIN2_FORMBOTTOMBORDER3", svBitmap, 125, 6},
    {"SKIN2_MINIMIZEDTITLE", svBitmap, 251, 31},
    {"SKIN2_TITLEBUTTONS", svBitmap, 360, 20},
    {"SKIN2_CHECKEDMENUICON", svBitmap, 16, 16},
    {"SKIN2_MENUBAR", kAbsent, 0, 0},
    {"SKIN2_TOOLBAR", svBitmap, 14, 46},
    {"SKIN2_BUTTON", svBitmap, 225, 27},
    {"SKIN2_CHECKBOX", svBitmap, 78, 13},
    {"SKIN2_CHECKBOXLIST", svBitmap, 44, 11},
    {"SKIN2_RADIOBUTTON", svBitmap, 52, 13},
    {"SKIN2_PROGRESSBAR1", svBitmap, 2, 15},
    {"SKIN2_PROGRESSBAR2", svBitmap, 16, 15},
    {"SKIN2_PROGRESSBAR3", svBitmap, 14, 15},
    {"SKIN2_PROGRESSBAR4", svBitmap, 2, 15},
    {"SKIN2_TRACKBAR", svBitmap, 60, 6},
    {"SKIN2_TRACKBARSLIDER", svBitmap, 11, 21},
    {"SKIN2_TRACKBARVSLIDER", svBitmap, 21, 11},
    {"SKIN2_SCROLLBARUPBUTTON", svBitmap, 51, 17},
    {"SKIN2_SCROLLBAR", svBitmap, 17, 61},
    {"SKIN2_SCROLLBARDOWNBUTTON", svBitmap, 51, 17},
    {"SKIN2_TABCONTROL", svBitmap, 24, 24},
    {"SKIN2_TABCONTROLLINE", svBitmap, 26, 1},
    {"SKIN2_SIDECHANNELBAR", svBitmap, 8, 84},
    {"SKIN2_SIDECHANNELTITLE", svBitmap, 35, 22},
    {"SKIN2_SCROLLBUTTON", svBitmap, 72, 18},
    {"SKIN2_TITLEBARICONPOSX", svInteger, 9, 0},
    {"SKIN2_TITLEBARICONPOSY", svInteger, 7, 0},
    {"SKIN2_TITLEBARCAPTIONTOP", svInteger, 7, 0},
    {"SKIN2_TITLEBARBUTTONPOSX", svInteger, 14, 0},
    {"SKIN2_TITLEBARBUTTONPOSY", svInteger, 7, 0},
    {"SKIN2_TITLEBARREGIONMINY", svInteger, -1, 0},
    {"SKIN2_TITLEBARREGIONMAXY", svInteger, -1, 0},
    {"SKIN2_BOTTOMREGIONMINY", svInteger, -1, 0},
    {"SKIN2_BOTTOMREGIONMAXY", svInteger, -1, 0},
    {"SKIN2_TITLEFIVESECT", svBoolean, 0, 0},
    {"SKIN2_BOTTOMBORDERTHREESECT", svBoolean, 1, 0},
    {"SKIN2_TITLEBARNEEDREGION", svBoolean, 0, 0},
    {"SKIN2_BOTTOMBORDERNEEDREGION", svBoolean, 0, 0},
    {"SKIN2_TITLEBTNTRANS", svBoolean, 1, 0},
    {"SKIN2_BUTTONTRANS", svBoolean, 1, 0},
    {"SKIN2_CHECKBOXTRANS", svBoolean, 0, 0},
    {"SKIN2_RADIOBUTTONTRANS", svBoolean, 1, 0},
    {"SKIN2_TABCONTROLTRANS", svBoolean, 1, 0},
};

std::string ExtractEmbeddedSkin(TScratchFolder& dir) {
  const std::string target = dir.File("SKINDATA.SK2");
  EXPECT_EQ(ExtractArchiveEntry(SourcePath("resources/skin/plexoria.skn"), "SKINDATA.SK2", target, ""), erExtracted);
  return ReadWholeFile(target);
}

std::uint32_t BmpField(const std::string& bmp, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bmp[at + i]);
  return v;
}

TEST(EmbeddedSkin, HoldsEveryKeyWithTheValuesOfTheKeyTable) {
  TScratchFolder dir;
  const std::string file = ExtractEmbeddedSkin(dir);
  ASSERT_EQ(file.size(), 159'667u);
  const std::vector<TSkinRecord> records = Parse(file);
  ASSERT_EQ(records.size(), 83u);
  TSkinValueLists lists;
  for (const TSkinRecord& r : records) lists.AddRecord(r);

  ASSERT_EQ(std::size(kEmbeddedSkin), SKIN2_SKINFILE_KEYNAME.size());
  for (std::size_t i = 0; i < std::size(kEmbeddedSkin); ++i) {
    const TExpectedKey& e = kEmbeddedSkin[i];
    SCOPED_TRACE(e.key);
    EXPECT_EQ(SKIN2_SKINFILE_KEYNAME[i], e.key);
    const TSkinRecord* record = nullptr;
    for (const TSkinRecord& r : records)
      if (r.key == e.key) record = &r;
    if (e.type == kAbsent) {
      EXPECT_EQ(record, nullptr);
      continue;
    }
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->type, e.type);
    if (e.type == svBitmap) {
      const std::string& bmp = record->value;
      ASSERT_GE(bmp.size(), 54u);
      EXPECT_EQ(bmp.substr(0, 2), "BM");
      EXPECT_EQ(BmpField(bmp, 18), static_cast<std::uint32_t>(e.a));
      EXPECT_EQ(BmpField(bmp, 22), static_cast<std::uint32_t>(e.b)) << "positive: bottom-up";
      EXPECT_EQ(BmpField(bmp, 28) & 0xFFFF, 24u);
      EXPECT_EQ(bmp.size(), 54 + ((e.a * 3 + 3) & ~3) * e.b);
    } else if (e.type == svInteger) {
      EXPECT_EQ(lists.GetInteger(e.key), static_cast<std::int32_t>(e.a));
    } else {
      EXPECT_EQ(lists.GetBool(e.key), e.a != 0);
    }
  }
  EXPECT_EQ(lists.GetInteger("SKIN2_SYSTEMCOLOR1"), 0x0000FF00);
  EXPECT_EQ(lists.GetInteger("SKIN2_SYSTEMCOLOR2"), 0x000000FF);
  EXPECT_EQ(lists.IntegerCount(), 32u + 9u + 2u);
  EXPECT_EQ(lists.BoolCount(), 9u);
  EXPECT_EQ(lists.StringCount(), 0u);
}

std::uint32_t At32(const std::string& s, std::size_t at) { return BmpField(s, at); }
unsigned At16(const std::string& s, std::size_t at) {
  return static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8);
}

// Readers of other skins rely on the writer's layout: records in a fixed
// order, each value right after its record, the next record right after
// that value, and a terminator closing the file.
TEST(EmbeddedSkin, RecordFileLayout) {
  TScratchFolder dir;
  const std::string file = ExtractEmbeddedSkin(dir);
  ASSERT_EQ(file.size(), 159'667u);
  EXPECT_EQ(file.substr(0, 12), "KESTRAMO_SK2");
  EXPECT_EQ(At32(file, 12), 24u);  // header size
  EXPECT_EQ(At32(file, 16), 2u);   // format version
  EXPECT_EQ(At32(file, 20), 24u);  // first record

  // Bitmaps in table order, then colours, integers, the two unnamed system
  // colours and booleans.
  std::vector<std::pair<std::string, int>> order;
  for (const int type : {int{svBitmap}, int{svInteger}})
    for (std::size_t i = 0; i < 75; ++i)
      if (kEmbeddedSkin[i].type == type) order.emplace_back(kEmbeddedSkin[i].key, type);
  order.emplace_back("SKIN2_SYSTEMCOLOR1", svInteger);
  order.emplace_back("SKIN2_SYSTEMCOLOR2", svInteger);
  for (std::size_t i = 75; i < std::size(kEmbeddedSkin); ++i) order.emplace_back(kEmbeddedSkin[i].key, svBoolean);
  ASSERT_EQ(order.size(), 83u);

  std::size_t at = 24;
  for (const auto& [key, type] : order) {
    SCOPED_TRACE(key);
    ASSERT_LE(at + 77, file.size());
    EXPECT_EQ(file.substr(at, 64), key + std::string(64 - key.size(), '\0'));
    EXPECT_EQ(static_cast<int>(file[at + 64]), type);
    const std::uint32_t valueOffset = At32(file, at + 65), size = At32(file, at + 69), next = At32(file, at + 73);
    EXPECT_EQ(valueOffset, at + 77);
    EXPECT_EQ(size, type == svBitmap ? At32(file, valueOffset + 2) : type == svInteger ? 4u : 1u);
    ASSERT_EQ(next, valueOffset + size);
    at = next;
  }
  // The terminator: empty key, type 2, no value, no next record, end of file.
  EXPECT_EQ(file.substr(at), std::string(64, '\0') + '\x02' + std::string(12, '\0'));
}

// The archive around it: one deflated entry, no extra fields, no comment.
TEST(EmbeddedSkin, ArchiveLayout) {
  const std::string archive = ReadWholeFile(SourcePath("resources/skin/plexoria.skn"));
  ASSERT_GT(archive.size(), 30u + 46u + 22u);
  const std::size_t end = archive.size() - 22;
  EXPECT_EQ(archive.substr(end, 4), std::string("PK\x05\x06", 4));
  EXPECT_EQ(At16(archive, end + 8), 1u);   // entries on this disk
  EXPECT_EQ(At16(archive, end + 10), 1u);  // entries in all
  EXPECT_EQ(At16(archive, end + 20), 0u);  // comment length
  const std::size_t directory = At32(archive, end + 16);
  EXPECT_EQ(At32(archive, end + 12), end - directory);  // directory size

  EXPECT_EQ(archive.substr(0, 4), std::string("SK\x03\x04", 4));
  const std::string name = "SKINDATA.SK2";
  ASSERT_EQ(directory + 46 + name.size(), end);
  EXPECT_EQ(archive.substr(directory, 4), std::string("PK\x01\x02", 4));
  const struct {
    const char* field;
    std::size_t local, central;  // offsets in the local header and the directory entry
    int bytes;
    std::uint32_t expected;
  } fields[] = {
      {"version needed", 4, 6, 2, 20}, {"flags", 6, 8, 2, 0},        {"method", 8, 10, 2, 8},
      {"uncompressed size", 22, 24, 4, 159'667}, {"name length", 26, 28, 2, 12}, {"extra length", 28, 30, 2, 0},
  };
  for (const auto& f : fields) {
    SCOPED_TRACE(f.field);
    const auto read = [&](std::size_t at) { return f.bytes == 4 ? At32(archive, at) : At16(archive, at); };
    EXPECT_EQ(read(f.local), f.expected);
    EXPECT_EQ(read(directory + f.central), f.expected);
  }
  EXPECT_EQ(At16(archive, directory + 4), 20u);       // version made by
  EXPECT_EQ(At16(archive, directory + 32), 0u);       // comment length
  EXPECT_EQ(At32(archive, directory + 38), 0x20u);    // external attributes
  EXPECT_EQ(At32(archive, directory + 42), 0u);       // local header offset
  EXPECT_EQ(archive.substr(30, name.size()), name);
  EXPECT_EQ(archive.substr(directory + 46, name.size()), name);
  EXPECT_EQ(At32(archive, 18), directory - 30 - name.size());  // compressed size: the data up to the directory
  EXPECT_EQ(At32(archive, directory + 20), At32(archive, 18));
}

// The generator's archive against the committed one: the same skin data and
// the same header fields. The compressed bytes themselves are whatever the
// machine's zlib makes of the data, so they are not compared.
TEST(EmbeddedSkin, CommittedArchiveHoldsWhatTheGeneratorWrites) {
  TScratchFolder dir;
  const std::string fresh = dir.File("fresh.skn");
  const std::string command = std::string(PLEXORIA_SKINGEN) + " " + fresh + " > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string committed_path = SourcePath("resources/skin/plexoria.skn");
  const std::string fresh_archive = ReadWholeFile(fresh), committed_archive = ReadWholeFile(committed_path);
  ASSERT_GT(committed_archive.size(), 30u);
  ASSERT_GT(fresh_archive.size(), 30u);

  ASSERT_EQ(ExtractArchiveEntry(fresh, "SKINDATA.SK2", dir.File("fresh.sk2"), ""), erExtracted);
  ASSERT_EQ(ExtractArchiveEntry(committed_path, "SKINDATA.SK2", dir.File("committed.sk2"), ""), erExtracted);
  EXPECT_TRUE(ReadWholeFile(dir.File("fresh.sk2")) == ReadWholeFile(dir.File("committed.sk2")))
      << "re-run tools/skin and commit resources/skin/plexoria.skn";

  // Signature, version, flags, method, time, date, CRC; then the sizes of
  // the data and the name, and the name.
  EXPECT_EQ(fresh_archive.substr(0, 18), committed_archive.substr(0, 18));
  EXPECT_EQ(At32(fresh_archive, 22), At32(committed_archive, 22));
  EXPECT_EQ(fresh_archive.substr(26, 4 + 12), committed_archive.substr(26, 4 + 12));
}

}  // namespace
}  // namespace plx
