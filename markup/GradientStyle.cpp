#include "markup/GradientStyle.h"

namespace plx {

void TGradientStyle::Assign(const TPersistent& source) {
  const auto* style = dynamic_cast<const TGradientStyle*>(&source);
  if (!style) {
    TPersistent::Assign(source);
    return;
  }
  SetColorTo(style->color_to_);
  SetColorFrom(style->color_from_);
  SetBorderColor(style->border_color_);
  SetColorMirrorFrom(style->color_mirror_from_);
  SetColorMirrorTo(style->color_mirror_to_);
}

}  // namespace plx
