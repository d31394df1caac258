// Numbers in strings, file group descriptors, HDROP blocks, format and medium
// names, format kinds and tokenizing: the byte-level contracts.
#include <gtest/gtest.h>

#include <string>

#include "dragdrop/ClipboardFormatNames.h"
#include "dragdrop/TextFormatKinds.h"
#include "dragdrop/Tokenize.h"
#include "dragdrop/TransferBlocks.h"

namespace plx {
namespace {

using namespace std::string_literals;

std::vector<std::string> Lines(const TStringList& list) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(list.Count()));
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

TEST(NumbersInStrings, RoundTripAndShortInput) {
  EXPECT_EQ(EncodeDWORDToString(0x04030201u), "\x01\x02\x03\x04"s);
  EXPECT_EQ(DecodeDWORDFromString("\x01\x02\x03\x04\x05"s), 0x04030201u);
  EXPECT_EQ(DecodeDWORDFromString("\x01\x02\x03"s), 0u);
  EXPECT_EQ(DecodeDoubleFromString(EncodeDoubleToString(-2.5)), -2.5);
  EXPECT_EQ(EncodeDoubleToString(1.0).size(), 8u);
  EXPECT_EQ(DecodeDoubleFromString("1234567"), 0.0);
  const std::uintptr_t pointer = static_cast<std::uintptr_t>(0x1122334455667788ull & UINTPTR_MAX);
  EXPECT_EQ(DecodeHandleFromString(EncodeHandleToString(pointer)), pointer);
}

TEST(ClipboardFormatNames, StandardNamesAndNumbers) {
  EXPECT_EQ(StandardClipboardFormatName(1), "CF_TEXT");
  EXPECT_EQ(StandardClipboardFormatName(15), "CF_HDROP");
  EXPECT_EQ(StandardClipboardFormatName(16), "CF_LOCALE");
  EXPECT_EQ(StandardClipboardFormatName(-1), "");
  EXPECT_EQ(StandardClipboardFormatName(17), "");
  struct Case {
    const char* name;
    int number;
  } cases[] = {{"1", 1}, {"15", 15}, {"16", 16}, {"0", 0}, {"17", 0}, {"49158", 0},
               {"", 0},  {"01", 0},  {"-1", 0},  {"1 ", 0}, {"CF_TEXT", 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(StandardClipboardFormatFromName(c.name), c.number) << '"' << c.name << '"';
  }
}

TEST(ClipboardFormatNames, StorageMediumNames) {
  EXPECT_EQ(StorageMediumDisplayName(0), "TYMED_NULL");
  EXPECT_EQ(StorageMediumDisplayName(1), "TYMED_HGLOBAL");
  EXPECT_EQ(StorageMediumDisplayName(5), "TYMED_HGLOBAL+TYMED_ISTREAM");
  EXPECT_EQ(StorageMediumDisplayName(64 | 16), "TYMED_GDI+TYMED_ENHMF");
  EXPECT_EQ(StorageMediumDisplayName(128), "128");
}

TEST(Tokenize, EmptyPiecesKeptOnlyByRaw) {
  EXPECT_EQ(Lines(*TokenizeRaw("alpha,;beta", ",;")), (std::vector<std::string>{"alpha", "", "beta"}));
  EXPECT_EQ(Lines(*Tokenize("alpha,;beta", ",;")), (std::vector<std::string>{"alpha", "beta"}));
  EXPECT_EQ(Lines(*TokenizeRaw(",a,", ",")), (std::vector<std::string>{"", "a", ""}));
  EXPECT_EQ(Lines(*Tokenize("no delimiters", ",")), (std::vector<std::string>{"no delimiters"}));
  EXPECT_EQ(Lines(*Tokenize("a\0b"s, "\0"s)), (std::vector<std::string>{"a", "b"}));
}

TEST(FileGroupDescriptor, BuildAndReadBack) {
  const std::string block = BuildFileGroupDescriptor(
      {{"C:\\dir\\one.txt", 32, std::nullopt}, {"C:\\dir\\two.bin", 1, 4096u}});
  ASSERT_EQ(block.size(), 4 + 2 * kFileDescriptorSize);
  EXPECT_EQ(DecodeDWORDFromString(block), 2u);
  EXPECT_EQ(DecodeDWORDFromString(block.substr(4)), kFdAttributes);
  EXPECT_EQ(DecodeDWORDFromString(block.substr(4 + 36)), 32u);
  const std::size_t second = 4 + kFileDescriptorSize;
  EXPECT_EQ(DecodeDWORDFromString(block.substr(second)), kFdAttributes | kFdFileSize);
  EXPECT_EQ(DecodeDWORDFromString(block.substr(second + 64)), 0u);
  EXPECT_EQ(DecodeDWORDFromString(block.substr(second + 68)), 4096u);
  EXPECT_EQ(Lines(*FileListFromFileGroupDescriptor(block)),
            (std::vector<std::string>{"C:\\dir\\one.txt", "C:\\dir\\two.bin"}));
}

TEST(FileGroupDescriptor, HostileBlocksReadOnlyWhatIsThere) {
  std::string one = BuildFileGroupDescriptor({{"name", 32, std::nullopt}});
  std::string claimsMany = one;
  claimsMany.replace(0, 4, EncodeDWORDToString(0xFFFFFFFFu));
  std::string unterminated = one;
  unterminated.replace(4 + 72, 260, std::string(260, 'x'));
  struct Case {
    const char* name;
    std::string block;
    std::vector<std::string> names;
  } cases[] = {
      {"empty", "", {}},
      {"count only", EncodeDWORDToString(3), {}},
      {"count beyond records", claimsMany, {"name"}},
      {"cut record", one.substr(0, one.size() - 1), {}},
      {"name without zero", unterminated, {std::string(260, 'x')}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Lines(*FileListFromFileGroupDescriptor(c.block)), c.names) << c.name;
  }
}

TEST(FileGroupDescriptor, URLTitles) {
  auto title = [](const std::string& name, bool bookmark) {
    return URLTitleFromFileGroupDescriptor(BuildFileGroupDescriptor({{name, 32, std::nullopt}}), bookmark);
  };
  EXPECT_EQ(title("Example page.url", false), "Example page");
  EXPECT_EQ(title("Shortcut to Example.URL", false), "Shortcut to Example");
  EXPECT_EQ(title("Shortcut to Example.URL", true), "Example");
  EXPECT_EQ(title("a.url.url", false), "a.url");
  EXPECT_EQ(URLTitleFromFileGroupDescriptor("short", false), "");
  EXPECT_EQ(URLTitleFromFileGroupDescriptor(std::string(4 + 72, '\0') + "Cut", false), "Cut");
}

TEST(HDROPBlocks, NarrowAndWideRoundTrip) {
  const std::string narrow = BuildHDROP({"C:\\a.txt", "C:\\b c.txt"});
  EXPECT_EQ(narrow.substr(0, 20), EncodeDWORDToString(20) + std::string(16, '\0'));
  EXPECT_EQ(narrow.substr(20), "C:\\a.txt\0C:\\b c.txt\0\0"s);
  const std::string wide = BuildHDROPWide({u"C:\\a.txt", u"C:\\b c.txt"});
  EXPECT_EQ(DecodeDWORDFromString(wide.substr(16)), 0xFFFFFFFFu);
  EXPECT_EQ(wide.size(), 20 + 2 * (9 + 11 + 1));
  for (const std::string& block : {narrow, wide}) {
    EXPECT_EQ(Lines(*FileListFromHDROP(block)), (std::vector<std::string>{"C:\\a.txt", "C:\\b c.txt"}));
  }
}

TEST(HDROPBlocks, HostileBlocks) {
  const std::string header = EncodeDWORDToString(20) + std::string(16, '\0');
  const std::string wide_header = EncodeDWORDToString(20) + std::string(12, '\0') + EncodeDWORDToString(1);
  struct Case {
    const char* name;
    std::string block;
    std::vector<std::string> names;
  } cases[] = {
      {"header only", header, {}},
      {"shorter than header", "abc", {}},
      {"no terminator", header + "C:\\x", {"C:\\x"}},
      {"leading zero is an empty piece", header + "\0a\0b\0\0c\0\0"s, {"a", "b"}},
      {"single zeros split", header + "a\0b\0\0c\0\0"s, {"a", "b"}},
      {"offset outside the block", EncodeDWORDToString(9999) + std::string(16, '\0') + "f\0\0"s, {"f"}},
      {"offset after the header", EncodeDWORDToString(24) + std::string(16, '\0') + "skipf\0\0"s, {"f"}},
      {"wide odd length", wide_header + "a\0b\0c"s, {"ab"}},
      {"wide unit beyond 8 bits", wide_header + "a\0\x01\x04\0\0"s, {"a?"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Lines(*FileListFromHDROP(c.block)), c.names) << c.name;
  }
}

// The system's own list reader walks to the double zero: only blocks that
// hold one inside themselves may be given to it.
TEST(HDROPBlocks, WellFormedOnlyWhenTheListEndsInside) {
  const std::string wide_header = EncodeDWORDToString(20) + std::string(12, '\0') + EncodeDWORDToString(1);
  struct Case {
    const char* name;
    std::string block;
    bool well_formed;
  } cases[] = {
      {"narrow", BuildHDROP({"C:\\a", "C:\\b"}), true},
      {"wide", BuildHDROPWide({u"C:\\a"}), true},
      {"empty list", BuildHDROP({}), true},
      {"narrow without the final zero", BuildHDROP({"C:\\a"}).substr(0, 24), false},
      {"wide ended by narrow zeros only", wide_header + "a\0b\0\0"s, false},
      {"offset beyond the block", EncodeDWORDToString(500) + std::string(16, '\0') + "a\0\0"s, false},
      {"header only", std::string(20, '\0'), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsWellFormedHDROP(c.block), c.well_formed) << c.name;
  }
}

TEST(TextFormatKinds, FromFormatLists) {
  auto kinds = [](const std::vector<std::string>& names) {
    TStringList list;
    for (auto& name : names) list.Add(name);
    return TextFormatsFromFormatList(list);
  };
  EXPECT_EQ(kinds({}), TDropTextFormats{});
  EXPECT_EQ(kinds({"1"}), TDropTextFormats{dtfText});
  EXPECT_EQ(kinds({"1", "13", "7"}), (TDropTextFormats{dtfText, dtfCustom}));
  EXPECT_EQ(kinds({"UniformResourceLocator", "Netscape Bookmark"}), (TDropTextFormats{dtfURL, dtfCustom}));
  EXPECT_EQ(kinds({"netscape bookmark", "15", "html format", "Rich Text Format", "1"}),
            (TDropTextFormats{dtfURL, dtfFiles, dtfIEHTML, dtfRichText, dtfText}));
  TStringList pictures;
  pictures.Add("Netscape Image Format");
  pictures.Add("14");
  EXPECT_EQ(GraphicFormatsFromFormatList(pictures), (TDropGraphicFormats{dgfBitmap, dgfMetafile}));
}

}  // namespace
}  // namespace plx
