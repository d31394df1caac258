// The text drag source: what its data object serves, how its drop source
// answers the drag loop, and whole drags through OLE's own DoDragDrop onto a
// drop target in this process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dragdrop/ClipboardFormats.h"
#include "dragdrop/DataObjectUtils.h"
#include "dragdrop/TextDataObject.h"
#include "dragdrop/TextSource.h"
#include "dragdrop/TransferBlocks.h"
#include "framework/StdCtrls.h"
#include "tests/dragdrop/DragSourceTestSupport.h"

namespace plx {
namespace {

using namespace std::string_literals;
using test::ReleaseAllButtonsAndKeys;
using test::TDragStage;
using test::TRecordingDropTarget;

constexpr DWORD kAnyTymed = static_cast<DWORD>(-1);

FORMATETC Request(UINT format, DWORD tymed = TYMED_HGLOBAL, LONG lindex = -1, DWORD aspect = DVASPECT_CONTENT) {
  return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, aspect, lindex, tymed};
}

// The drop-source object's count is the component's alone between drags.
void ExpectOnlyTheComponentHoldsItsDropSource(const TQXDragSource& source) {
  EXPECT_EQ(source.DropSourceObject()->RefCount(), 1);
}

// ---- the data object, asked directly ----

class TextDataObjectTest : public ::testing::Test {
 protected:
  void TearDown() override {
    // The test's reference is the last one.
    if (object_) {
      EXPECT_EQ(object_->RefCount(), 1);
    }
    object_.Reset();
    delete source_;
  }

  IDataObject* Object() {
    if (!object_)
      object_ = TComPtr<TTextDataObject>(source_->getUsingCustomFormat()
                                             ? new TTextDataObject(&source_->CustomFormatList(), source_)
                                             : new TTextDataObject(source_->getText(), source_));
    return object_.Get();
  }

  // GetData; the bytes of a global block (freed here, which must succeed)
  // or the failure.
  HRESULT Get(FORMATETC request, std::string* bytes = nullptr) {
    STGMEDIUM medium{};
    const HRESULT result = Object()->GetData(&request, &medium);
    if (result != S_OK) return result;
    EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    EXPECT_EQ(medium.pUnkForRelease, nullptr);
    if (bytes) *bytes = GetHandleDataToString(medium.hGlobal);
    if (medium.hGlobal) {
      EXPECT_EQ(GlobalFree(medium.hGlobal), nullptr) << "a block the receiver cannot free";
    }
    return result;
  }

  HRESULT Query(FORMATETC request) { return Object()->QueryGetData(&request); }

  std::vector<std::string> Enumerated() {
    std::vector<std::string> lines;
    const auto list = DataObjFormatEtcList(Object());
    lines.reserve(list->Count());
    for (int i = 0; i < list->Count(); ++i) lines.push_back(list->Strings(i));
    return lines;
  }

  TQXTextSource* source_ = new TQXTextSource(nullptr);

 private:
  TComPtr<TTextDataObject> object_;
};

TEST_F(TextDataObjectTest, PlainTextIsCFTextWithItsZeroOnAGlobalBlockOnly) {
  source_->setText("Hello"s);
  std::string bytes;
  ASSERT_EQ(Get(Request(CF_TEXT), &bytes), S_OK);
  EXPECT_EQ(bytes, "Hello\0"s);
  // Asked twice: a new block each time, each the receiver's to free.
  ASSERT_EQ(Get(Request(CF_TEXT), &bytes), S_OK);
  EXPECT_EQ(bytes, "Hello\0"s);

  struct Case {
    const char* name;
    FORMATETC request;
    HRESULT get;
    HRESULT query;
  } cases[] = {
      {"CF_TEXT on a global block", Request(CF_TEXT), S_OK, S_OK},
      {"CF_TEXT on any medium", Request(CF_TEXT, kAnyTymed), S_OK, S_OK},
      {"CF_TEXT on a stream only", Request(CF_TEXT, TYMED_ISTREAM), DV_E_FORMATETC, S_FALSE},
      {"CF_TEXT as a GDI handle", Request(CF_TEXT, TYMED_GDI), DV_E_FORMATETC, S_FALSE},
      {"CF_TEXT as an icon", Request(CF_TEXT, TYMED_HGLOBAL, -1, DVASPECT_ICON), DV_E_FORMATETC, S_FALSE},
      {"CF_UNICODETEXT", Request(CF_UNICODETEXT), DV_E_FORMATETC, S_FALSE},
      {"CF_OEMTEXT", Request(CF_OEMTEXT), DV_E_FORMATETC, S_FALSE},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Get(c.request), c.get) << c.name;
    EXPECT_EQ(Query(c.request), c.query) << c.name;
  }
  EXPECT_EQ(Enumerated(), std::vector<std::string>{"\"CF_TEXT\",1,TYMED_HGLOBAL,1,-1"});
}

TEST_F(TextDataObjectTest, TextWithZeroBytesAndHighBytesArrivesWhole) {
  const std::string text = "a\0b\xFF\x80"s + std::string(70000, 'z');
  source_->setText(text);
  std::string bytes;
  ASSERT_EQ(Get(Request(CF_TEXT), &bytes), S_OK);
  EXPECT_EQ(bytes, text + '\0');
}

