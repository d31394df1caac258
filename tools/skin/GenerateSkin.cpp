// Draws the embedded skin and writes it as a skin archive.
//
//   plexoria_skingen OUTPUT.skn [--records SKINDATA.SK2] [--preview PREVIEW.bmp]
//
// The archive goes to resources/skin/plexoria.skn; the record file and a
// preview of the title bar are for looking at the result.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "tools/skin/SkinArtwork.h"
#include "tools/skin/SkinFileWriter.h"

namespace {

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.skn [--records FILE] [--preview FILE.bmp]\n", argv[0]);
    return 2;
  }
  using namespace plx::skingen;
  const std::vector<TSkinPicture> pictures = DrawSkinPictures();
  const std::string records = BuildSkinRecordFile(pictures);
  if (!WriteFile(argv[1], BuildSkinArchive("SKINDATA.SK2", records))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const std::string bytes = option == "--records" ? records : ComposeTitleBarPreview(pictures).ToBmp();
    if (!WriteFile(argv[i + 1], bytes)) {
      std::fprintf(stderr, "cannot write %s\n", argv[i + 1]);
      return 1;
    }
  }
  std::printf("skin record file %zu bytes\n", records.size());
  return 0;
}
