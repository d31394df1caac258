// Data-object queries, format names and the global-memory, bitmap, metafile
// and enumerator utilities, against real OLE and a test data object.
#include <gtest/gtest.h>

#include <cstring>

#include "dragdrop/ClipboardFormats.h"
#include "dragdrop/DataObjectUtils.h"
#include "dragdrop/DragDropUnit.h"
#include "dragdrop/EnumFormatEtc.h"
#include "dragdrop/FileTransfer.h"
#include "dragdrop/ObjectSlot.h"
#include "dragdrop/TransferBlocks.h"
#include "framework/GdiHandles.h"
#include "tests/dragdrop/TestDataObject.h"

namespace plx {
namespace {

using namespace std::string_literals;
using test::MakeDataObject;
using test::TMisbehaviour;
using test::TOfferedFormat;
using test::TRequest;
using test::TTestDataObject;

std::vector<std::string> Lines(const TStringList& list) {
  std::vector<std::string> lines;
  lines.reserve(list.Count());
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

TEST(ClipboardFormats, NamesToNumbersAndBack) {
  EXPECT_TRUE(DragDropUnitOleReady());
  EXPECT_EQ(ClipboardFormatFromString(""), 0u);
  EXPECT_EQ(ClipboardFormatFromString("1"), 1u);
  EXPECT_EQ(ClipboardFormatFromString("15"), 15u);
  // Numbers outside 1..16 are registered as names, and keep those names.
  for (const char* name : {"0", "17", "49158", "Plexoria Test Format"}) {
    const UINT format = ClipboardFormatFromString(name);
    EXPECT_GE(format, 0xC000u) << name;
    EXPECT_EQ(ClipboardFormatDisplayName(static_cast<int>(format)), name) << name;
    EXPECT_EQ(ClipboardFormatFromString(name), format) << name << " registered twice";
  }
  EXPECT_EQ(ClipboardFormatFromString("bad\0name"s), 0u);
  EXPECT_EQ(ClipboardFormatDisplayName(15), "CF_HDROP");
  EXPECT_EQ(ClipboardFormatDisplayName(-1), "");
  EXPECT_EQ(ClipboardFormatDisplayName(0), "");
  EXPECT_EQ(ClipboardFormatDisplayName(0xBFFF), "");
  EXPECT_EQ(ClipboardFormatDisplayName(static_cast<int>(DragDropFormats().URL)), "UniformResourceLocator");
  EXPECT_NE(DragDropFormats().GraphicTargetDropMessage, 0u);
}

// Every way a source can answer GetData for CF_TEXT; no medium may stay
// unreleased and no reference may stay added.
TEST(DataObjGetFormat, HostileAnswersForText) {
  struct Case {
    const char* name;
    TOfferedFormat offered;
    std::string expected;
  } cases[] = {
      {"six-byte word", {CF_TEXT, "Hello\0"s}, "Hello\0"s},
      {"no terminating zero", {CF_TEXT, "abc"}, "abc"},
      {"bytes after the zero", {CF_TEXT, "ab\0cd\0"s}, "ab\0cd\0"s},
      {"lock fails", {CF_TEXT, "x", TYMED_HGLOBAL, TMisbehaviour::LockFails}, ""},
      {"GetData fails", {CF_TEXT, "x", TYMED_HGLOBAL, TMisbehaviour::GetDataFails}, ""},
      {"stream instead of block", {CF_TEXT, "x", TYMED_HGLOBAL, TMisbehaviour::WrongMedium}, ""},
      {"format not offered", {CF_OEMTEXT, "x"}, ""},
  };
  for (const Case& c : cases) {
    auto object = MakeDataObject({c.offered});
    // The one-shot lindex is used once and put back, read or not.
    DataObjectLindex = 7;
    EXPECT_EQ(DataObjGetFormat(object.Get(), "1"), c.expected) << c.name;
    EXPECT_EQ(DataObjectLindex, -1) << c.name;
    EXPECT_EQ(DataObjectTymed, static_cast<DWORD>(TYMED_HGLOBAL)) << c.name;
    ASSERT_EQ(object->requests.size(), 1u) << c.name;
    EXPECT_EQ(object->requests[0].lindex, 7) << c.name;
    EXPECT_EQ(TTestDataObject::LiveMedia(), 0) << c.name;
    EXPECT_EQ(object->RefCount(), 1) << c.name;
  }
  EXPECT_EQ(DataObjGetFormat(nullptr, "1"), "");
  // A fixed block asked for with size 0 holds whatever the system rounds it
  // up to (Wine: one byte); it is read without going past that.
  auto empty = MakeDataObject({{CF_TEXT, "", TYMED_HGLOBAL, TMisbehaviour::FixedEmpty}});
  EXPECT_LE(DataObjGetFormat(empty.Get(), "1").size(), 1u);
  EXPECT_EQ(TTestDataObject::LiveMedia(), 0);
}

TEST(DataObjGetFormat, HundredMegabyteBlockComesWhole) {
  std::string big(100u << 20, 'x');
  big.back() = '\0';
  auto object = MakeDataObject({{CF_TEXT, big}});
  const std::string text = DataObjGetFormat(object.Get(), "1");
  EXPECT_EQ(text.size(), big.size());
  EXPECT_TRUE(text == big);
  EXPECT_EQ(TTestDataObject::LiveMedia(), 0);
}

TEST(DataObjGetFormat, StreamGivesAReferenceForTheCaller) {
  auto object = MakeDataObject({{CF_TEXT, "streamed", TYMED_ISTREAM}});
  DataObjectTymed = TYMED_ISTREAM;
  DataObjectLindex = 3;
  const std::string handle = DataObjGetFormat(object.Get(), "1");
  ASSERT_EQ(handle.size(), sizeof(void*));
  auto stream = TComPtr<IStream>::Adopt(reinterpret_cast<IStream*>(DecodeHandleFromString(handle)));
  ASSERT_TRUE(stream);
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  char buffer[16] = {};
  ULONG read = 0;
  stream->Read(buffer, sizeof buffer, &read);
  EXPECT_EQ(std::string(buffer, read), "streamed");
  // The one-shot parameters went back for the next call.
  EXPECT_EQ(DataObjectTymed, static_cast<DWORD>(TYMED_HGLOBAL));
  EXPECT_EQ(DataObjectLindex, -1);
  EXPECT_EQ(object->requests.back(), (TRequest{CF_TEXT, TYMED_ISTREAM, 3}));
}

// Media other than a block: a bitmap or enhanced metafile comes back as a
// copy the caller owns (the medium's own handle goes with the medium), a
// metafile picture as its record holding a copy of the metafile, a storage
// as a pointer carrying one reference for the caller. A GDI or metafile
// medium of any other format gives nothing: its handle would be gone with
// the medium.
TEST(DataObjGetFormat, PicturesAndStoragesComeAsCopiesOrReferencesForTheCaller) {
  TWindowDC screen(nullptr);
  TOwnedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), 2, 1));
  {
    TMemoryDC dc(screen.Get());
    TSelectObject select(dc.Get(), bitmap.Get());
    SetPixel(dc.Get(), 0, 0, RGB(255, 0, 0));
    SetPixel(dc.Get(), 1, 0, RGB(0, 0, 255));
  }
  HDC recorder = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  Rectangle(recorder, 0, 0, 20, 10);
  HENHMETAFILE enhanced = CloseEnhMetaFile(recorder);
  HDC oldRecorder = CreateMetaFileA(nullptr);
  Rectangle(oldRecorder, 0, 0, 20, 10);
  HMETAFILE metafile = CloseMetaFile(oldRecorder);
  const UINT custom = RegisterClipboardFormatA("Plexoria Picture");
  auto handleOf = [](const std::string& text) { return reinterpret_cast<HANDLE>(DecodeHandleFromString(text)); };

