// The icon as Windows loads it, from the icon file and from the MAINICON
// resource: each requested size comes back at that size, with a see-through
// corner and an opaque, red-tinted centre.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/GdiHandles.h"

namespace plx {
namespace {

// Source files by a path the Windows side understands (under Wine the
// source folder is a Unix path, reached through drive Z:).
std::string IconFilePath() {
  const char* root = std::getenv("PLEXORIA_SOURCE_DIR");
  std::string path = std::string(root != nullptr ? root : ".") + "/resources/icon/plexoria.ico";
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// The pixels of a bitmap as 32-bit BGRA, top row first.
std::vector<std::uint32_t> ReadPixels(HBITMAP bitmap, int size) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
  const TWindowDC screen(nullptr);
  const int rows = GetDIBits(screen.Get(), bitmap, 0, size, pixels.data(), &info, DIB_RGB_COLORS);
  EXPECT_EQ(rows, size);
  return pixels;
}

// Owns what LoadImage and GetIconInfo hand out.
class TLoadedIcon {
 public:
  explicit TLoadedIcon(HICON icon) : icon_(icon) {
    if (icon_ != nullptr && !GetIconInfo(icon_, &info_)) info_ = {};
  }
  ~TLoadedIcon() {
    if (info_.hbmColor != nullptr) DeleteObject(info_.hbmColor);
    if (info_.hbmMask != nullptr) DeleteObject(info_.hbmMask);
    if (icon_ != nullptr) DestroyIcon(icon_);
  }
  TLoadedIcon(const TLoadedIcon&) = delete;
  TLoadedIcon& operator=(const TLoadedIcon&) = delete;

  HICON Handle() const { return icon_; }
  const ICONINFO& Info() const { return info_; }

 private:
  HICON icon_;
  ICONINFO info_{};
};

void ExpectIconPicture(const TLoadedIcon& icon, int size) {
  ASSERT_NE(icon.Handle(), nullptr);
  ASSERT_TRUE(icon.Info().fIcon);
  ASSERT_NE(icon.Info().hbmColor, nullptr) << "a colour icon";
  ASSERT_NE(icon.Info().hbmMask, nullptr);
  BITMAP colour{};
  ASSERT_EQ(GetObjectA(icon.Info().hbmColor, sizeof colour, &colour), static_cast<int>(sizeof colour));
  EXPECT_EQ(colour.bmWidth, size);
  EXPECT_EQ(colour.bmHeight, size);

  const std::vector<std::uint32_t> pixels = ReadPixels(icon.Info().hbmColor, size);
  const std::vector<std::uint32_t> mask = ReadPixels(icon.Info().hbmMask, size);
  const std::size_t corner = 0, centre = static_cast<std::size_t>(size / 2) * size + size / 2;
  // In the mask white lets the background through and black covers it.
  EXPECT_EQ(mask[corner] & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(mask[centre] & 0xFFFFFF, 0u);
  // The centre lies on the front card, whose tint keeps red at full strength.
  EXPECT_GE((pixels[centre] >> 16) & 0xFF, 0xC0u);
  EXPECT_NE(pixels[centre] & 0xFFFFFF, 0xFFFFFFu) << "tinted, not white";
  if (colour.bmBitsPixel == 32) {
    EXPECT_EQ(pixels[corner] >> 24, 0u);
    EXPECT_EQ(pixels[centre] >> 24, 0xFFu);
  }
}

constexpr int kSizes[] = {16, 32, 48, 256};

TEST(IconLoad, FromTheIconFileAtEachSize) {
  for (int size : kSizes) {
    SCOPED_TRACE("size " + std::to_string(size));
    const TLoadedIcon icon(
        static_cast<HICON>(LoadImageA(nullptr, IconFilePath().c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE)));
    ExpectIconPicture(icon, size);
  }
}

TEST(IconLoad, FromTheMainIconResourceAtEachSize) {
  for (int size : kSizes) {
    SCOPED_TRACE("size " + std::to_string(size));
    const TLoadedIcon icon(
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, size, size, 0)));
    ExpectIconPicture(icon, size);
  }
}

// The resource's group directory lists the seven images with their depths.
TEST(IconLoad, MainIconGroupListsSevenImages) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, "MAINICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(found, nullptr);
  const auto* group = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
  ASSERT_NE(group, nullptr);
  const DWORD groupSize = SizeofResource(module, found);
  ASSERT_GE(groupSize, 6u);
  const int count = group[4] | group[5] << 8;
  ASSERT_EQ(count, 7);
  ASSERT_GE(groupSize, 6u + 14u * count);  // 14-byte entries that end in a resource id
  const struct {
    int size, bits;
  } expected[] = {{16, 8}, {32, 8}, {16, 32}, {32, 32}, {48, 32}, {128, 32}, {256, 32}};
  for (int i = 0; i < count; ++i) {
    const std::uint8_t* entry = group + 6 + 14 * i;
    EXPECT_EQ(entry[0] == 0 ? 256 : entry[0], expected[i].size) << "image " << i;
    EXPECT_EQ(entry[6] | entry[7] << 8, expected[i].bits) << "image " << i;
  }
}

}  // namespace
}  // namespace plx
