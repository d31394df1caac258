// The picture drag source: the formats its data object offers for bitmaps
// and metafiles, the picture it takes from a donor image, and whole drags
// through OLE's own DoDragDrop onto the picture drop target.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dragdrop/DataObjectUtils.h"
#include "dragdrop/DroppedGraphics.h"
#include "dragdrop/GraphicSource.h"
#include "dragdrop/GraphicTarget.h"
#include "dragdrop/MetafileGraphic.h"
#include "framework/Forms.h"
#include "framework/Image.h"
#include "tests/dragdrop/DragSourceTestSupport.h"

namespace plx {
namespace {

using test::ReleaseAllButtonsAndKeys;
using test::SetMouseButtonDown;

FORMATETC Request(UINT format, DWORD tymed, DWORD aspect = DVASPECT_CONTENT) {
  return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, aspect, -1, tymed};
}

// A 3 x 2 bitmap with a different colour in every pixel.
std::unique_ptr<TBitmap> Checkered(TColor first = clRed) {
  auto bitmap = std::make_unique<TBitmap>(3, 2);
  const TColor colours[] = {first, clLime, clBlue, clYellow, clFuchsia, clAqua};
  for (int i = 0; i < 6; ++i) bitmap->SetPixel(i % 3, i / 3, colours[i]);
  return bitmap;
}

std::vector<TColor> PixelsOf(const TGraphic* graphic) {
  std::vector<TColor> pixels;
  const auto* bitmap = dynamic_cast<const TBitmap*>(graphic);
  if (!bitmap) return pixels;
  for (int y = 0; y < bitmap->Height(); ++y)
    for (int x = 0; x < bitmap->Width(); ++x) pixels.push_back(bitmap->Pixel(x, y));
  return pixels;
}

// An enhanced metafile of a 20 x 10 rectangle.
std::unique_ptr<TMetafile> Rectangles() {
  HDC recorder = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  Rectangle(recorder, 0, 0, 20, 10);
  return std::make_unique<TMetafile>(CloseEnhMetaFile(recorder));
}

std::vector<std::string> Enumerated(IDataObject* object) {
  std::vector<std::string> lines;
  const auto list = DataObjFormatEtcList(object);
  lines.reserve(list->Count());
  for (int i = 0; i < list->Count(); ++i) lines.push_back(list->Strings(i));
  return lines;
}

TEST(GraphicDataObject, ABitmapIsOfferedAsDIBAndBitmapWithItsPixels) {
  const auto bitmap = Checkered();
  TComPtr<TGraphicDataObject> object(new TGraphicDataObject(*bitmap, false));
  EXPECT_EQ(Enumerated(object.Get()),
            (std::vector<std::string>{"\"CF_DIB\",8,TYMED_HGLOBAL,1,-1", "\"CF_BITMAP\",2,TYMED_GDI,1,-1"}));

  struct Case {
    const char* name;
    FORMATETC request;
    HRESULT query;
  } cases[] = {
      {"CF_DIB on a block", Request(CF_DIB, TYMED_HGLOBAL), S_OK},
      {"CF_DIB on any medium", Request(CF_DIB, static_cast<DWORD>(-1)), S_OK},
      {"CF_BITMAP as a GDI handle", Request(CF_BITMAP, TYMED_GDI), S_OK},
      {"CF_DIB as a GDI handle", Request(CF_DIB, TYMED_GDI), S_FALSE},
      {"CF_BITMAP on a block", Request(CF_BITMAP, TYMED_HGLOBAL), S_FALSE},
      {"CF_ENHMETAFILE", Request(CF_ENHMETAFILE, TYMED_ENHMF), S_FALSE},
      {"CF_METAFILEPICT", Request(CF_METAFILEPICT, TYMED_MFPICT), S_FALSE},
      {"CF_DIB as an icon", Request(CF_DIB, TYMED_HGLOBAL, DVASPECT_ICON), S_FALSE},
  };
  for (const Case& c : cases) {
    FORMATETC request = c.request;
    EXPECT_EQ(object->QueryGetData(&request), c.query) << c.name;
    STGMEDIUM medium{};
    const HRESULT got = object->GetData(&request, &medium);
    EXPECT_EQ(got == S_OK, c.query == S_OK) << c.name;
    if (got == S_OK) ReleaseStgMedium(&medium);
  }

  // Asked twice each: new data every time, each the receiver's to free.
  for (int twice = 0; twice < 2; ++twice) {
    FORMATETC request = Request(CF_DIB, TYMED_HGLOBAL);
    STGMEDIUM medium{};
    ASSERT_EQ(object->GetData(&request, &medium), S_OK);
    EXPECT_EQ(medium.pUnkForRelease, nullptr);
    EXPECT_EQ(PixelsOf(GraphicFromDIB(GetHandleDataToString(medium.hGlobal)).get()), PixelsOf(bitmap.get()));
    EXPECT_EQ(GlobalFree(medium.hGlobal), nullptr) << "a block the receiver cannot free";

    request = Request(CF_BITMAP, TYMED_GDI);
    ASSERT_EQ(object->GetData(&request, &medium), S_OK);
    EXPECT_NE(medium.hBitmap, bitmap->Handle());
    EXPECT_EQ(PixelsOf(GraphicFromBitmapHandle(medium.hBitmap).get()), PixelsOf(bitmap.get()));
    EXPECT_TRUE(DeleteObject(medium.hBitmap)) << "a bitmap the receiver cannot delete";
  }
  EXPECT_EQ(object->RefCount(), 1);
}

TEST(GraphicDataObject, AMetafileIsOfferedAsEnhancedAndWindowsMetafile) {
  const auto metafile = Rectangles();
  ENHMETAHEADER header{};
  ASSERT_NE(GetEnhMetaFileHeader(metafile->Handle(), sizeof header, &header), 0u);
  for (bool withSize : {false, true}) {
    TComPtr<TGraphicDataObject> object(new TGraphicDataObject(*metafile, withSize));
    EXPECT_EQ(Enumerated(object.Get()), (std::vector<std::string>{"\"CF_ENHMETAFILE\",14,TYMED_ENHMF,1,-1",
                                                                  "\"CF_METAFILEPICT\",3,TYMED_MFPICT,1,-1"}));
    FORMATETC request = Request(CF_DIB, TYMED_HGLOBAL);
    EXPECT_EQ(object->QueryGetData(&request), S_FALSE);
    request = Request(CF_ENHMETAFILE, TYMED_ENHMF);
    EXPECT_EQ(object->QueryGetData(&request), S_OK);

    STGMEDIUM medium{};
    ASSERT_EQ(object->GetData(&request, &medium), S_OK);
    EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_ENHMF));
    EXPECT_NE(medium.hEnhMetaFile, metafile->Handle());
    EXPECT_EQ(GetEnhMetaFileBits(medium.hEnhMetaFile, 0, nullptr), GetEnhMetaFileBits(metafile->Handle(), 0, nullptr));
    ReleaseStgMedium(&medium);

