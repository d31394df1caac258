#include "dragdrop/GraphicSource.h"

#include <cstring>
#include <vector>

#include "dragdrop/MetafileGraphic.h"
#include "framework/ScopedState.h"

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
  // One picture object, assigned into: a reference taken earlier stays valid.
  if (donor_) {
    if (TGraphicDataObject::CanCarry(donor_->Picture().Graphic()))
      picture_.Assign(donor_->Picture());
    else
      picture_.SetGraphic(nullptr);
  }
  return picture_;
}

void TQXGraphicSource::setPicture(const TPicture& picture) {
  // A copy first: the picture given may be our own, which a change of donor
  // empties.
  TPicture copy;
  copy.Assign(picture);
  setDonor(nullptr);
  picture_.Assign(copy);
}

void TQXGraphicSource::setDonor(TImage* donor) {
  if (donor == donor_) return;
  if (donor_) RemoveFreeNotification(donor_);
  donor_ = donor;
  if (donor_) FreeNotification(donor_);
  picture_.SetGraphic(nullptr);
}

bool TQXGraphicSource::Execute() {
  const TGraphic* graphic = getPicture().Graphic();
  if (!TGraphicDataObject::CanCarry(graphic) || Busy()) return RefuseExecute();
  const TComPtr<TGraphicDataObject> dataObject(new TGraphicDataObject(*graphic, metafile_size_));
  data_object_ = dataObject;
  const std::weak_ptr<const void> alive = AliveToken();
  // A handler may have destroyed this source during the drag.
  const TScopeExit forgetDataObject([this, &alive] {
    if (!alive.expired()) data_object_.Reset();
  });
  return RunDragLoop(dataObject.Get());
}

bool TQXGraphicSource::doBeforeDrop() {
  if (!OnBeforeDrop) return true;
  TPicture dropPicture;
  dropPicture.Assign(getPicture());
  const std::string before = PictureContent(dropPicture);
  bool cancelDrop = false;
  const std::weak_ptr<const void> alive = AliveToken();
  // A copy: the handler may destroy this source, and with it the event.
  const TQXGraphicBeforeDropType onBeforeDrop = OnBeforeDrop;
  onBeforeDrop(this, donor_, dropPicture, cancelDrop);
  // Destroyed by its handler: there is nothing left to drop.
  if (alive.expired()) return false;
  if (PictureContent(dropPicture) != before) {
    setPicture(dropPicture);
    // The target reads after this answer. A picture of the kind it chose
    // its format from goes to it; one of another kind could not be read in
    // that format, so it gets the picture offered when it was entered.
    if (data_object_ && picture_.Graphic()) data_object_->ReplaceGraphic(*picture_.Graphic());
  }
  return !cancelDrop;
}

void TQXGraphicSource::doAfterDrop(bool droppedOK) {
  // A target that never got the picture has not received the drop, whatever
  // effect it reported.
  const bool delivered = data_object_ && data_object_->Delivered();
  if (const TQXGraphicAfterDropType onAfterDrop = OnAfterDrop) onAfterDrop(this, donor_, droppedOK && delivered);
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
