#pragma once
// Golden images of the chrome tests: a captured picture is compared with its
// committed reference tests/chrome/golden/NAME.bmp pixel by pixel; on a
// mismatch the captured picture is kept as <build>/golden-failures/NAME.bmp.
// References are written only by a run with PLEXORIA_WRITE_GOLDEN=1 (see the
// README); such a run compares nothing.

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

inline std::string WindowsPathOf(const char* variable) {
  const char* value = std::getenv(variable);
  std::string path = value ? value : ".";
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

inline bool SaveBmp(TBitmap& picture, const std::string& path) {
  TMemoryStream stream;
  picture.SaveToStream(stream);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(stream.Memory()), static_cast<std::streamsize>(stream.Size()));
  return static_cast<bool>(out);
}

inline ::testing::AssertionResult MatchesChromeGolden(TBitmap& picture, const std::string& name) {
  const std::string reference = WindowsPathOf("PLEXORIA_SOURCE_DIR") + "\\tests\\chrome\\golden\\" + name + ".bmp";
  if (const char* write = std::getenv("PLEXORIA_WRITE_GOLDEN"); write && std::string(write) == "1") {
    if (!SaveBmp(picture, reference)) return ::testing::AssertionFailure() << "cannot write " << reference;
    return ::testing::AssertionSuccess();
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
  const std::string folder = WindowsPathOf("PLEXORIA_BINARY_DIR") + "\\golden-failures";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string kept = folder + "\\" + name + ".bmp";
  SaveBmp(picture, kept);
  return ::testing::AssertionFailure() << name << ": " << problem << "; captured picture kept as " << kept;
}

// What the screen shows in a rectangle given in a window's coordinates.
inline void CaptureWindowRect(HWND window, const RECT& area, TBitmap& into) {
  RECT frame{};
  GetWindowRect(window, &frame);
  into.SetSize(area.right - area.left, area.bottom - area.top);
  HDC screen = GetDC(nullptr);
  BitBlt(into.Canvas().Handle(), 0, 0, into.Width(), into.Height(), screen, frame.left + area.left,
         frame.top + area.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
}

}  // namespace plx::test
