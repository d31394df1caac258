#pragma once
// Pixel-by-pixel comparison of a drawn bitmap with the picture a test
// expects; a failing picture is kept as a BMP file for inspection.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "framework/Bitmap.h"

namespace plx::test {

inline ::testing::AssertionResult PixelsMatch(TBitmap& bitmap, const std::function<TColor(int x, int y)>& want,
                                              const std::string& name) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      if (bitmap.Pixel(x, y) == want(x, y)) continue;
      std::ostringstream why;
      why << std::hex << "pixel (" << std::dec << x << ", " << y << ") is 0x" << std::hex << bitmap.Pixel(x, y)
          << ", expected 0x" << want(x, y);
      if (const char* dir = std::getenv("PLEXORIA_BINARY_DIR")) {
        std::string file = name;
        for (char& ch : file)
          if (ch == ' ' || ch == '/' || ch == '\\') ch = '_';
        const std::string path = std::string(dir) + "/graphics_failed_" + file + ".bmp";
        TMemoryStream stream;
        bitmap.SaveToStream(stream);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(stream.Memory()), static_cast<std::streamsize>(stream.Bytes().size()));
        why << "; picture kept in " << path;
      }
      return ::testing::AssertionFailure() << why.str();
    }
  return ::testing::AssertionSuccess();
}

}  // namespace plx::test