  {  // CF_BITMAP: a new bitmap with the same pixels.
    auto object = MakeDataObject({{CF_BITMAP, "", TYMED_GDI, TMisbehaviour::None, bitmap.Get()}});
    DataObjectTymed = TYMED_GDI;
    const std::string text = DataObjGetFormat(object.Get(), "2");
    ASSERT_EQ(text.size(), sizeof(HBITMAP));
    TOwnedBitmap copy(static_cast<HBITMAP>(handleOf(text)));
    EXPECT_NE(copy.Get(), bitmap.Get());
    ASSERT_EQ(GetObjectType(copy.Get()), static_cast<DWORD>(OBJ_BITMAP));
    TMemoryDC dc(screen.Get());
    TSelectObject select(dc.Get(), copy.Get());
    EXPECT_EQ(GetPixel(dc.Get(), 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc.Get(), 1, 0), RGB(0, 0, 255));
  }
  {  // CF_ENHMETAFILE: a copy holding the same records.
    auto object = MakeDataObject({{CF_ENHMETAFILE, "", TYMED_ENHMF, TMisbehaviour::None, enhanced}});
    DataObjectTymed = TYMED_ENHMF;
    const std::string text = DataObjGetFormat(object.Get(), "14");
    ASSERT_EQ(text.size(), sizeof(HENHMETAFILE));
    auto copy = static_cast<HENHMETAFILE>(handleOf(text));
    ENHMETAHEADER header{};
    ASSERT_GT(GetEnhMetaFileHeader(copy, sizeof header, &header), 0u);
    ENHMETAHEADER original{};
    GetEnhMetaFileHeader(enhanced, sizeof original, &original);
    EXPECT_EQ(header.nRecords, original.nRecords);
    EXPECT_TRUE(DeleteEnhMetaFile(copy));
  }
  {  // CF_METAFILEPICT: the record, its metafile a copy.
    auto object = MakeDataObject({{CF_METAFILEPICT, "", TYMED_MFPICT, TMisbehaviour::None, metafile}});
    DataObjectTymed = TYMED_MFPICT;
    const std::string text = DataObjGetFormat(object.Get(), "3");
    ASSERT_EQ(text.size(), sizeof(METAFILEPICT));
    METAFILEPICT picture{};
    std::memcpy(&picture, text.data(), sizeof picture);
    EXPECT_EQ(picture.mm, MM_ANISOTROPIC);
    EXPECT_EQ(picture.xExt, 1000);
    EXPECT_EQ(picture.yExt, 1000);
    ASSERT_NE(picture.hMF, nullptr);
    EXPECT_EQ(GetMetaFileBitsEx(picture.hMF, 0, nullptr), GetMetaFileBitsEx(metafile, 0, nullptr));
    EXPECT_TRUE(DeleteMetaFile(picture.hMF));
  }
  {  // A storage: the object itself, with the caller's reference only.
    auto object = MakeDataObject({{custom, "inside", TYMED_ISTORAGE}});
    DataObjectTymed = TYMED_ISTORAGE;
    const std::string text = DataObjGetFormat(object.Get(), "Plexoria Picture");
    ASSERT_EQ(text.size(), sizeof(IStorage*));
    auto storage = TComPtr<IStorage>::Adopt(static_cast<IStorage*>(handleOf(text)));
    TComPtr<IStream> contents;
    ASSERT_TRUE(SUCCEEDED(
        storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, contents.Put())));
    char buffer[16] = {};
    ULONG read = 0;
    contents->Read(buffer, sizeof buffer, &read);
    EXPECT_EQ(std::string(buffer, read), "inside");
    contents.Reset();
    EXPECT_EQ(storage.Detach()->Release(), 0u);
  }
  struct Case {
    const char* name;
    TOfferedFormat offered;
    const char* format_name;
  } nothing[] = {
      {"bitmap handle for CF_PALETTE", {CF_PALETTE, "", TYMED_GDI, TMisbehaviour::None, bitmap.Get()}, "9"},
      {"enhanced metafile for another format", {custom, "", TYMED_ENHMF, TMisbehaviour::None, enhanced},
       "Plexoria Picture"},
      {"metafile picture for another format", {custom, "", TYMED_MFPICT, TMisbehaviour::None, metafile},
       "Plexoria Picture"},
  };
  for (const Case& c : nothing) {
    auto object = MakeDataObject({c.offered});
    DataObjectTymed = c.offered.tymed;
    EXPECT_EQ(DataObjGetFormat(object.Get(), c.format_name), "") << c.name;
    EXPECT_EQ(object->requests.size(), 1u) << c.name;
  }
  EXPECT_EQ(TTestDataObject::LiveMedia(), 0);
  DeleteEnhMetaFile(enhanced);
  DeleteMetaFile(metafile);
}

