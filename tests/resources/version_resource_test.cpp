// The built plexoria.exe as Windows describes it: its version resource, read
// with the same calls Explorer's Details page uses, and its manifest, each
// compared with the project's version the build was configured with.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace plx {
namespace {

// The version numbers come from the build, never from the resource itself.
constexpr WORD kMajor = PLEXORIA_VERSION_MAJOR;
constexpr WORD kMinor = PLEXORIA_VERSION_MINOR;
constexpr WORD kPatch = PLEXORIA_VERSION_PATCH;
constexpr WORD kTweak = PLEXORIA_VERSION_TWEAK;

std::string ExePath() { return PLEXORIA_EXE_PATH; }

// The whole version block of the program, or empty when it has none.
std::vector<char> VersionBlock() {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(ExePath().c_str(), &ignored);
  std::vector<char> block(size);
  if (size == 0 || !GetFileVersionInfoA(ExePath().c_str(), 0, size, block.data())) block.clear();
  return block;
}

// A string value of the block the translation table names first.
std::string StringValue(std::vector<char>& block, const char* name) {
  struct Translation {
    WORD language;
    WORD codePage;
  };
  void* found = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &found, &length) || length < sizeof(Translation))
    return "<no translation table>";
  const auto* translation = static_cast<const Translation*>(found);
  char path[128];
  std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation->language, translation->codePage,
                name);
  if (!VerQueryValueA(block.data(), path, &found, &length) || length == 0) return "<missing>";
  return std::string(static_cast<const char*>(found), length - 1);
}

TEST(VersionResource, FixedVersionsAreTheProjectVersion) {
  std::vector<char> block = VersionBlock();
  ASSERT_FALSE(block.empty()) << ExePath() << " has no version resource";
  void* found = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &found, &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(found);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  const DWORD high = MAKELONG(kMinor, kMajor);
  const DWORD low = MAKELONG(kTweak, kPatch);
  EXPECT_EQ(fixed->dwFileVersionMS, high);
  EXPECT_EQ(fixed->dwFileVersionLS, low);
  EXPECT_EQ(fixed->dwProductVersionMS, high);
  EXPECT_EQ(fixed->dwProductVersionLS, low);
}

TEST(VersionResource, StringsNameTheProductAndItsVersion) {
  std::vector<char> block = VersionBlock();
  ASSERT_FALSE(block.empty()) << ExePath() << " has no version resource";
  const struct {
    const char* name;
    std::string expected;
  } cases[] = {
      {"ProductName", "Plexoria"},
      {"FileDescription", "Plexoria text clip collector"},
      {"FileVersion", PLEXORIA_VERSION},
      {"ProductVersion", PLEXORIA_VERSION},
      {"LegalCopyright", "Copyright (C) 2026 The Plexoria authors. MIT License."},
      {"OriginalFilename", "plexoria.exe"},
  };
  for (const auto& c : cases) EXPECT_EQ(StringValue(block, c.name), c.expected) << c.name;
}

// The manifest, as the loader reads it from the image.
std::string Manifest() {
  const HMODULE image = LoadLibraryExA(ExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (image == nullptr) return {};
  std::string text;
  if (HRSRC resource = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
    const HGLOBAL loaded = LoadResource(image, resource);
    const DWORD size = SizeofResource(image, resource);
    if (loaded != nullptr) text.assign(static_cast<const char*>(LockResource(loaded)), size);
  }
  FreeLibrary(image);
  return text;
}

TEST(VersionResource, ManifestCarriesTheVersionTheSupportedSystemsAndNoDpiAwareness) {
  const std::string manifest = Manifest();
  ASSERT_FALSE(manifest.empty()) << ExePath() << " has no manifest";
  char identity[160];
  std::snprintf(identity, sizeof identity, "name=\"Plexoria\" version=\"%u.%u.%u.%u\"", kMajor, kMinor, kPatch,
                kTweak);
  const char* expected[] = {
      identity,
      "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",  // Windows 7
      "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",  // Windows 8
      "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",  // Windows 8.1
      "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",  // Windows 10 and 11
      "WindowsSettings\">false</dpiAware>",
  };
  for (const char* text : expected) EXPECT_NE(manifest.find(text), std::string::npos) << text;
  EXPECT_EQ(manifest.find("PerMonitor"), std::string::npos);
}

}  // namespace
}  // namespace plx