    request = Request(CF_METAFILEPICT, TYMED_MFPICT);
    EXPECT_EQ(object->QueryGetData(&request), S_OK);
    ASSERT_EQ(object->GetData(&request, &medium), S_OK);
    EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_MFPICT));
    // The whole record, its handle pointer-wide.
    ASSERT_EQ(GlobalSize(medium.hMetaFilePict), sizeof(METAFILEPICT));
    const std::string record = GetHandleDataToString(medium.hMetaFilePict);
    METAFILEPICT picture{};
    std::memcpy(&picture, record.data(), sizeof picture);
    EXPECT_EQ(picture.mm, MM_ANISOTROPIC);
    EXPECT_EQ(picture.xExt, withSize ? header.rclFrame.right - header.rclFrame.left : 0) << withSize;
    EXPECT_EQ(picture.yExt, withSize ? header.rclFrame.bottom - header.rclFrame.top : 0) << withSize;
    EXPECT_GT(GetMetaFileBitsEx(picture.hMF, 0, nullptr), 0u);
    // Readable as the picture target reads it.
    EXPECT_NE(GraphicFromMetaFilePict(medium.hMetaFilePict), nullptr);
    ReleaseStgMedium(&medium);
    EXPECT_EQ(object->RefCount(), 1);
  }
}

