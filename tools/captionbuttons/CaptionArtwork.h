#pragma once
// The caption buttons' pictures, drawn by code: the two pins of the
// always-on-top button (12 x 11, 16 colours, magenta background) and the five
// themed button faces (16 x 16, true colour, white rim, magenta corners).

#include <array>

#include "tools/captionbuttons/BmpWriter.h"

namespace plx::captiongen {

// The 16-colour palette of the pins; index 13 is magenta (the background).
const std::array<TRgb, 16>& PinPalette();
inline constexpr std::uint8_t kBlack = 0, kGrey = 8, kLightGrey = 7, kWhite = 15, kMagenta = 13;

TIndexedImage DrawPinUp();    // lying on its side: the button is up
TIndexedImage DrawPinDown();  // pushed in, seen at a slant: the button is down

enum class TFaceColour { Blue, Green, Red, Yellow, Brown };
TRgbImage DrawXPFace(TFaceColour colour);

}  // namespace plx::captiongen
