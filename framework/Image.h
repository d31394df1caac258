#pragma once
// TImage: a control that shows a picture at its top-left corner.

#include "framework/Bitmap.h"
#include "framework/StdCtrls.h"

namespace plx {

class TImage : public TCustomControl {
 public:
  explicit TImage(TComponent* owner);

  // Changing the picture repaints the control.
  TPicture& Picture() { return picture_; }

 protected:
  void Paint() override;

 private:
  TPicture picture_;
};

}  // namespace plx