TEST(DataObjHasFormat, OneShotParametersApplyToOneCall) {
  auto object = MakeDataObject({{CF_TEXT, "x"}, {CF_HDROP, "x", TYMED_ISTREAM}});
  DataObjectTymed = TYMED_ISTREAM;
  EXPECT_FALSE(DataObjHasFormat(object.Get(), "1"));
  EXPECT_FALSE(DataObjHasFormat(object.Get(), "15"));
  EXPECT_TRUE(DataObjHasFormat(object.Get(), "1"));
  DataObjectTymed = 0;  // read as TYMED_HGLOBAL
  EXPECT_TRUE(DataObjHasFormat(object.Get(), "1"));
  EXPECT_EQ(object->queries, (std::vector<TRequest>{{CF_TEXT, TYMED_ISTREAM, -1},
                                                    {CF_HDROP, TYMED_HGLOBAL, -1},
                                                    {CF_TEXT, TYMED_HGLOBAL, -1},
                                                    {CF_TEXT, TYMED_HGLOBAL, -1}}));
  // No object, or a name that gives no format, asks nothing and resets too.
  DataObjectTymed = TYMED_ISTREAM;
  EXPECT_FALSE(DataObjHasFormat(nullptr, "1"));
  EXPECT_EQ(DataObjectTymed, static_cast<DWORD>(TYMED_HGLOBAL));
  EXPECT_FALSE(DataObjHasFormat(object.Get(), ""));
  EXPECT_EQ(object->queries.size(), 4u);
}

