#pragma once
// A picture held as an enhanced metafile, so that a dropped metafile stays
// a vector picture in a TPicture instead of being flattened to pixels.

#include <windows.h>

#include <memory>

#include "framework/Bitmap.h"
#include "framework/GdiHandles.h"

namespace plx {

class TMetafile : public TGraphic {
 public:
  TMetafile() = default;
  // Takes ownership of metafile.
  explicit TMetafile(HENHMETAFILE metafile) { SetHandle(metafile); }

  // The size of the picture's bounds in the reference device's pixels.
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return !metafile_; }
  // Owned by the graphic; nullptr when empty.
  HENHMETAFILE Handle() const { return metafile_.Get(); }
  // Takes ownership of metafile (nullptr empties the graphic).
  void SetHandle(HENHMETAFILE metafile);

  void Assign(const TPersistent& source) override;
  // Plays the metafile into r.
  void Draw(TCanvas& canvas, const TRect& r) override;
  std::unique_ptr<TGraphic> Clone() const override;

 private:
  TOwnedEnhMetaFile metafile_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace plx