TEST_F(TextDataObjectTest, CustomFormatsAreServedInsteadOfText) {
  source_->setText("plain"s);
  source_->CustomFormatList().AddFormat("HTML Format", "<b>x</b>");
  source_->CustomFormatList().AddFormatEx("Plexoria Test Indexed", "second", 2, TYMED_HGLOBAL);
  const UINT html = ClipboardFormatFromString("HTML Format");
  const UINT indexed = ClipboardFormatFromString("Plexoria Test Indexed");

  std::string bytes;
  ASSERT_EQ(Get(Request(html), &bytes), S_OK);
  EXPECT_EQ(bytes, "<b>x</b>\0"s);
  EXPECT_EQ(source_->CustomFormatIndex(), 0);
  ASSERT_EQ(Get(Request(indexed, TYMED_HGLOBAL, 2), &bytes), S_OK);
  EXPECT_EQ(bytes, "second\0"s);
  EXPECT_EQ(source_->CustomFormatIndex(), 1);

  // CF_TEXT is not offered: the list does not name it.
  EXPECT_EQ(Get(Request(CF_TEXT)), DV_E_FORMATETC);
  EXPECT_EQ(source_->CustomFormatIndex(), -1);
  EXPECT_EQ(Query(Request(CF_TEXT)), S_FALSE);
  EXPECT_EQ(Query(Request(html)), S_OK);
  EXPECT_EQ(Query(Request(html, kAnyTymed)), S_OK);
  EXPECT_EQ(Query(Request(indexed, TYMED_HGLOBAL, 3)), S_FALSE);  // another lindex
  EXPECT_EQ(Query(Request(indexed, TYMED_HGLOBAL, -1)), S_OK);    // any lindex
  EXPECT_EQ(Query(Request(html, TYMED_HGLOBAL, -1, DVASPECT_THUMBNAIL)), S_FALSE);
  EXPECT_EQ(Enumerated(), (std::vector<std::string>{"\"HTML Format\"," + std::to_string(html) + ",TYMED_HGLOBAL,1,0",
                                                    "\"Plexoria Test Indexed\"," + std::to_string(indexed) +
                                                        ",TYMED_HGLOBAL,1,2"}));

  // Listing "1" offers CF_TEXT, with the item's content.
  source_->CustomFormatList().AddFormat("1", "custom text");
  EXPECT_EQ(Query(Request(CF_TEXT)), S_OK);
  ASSERT_EQ(Get(Request(CF_TEXT), &bytes), S_OK);
  EXPECT_EQ(bytes, "custom text\0"s);
  EXPECT_EQ(source_->CustomFormatIndex(), 2);
}

TEST_F(TextDataObjectTest, AFiveByteItemWithoutTrailingZeroIsAFiveByteBlock) {
  TCustomFormatData& item = source_->CustomFormatList().AddFormat("Plexoria Five", "12345");
  item.SetAllowTrailingNull(false);
  EXPECT_FALSE(item.GetAllowTrailingNull());
  const UINT five = ClipboardFormatFromString("Plexoria Five");
  STGMEDIUM medium{};
  FORMATETC request = Request(five);
  ASSERT_EQ(Object()->GetData(&request, &medium), S_OK);
  ASSERT_NE(medium.hGlobal, nullptr);
  EXPECT_EQ(GlobalSize(medium.hGlobal), 5u);
  EXPECT_EQ(GetHandleDataToString(medium.hGlobal), "12345");
  ReleaseStgMedium(&medium);

  // Positive control: with the flag (the default) the zero follows.
  item.SetAllowTrailingNull(true);
  std::string bytes;
  ASSERT_EQ(Get(request, &bytes), S_OK);
  EXPECT_EQ(bytes, "12345\0"s);
  // An empty item without its zero carries nothing: no block at all.
  item.SetFormatContent({});
  item.SetAllowTrailingNull(false);
  ASSERT_EQ(Object()->GetData(&request, &medium), S_OK);
  EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  EXPECT_EQ(medium.hGlobal, nullptr);
}

TEST_F(TextDataObjectTest, TrailingZeroOnlyOnGlobalBlocksAndTymedZeroMeansGlobal) {
  TCustomFormatData item("Plexoria X", "x", 0, 0);
  EXPECT_EQ(item.Tymed(), static_cast<DWORD>(TYMED_HGLOBAL));
  EXPECT_TRUE(item.GetAllowTrailingNull());
  item.SetTymed(TYMED_ISTREAM);
  EXPECT_FALSE(item.GetAllowTrailingNull());
  const FORMATETC etc = item.GetFormatEtc();
  EXPECT_EQ(etc.cfFormat, ClipboardFormatFromString("Plexoria X"));
  EXPECT_EQ(etc.ptd, nullptr);
  EXPECT_EQ(etc.dwAspect, static_cast<DWORD>(DVASPECT_CONTENT));
  EXPECT_EQ(etc.lindex, 0);
  EXPECT_EQ(etc.tymed, static_cast<DWORD>(TYMED_ISTREAM));
}

TEST_F(TextDataObjectTest, AnEmptyItemIsRenderedOnDemandAndKept) {
  source_->CustomFormatList().AddFormat("Plexoria Rendered", "");
  std::vector<std::string> asked;
  source_->OnRenderCustomFormat = [&](TObject* sender, const std::string& name, std::string& content) {
    EXPECT_EQ(sender, source_);
    asked.push_back(name);
    content = "rendered\0bytes"s;
  };
  std::string bytes;
  ASSERT_EQ(Get(Request(ClipboardFormatFromString("Plexoria Rendered")), &bytes), S_OK);
  EXPECT_EQ(bytes, "rendered\0bytes\0"s);
  ASSERT_EQ(Get(Request(ClipboardFormatFromString("Plexoria Rendered")), &bytes), S_OK);
  EXPECT_EQ(asked, std::vector<std::string>{"Plexoria Rendered"});  // kept after the first
  EXPECT_EQ(source_->CustomFormatList().Get(0).FormatContent(), "rendered\0bytes"s);
}

