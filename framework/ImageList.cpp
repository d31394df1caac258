#include "framework/ImageList.h"

#include <algorithm>

#include "framework/Exception.h"
#include "framework/OSError.h"

namespace plx {

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

void TCustomImageList::Changed() {
  if (OnChange) OnChange(this);
}

HIMAGELIST TCustomImageList::Handle() {
  if (!list_) {
    // 24-bit colour plus a mask: the DIB sections the images come from carry
    // no alpha, which a 32-bit list would take for fully transparent.
    list_.Reset(ImageList_Create(width_, height_, ILC_COLOR24 | ILC_MASK, 4, 4));
    if (!list_) RaiseLastOSError("ImageList_Create", "Cannot create an image list");
  }
  return list_.Get();
}

void TCustomImageList::SetSize(int width, int height) {
  if (width < 1 || height < 1) throw EInvalidOperation("Image list size must be at least 1 x 1");
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  list_.Reset();
  Changed();
}

int TCustomImageList::Count() const { return list_ ? ImageList_GetImageCount(list_.Get()) : 0; }

int TCustomImageList::AddMasked(const TBitmap& bitmap, TColor maskColor) {
  if (bitmap.Empty()) return -1;
  // ImageList_AddMasked blackens the masked pixels of the bitmap it is given,
  // and the bitmap must not be selected into a DC: hand it a private copy.
  TBitmap copy;
  copy.Assign(bitmap);
  if (copy.Height() != height_ || copy.Width() < width_) copy.SetSize(std::max(copy.Width(), width_), height_);
  const int index = ImageList_AddMasked(Handle(), copy.Handle(), ColorToRGB(maskColor) & 0x00FFFFFF);
  if (index >= 0) Changed();
  return index;
}

void TCustomImageList::Delete(int index) {
  if (!list_ || index < 0 || index >= Count()) return;
  ImageList_Remove(list_.Get(), index);
  Changed();
}

void TCustomImageList::Clear() {
  if (Count() == 0) return;
  ImageList_Remove(list_.Get(), -1);
  Changed();
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) {
  if (index < 0 || index >= Count()) return;
  IMAGELISTDRAWPARAMS params{};
  params.cbSize = sizeof params;
  params.himl = list_.Get();
  params.i = index;
  params.hdcDst = canvas.Handle();
  params.x = x;
  params.y = y;
  params.rgbBk = CLR_NONE;
  params.rgbFg = enabled ? CLR_DEFAULT : (ColorToRGB(clBtnFace) & 0x00FFFFFF);
  params.fStyle = ILD_TRANSPARENT | (enabled ? 0 : ILD_BLEND50);
  ImageList_DrawIndirect(&params);
}

}  // namespace plx
