#pragma once
// The program's icon: a stack of rounded clip cards in the red-based tints the
// clip list gives its entries, each with lines of text. Small sizes are laid
// out on whole pixels with fewer cards and lines rather than scaled down.

#include "tools/icon/IconRaster.h"

namespace plx::icongen {

// The icon's picture at size x size pixels (16, 32, 48, 128 or 256).
TRaster DrawIconPicture(int size);

}  // namespace plx::icongen