TEST_F(TextDataObjectTest, StreamContentIsAPointerWidePointerWithAReferenceForTheReceiver) {
  TComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), S_OK);
  const ULONG alone = DataObjRefCount(stream.Get());
  const std::string pointer = EncodeHandleToString(reinterpret_cast<std::uintptr_t>(stream.Get()));
  ASSERT_EQ(pointer.size(), sizeof(void*));
  source_->CustomFormatList().AddFormatEx("Plexoria Stream", pointer, 0, TYMED_ISTREAM);
  source_->CustomFormatList().AddFormatEx("Plexoria Short", pointer.substr(0, 4), 0, TYMED_ISTREAM);
  const UINT format = ClipboardFormatFromString("Plexoria Stream");

  FORMATETC request = Request(format, TYMED_ISTREAM | TYMED_HGLOBAL);
  STGMEDIUM medium{};
  // The item is offered on a stream only: a request that allows both gets
  // the stream, not the pointer's bytes in a block.
  ASSERT_EQ(Object()->GetData(&request, &medium), S_OK);
  EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_ISTREAM));
  EXPECT_EQ(medium.pstm, stream.Get());
  EXPECT_EQ(DataObjRefCount(stream.Get()), alone + 1);
  ReleaseStgMedium(&medium);
  EXPECT_EQ(DataObjRefCount(stream.Get()), alone);
  EXPECT_EQ(Query(Request(format, TYMED_ISTREAM)), S_OK);
  EXPECT_EQ(Query(Request(format, TYMED_HGLOBAL)), S_FALSE);

  // Four bytes cannot hold a 64-bit pointer: refused, nothing touched.
  request = Request(ClipboardFormatFromString("Plexoria Short"), TYMED_ISTREAM);
  EXPECT_EQ(Object()->GetData(&request, &medium), DV_E_FORMATETC);
  EXPECT_EQ(DataObjRefCount(stream.Get()), alone);
}

TEST_F(TextDataObjectTest, HandlesGoOutAsCopiesOrWithTheObjectAsTheirKeeper) {
  // A 2 x 1 bitmap, a palette and an enhanced metafile the test owns.
  TWindowDC screen(nullptr);
  TOwnedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), 2, 1));
  LOGPALETTE paletteRecord{0x300, 1, {{1, 2, 3, 0}}};
  TGdiObject<HPALETTE> palette(CreatePalette(&paletteRecord));
  HDC recorder = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  Rectangle(recorder, 0, 0, 10, 10);
  TOwnedEnhMetaFile metafile(CloseEnhMetaFile(recorder));
  ASSERT_TRUE(bitmap.Get() && palette.Get() && metafile.Get());
  auto handle = [](const void* h) { return EncodeHandleToString(reinterpret_cast<std::uintptr_t>(h)); };
  // A GDI or metafile handle is a 32-bit value: 4 bytes carry it whole.
  auto handle32 = [](const void* h) {
    return EncodeDWORDToString(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(h)));
  };
  source_->CustomFormatList().AddFormatEx("2", handle(bitmap.Get()), 0, TYMED_GDI);
  source_->CustomFormatList().AddFormatEx("9", handle(palette.Get()), 0, TYMED_GDI);
  source_->CustomFormatList().AddFormatEx("14", handle(metafile.Get()), 0, TYMED_ENHMF);
  source_->CustomFormatList().AddFormatEx("Plexoria Metafile", handle(metafile.Get()), 0, TYMED_ENHMF);
  source_->CustomFormatList().AddFormatEx("Plexoria Bitmap32", handle32(bitmap.Get()), 0, TYMED_GDI);
  source_->CustomFormatList().AddFormatEx("Plexoria Palette32", handle32(palette.Get()), 0, TYMED_GDI);
  source_->CustomFormatList().AddFormatEx("Plexoria Metafile32", handle32(metafile.Get()), 0, TYMED_ENHMF);
  IDataObject* object = Object();

  struct Case {
    const char* name;
    UINT format;
    DWORD tymed;
    HANDLE original;
    bool copy;
  } cases[] = {
      {"CF_BITMAP: a copy", CF_BITMAP, TYMED_GDI, bitmap.Get(), true},
      {"CF_PALETTE: the handle, kept by the object", CF_PALETTE, TYMED_GDI, palette.Get(), false},
      {"CF_ENHMETAFILE: a copy", CF_ENHMETAFILE, TYMED_ENHMF, metafile.Get(), true},
      {"other metafile format: the handle, kept by the object", ClipboardFormatFromString("Plexoria Metafile"),
       TYMED_ENHMF, metafile.Get(), false},
      {"GDI handle in 4 bytes: the handle itself", ClipboardFormatFromString("Plexoria Palette32"), TYMED_GDI,
       palette.Get(), false},
      {"metafile handle in 4 bytes: the handle itself", ClipboardFormatFromString("Plexoria Metafile32"),
       TYMED_ENHMF, metafile.Get(), false},
  };
  for (const Case& c : cases) {
    for (int twice = 0; twice < 2; ++twice) {
      FORMATETC request = Request(c.format, c.tymed);
      STGMEDIUM medium{};
      ASSERT_EQ(object->GetData(&request, &medium), S_OK) << c.name;
      EXPECT_EQ(medium.tymed, c.tymed) << c.name;
      EXPECT_EQ(medium.hGlobal != c.original, c.copy) << c.name;
      EXPECT_EQ(medium.pUnkForRelease != nullptr, !c.copy) << c.name;
      ReleaseStgMedium(&medium);
      // The receiver's release never takes the source's own handle.
      EXPECT_NE(GetObjectType(c.original), 0u) << c.name;
      EXPECT_EQ(DataObjRefCount(object), 1u) << c.name;
    }
  }
  // A bitmap named by 4 bytes is the same bitmap: its copy has its size.
  FORMATETC request = Request(ClipboardFormatFromString("Plexoria Bitmap32"), TYMED_GDI);
  STGMEDIUM medium{};
  ASSERT_EQ(object->GetData(&request, &medium), S_OK);
  BITMAP info{};
  ASSERT_NE(GetObjectA(medium.hBitmap, sizeof info, &info), 0);
  EXPECT_EQ(info.bmWidth, 2);
  EXPECT_EQ(info.bmHeight, 1);
  ReleaseStgMedium(&medium);
}