TEST(GraphicSourcePicture, TakenFromTheDonorImageWhenItHoldsABitmapOrMetafile) {
  TForm form(nullptr);
  auto* image = new TImage(&form);
  TQXGraphicSource source(&form);
  EXPECT_EQ(source.DropEffects(), TDropEffects{deCopy});
  EXPECT_EQ(source.MouseButton(), TMouseButton::mbLeft);
  EXPECT_FALSE(source.MetafileSizeInExtents());
  EXPECT_FALSE(source.Execute());  // nothing to drag

  image->Picture().SetGraphic(Checkered());
  // One picture object throughout: a reference taken now shows what later
  // calls take.
  TPicture& kept = source.getPicture();
  source.setDonor(image);
  EXPECT_EQ(PixelsOf(source.getPicture().Graphic()), PixelsOf(image->Picture().Graphic()));
  EXPECT_EQ(&source.getPicture(), &kept);
  EXPECT_EQ(PixelsOf(kept.Graphic()), PixelsOf(image->Picture().Graphic()));
  EXPECT_NE(source.getPicture().Graphic(), image->Picture().Graphic());  // a copy
  // Taken afresh: a change to the donor's picture shows at the next request.
  image->Picture().SetGraphic(Checkered(clWhite));
  EXPECT_EQ(PixelsOf(source.getPicture().Graphic()), PixelsOf(Checkered(clWhite).get()));
  image->Picture().SetGraphic(Rectangles());
  EXPECT_NE(dynamic_cast<TMetafile*>(source.getPicture().Graphic()), nullptr);
  image->Picture().SetGraphic(std::make_unique<TIcon>());
  EXPECT_TRUE(source.getPicture().Empty());
  EXPECT_FALSE(source.Execute());

  // setPicture keeps a copy and lets the donor go; a donor empties it.
  TPicture own;
  own.SetGraphic(Checkered(clBlack));
  source.setPicture(own);
  EXPECT_EQ(source.DonorImage(), nullptr);
  own.SetGraphic(Checkered(clWhite));
  EXPECT_EQ(PixelsOf(source.getPicture().Graphic()), PixelsOf(Checkered(clBlack).get()));
  EXPECT_EQ(&source.getPicture(), &kept);
  source.setPicture(source.getPicture());  // its own picture, given back
  EXPECT_EQ(PixelsOf(kept.Graphic()), PixelsOf(Checkered(clBlack).get()));
  source.setDonor(image);
  source.setDonor(nullptr);
  EXPECT_TRUE(source.getPicture().Empty());
  EXPECT_EQ(&source.getPicture(), &kept);

  // A removed donor is cleared.
  source.setDonor(image);
  delete image;
  EXPECT_EQ(source.DonorImage(), nullptr);
  EXPECT_EQ(source.DropSourceObject()->RefCount(), 1);
}

// ---- whole drags onto the picture drop target ----

struct TGraphicArrival {
  int count = 0;
  std::vector<TColor> pixels;
  bool metafile = false;
};

class GraphicSourceDragTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    form = new TForm(nullptr);
    form->SetBounds(100, 100, 420, 240);
    donor = new TImage(form);
    donor->SetParent(form);
    donor->SetBounds(10, 10, 150, 150);
    acceptor = new TListBox(form);
    acceptor->SetParent(form);
    acceptor->SetBounds(200, 10, 180, 150);
    target = new TQXGraphicTarget(form);
    target->setAcceptor(acceptor);
    form->Show();
  }
  static void TearDownTestSuite() { delete form; }

  void SetUp() override {
    ASSERT_TRUE(target->Registered());
    target->OnDrop = [this](TObject*, TWinControl*, TPicture& picture, int, int) {
      ++arrival_.count;
      arrival_.pixels = PixelsOf(picture.Graphic());
      arrival_.metafile = dynamic_cast<TMetafile*>(picture.Graphic()) != nullptr;
    };
    source_ = NewSource();
  }

  TQXGraphicSource* NewSource() {
    auto* made = new TQXGraphicSource(nullptr);
    made->OnAfterDrop = [this](TObject*, TImage* donorImage, bool droppedOK) {
      ++afters_;
      after_donor_ = donorImage;
      dropped_ok_ = droppedOK;
    };
    // OLE asks for feedback once the target has answered; the button is
    // released then, so the next look drops there.
    made->OnGiveFeedback = [](TObject*, TDropEffect effect, bool&) {
      if (effect != deNone) SetMouseButtonDown(VK_LBUTTON, false);
    };
    return made;
  }
  void TearDown() override {
    if (source_) {
      EXPECT_EQ(source_->DropSourceObject()->RefCount(), 1);
      EXPECT_FALSE(source_->Busy());
    }
    delete source_;
    target->OnDrop = nullptr;
    ReleaseAllButtonsAndKeys();
  }

  bool Drag() {
    test::PressButtonAt(acceptor->ClientToScreen({acceptor->Width() / 2, acceptor->Height() / 2}));
    const bool ended = source_->Execute();
    // The target reports from a message it posted to its acceptor.
    MSG message;
    while (target->PendingDrops() > 0 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    return ended;
  }

  static TForm* form;
  static TImage* donor;
  static TListBox* acceptor;
  static TQXGraphicTarget* target;
  TQXGraphicSource* source_ = nullptr;
  TGraphicArrival arrival_;
  int afters_ = 0;
  TImage* after_donor_ = nullptr;
  bool dropped_ok_ = false;
};

TForm* GraphicSourceDragTest::form = nullptr;
TImage* GraphicSourceDragTest::donor = nullptr;
TListBox* GraphicSourceDragTest::acceptor = nullptr;
TQXGraphicTarget* GraphicSourceDragTest::target = nullptr;

TEST_F(GraphicSourceDragTest, TheDonorsBitmapArrivesWithItsPixels) {
  donor->Picture().SetGraphic(Checkered());
  source_->setDonor(donor);
  ASSERT_TRUE(Drag());
  EXPECT_EQ(arrival_.count, 1);
  EXPECT_EQ(arrival_.pixels, PixelsOf(donor->Picture().Graphic()));
  EXPECT_EQ(afters_, 1);
  EXPECT_EQ(after_donor_, donor);
  EXPECT_TRUE(dropped_ok_);
  EXPECT_EQ(source_->getReturnedEffect(), deCopy);
}

TEST_F(GraphicSourceDragTest, AMetafileArrivesAsAMetafile) {
  TPicture picture;
  picture.SetGraphic(Rectangles());
  source_->setPicture(picture);
  ASSERT_TRUE(Drag());
  EXPECT_EQ(arrival_.count, 1);
  EXPECT_TRUE(arrival_.metafile);
}

TEST_F(GraphicSourceDragTest, OnBeforeDropCanChangeThePictureThatArrives) {
  // The target chose its format from a bitmap when the drag entered: a
  // changed bitmap arrives; a picture of another kind becomes the source's,
  // and the target gets the bitmap it could read in that format.
  struct Case {
    const char* name;
    std::function<std::unique_ptr<TGraphic>()> changed;
    std::vector<TColor> arrives;
  } cases[] = {
      {"another bitmap", [] { return Checkered(clWhite); }, PixelsOf(Checkered(clWhite).get())},
      {"a metafile", [] { return Rectangles(); }, PixelsOf(Checkered().get())},
      {"nothing", [] { return nullptr; }, PixelsOf(Checkered().get())},
  };
  for (const Case& c : cases) {
    arrival_ = {};
    afters_ = 0;
    donor->Picture().SetGraphic(Checkered());
    source_->setDonor(donor);
    source_->OnBeforeDrop = [&](TObject*, TImage* donorImage, TPicture& dropPicture, bool& cancelDrop) {
      EXPECT_EQ(donorImage, donor);
      EXPECT_FALSE(cancelDrop);
      dropPicture.SetGraphic(c.changed());
    };
    ASSERT_TRUE(Drag()) << c.name;
    ASSERT_EQ(arrival_.count, 1) << c.name;
    EXPECT_FALSE(arrival_.metafile) << c.name;
    EXPECT_EQ(arrival_.pixels, c.arrives) << c.name;
    EXPECT_EQ(afters_, 1) << c.name;
    EXPECT_TRUE(dropped_ok_) << c.name;
    // The changed picture is the source's now, its donor let go.
    const std::unique_ptr<TGraphic> changed = c.changed();
    EXPECT_EQ(source_->getPicture().Empty(), changed == nullptr) << c.name;
    EXPECT_EQ(dynamic_cast<TMetafile*>(source_->getPicture().Graphic()) != nullptr,
              dynamic_cast<TMetafile*>(changed.get()) != nullptr)
        << c.name;
    EXPECT_EQ(source_->DonorImage(), nullptr) << c.name;
    EXPECT_EQ(after_donor_, nullptr) << c.name;
  }
}

