#include "framework/Image.h"

namespace plx {

TImage::TImage(TComponent* owner) : TCustomControl(owner) {
  picture_.OnChange = [this](TObject*) { Invalidate(); };
}

void TImage::Paint() {
  TCustomControl::Paint();
  if (TGraphic* graphic = picture_.Graphic(); graphic && !graphic->Empty())
    Canvas().StretchDraw(TRect{0, 0, graphic->Width(), graphic->Height()}, *graphic);
}

}  // namespace plx