TEST_F(TextDataObjectTest, QueryGetDataSaysYesExactlyWhereGetDataServes) {
  TWindowDC screen(nullptr);
  TOwnedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), 2, 1));
  ASSERT_TRUE(bitmap.Get());
  const std::string handle = EncodeHandleToString(reinterpret_cast<std::uintptr_t>(bitmap.Get()));
  struct Case {
    const char* name;
    DWORD offered;
    std::string content;
    DWORD requested;
    bool served;
  } cases[] = {
      {"a global block", TYMED_HGLOBAL, "bytes", TYMED_HGLOBAL, true},
      {"a global block, any medium asked", TYMED_HGLOBAL, "bytes", kAnyTymed, true},
      {"a GDI handle", TYMED_GDI, handle, TYMED_GDI, true},
      {"a GDI handle, any medium asked", TYMED_GDI, handle, kAnyTymed, true},
      {"a metafile picture: never handed out", TYMED_MFPICT, std::string(16, '\1'), TYMED_MFPICT, false},
      {"a metafile picture, any medium asked", TYMED_MFPICT, std::string(16, '\1'), kAnyTymed, false},
      {"a file: never handed out", TYMED_FILE, "C:\\file.txt", TYMED_FILE, false},
      {"a block or a metafile picture: the block", TYMED_HGLOBAL | TYMED_MFPICT, "bytes", TYMED_MFPICT | TYMED_HGLOBAL,
       true},
      {"a GDI handle in 3 bytes: too short", TYMED_GDI, handle.substr(0, 3), TYMED_GDI, false},
      {"a GDI handle of no bytes", TYMED_GDI, "", TYMED_GDI, false},
      {"a stream pointer in 4 bytes: too short", TYMED_ISTREAM, handle.substr(0, 4), TYMED_ISTREAM, false},
  };
  for (const Case& c : cases) {
    source_->CustomFormatList().Clear();
    source_->CustomFormatList().AddFormatEx("2", c.content, 0, c.offered);
    const FORMATETC request = Request(CF_BITMAP, c.requested);
    STGMEDIUM medium{};
    FORMATETC asked = request;
    const HRESULT got = Object()->GetData(&asked, &medium);
    if (got == S_OK) ReleaseStgMedium(&medium);
    EXPECT_EQ(got, c.served ? S_OK : DV_E_FORMATETC) << c.name;
    EXPECT_EQ(Query(request), c.served ? S_OK : S_FALSE) << c.name;
  }
}

TEST_F(TextDataObjectTest, EnumeratesForReadingOnly) {
  source_->setText("x"s);
  TComPtr<IEnumFORMATETC> formats;
  EXPECT_EQ(Object()->EnumFormatEtc(DATADIR_SET, formats.Put()), E_NOTIMPL);
  EXPECT_EQ(Object()->EnumFormatEtc(7, formats.Put()), E_INVALIDARG);
  ASSERT_EQ(Object()->EnumFormatEtc(DATADIR_GET, formats.Put()), S_OK);
  FORMATETC first{};
  ULONG fetched = 0;
  ASSERT_EQ(formats->Next(1, &first, &fetched), S_OK);
  EXPECT_EQ(first.cfFormat, CF_TEXT);
  EXPECT_EQ(formats->Next(1, &first, &fetched), S_FALSE);
  formats.Reset();

  FORMATETC request = Request(CF_TEXT);
  STGMEDIUM medium{};
  EXPECT_EQ(Object()->GetDataHere(&request, &medium), DV_E_FORMATETC);
  EXPECT_EQ(Object()->SetData(&request, &medium, FALSE), E_NOTIMPL);
  EXPECT_EQ(Object()->DAdvise(&request, 0, nullptr, nullptr), E_NOTIMPL);
  EXPECT_EQ(Object()->DUnadvise(1), E_NOTIMPL);
  IEnumSTATDATA* advises = reinterpret_cast<IEnumSTATDATA*>(1);
  EXPECT_EQ(Object()->EnumDAdvise(&advises), E_NOTIMPL);
  EXPECT_EQ(advises, nullptr);
  EXPECT_EQ(Object()->GetData(nullptr, &medium), E_INVALIDARG);
  EXPECT_EQ(Object()->QueryGetData(nullptr), E_INVALIDARG);
}

