#pragma once
// Golden images: a drawn picture is compared pixel by pixel with its committed
// reference tests/FOLDER/golden/NAME.bmp. On a mismatch the drawn picture is
// kept as <build>/golden-failures/FOLDER_NAME.bmp for a person to look at.
//
// The references are made by their own command, scripts/write-golden.sh,
// which runs the tests with PLEXORIA_WRITE_GOLDEN=1; only then are they
// written, and such a run compares nothing.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
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

// A folder named by an environment variable (CTest sets the source and
// binary folders), as the Windows side reaches it.
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

// The first difference between two pictures, or the empty string.
inline std::string FirstDifference(TBitmap& drawn, TBitmap& expected) {
  if (expected.Width() != drawn.Width() || expected.Height() != drawn.Height())
    return "size " + std::to_string(drawn.Width()) + " x " + std::to_string(drawn.Height()) + ", reference " +
           std::to_string(expected.Width()) + " x " + std::to_string(expected.Height());
  for (int y = 0; y < drawn.Height(); ++y)
    for (int x = 0; x < drawn.Width(); ++x) {
      const auto got = static_cast<unsigned>(drawn.Pixel(x, y) & 0xFFFFFF);
      const auto want = static_cast<unsigned>(expected.Pixel(x, y) & 0xFFFFFF);
      if (got == want) continue;
      char text[96];
      std::snprintf(text, sizeof text, "pixel (%d, %d) is %06X, reference %06X", x, y, got, want);
      return text;
    }
  return {};
}

// folder: the test folder the reference lives under ("skin", "markup", ...).
inline ::testing::AssertionResult MatchesGoldenIn(TBitmap& drawn, const std::string& folder, const std::string& name) {
  const std::string reference =
      EnvironmentPath("PLEXORIA_SOURCE_DIR", ".") + "\\tests\\" + folder + "\\golden\\" + name + ".bmp";
  if (WritingGoldenImages()) {
    if (!SaveBitmapFile(drawn, reference)) return ::testing::AssertionFailure() << "cannot write " << reference;
    return ::testing::AssertionSuccess() << "wrote " << reference;
  }
  std::ifstream in(reference, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string problem;
  if (bytes.empty()) {
    problem = "no reference " + reference;
  } else {
    TBitmap expected;
    TReadOnlyMemoryStream stream(bytes.data(), bytes.size());
    expected.LoadFromStream(stream);
    problem = FirstDifference(drawn, expected);
  }
  if (problem.empty()) return ::testing::AssertionSuccess();
  const std::string failures = EnvironmentPath("PLEXORIA_BINARY_DIR", ".") + "\\golden-failures";
  CreateDirectoryA(failures.c_str(), nullptr);
  const std::string kept = failures + "\\" + folder + "_" + name + ".bmp";
  SaveBitmapFile(drawn, kept);
  return ::testing::AssertionFailure() << name << ": " << problem << "; drawn picture kept as " << kept;
}

}  // namespace plx::test
