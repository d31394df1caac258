#pragma once
// Compares a drawn bitmap with a reference picture kept in tests/markup/golden.
// References are made by a command of their own (scripts/write-golden.sh,
// which sets PLEXORIA_WRITE_GOLDEN=1), looked at and committed; a normal run
// never writes one. On a mismatch the drawn picture is kept in the build
// folder as golden-failures/markup_NAME.bmp.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Bitmap.h"
#include "framework/Streams.h"

namespace plx::test {

// A folder of the Linux side as the Windows side reaches it (drive Z:).
inline std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

inline std::string EnvironmentFolder(const char* name) {
  const char* value = std::getenv(name);
  return WindowsPath(value != nullptr ? value : ".");
}

inline bool WritingGoldenImages() {
  const char* value = std::getenv("PLEXORIA_WRITE_GOLDEN");
  return value != nullptr && std::string(value) == "1";
}

inline void SaveBitmap(TBitmap& bitmap, const std::string& path) {
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(stream.Memory()), static_cast<std::streamsize>(stream.Bytes().size()));
}

inline ::testing::AssertionResult MatchesGoldenImage(TBitmap& drawn, const std::string& name) {
  const std::string reference = EnvironmentFolder("PLEXORIA_SOURCE_DIR") + "\\tests\\markup\\golden\\" + name + ".bmp";
  if (WritingGoldenImages()) {
    SaveBitmap(drawn, reference);
    return ::testing::AssertionSuccess() << "wrote " << reference;
  }
  const std::string failures = EnvironmentFolder("PLEXORIA_BINARY_DIR") + "\\golden-failures";
  const std::string failed = failures + "\\markup_" + name + ".bmp";
  std::ifstream in(reference, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  TBitmap expected;
  std::ostringstream why;
  if (bytes.empty()) {
    why << "no reference picture " << reference;
  } else {
    TMemoryStream stream(std::move(bytes));
    expected.LoadFromStream(stream);
    if (expected.Width() != drawn.Width() || expected.Height() != drawn.Height()) {
      why << "reference is " << expected.Width() << "x" << expected.Height() << ", drawn " << drawn.Width() << "x"
          << drawn.Height();
    } else {
      for (int y = 0; y < drawn.Height() && why.str().empty(); ++y)
        for (int x = 0; x < drawn.Width(); ++x) {
          if (drawn.Pixel(x, y) == expected.Pixel(x, y)) continue;
          why << std::hex << "pixel (" << std::dec << x << ", " << y << ") is 0x" << std::hex << drawn.Pixel(x, y)
              << ", reference 0x" << expected.Pixel(x, y);
          break;
        }
    }
  }
  if (why.str().empty()) return ::testing::AssertionSuccess();
  CreateDirectoryA(failures.c_str(), nullptr);
  SaveBitmap(drawn, failed);
  return ::testing::AssertionFailure() << name << ": " << why.str() << "; drawn picture kept in " << failed;
}

}  // namespace plx::test