TEST(TextDataObjectWithoutSource, ServesItsOwnTextOrList) {
  TComPtr<TTextDataObject> text(new TTextDataObject("own"s));
  EXPECT_EQ(DataObjGetFormat(text.Get(), "1"), "own\0"s);
  TCustomFormatDataList list;
  list.AddFormat("Plexoria Own", "listed");
  TComPtr<TTextDataObject> custom(new TTextDataObject(&list));
  EXPECT_EQ(DataObjGetFormat(custom.Get(), "Plexoria Own"), "listed\0"s);
  EXPECT_EQ(DataObjGetFormat(custom.Get(), "1"), "");
}

// ---- text and donors ----

TEST(TextSourceDonor, TextComesFromTheDonorAtEachRequest) {
  TForm form(nullptr);
  auto* list = new TListBox(&form);
  list->SetParent(&form);
  auto* panel = new TPanel(&form);
  panel->SetCaption("Panel caption");
  auto* button = new TButton(&form);
  button->SetCaption("Button caption");
  auto* memo = new TMemo(&form);
  memo->SetName("NotesMemo");
  TQXTextSource source(&form);

  source.setDonor(list);
  EXPECT_EQ(source.getText(), "");  // no entries
  list->AddItem("first");
  list->AddItem("second\0zero"s);
  EXPECT_EQ(source.getText(), "");  // nothing selected
  list->SetItemIndex(1);
  EXPECT_EQ(source.getText(), "second\0zero"s);

  struct Case {
    TComponent* donor;
    std::string text;
  } cases[] = {{panel, "Panel caption"}, {button, "Button caption"}, {memo, "NotesMemo"}};
  for (const Case& c : cases) {
    source.setDonor(c.donor);
    EXPECT_EQ(source.getText(), c.text);
  }
  // setText takes over from the donor.
  source.setText("typed"s);
  EXPECT_EQ(source.DonorComponent(), nullptr);
  EXPECT_EQ(source.getText(), "typed");
  // A new donor empties the stored text; the same donor again changes nothing.
  source.setDonor(memo);
  source.setDonor(memo);
  EXPECT_EQ(source.getText(), "NotesMemo");
}

// A list box that lets several entries be selected.
class TMultiSelectListBox : public TListBox {
 public:
  using TListBox::TListBox;

 protected:
  void CreateParams(TCreateParams& params) override {
    TListBox::CreateParams(params);
    params.Style |= LBS_EXTENDEDSEL;
  }
};

TEST(TextSourceDonor, AListWithMultipleSelectionGivesEverySelectedEntry) {
  TForm form(nullptr);
  auto* list = new TMultiSelectListBox(&form);
  list->SetParent(&form);
  for (const char* entry : {"one", "two", "three", "four"}) list->AddItem(entry);
  TQXTextSource source(&form);
  source.setDonor(list);
  EXPECT_EQ(source.getText(), "");
  for (int index : {0, 2, 3}) SendMessageA(list->Handle(), LB_SETSEL, TRUE, index);
  EXPECT_EQ(source.getText(), "one\r\nthree\r\nfour");
}

TEST(TextSourceDonor, ARemovedDonorIsCleared) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetCaption("going");
  TQXTextSource source(nullptr);  // not the panel's owner: told through its free notification
  source.setDonor(panel);
  EXPECT_EQ(source.getText(), "going");
  delete panel;
  EXPECT_EQ(source.DonorComponent(), nullptr);
  EXPECT_EQ(source.getText(), "");

  // Destroying an owner of both the source and its donor.
  auto* owner = new TForm(nullptr);
  auto* donor = new TPanel(owner);
  auto* ownedSource = new TQXTextSource(owner);
  ownedSource->setDonor(donor);
  delete owner;
}

// ---- the drop-source object ----

