// The picture drop target: acceptance and drop order of the picture
// formats, the pictures read from each medium, the report posted to the
// acceptor's window, and the image URL fetch through the network object.
#include <gtest/gtest.h>

#include <cstring>

#include "dragdrop/DataObjectUtils.h"
#include "dragdrop/DroppedGraphics.h"
#include "dragdrop/GraphicTarget.h"
#include "framework/GdiHandles.h"
#include "dragdrop/ImageURLFetch.h"
#include "dragdrop/MetafileGraphic.h"
#include "dragdrop/TransferBlocks.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "tests/dragdrop/DropTargetTestSupport.h"
#include "tests/dragdrop/TestDataObject.h"

namespace plx {
namespace {

using namespace std::string_literals;
using test::MakeDataObject;
using test::TMisbehaviour;
using test::TOfferedFormat;
using test::TRequest;
using test::TTestDataObject;

constexpr HRESULT kNotTried = static_cast<HRESULT>(0xFFFFFFFFu);

std::string Bytes(const void* data, std::size_t size) { return std::string(static_cast<const char*>(data), size); }

// A bottom-up packed DIB of width x 1 pixels: the info header, then
// `between` (masks and palette), then the row of pixels.
std::string PackedDIB(int width, WORD bitCount, DWORD compression, DWORD coloursUsed, const std::string& between,
                      const std::string& row) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = 1;
  header.biPlanes = 1;
  header.biBitCount = bitCount;
  header.biCompression = compression;
  header.biClrUsed = coloursUsed;
  return Bytes(&header, sizeof header) + between + row;
}

std::string Quad(BYTE r, BYTE g, BYTE b) { return std::string{char(b), char(g), char(r), 0}; }

// The pixels the bitmap graphic of a picture shows, left to right on row 0.
std::vector<TColor> RowOf(TPicture& picture) {
  std::vector<TColor> row;
  auto* bitmap = dynamic_cast<TBitmap*>(picture.Graphic());
  if (!bitmap) return row;
  for (int x = 0; x < bitmap->Width(); ++x) row.push_back(bitmap->Pixel(x, 0));
  return row;
}

TEST(DroppedGraphics, DIBPixelOffsetFromHeaderMasksAndPalette) {
  const std::string row24(4, '\0');
  struct Case {
    const char* name;
    std::string dib;
    std::uint32_t offset;
  } cases[] = {
      {"24-bit, no palette", PackedDIB(1, 24, BI_RGB, 0, "", row24), 14 + 40},
      {"8-bit, full palette", PackedDIB(1, 8, BI_RGB, 0, std::string(1024, '\0'), row24), 14 + 40 + 1024},
      {"8-bit, three colours used", PackedDIB(1, 8, BI_RGB, 3, std::string(12, '\0'), row24), 14 + 40 + 12},
      {"32-bit bitfields", PackedDIB(1, 32, BI_BITFIELDS, 0, std::string(12, '\0'), row24), 14 + 40 + 12},
  };
  for (const Case& c : cases) {
    const std::string header = BitmapFileHeaderForDIB(c.dib);
    ASSERT_EQ(header.size(), 14u) << c.name;
    EXPECT_EQ(header.substr(0, 2), "BM") << c.name;
    EXPECT_EQ(DecodeDWORDFromString(header.substr(2)), c.dib.size() + 14) << c.name;
    EXPECT_EQ(DecodeDWORDFromString(header.substr(6)), 0u) << c.name;
    EXPECT_EQ(DecodeDWORDFromString(header.substr(10)), c.offset) << c.name;
  }
  EXPECT_EQ(BitmapFileHeaderForDIB("abc"), "");
}

TEST(DroppedGraphics, DIBsDecodeToTheirPixels) {
  const std::string masks = EncodeDWORDToString(0xFF0000) + EncodeDWORDToString(0xFF00) + EncodeDWORDToString(0xFF);
  struct Case {
    const char* name;
    std::string dib;
    std::vector<TColor> row;  // empty: no picture
  } cases[] = {
      {"24-bit", PackedDIB(2, 24, BI_RGB, 0, "", "\x00\x00\xFF\xFF\x00\x00\x00\x00"s), {clRed, clBlue}},
      {"8-bit, two colours used", PackedDIB(2, 8, BI_RGB, 2, Quad(0, 255, 0) + Quad(255, 255, 255), "\x01\x00\x00\x00"s),
       {clWhite, clLime}},
      {"32-bit bitfields", PackedDIB(1, 32, BI_BITFIELDS, 0, masks, EncodeDWORDToString(0x0000FF)), {clBlue}},
      {"pixels missing", PackedDIB(64, 24, BI_RGB, 0, "", "xy"), {}},
      {"header size beyond the block", "\xFF\xFF\xFF\x7F"s + std::string(60, '\0'), {}},
      {"empty", "", {}},
  };
  for (const Case& c : cases) {
    std::unique_ptr<TGraphic> graphic = GraphicFromDIB(c.dib);
    if (c.row.empty()) {
      EXPECT_EQ(graphic, nullptr) << c.name;
      continue;
    }
    ASSERT_NE(graphic, nullptr) << c.name;
    TPicture picture;
    picture.SetGraphic(std::move(graphic));
    EXPECT_EQ(RowOf(picture), c.row) << c.name;
  }
}

// ---- the component ----

struct TGraphicDrop {
  TPicture* picture = nullptr;
  TWinControl* acceptor = nullptr;
  std::vector<TColor> row;
  TDropGraphicFormat format = dgfBitmap;
  int x = 0, y = 0;
};

class GraphicTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = test::MakeAcceptorForm(panel_);
    target_ = new TQXGraphicTarget(form_);
    target_->setAcceptor(panel_);
    target_->OnDrop = [this](TObject* sender, TWinControl* acceptor, TPicture& picture, int x, int y) {
      EXPECT_EQ(sender, target_);
      drops_.push_back({&picture, acceptor, RowOf(picture), target_->getDroppedGraphicFormat(), x, y});
    };
    bitmap_ = MakeBitmap();
    HDC recorder = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    Rectangle(recorder, 0, 0, 20, 10);
    enhanced_ = CloseEnhMetaFile(recorder);
    HDC oldRecorder = CreateMetaFileA(nullptr);
    Rectangle(oldRecorder, 0, 0, 20, 10);
    metafile_ = CloseMetaFile(oldRecorder);
  }
  void TearDown() override {
    delete form_;
    DeleteObject(bitmap_);
    DeleteEnhMetaFile(enhanced_);
    DeleteMetaFile(metafile_);
    EXPECT_EQ(TTestDataObject::LiveMedia(), 0);
  }

  static HBITMAP MakeBitmap() {
    const TWindowDC screen(nullptr);
    HBITMAP made = CreateCompatibleBitmap(screen.Get(), 2, 1);
    const TMemoryDC dc(screen.Get());
    const TSelectObject selected(dc.Get(), made);
    SetPixel(dc.Get(), 0, 0, RGB(0, 255, 0));
    SetPixel(dc.Get(), 1, 0, RGB(0, 0, 255));
    return made;  // the caller owns it; the selection ends first
  }

  IDropTarget* DropTarget() { return target_->DropTargetObject(); }
  POINTL PanelPoint(int x, int y) { return test::ScreenPoint(panel_, x, y); }
  HRESULT EnterAndDrop(IDataObject* object, DWORD keys, DWORD allowed, DWORD* effect = nullptr, int x = 0,
                       int y = 0) {
    return test::EnterAndDrop(DropTarget(), object, keys, PanelPoint(x, y), allowed, effect);
  }
  // Handles what was posted to the acceptor's window.
  static void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }

  TForm* form_ = nullptr;
  TListBox* panel_ = nullptr;
  TQXGraphicTarget* target_ = nullptr;
  std::vector<TGraphicDrop> drops_;
  HBITMAP bitmap_ = nullptr;
  HENHMETAFILE enhanced_ = nullptr;
  HMETAFILE metafile_ = nullptr;
};

