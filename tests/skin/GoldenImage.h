#pragma once
// Golden images: a drawn picture is compared with its committed reference
// tests/skin/golden/NAME.bmp pixel by pixel. On a mismatch the drawn picture
// is kept as <build>/golden-failures/NAME.bmp for a person to look at.
//
// The references are made by their own command, scripts/write-golden.sh,
// which runs the tests with PLEXORIA_WRITE_GOLDEN=1; only then are they
// written, and such a run reports no comparison at all.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/Bitmap.h"
#include "framework/Streams.h"

namespace plx::test {

// A Unix path as the Windows side reaches it (drive Z: is the Unix root).
inline std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

inline std::string EnvironmentPath(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  return WindowsPath(value != nullptr ? value : fallback);
}

inline bool WritingGoldenImages() {
  const char* value = std::getenv("PLEXORIA_WRITE_GOLDEN");
  return value != nullptr && std::string(value) == "1";
}

inline bool SaveBitmapFile(TBitmap& picture, const std::string& path) {
  TMemoryStream stream;
  picture.SaveToStream(stream);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(stream.Memory()), static_cast<std::streamsize>(stream.Size()));
  return static_cast<bool>(out);
}

inline ::testing::AssertionResult MatchesGolden(TBitmap& picture, const std::string& name) {
  const std::string reference = EnvironmentPath("PLEXORIA_SOURCE_DIR", ".") + "\\tests\\skin\\golden\\" + name + ".bmp";
  if (WritingGoldenImages()) {
    if (!SaveBitmapFile(picture, reference)) return ::testing::AssertionFailure() << "cannot write " << reference;
    return ::testing::AssertionSuccess() << "wrote " << reference;
  }
  std::ifstream in(reference, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  TBitmap expected;
  std::string problem;
  if (bytes.empty()) {
    problem = "no reference " + reference;
  } else {
    TReadOnlyMemoryStream stream(bytes.data(), bytes.size());
    expected.LoadFromStream(stream);
    if (expected.Width() != picture.Width() || expected.Height() != picture.Height()) {
      problem = "size " + std::to_string(picture.Width()) + " x " + std::to_string(picture.Height()) +
                ", reference " + std::to_string(expected.Width()) + " x " + std::to_string(expected.Height());
    } else {
      for (int y = 0; y < picture.Height() && problem.empty(); ++y)
        for (int x = 0; x < picture.Width() && problem.empty(); ++x)
          if ((picture.Pixel(x, y) & 0xFFFFFF) != (expected.Pixel(x, y) & 0xFFFFFF)) {
            char text[96];
            std::snprintf(text, sizeof text, "pixel (%d, %d) is %06X, reference %06X", x, y,
                          static_cast<unsigned>(picture.Pixel(x, y) & 0xFFFFFF),
                          static_cast<unsigned>(expected.Pixel(x, y) & 0xFFFFFF));
            problem = text;
          }
    }
  }
  if (problem.empty()) return ::testing::AssertionSuccess();
  const std::string folder = EnvironmentPath("PLEXORIA_BINARY_DIR", ".") + "\\golden-failures";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string kept = folder + "\\" + name + ".bmp";
  SaveBitmapFile(picture, kept);
  return ::testing::AssertionFailure() << name << ": " << problem << "; drawn picture kept as " << kept;
}

}  // namespace plx::test
