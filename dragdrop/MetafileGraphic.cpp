#include "dragdrop/MetafileGraphic.h"

namespace plx {

void TMetafile::SetHandle(HENHMETAFILE metafile) {
  metafile_.Reset(metafile);
  width_ = height_ = 0;
  ENHMETAHEADER header{};
  if (metafile && GetEnhMetaFileHeader(metafile, sizeof header, &header) != 0) {
    // rclBounds is inclusive on both sides.
    width_ = static_cast<int>(header.rclBounds.right - header.rclBounds.left + 1);
    height_ = static_cast<int>(header.rclBounds.bottom - header.rclBounds.top + 1);
    if (width_ < 0 || height_ < 0) width_ = height_ = 0;
  }
  Changed();
}

void TMetafile::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TMetafile*>(&source);
  if (!other) return TGraphic::Assign(source);
  if (other == this) return;
  SetHandle(other->Empty() ? nullptr : CopyEnhMetaFileA(other->Handle(), nullptr));
}

void TMetafile::Draw(TCanvas& canvas, const TRect& r) {
  if (!metafile_) return;
  const RECT bounds{r.Left, r.Top, r.Right, r.Bottom};
  PlayEnhMetaFile(canvas.Handle(), metafile_.Get(), &bounds);
}

std::unique_ptr<TGraphic> TMetafile::Clone() const {
  auto copy = std::make_unique<TMetafile>();
  copy->Assign(*this);
  return copy;
}

}  // namespace plx