TEST_F(GraphicTargetTest, Defaults) {
  EXPECT_EQ(target_->AcceptGraphicFormats(), (TDropGraphicFormats{dgfMetafile, dgfBitmap}));
  EXPECT_EQ(target_->PreferredFormat(), dgfMetafile);
  EXPECT_TRUE(target_->getPicture().Empty());
  EXPECT_TRUE(target_->Registered());
  // OLE holds the window for this target.
  EXPECT_EQ(RegisterDragDrop(panel_->Handle(), DropTarget()), DRAGDROP_E_ALREADYREGISTERED);
}

TEST_F(GraphicTargetTest, AcceptanceAndDropOrder) {
  const UINT image = DragDropFormats().NetscapeImage;
  const TRequest enh{CF_ENHMETAFILE, TYMED_ENHMF, -1}, pict{CF_METAFILEPICT, TYMED_MFPICT, -1},
      dib{CF_DIB, TYMED_HGLOBAL, -1}, gdi{CF_BITMAP, TYMED_GDI, -1}, url{image, TYMED_HGLOBAL, -1};
  struct Case {
    const char* name;
    TDropGraphicFormats accepted;
    TDropGraphicFormat preferred;
    std::vector<TRequest> queries;   // of the acceptance test
    std::vector<TRequest> requests;  // of Drop, every read failing
  } cases[] = {
      {"defaults", {dgfMetafile, dgfBitmap}, dgfMetafile, {enh, pict, url, dib, gdi}, {enh, pict, dib, gdi, url}},
      {"bitmap preferred", {dgfMetafile, dgfBitmap}, dgfBitmap, {url, dib, gdi, enh, pict}, {dib, gdi, url, enh, pict}},
      {"bitmap only, metafile preferred", {dgfBitmap}, dgfMetafile, {url, dib, gdi}, {enh, pict, dib, gdi, url}},
      {"metafile only, bitmap preferred", {dgfMetafile}, dgfBitmap, {enh, pict}, {dib, gdi, url, enh, pict}},
  };
  for (const Case& c : cases) {
    target_->setAcceptGraphicFormats(c.accepted);
    target_->SetPreferredFormat(c.preferred);
    // The last format asked for is offered, so that the drag is accepted,
    // but its data cannot be had.
    const TRequest& last = c.queries.back();
    auto object = MakeDataObject({{last.format, "", last.tymed, TMisbehaviour::GetDataFails}});
    DWORD effect = 0;
    const HRESULT result = EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY, &effect);
    EXPECT_EQ(object->queries, c.queries) << c.name;
    EXPECT_EQ(object->requests, c.requests) << c.name;
    EXPECT_TRUE(FAILED(result)) << c.name;
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << c.name;
    Pump();
    EXPECT_TRUE(drops_.empty()) << c.name;
    EXPECT_EQ(object->RefCount(), 1) << c.name;
  }
  target_->setAcceptGraphicFormats({});
  auto object = MakeDataObject({{CF_DIB, "x"}});
  EXPECT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY), kNotTried);
  EXPECT_TRUE(object->requests.empty());
}

