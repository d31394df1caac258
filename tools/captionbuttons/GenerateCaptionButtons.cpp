// Draws the caption buttons' bitmaps and writes them as BMP files.
//
//   plexoria_captiongen OUTPUT_DIRECTORY
//
// The files go to resources/chrome/: accb_topmost_up.bmp and
// accb_topmost_down.bmp (the always-on-top pins), accb_xp_blue.bmp,
// accb_xp_green.bmp, accb_xp_red.bmp, accb_xp_yellow.bmp and
// accb_xp_brown.bmp (the themed faces).

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tools/captionbuttons/BmpWriter.h"
#include "tools/captionbuttons/CaptionArtwork.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
    return 2;
  }
  using namespace plx::captiongen;
  const std::vector<std::pair<std::string, std::string>> files = {
      {"accb_topmost_up.bmp", Bmp4(DrawPinUp(), PinPalette())},
      {"accb_topmost_down.bmp", Bmp4(DrawPinDown(), PinPalette())},
      {"accb_xp_blue.bmp", Bmp24(DrawXPFace(TFaceColour::Blue))},
      {"accb_xp_green.bmp", Bmp24(DrawXPFace(TFaceColour::Green))},
      {"accb_xp_red.bmp", Bmp24(DrawXPFace(TFaceColour::Red))},
      {"accb_xp_yellow.bmp", Bmp24(DrawXPFace(TFaceColour::Yellow))},
      {"accb_xp_brown.bmp", Bmp24(DrawXPFace(TFaceColour::Brown))},
  };
  for (const auto& [name, bytes] : files) {
    const std::string path = std::string(argv[1]) + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  std::printf("%zu caption-button bitmaps\n", files.size());
  return 0;
}