TEST(DataObjFormatList, NamesInEnumeratorOrder) {
  const UINT html = DragDropFormats().HTML;
  auto object = MakeDataObject({{CF_TEXT, "x"}, {html, "x"}, {CF_HDROP, "x"}, {CF_ENHMETAFILE, "", TYMED_ENHMF}});
  EXPECT_EQ(Lines(*DataObjFormatList(object.Get())), (std::vector<std::string>{"1", "HTML Format", "15", "14"}));
  EXPECT_EQ(Lines(*DataObjFormatEtcList(object.Get())),
            (std::vector<std::string>{"\"CF_TEXT\",1,TYMED_HGLOBAL,1,-1",
                                      "\"HTML Format\"," + std::to_string(html) + ",TYMED_HGLOBAL,1,-1",
                                      "\"CF_HDROP\",15,TYMED_HGLOBAL,1,-1",
                                      "\"CF_ENHMETAFILE\",14,TYMED_ENHMF,1,-1"}));
  // The enumerator was released by the lists: only the object's own
  // reference is left.
  auto* enumerator = static_cast<TQXEnumFormatEtc*>(object->last_enumerator.Get());
  EXPECT_EQ(enumerator->RefCount(), 1);
  EXPECT_EQ(object->RefCount(), 1);
  EXPECT_EQ(DataObjFormatList(nullptr)->Count(), 0);
}

TEST(DataObjFormatList, EndlessEnumeratorStops) {
  auto object = MakeDataObject({});
  object->endless_enumerator = true;
  EXPECT_EQ(DataObjFormatList(object.Get())->Count(), kMaxEnumeratedFormats);
  EXPECT_EQ(DataObjFormatEtcList(object.Get())->Count(), kMaxEnumeratedFormats);
}