TEST_F(GraphicSourceDragTest, DestroyingTheSourceDuringItsDragEndsTheDragCleanly) {
  donor->Picture().SetGraphic(Checkered());
  source_->setDonor(donor);
  source_->OnGiveFeedback = [this](TObject*, TDropEffect, bool&) {
    delete source_;
    source_ = nullptr;
    SetMouseButtonDown(VK_LBUTTON, false);
  };
  EXPECT_TRUE(Drag());  // ended as a cancel
  EXPECT_EQ(source_, nullptr);
  EXPECT_EQ(arrival_.count, 0);
  EXPECT_EQ(afters_, 0);
  // Positive control: another source drags and drops afterwards.
  source_ = NewSource();
  source_->setDonor(donor);
  ASSERT_TRUE(Drag());
  EXPECT_EQ(arrival_.count, 1);
  EXPECT_TRUE(dropped_ok_);
}

TEST_F(GraphicSourceDragTest, OnBeforeDropCanCancel) {
  donor->Picture().SetGraphic(Checkered());
  source_->setDonor(donor);
  int before = 0;
  source_->OnBeforeDrop = [&](TObject*, TImage*, TPicture&, bool& cancelDrop) {
    ++before;
    cancelDrop = true;
  };
  EXPECT_TRUE(Drag());
  EXPECT_EQ(before, 1);
  EXPECT_EQ(arrival_.count, 0);
  EXPECT_EQ(afters_, 0);
  // Positive control: the same drag without the handler arrives.
  source_->OnBeforeDrop = nullptr;
  EXPECT_TRUE(Drag());
  EXPECT_EQ(arrival_.count, 1);
}

// ---- what a target gets, read by a target that records it ----

TEST(GraphicSourceDelivery, DroppedOKOnlyWhenTheTargetGotThePicture) {
  TComPtr<test::TRecordingDropTarget> target(new test::TRecordingDropTarget);
  test::TDragStage stage(target.Get());
  ASSERT_TRUE(stage.registered);
  struct Case {
    const char* name;
    FORMATETC read;
    bool droppedOK;
  } cases[] = {
      {"reads CF_DIB: the picture arrives", Request(CF_DIB, TYMED_HGLOBAL), true},
      {"reads only CF_TEXT, which a picture does not offer", Request(CF_TEXT, TYMED_HGLOBAL), false},
  };
  for (const Case& c : cases) {
    target->Reset();
    target->propose = DROPEFFECT_COPY;
    target->read = c.read;
    target->during_drag = [](int round) {
      if (round >= 2) SetMouseButtonDown(VK_LBUTTON, false);
    };
    TQXGraphicSource source(nullptr);
    TPicture picture;
    picture.SetGraphic(Checkered());
    source.setPicture(picture);
    int afters = 0;
    bool droppedOK = !c.droppedOK;
    source.OnAfterDrop = [&](TObject*, TImage*, bool dropped) {
      ++afters;
      droppedOK = dropped;
    };
    stage.HoldButtonOverTarget();
    EXPECT_TRUE(source.Execute()) << c.name;
    EXPECT_EQ(target->drops, 1) << c.name;
    EXPECT_EQ(source.getReturnedEffect(), deCopy) << c.name;  // the effect the target reported
    EXPECT_EQ(afters, 1) << c.name;
    EXPECT_EQ(droppedOK, c.droppedOK) << c.name;
    EXPECT_EQ(target->read_result == S_OK, c.droppedOK) << c.name;
  }
  target->Reset();
}

}  // namespace
}  // namespace plx
