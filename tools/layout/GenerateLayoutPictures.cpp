// Draws the pictures the main window's layout stores for its title bar and
// writes them as BMP files into a folder (resources/layout).
//
//   plexoria_layoutgen OUTPUT_FOLDER

#include <cstdio>
#include <fstream>
#include <string>

#include "tools/layout/LayoutArtwork.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  for (const auto& p : plx::layoutgen::DrawLayoutPictures()) {
    const std::string path = std::string(argv[1]) + "/" + p.file;
    const std::string bytes = plx::layoutgen::EncodeBmp(p.picture, p.bitsPerPixel);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