TEST(DataObjRefCount, CountAfterOneAddRefAndRelease) {
  auto object = MakeDataObject({});
  EXPECT_EQ(DataObjRefCount(object.Get()), 1u);
  // NOLINTNEXTLINE(performance-unnecessary-copy-initialization): the copy is the second reference being counted
  TComPtr<TTestDataObject> second = object;
  EXPECT_EQ(DataObjRefCount(object.Get()), 2u);
  EXPECT_EQ(DataObjRefCount(nullptr), 0u);
}

TEST(GlobalBlocks, TextToBlockAndBack) {
  const std::string text = "a\0b\xff"s;
  TGlobalMemory block(SetHandleDataFromString(text));
  ASSERT_TRUE(block);
  EXPECT_EQ(block.Size(), text.size() + 1);
  EXPECT_EQ(GlobalFlags(block.Get()) & GMEM_DDESHARE, static_cast<UINT>(GMEM_DDESHARE));
  EXPECT_EQ(GetHandleDataToString(block.Get()), text + '\0');
  TGlobalMemory discarded(GlobalAlloc(GMEM_MOVEABLE, 0));
  EXPECT_EQ(GetHandleDataToString(discarded.Get()), "");
  EXPECT_EQ(GetHandleDataToString(nullptr), "");
}

TEST(GdiCopies, BitmapCopyHasSamePixels) {
  TWindowDC screen(nullptr);
  TOwnedBitmap original(CreateCompatibleBitmap(screen.Get(), 3, 2));
  {
    TMemoryDC dc(screen.Get());
    TSelectObject select(dc.Get(), original.Get());
    SetPixel(dc.Get(), 0, 0, RGB(255, 0, 0));
    SetPixel(dc.Get(), 2, 1, RGB(0, 0, 255));
  }
  TOwnedBitmap copy(CopyBitmapHandle(original.Get()));
  ASSERT_TRUE(copy);
  EXPECT_NE(copy.Get(), original.Get());
  BITMAP info{};
  GetObjectA(copy.Get(), sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmHeight, 2);
  TMemoryDC dc(screen.Get());
  TSelectObject select(dc.Get(), copy.Get());
  EXPECT_EQ(GetPixel(dc.Get(), 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc.Get(), 2, 1), RGB(0, 0, 255));
  EXPECT_EQ(CopyBitmapHandle(nullptr), nullptr);
}

TEST(GdiCopies, EnhancedMetafileFromMetafilePicture) {
  HDC recorder = CreateMetaFileA(nullptr);
  Rectangle(recorder, 0, 0, 10, 10);
  METAFILEPICT picture{MM_ANISOTROPIC, 1000, 1000, CloseMetaFile(recorder)};
  ASSERT_NE(picture.hMF, nullptr);
  HENHMETAFILE enhanced = EnhMFfromMetaFilePict(picture);
  ASSERT_NE(enhanced, nullptr);
  ENHMETAHEADER header{};
  EXPECT_GT(GetEnhMetaFileHeader(enhanced, sizeof header, &header), 0u);
  EXPECT_GT(header.nRecords, 2u);
  DeleteEnhMetaFile(enhanced);
  DeleteMetaFile(picture.hMF);
  EXPECT_EQ(EnhMFfromMetaFilePict(METAFILEPICT{}), nullptr);
}