TEST_F(GraphicTargetTest, EffectNeverLinks) {
  struct Case {
    DWORD keys, allowed, effect;
  } cases[] = {
      {0, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE},
      {0, DROPEFFECT_COPY | DROPEFFECT_LINK, DROPEFFECT_COPY},
      {0, DROPEFFECT_LINK, DROPEFFECT_NONE},
      {MK_CONTROL, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
      {MK_SHIFT, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE},
      {MK_CONTROL | MK_SHIFT, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_NONE},
  };
  for (const Case& c : cases) {
    auto object = MakeDataObject({{CF_ENHMETAFILE, "", TYMED_ENHMF, TMisbehaviour::None, enhanced_}});
    DWORD effect = c.allowed;
    DropTarget()->DragEnter(object.Get(), c.keys, PanelPoint(1, 1), &effect);
    EXPECT_EQ(effect, c.effect) << "keys " << c.keys << " allowed " << c.allowed;
    effect = c.allowed;
    DropTarget()->DragOver(c.keys, PanelPoint(1, 1), &effect);
    EXPECT_EQ(effect, c.effect) << "keys " << c.keys << " allowed " << c.allowed;
    DropTarget()->DragLeave();
    EXPECT_EQ(object->RefCount(), 1);
  }
}

TEST_F(GraphicTargetTest, EachFormatBecomesThePictureReportedAfterTheDrop) {
  const std::string dib = PackedDIB(2, 24, BI_RGB, 0, "", "\x00\x00\xFF\xFF\x00\x00\x00\x00"s);
  struct Case {
    const char* name;
    TOfferedFormat offered;
    TDropGraphicFormat format;
    std::vector<TColor> row;  // of a bitmap
  } cases[] = {
      {"CF_DIB", {CF_DIB, dib}, dgfBitmap, {clRed, clBlue}},
      {"CF_BITMAP", {CF_BITMAP, "", TYMED_GDI, TMisbehaviour::None, bitmap_}, dgfBitmap, {clLime, clBlue}},
      {"CF_ENHMETAFILE", {CF_ENHMETAFILE, "", TYMED_ENHMF, TMisbehaviour::None, enhanced_}, dgfMetafile, {}},
      {"CF_METAFILEPICT", {CF_METAFILEPICT, "", TYMED_MFPICT, TMisbehaviour::None, metafile_}, dgfMetafile, {}},
  };
  for (const Case& c : cases) {
    drops_.clear();
    auto object = MakeDataObject({c.offered});
    DWORD effect = 0;
    EXPECT_EQ(EnterAndDrop(object.Get(), MK_CONTROL, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect, 7, 9), S_OK)
        << c.name;
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY)) << c.name;
    // OLE's call has returned; the report waits in the acceptor's queue, and
    // the data object is held until then.
    EXPECT_TRUE(drops_.empty()) << c.name;
    EXPECT_EQ(target_->PendingDrops(), 1u) << c.name;
    EXPECT_EQ(target_->getDataObject(), object.Get()) << c.name;
    Pump();
    ASSERT_EQ(drops_.size(), 1u) << c.name;
    EXPECT_EQ(drops_[0].picture, &target_->getPicture()) << c.name;
    EXPECT_EQ(drops_[0].acceptor, panel_) << c.name;
    EXPECT_EQ(drops_[0].format, c.format) << c.name;
    EXPECT_EQ(drops_[0].x, 7) << c.name;
    EXPECT_EQ(drops_[0].y, 9) << c.name;
    if (c.format == dgfBitmap) {
      EXPECT_EQ(drops_[0].row, c.row) << c.name;
    } else {
      auto* picture = dynamic_cast<TMetafile*>(target_->getPicture().Graphic());
      ASSERT_NE(picture, nullptr) << c.name;
      ENHMETAHEADER header{};
      EXPECT_GT(GetEnhMetaFileHeader(picture->Handle(), sizeof header, &header), 0u) << c.name;
      EXPECT_GT(header.nRecords, 2u) << c.name;
    }
    EXPECT_EQ(target_->PendingDrops(), 0u) << c.name;
    EXPECT_EQ(target_->getDataObject(), nullptr) << c.name;
    EXPECT_TRUE(target_->getAvailableDropEffects().Empty()) << c.name;
    EXPECT_EQ(object->RefCount(), 1) << c.name;
    EXPECT_EQ(TTestDataObject::LiveMedia(), 0) << c.name;
  }
}