TEST(TextDropSource, AnswersTheLoopByButtonEscapeAndBeforeDrop) {
  TQXTextSource source(nullptr);
  source.setText("t"s);
  int before = 0, cancels = 0;
  bool cancel = false;
  source.OnBeforeDrop = [&](TObject*, TComponent*, std::string&, bool& cancelDrop) {
    ++before;
    cancelDrop = cancel;
  };
  source.OnCancelDrop = [&](TObject*) { ++cancels; };
  IDropSource* drop = source.DropSourceObject();

  EXPECT_EQ(drop->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
  EXPECT_EQ(drop->QueryContinueDrag(FALSE, MK_RBUTTON | MK_CONTROL), DRAGDROP_S_DROP);  // left is up
  EXPECT_EQ(before, 0);  // no feedback yet: the loop drops on nothing
  EXPECT_EQ(drop->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(cancels, 1);

  // The target reports no effect: released, dropped, no OnBeforeDrop.
  EXPECT_EQ(drop->GiveFeedback(DROPEFFECT_NONE), DRAGDROP_S_USEDEFAULTCURSORS);
  EXPECT_EQ(source.getReturnedEffect(), deNone);
  EXPECT_EQ(drop->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
  EXPECT_EQ(before, 0);
  // Positive control: with an effect the before-drop step decides.
  EXPECT_EQ(drop->GiveFeedback(DROPEFFECT_COPY | DROPEFFECT_SCROLL), DRAGDROP_S_USEDEFAULTCURSORS);
  EXPECT_EQ(source.getReturnedEffect(), deCopy);
  EXPECT_EQ(drop->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
  EXPECT_EQ(before, 1);
  cancel = true;
  EXPECT_EQ(drop->QueryContinueDrag(FALSE, 0), DRAGDROP_S_CANCEL);
  EXPECT_EQ(before, 2);

  // The right button as the drop button.
  source.SetMouseButton(TMouseButton::mbRight);
  EXPECT_EQ(drop->QueryContinueDrag(FALSE, MK_RBUTTON), S_OK);
  EXPECT_EQ(drop->QueryContinueDrag(FALSE, MK_LBUTTON), DRAGDROP_S_CANCEL);  // released, before-drop cancels
  source.SetMouseButton(TMouseButton::mbMiddle);
  EXPECT_EQ(drop->QueryContinueDrag(FALSE, MK_MBUTTON), S_OK);
  EXPECT_EQ(MK_XButtonFromTMouseButton(TMouseButton::mbLeft), static_cast<DWORD>(MK_LBUTTON));
  EXPECT_EQ(MK_XButtonFromTMouseButton(TMouseButton::mbRight), static_cast<DWORD>(MK_RBUTTON));
  EXPECT_EQ(MK_XButtonFromTMouseButton(TMouseButton::mbMiddle), static_cast<DWORD>(MK_MBUTTON));

  // OnGiveFeedback may take the cursor over.
  TDropEffect seen = deNone;
  source.OnGiveFeedback = [&](TObject*, TDropEffect effect, bool& defCursors) {
    seen = effect;
    defCursors = false;
  };
  EXPECT_EQ(drop->GiveFeedback(DROPEFFECT_MOVE), S_OK);
  EXPECT_EQ(seen, deMove);
  ExpectOnlyTheComponentHoldsItsDropSource(source);
}

// ---- whole drags through OLE's drag loop ----

struct TAfterDrop {
  int count = 0;
  TComponent* donor = nullptr;
  bool dropped_ok = false;
};

class TextSourceDragTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    target = new TRecordingDropTarget;
    target->AddRef();
    stage = new TDragStage(target);
  }
  static void TearDownTestSuite() {
    delete stage;
    EXPECT_EQ(target->RefCount(), 1);  // OLE let go of the target
    target->Release();
  }

  void SetUp() override {
    ASSERT_TRUE(stage->registered);
    target->Reset();
    // Every case checks that the drag lets go of its data object.
    target->keep_data_object = true;
    stage->donor->Clear();
    source_ = NewSource();
    source_->OnAfterDrop = [this](TObject* sender, TComponent* donor, bool droppedOK) {
      EXPECT_EQ(sender, source_);
      ++after_.count;
      after_.donor = donor;
      after_.dropped_ok = droppedOK;
    };
    source_->OnCancelDrop = [this](TObject*) { ++cancels_; };
    // The drag loop reads the button at its next round: releasing it once
    // the target has been entered drops there.
    target->during_drag = [](int round) {
      if (round >= 2) test::SetMouseButtonDown(VK_LBUTTON, false);
    };
  }
  void TearDown() override {
    if (source_) {
      ExpectOnlyTheComponentHoldsItsDropSource(*source_);
      EXPECT_FALSE(source_->Busy());
    }
    if (target->held) {
      EXPECT_EQ(DataObjRefCount(target->held.Get()), 1u);  // the drag let go of it
    }
    // Every block dropped was the receiver's to free.
    if (target->read_result == S_OK && target->read.tymed == TYMED_HGLOBAL) {
      EXPECT_TRUE(target->block_freed);
    }
    target->Reset();
    delete source_;
    ReleaseAllButtonsAndKeys();
  }

  bool Drag() {
    stage->HoldButtonOverTarget();
    return source_->Execute();
  }

  // A source that offers what the target proposes.
  TQXTextSource* NewSource() {
    auto* made = new TQXTextSource(stage->form);
    made->SetDropEffects({deCopy, deMove});
    return made;
  }

  static TRecordingDropTarget* target;  // one reference held by the suite
  static TDragStage* stage;
  TQXTextSource* source_ = nullptr;
  TAfterDrop after_;
  int cancels_ = 0;
};

TRecordingDropTarget* TextSourceDragTest::target = nullptr;
TDragStage* TextSourceDragTest::stage = nullptr;

TEST_F(TextSourceDragTest, NothingToDragStartsNoDrag) {
  EXPECT_FALSE(Drag());
  EXPECT_EQ(target->enters, 0);
  EXPECT_EQ(after_.count, 0);
  // Positive control: with a text the same call drags and drops.
  source_->setText("now"s);
  EXPECT_TRUE(Drag());
  EXPECT_EQ(target->drops, 1);
  EXPECT_EQ(target->dropped, "now\0"s);
  EXPECT_EQ(source_->getReturnedEffect(), deMove);
  // Refused after that drop: the returned effect says nothing was dropped.
  source_->setText(""s);
  EXPECT_FALSE(Drag());
  EXPECT_EQ(source_->ReturnedEffect(), TDropEffects{deNone});
}

// Where a handler destroys the source during its own drag.
enum class TDestroyedIn { GiveFeedback, TargetDragOver, BeforeDrop, RenderCustomFormat, CancelDrop, AfterDrop };

TEST_F(TextSourceDragTest, DestroyingTheSourceDuringItsDragEndsTheDragCleanly) {
  struct Case {
    const char* name;
    TDestroyedIn where;
    int drops;  // whether the target still got its Drop
  } cases[] = {
      {"in OnGiveFeedback", TDestroyedIn::GiveFeedback, 0},
      {"in a target's DragOver", TDestroyedIn::TargetDragOver, 0},
      {"in OnBeforeDrop", TDestroyedIn::BeforeDrop, 0},
      {"in OnRenderCustomFormat at the drop", TDestroyedIn::RenderCustomFormat, 1},
      {"in OnCancelDrop", TDestroyedIn::CancelDrop, 0},
      {"in OnAfterDrop", TDestroyedIn::AfterDrop, 1},
  };
  const auto release = [](int round) {
    if (round >= 2) test::SetMouseButtonDown(VK_LBUTTON, false);
  };
  for (const Case& c : cases) {
    target->Reset();
    target->keep_data_object = true;
    target->during_drag = release;
    if (!source_) source_ = NewSource();
    source_->setText("going"s);
    const auto destroy = [this] {
      delete source_;
      source_ = nullptr;
    };
    HRESULT askedAfter = S_OK;  // the held data object asked once the source is gone
    switch (c.where) {
      case TDestroyedIn::GiveFeedback:
        source_->OnGiveFeedback = [&](TObject*, TDropEffect, bool&) { destroy(); };
        break;
      case TDestroyedIn::TargetDragOver:
        target->during_drag = [&](int round) {
          if (round < 2 || !source_) return;
          destroy();
          FORMATETC request = Request(CF_TEXT);
          askedAfter = target->held->QueryGetData(&request);
          test::SetMouseButtonDown(VK_LBUTTON, false);
        };
        break;
      case TDestroyedIn::BeforeDrop:
        source_->OnBeforeDrop = [&](TObject*, TComponent*, std::string& dropText, bool&) {
          destroy();
          dropText = "never stored";
        };
        break;
      case TDestroyedIn::RenderCustomFormat:
        source_->CustomFormatList().AddFormat("1", "");
        source_->OnRenderCustomFormat = [&](TObject*, const std::string&, std::string& content) {
          destroy();
          content = "never stored";
        };
        break;
      case TDestroyedIn::CancelDrop:
        target->during_drag = [](int) { PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0); };
        source_->OnCancelDrop = [&](TObject*) { destroy(); };
        break;
      case TDestroyedIn::AfterDrop:
        source_->OnAfterDrop = [&](TObject*, TComponent*, bool) { destroy(); };
        break;
    }
    EXPECT_TRUE(Drag()) << c.name;  // ended, as a cancel or a drop
    EXPECT_EQ(source_, nullptr) << c.name;
    EXPECT_EQ(target->drops, c.drops) << c.name;
    if (c.where == TDestroyedIn::RenderCustomFormat) {
      EXPECT_EQ(target->read_result, DV_E_FORMATETC) << c.name;
    }
    if (c.where == TDestroyedIn::TargetDragOver) {
      EXPECT_EQ(askedAfter, S_FALSE) << c.name;
    }
    ASSERT_TRUE(target->held) << c.name;
    EXPECT_EQ(DataObjRefCount(target->held.Get()), 1u) << c.name;  // the drag let go of it

    // Another source drags and drops afterwards.
    target->Reset();
    target->during_drag = release;
    source_ = NewSource();
    source_->setText("next"s);
    EXPECT_TRUE(Drag()) << c.name;
    EXPECT_EQ(target->dropped, "next\0"s) << c.name;
    EXPECT_EQ(source_->getReturnedEffect(), deMove) << c.name;
    EXPECT_FALSE(source_->Busy()) << c.name;
  }
}

TEST_F(TextSourceDragTest, TheDonorsSelectedItemArrivesWithOneZeroByte) {
  for (const char* entry : {"first", "second", "third"}) stage->donor->AddItem(entry);
  stage->donor->SetItemIndex(1);
  source_->setDonor(stage->donor);
  ASSERT_TRUE(Drag());
  EXPECT_EQ(target->allowed, static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_MOVE));
  EXPECT_EQ(target->text_offered, S_OK);
  ASSERT_EQ(target->drops, 1);
  EXPECT_EQ(target->dropped, "second\0"s);
  EXPECT_EQ(target->dropped_size, 7u);
  EXPECT_TRUE(target->block_freed);
  EXPECT_EQ(after_.count, 1);
  EXPECT_EQ(after_.donor, stage->donor);
  EXPECT_TRUE(after_.dropped_ok);
  EXPECT_EQ(source_->getReturnedEffect(), deMove);

  // Kept past the drag, the object offers nothing more and reaches nothing.
  FORMATETC request = Request(CF_TEXT);
  STGMEDIUM medium{};
  EXPECT_EQ(target->held->GetData(&request, &medium), DV_E_FORMATETC);
  EXPECT_EQ(target->held->QueryGetData(&request), S_FALSE);
}