TEST(TQXEnumFormatEtc, NextSkipResetClone) {
  TComPtr<TQXEnumFormatEtc> formats(new TQXEnumFormatEtc);
  formats->addFormatEtc({CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
  formats->addFormatEtc({CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
  FORMATETC record{};
  ULONG fetched = 7;
  EXPECT_EQ(formats->Next(1, &record, &fetched), S_OK);
  EXPECT_EQ(record.cfFormat, CF_TEXT);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(formats->Next(1, &record, nullptr), S_OK);
  EXPECT_EQ(record.cfFormat, CF_HDROP);
  EXPECT_EQ(formats->Next(1, &record, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);

  EXPECT_EQ(formats->Reset(), S_OK);
  EXPECT_EQ(formats->Skip(3), S_FALSE);
  EXPECT_EQ(formats->Index(), 0);
  EXPECT_EQ(formats->Skip(2), S_OK);
  EXPECT_EQ(formats->Next(1, &record, &fetched), S_FALSE);

  // A request for more than is left gets what is left.
  formats->setIndex(0);
  FORMATETC records[3] = {};
  EXPECT_EQ(formats->Next(3, records, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(formats->Next(3, records, nullptr), E_INVALIDARG);

  formats->setIndex(1);
  TComPtr<IEnumFORMATETC> clone;
  ASSERT_EQ(formats->Clone(clone.Put()), S_OK);
  EXPECT_EQ(clone->Next(1, &record, nullptr), S_OK);
  EXPECT_EQ(record.cfFormat, CF_HDROP);
  EXPECT_EQ(formats->Index(), 1);
  EXPECT_EQ(formats->RefCount(), 1);
}

TEST(TQXEnumFormatEtc, TargetDevicesAreCopiedForTheReceiver) {
  auto* device = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(sizeof(DVTARGETDEVICE)));
  *device = DVTARGETDEVICE{sizeof(DVTARGETDEVICE), 0, 0, 0, 0, {0}};
  TComPtr<TQXEnumFormatEtc> formats(new TQXEnumFormatEtc);
  formats->addFormatEtc({CF_TEXT, device, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
  CoTaskMemFree(device);  // the enumerator holds its own copy
  FORMATETC record{};
  ASSERT_EQ(formats->Next(1, &record, nullptr), S_OK);
  ASSERT_NE(record.ptd, nullptr);
  EXPECT_EQ(record.ptd->tdSize, sizeof(DVTARGETDEVICE));
  CoTaskMemFree(record.ptd);  // the receiver's to free, as OLE's protocol says
}

TEST(FileTransfer, HDROPPathsJoinedOnceEitherWidth) {
  TStringList names;
  names.Add("a.txt");
  names.Add("sub\\b.txt");
  for (bool wide : {false, true}) {
    for (const char* folder : {"C:\\dir", "C:\\dir\\"}) {
      const std::string block = HDROPFromFileListEx(folder, names, wide);
      EXPECT_EQ(DecodeDWORDFromString(block.substr(16)), wide ? 0xFFFFFFFFu : 0u);
      EXPECT_EQ(Lines(*FileListFromHDROP(block)), (std::vector<std::string>{"C:\\dir\\a.txt", "C:\\dir\\sub\\b.txt"}))
          << "wide " << wide << " folder " << folder;
    }
  }
  EXPECT_EQ(OSVersionInfo().dwOSVersionInfoSize, 148u);
  const bool nt = OSVersionInfo().dwPlatformId == VER_PLATFORM_WIN32_NT;
  EXPECT_EQ(HDROPFromFileList("C:\\dir", names), HDROPFromFileListEx("C:\\dir", names, nt));
}

TEST(FileTransfer, FileGroupDescriptorAttributes) {
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
  TStringList names;
  names.Add("");                                                       // the folder itself: exists
  names.AddObject("plexoria-missing-file.txt", ObjectSlotFromNumber(2));  // hidden, from the slot
  names.Add("plexoria-missing-other.txt");                              // archive by default
  const std::string block = FileGroupDescriptorFromFileListEx(temp, names, {10, 20, 30});
  auto attributes = [&](int i) { return DecodeDWORDFromString(block.substr(4 + i * kFileDescriptorSize + 36)); };
  EXPECT_NE(attributes(0) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(attributes(1), 2u);
  EXPECT_EQ(attributes(2), 32u);
  EXPECT_EQ(DecodeDWORDFromString(block.substr(4 + 2 * kFileDescriptorSize + 68)), 30u);
  const std::string without_sizes = FileGroupDescriptorFromFileListEx(temp, names, {10});
  EXPECT_EQ(DecodeDWORDFromString(without_sizes.substr(4)), kFdAttributes);
}

}  // namespace
}  // namespace plx
