#pragma once
// The fill of a selected list entry: a plain colour, a two-colour gradient or
// two mirrored gradients, with an optional frame.

#include "framework/Component.h"
#include "framework/Types.h"

namespace plx {

class TGradientStyle : public TPersistent {
 public:
  TColor ColorFrom() const { return color_from_; }
  void SetColorFrom(TColor value) { Set(color_from_, value); }
  TColor ColorTo() const { return color_to_; }
  void SetColorTo(TColor value) { Set(color_to_, value); }
  TColor BorderColor() const { return border_color_; }
  void SetBorderColor(TColor value) { Set(border_color_, value); }
  TColor ColorMirrorFrom() const { return color_mirror_from_; }
  void SetColorMirrorFrom(TColor value) { Set(color_mirror_from_, value); }
  TColor ColorMirrorTo() const { return color_mirror_to_; }
  void SetColorMirrorTo(TColor value) { Set(color_mirror_to_, value); }
  // False: the gradient runs left to right (mirror halves top and bottom);
  // true: top to bottom (mirror halves left and right).
  bool Direction() const { return direction_; }
  void SetDirection(bool value) { Set(direction_, value); }

  // Copies the five colours; Direction stays.
  void Assign(const TPersistent& source) override;

  TNotifyEvent OnChange;

 private:
  template <class T>
  void Set(T& field, T value) {
    if (field == value) return;
    field = value;
    if (OnChange) OnChange(this);
  }

  TColor color_from_ = clHighlight;
  TColor color_to_ = clNone;
  TColor border_color_ = clHighlight;
  TColor color_mirror_from_ = clNone;
  TColor color_mirror_to_ = clNone;
  bool direction_ = false;
};

}  // namespace plx