TEST_F(TextSourceDragTest, ChangingTheSelectionDuringTheDragChangesWhatArrives) {
  for (const char* entry : {"first", "second", "third"}) stage->donor->AddItem(entry);
  stage->donor->SetItemIndex(0);
  source_->setDonor(stage->donor);
  target->during_drag = [](int round) {
    stage->donor->SetItemIndex(2);
    if (round >= 2) test::SetMouseButtonDown(VK_LBUTTON, false);
  };
  ASSERT_TRUE(Drag());
  EXPECT_EQ(target->dropped, "third\0"s);
}

TEST_F(TextSourceDragTest, EscapeCancelsWithOnCancelDropAndNoOnAfterDrop) {
  source_->setText("never"s);
  target->during_drag = [](int) { PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0); };
  EXPECT_TRUE(Drag());  // a cancel is an ended drag
  EXPECT_EQ(cancels_, 1);
  EXPECT_EQ(after_.count, 0);
  EXPECT_EQ(target->drops, 0);
  EXPECT_EQ(target->leaves, 1);
  EXPECT_EQ(source_->getReturnedEffect(), deNone);
}

TEST_F(TextSourceDragTest, OnBeforeDropCanCancelTheDrop) {
  source_->setText("held back"s);
  int before = 0;
  source_->OnBeforeDrop = [&](TObject*, TComponent*, std::string& dropText, bool& cancelDrop) {
    ++before;
    EXPECT_EQ(dropText, "held back");
    cancelDrop = true;
  };
  EXPECT_TRUE(Drag());
  EXPECT_EQ(before, 1);
  EXPECT_EQ(target->drops, 0);
  EXPECT_EQ(after_.count, 0);
  EXPECT_EQ(source_->getReturnedEffect(), deNone);
}

