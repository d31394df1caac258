#pragma once
// A list of equally sized images over a common-controls image list.

#include <windows.h>

#include <commctrl.h>

#include "framework/Bitmap.h"
#include "framework/Component.h"
#include "framework/Graphics.h"

namespace plx {

// An HIMAGELIST destroyed with ImageList_Destroy.
class TOwnedImageList {
 public:
  TOwnedImageList() = default;
  explicit TOwnedImageList(HIMAGELIST list) : list_(list) {}
  TOwnedImageList(const TOwnedImageList&) = delete;
  TOwnedImageList& operator=(const TOwnedImageList&) = delete;
  ~TOwnedImageList() { Reset(); }
  HIMAGELIST Get() const { return list_; }
  explicit operator bool() const { return list_ != nullptr; }
  void Reset(HIMAGELIST list = nullptr) {
    if (list_) ImageList_Destroy(list_);
    list_ = list;
  }

 private:
  HIMAGELIST list_ = nullptr;
};

// Images are cut from bitmaps as wide as a number of images side by side.
// Every image has a mask; pixels of the mask colour are not drawn.
class TCustomImageList : public TComponent {
 public:
  explicit TCustomImageList(TComponent* owner);

  TNotifyEvent OnChange;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Changing the size removes every image.
  void SetSize(int width, int height);
  int Count() const;

  // Adds bitmap.Width() / Width() images (at least one) whose pixels of
  // mask_color are transparent; answers the index of the first, or -1.
  // The bitmap itself is not changed.
  int AddMasked(const TBitmap& bitmap, TColor maskColor);
  void Delete(int index);
  void Clear();

  // Image index with its top-left corner at (x, y); an index outside the
  // list draws nothing. Disabled images are drawn blended with the face colour.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true);

  // Owned by the list; made on first use.
  HIMAGELIST Handle();

 private:
  void Changed();

  int width_ = 16;
  int height_ = 16;
  TOwnedImageList list_;
};

class TImageList : public TCustomImageList {
 public:
  using TCustomImageList::TCustomImageList;
};

}  // namespace plx