TEST_F(GraphicTargetTest, UnreadableDataFallsToTheNextFormatOrRaisesNothing) {
  const std::string dib = PackedDIB(2, 24, BI_RGB, 0, "", "\x00\x00\xFF\xFF\x00\x00\x00\x00"s);
  // A DIB that does not decode is passed over for the bitmap behind it.
  auto object = MakeDataObject(
      {{CF_DIB, "not a bitmap"}, {CF_BITMAP, "", TYMED_GDI, TMisbehaviour::None, bitmap_}});
  EXPECT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY), S_OK);
  Pump();
  ASSERT_EQ(drops_.size(), 1u);
  EXPECT_EQ(drops_[0].row, (std::vector<TColor>{clLime, clBlue}));

  struct Case {
    const char* name;
    TOfferedFormat offered;
  } cases[] = {
      {"garbage DIB", {CF_DIB, "\x28\x00\x00\x00garbage"s}},
      {"lock fails", {CF_DIB, dib, TYMED_HGLOBAL, TMisbehaviour::LockFails}},
      {"empty fixed block", {CF_DIB, dib, TYMED_HGLOBAL, TMisbehaviour::FixedEmpty}},
      {"stream instead of a block", {CF_DIB, dib, TYMED_HGLOBAL, TMisbehaviour::WrongMedium}},
  };
  for (const Case& c : cases) {
    drops_.clear();
    auto hostile = MakeDataObject({c.offered});
    DWORD effect = 0;
    EXPECT_TRUE(FAILED(EnterAndDrop(hostile.Get(), 0, DROPEFFECT_COPY, &effect))) << c.name;
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << c.name;
    Pump();
    EXPECT_TRUE(drops_.empty()) << c.name;
    // The picture of the earlier drop stays.
    EXPECT_EQ(RowOf(target_->getPicture()), (std::vector<TColor>{clLime, clBlue})) << c.name;
    EXPECT_EQ(hostile->RefCount(), 1) << c.name;
    EXPECT_EQ(TTestDataObject::LiveMedia(), 0) << c.name;
  }
}

