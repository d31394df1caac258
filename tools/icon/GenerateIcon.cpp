// Draws the program's icon and writes it as an icon file.
//
//   plexoria_icongen OUTPUT.ico
//
// The file goes to resources/icon/plexoria.ico. Its images, in order: 16 and
// 32 pixels with a 256-colour palette, then 16, 32, 48 and 128 pixels with
// alpha, and 256 pixels with alpha as PNG.

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "tools/icon/IcoFileWriter.h"
#include "tools/icon/IconArtwork.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.ico\n", argv[0]);
    return 2;
  }
  using namespace plx::icongen;
  try {
    const TRaster p16 = DrawIconPicture(16), p32 = DrawIconPicture(32), p48 = DrawIconPicture(48),
                  p128 = DrawIconPicture(128), p256 = DrawIconPicture(256);
    const std::string file = BuildIcoFile({{&p16, TIconFormat::Palette8},
                                           {&p32, TIconFormat::Palette8},
                                           {&p16, TIconFormat::Bgra32},
                                           {&p32, TIconFormat::Bgra32},
                                           {&p48, TIconFormat::Bgra32},
                                           {&p128, TIconFormat::Bgra32},
                                           {&p256, TIconFormat::Png32}});
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", argv[1]);
      return 1;
    }
    std::printf("icon file %zu bytes\n", file.size());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