TEST_F(TextSourceDragTest, OnBeforeDropCanChangeTheTextAndDetachesTheDonor) {
  stage->donor->AddItem("from the list");
  stage->donor->SetItemIndex(0);
  source_->setDonor(stage->donor);
  source_->OnBeforeDrop = [&](TObject*, TComponent* donor, std::string& dropText, bool&) {
    EXPECT_EQ(donor, stage->donor);
    EXPECT_EQ(dropText, "from the list");
    dropText = "changed\0text"s;
  };
  ASSERT_TRUE(Drag());
  EXPECT_EQ(target->dropped, "changed\0text\0"s);
  EXPECT_EQ(source_->DonorComponent(), nullptr);
  EXPECT_EQ(after_.donor, nullptr);
  EXPECT_EQ(source_->getText(), "changed\0text"s);
}

TEST_F(TextSourceDragTest, DroppingWhereTheTargetReportsNoEffectRaisesNoBeforeDrop) {
  source_->setText("refused"s);
  target->propose = DROPEFFECT_NONE;
  int before = 0;
  source_->OnBeforeDrop = [&](TObject*, TComponent*, std::string&, bool&) { ++before; };
  EXPECT_TRUE(Drag());
  EXPECT_EQ(before, 0);
  EXPECT_EQ(target->drops, 0);
  // The loop may answer a drop on nothing as a drop (then OnAfterDrop says
  // it did not go through) or as a cancel (then there is no OnAfterDrop).
  EXPECT_LE(after_.count, 1);
  EXPECT_FALSE(after_.dropped_ok);
  EXPECT_EQ(source_->getReturnedEffect(), deNone);
}

TEST_F(TextSourceDragTest, TheRightButtonDropsWhenItIsTheMouseButton) {
  source_->setText("right"s);
  source_->SetMouseButton(TMouseButton::mbRight);
  int feedbacks = 0;
  source_->OnGiveFeedback = [&](TObject*, TDropEffect, bool&) { ++feedbacks; };
  // The left button is up throughout: only the right one's release drops.
  target->during_drag = [&](int) {
    if (feedbacks >= 3) test::SetMouseButtonDown(VK_RBUTTON, false);
  };
  stage->HoldButtonOverTarget(VK_RBUTTON);
  ASSERT_TRUE(source_->Execute());
  EXPECT_GE(feedbacks, 3);
  EXPECT_EQ(target->dropped, "right\0"s);

  // Positive control: with the left button as the drop button the same
  // state ends the drag at the loop's first look; the one feedback is the
  // target's answer to being entered on the way to the drop.
  source_->SetMouseButton(TMouseButton::mbLeft);
  feedbacks = 0;
  stage->HoldButtonOverTarget(VK_RBUTTON);
  EXPECT_TRUE(source_->Execute());
  EXPECT_EQ(feedbacks, 1);
}

TEST_F(TextSourceDragTest, CustomFormatsTravelAndASecondExecuteDuringTheDragIsRefused) {
  source_->CustomFormatList().AddFormat("Plexoria Five", "12345").SetAllowTrailingNull(false);
  target->read = Request(ClipboardFormatFromString("Plexoria Five"));
  bool nested = true;
  target->during_drag = [&](int round) {
    nested = source_->Execute();
    EXPECT_TRUE(source_->Busy());
    // Refused: the returned effect says so until the next feedback.
    EXPECT_EQ(source_->ReturnedEffect(), TDropEffects{deNone});
    if (round >= 2) test::SetMouseButtonDown(VK_LBUTTON, false);
  };
  ASSERT_TRUE(Drag());
  EXPECT_FALSE(nested);
  EXPECT_EQ(target->text_offered, S_FALSE);  // the list does not name CF_TEXT
  EXPECT_EQ(target->dropped, "12345");
  EXPECT_EQ(target->dropped_size, 5u);
  EXPECT_EQ(source_->CustomFormatIndex(), 0);
}

TEST_F(TextSourceDragTest, CtrlMakesTheTargetsCopyTheReturnedEffect) {
  source_->setText("copied"s);
  target->propose = DROPEFFECT_COPY;
  ASSERT_TRUE(Drag());
  EXPECT_EQ(source_->getReturnedEffect(), deCopy);
  EXPECT_TRUE(after_.dropped_ok);
}

}  // namespace
}  // namespace plx