// A URL drop reads into a new, empty picture: when the image cannot be
// fetched (here the network object is not installed) the drop reports that
// empty picture, never the one of the drop before.
TEST_F(GraphicTargetTest, ImageURLDropStartsFromAnEmptyPicture) {
  CLSID id{};
  EXPECT_TRUE(FAILED(CLSIDFromProgID(L"Netscape.Network.1", &id)));
  TPicture untouched;
  EXPECT_FALSE(FetchImageURL("http://example.invalid/a.bmp", untouched));
  EXPECT_TRUE(untouched.Empty());

  // Positive control: a metafile drop reports its metafile.
  auto first = MakeDataObject({{CF_ENHMETAFILE, "", TYMED_ENHMF, TMisbehaviour::None, enhanced_}});
  EXPECT_EQ(EnterAndDrop(first.Get(), 0, DROPEFFECT_COPY), S_OK);
  Pump();
  ASSERT_EQ(drops_.size(), 1u);
  EXPECT_EQ(drops_[0].format, dgfMetafile);
  EXPECT_FALSE(target_->getPicture().Empty());

  const std::string image_block = std::string(44, '\x01') + "http://example.invalid/a.bmp\0trailing"s;
  auto object = MakeDataObject({{DragDropFormats().NetscapeImage, image_block}});
  EXPECT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY, nullptr, 3, 4), S_OK);
  Pump();
  ASSERT_EQ(drops_.size(), 2u);
  EXPECT_EQ(drops_[1].picture, &target_->getPicture());
  EXPECT_TRUE(target_->getPicture().Empty());
  EXPECT_EQ(drops_[1].format, dgfBitmap);
  EXPECT_EQ(target_->getDroppedGraphicFormat(), dgfBitmap);
  EXPECT_EQ(drops_[1].x, 3);
  EXPECT_EQ(drops_[1].y, 4);
  EXPECT_EQ(object->RefCount(), 1);
  EXPECT_EQ(ImageURLFromNetscapeImage(image_block), "http://example.invalid/a.bmp");
  EXPECT_EQ(ImageURLFromNetscapeImage(std::string(44, 'x')), "");
  EXPECT_EQ(ImageURLFromNetscapeImage(std::string(44, 'x') + "open-ended"), "open-ended");
}

TEST_F(GraphicTargetTest, ForgedDropMessagesAreIgnored) {
  // The message is registered by name: any process can post it, with any
  // pointer. Only the target's own records are followed.
  TGraphicTargetDropRecord stranger;
  PostMessageA(panel_->Handle(), DragDropFormats().GraphicTargetDropMessage, reinterpret_cast<WPARAM>(&stranger), 0);
  PostMessageA(panel_->Handle(), DragDropFormats().GraphicTargetDropMessage, 0x12345678, 0);
  Pump();
  EXPECT_TRUE(drops_.empty());
}

TEST_F(GraphicTargetTest, ChangingTheAcceptedFormatsDuringADragRechecks) {
  auto object = MakeDataObject({{CF_DIB, "x"}});
  DWORD effect = DROPEFFECT_COPY;
  DropTarget()->DragEnter(object.Get(), 0, PanelPoint(1, 1), &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  target_->setAcceptBitmap(false);
  effect = DROPEFFECT_COPY;
  DropTarget()->DragOver(0, PanelPoint(1, 1), &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  target_->setAcceptBitmap(true);
  effect = DROPEFFECT_COPY;
  DropTarget()->DragOver(0, PanelPoint(1, 1), &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(target_->getAvailableGraphicFormats(), (TDropGraphicFormats{dgfBitmap}));
  DropTarget()->DragLeave();
  EXPECT_EQ(object->RefCount(), 1);
}

TEST_F(GraphicTargetTest, TargetGoneBeforeItsPostedDropIsHandled) {
  auto object = MakeDataObject({{CF_BITMAP, "", TYMED_GDI, TMisbehaviour::None, bitmap_}});
  EXPECT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY), S_OK);
  EXPECT_EQ(target_->PendingDrops(), 1u);
  delete target_;
  target_ = nullptr;
  // Its record and the data object went with it; the queued message finds
  // nothing.
  EXPECT_EQ(object->RefCount(), 1);
  Pump();
  EXPECT_TRUE(drops_.empty());
}

}  // namespace
}  // namespace plx
