#include "dragdrop/GraphicSource.h"

#include <cstring>
#include <vector>

#include "dragdrop/MetafileGraphic.h"

namespace plx {

namespace {

// What a picture shows, as bytes: equal for equal pictures, so a handler's
// change to the picture it was given can be seen.
std::string PictureContent(const TPicture& picture) {
  const TGraphic* graphic = picture.Graphic();
  if (!graphic || graphic->Empty()) return {};
  std::string content;
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(graphic)) {
    content = "B" + std::to_string(bitmap->Width()) + "x" + std::to_string(bitmap->Height()) + ":";
    auto& pixels = const_cast<TBitmap&>(*bitmap);  // ScanLine reads through a non-const path
    for (int y = 0; y < bitmap->Height(); ++y)
      content.append(reinterpret_cast<const char*>(pixels.ScanLine(y)),
                     static_cast<std::size_t>(bitmap->Width()) * sizeof(std::uint32_t));
  } else if (const auto* metafile = dynamic_cast<const TMetafile*>(graphic)) {
    const UINT size = GetEnhMetaFileBits(metafile->Handle(), 0, nullptr);
    std::vector<BYTE> bits(size);
    if (size) GetEnhMetaFileBits(metafile->Handle(), size, bits.data());
    content = "M";
    content.append(reinterpret_cast<const char*>(bits.data()), bits.size());
  } else {
    content = "?";  // any other kind is not dragged; its content never matters
  }
  return content;
}

}  // namespace

TQXGraphicSource::TQXGraphicSource(TComponent* owner) : TQXDragSource(owner) {}

TQXGraphicSource::~TQXGraphicSource() = default;

TPicture& TQXGraphicSource::getPicture() {
  if (donor_) {
    auto fresh = std::make_unique<TPicture>();
    if (TGraphicDataObject::CanCarry(donor_->Picture().Graphic())) fresh->Assign(donor_->Picture());
    picture_ = std::move(fresh);
  }
  return *picture_;
}

void TQXGraphicSource::setPicture(const TPicture& picture) {
  auto copy = std::make_unique<TPicture>();
  copy->Assign(picture);
  setDonor(nullptr);  // first: a change of donor empties the stored picture
  picture_ = std::move(copy);
}

void TQXGraphicSource::setDonor(TImage* donor) {
  if (donor == donor_) return;
  if (donor_) RemoveFreeNotification(donor_);
  donor_ = donor;
  if (donor_) FreeNotification(donor_);
  picture_ = std::make_unique<TPicture>();
}

bool TQXGraphicSource::Execute() {
  const TGraphic* graphic = getPicture().Graphic();
  if (!TGraphicDataObject::CanCarry(graphic) || Busy()) return false;
  TComPtr<TGraphicDataObject> data_object(new TGraphicDataObject(*graphic, metafile_size_));
  data_object_ = data_object.Get();
  struct TForgetDataObject {
    TGraphicDataObject*& object;
    ~TForgetDataObject() { object = nullptr; }
  } forget{data_object_};
  return RunDragLoop(data_object.Get());
}

bool TQXGraphicSource::doBeforeDrop() {
  if (!OnBeforeDrop) return true;
  TPicture dropPicture;
  dropPicture.Assign(getPicture());
  const std::string before = PictureContent(dropPicture);
  bool cancelDrop = false;
  OnBeforeDrop(this, donor_, dropPicture, cancelDrop);
  if (PictureContent(dropPicture) != before) {
    setPicture(dropPicture);
    // The target reads after this answer: it must get the changed picture.
    if (data_object_ && TGraphicDataObject::CanCarry(picture_->Graphic()))
      data_object_->SetGraphic(*picture_->Graphic());
  }
  return !cancelDrop;
}

void TQXGraphicSource::doAfterDrop(bool droppedOK) {
  if (OnAfterDrop) OnAfterDrop(this, donor_, droppedOK);
}

void TQXGraphicSource::Notification(TComponent* component, TOperation operation) {
  TQXDragSource::Notification(component, operation);
  if (operation != TOperation::opRemove || !component || component != donor_) return;
  if (IsDestroying())
    donor_ = nullptr;
  else
    setDonor(nullptr);
}

}  // namespace plx
