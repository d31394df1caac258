// Frames of animated GIFs as the picture class finds and cuts them.

#include "markup/GifFrames.h"

#include <gtest/gtest.h>

#include "tests/markup/GifBuilder.h"

namespace plx {
namespace {

TEST(GifFramesTest, FindsFramesAndTheirDelays) {
  const std::vector<std::uint8_t> gif = test::BuildAnimatedGif({{1, 10}, {2, 20}, {3, 30}});
  ASSERT_TRUE(IsGif(gif));
  const std::vector<std::size_t> starts = GifFrameStarts(gif);
  ASSERT_EQ(starts.size(), 3u);
  EXPECT_EQ(starts[0], 6u + 7u + 12u);  // header, screen descriptor, palette
  EXPECT_EQ(GifFrameTime(gif, 1).Delay, 10);
  EXPECT_EQ(GifFrameTime(gif, 3).Delay, 30);
  EXPECT_EQ(GifFrameTime(gif, 3).Disposal, 1);
  EXPECT_EQ(GifFrameTime(gif, 0).Delay, -1);
  EXPECT_EQ(GifFrameTime(gif, 4).Delay, -1);
}

TEST(GifFramesTest, FrameTwoIsTheHeaderWithFramesTwoAndThree) {
  const std::vector<std::uint8_t> gif = test::BuildAnimatedGif({{1, 10}, {2, 20}, {3, 30}});
  const std::vector<std::size_t> starts = GifFrameStarts(gif);
  const GifFrameCut cut = CutGifToFrame(gif, 2);
  std::vector<std::uint8_t> expected(gif.begin(), gif.begin() + static_cast<std::ptrdiff_t>(starts[0]));
  expected.insert(expected.end(), gif.begin() + static_cast<std::ptrdiff_t>(starts[1]), gif.end());
  EXPECT_EQ(cut.Bytes, expected);
  EXPECT_EQ(cut.AnimationWidth, 4);
  EXPECT_EQ(cut.FrameWidth, 4);
  EXPECT_EQ(CutGifToFrame(gif, 1).Bytes, gif);
}

TEST(GifFramesTest, TruncatedAndForeignDataAreReadSafely) {
  std::vector<std::uint8_t> gif = test::BuildAnimatedGif({{1, 10}, {2, 20}});
  const std::size_t second = GifFrameStarts(gif)[1];
  // A frame start needs more than eight bytes after it.
  gif.resize(second + 9);
  EXPECT_EQ(GifFrameStarts(gif).size(), 1u);
  gif.resize(second + 10);
  EXPECT_EQ(GifFrameStarts(gif).size(), 2u);
  EXPECT_EQ(CutGifToFrame(gif, 2).FrameHeight, 0);  // descriptor cut off: read as 0
  EXPECT_FALSE(IsGif(std::vector<std::uint8_t>{'G', 'I', 'F'}));
  EXPECT_TRUE(GifFrameStarts(std::vector<std::uint8_t>{0x21, 0xF9, 0x04}).empty());
  EXPECT_EQ(CutGifToFrame(std::vector<std::uint8_t>{}, 1).Bytes.size(), 0u);
}

}  // namespace
}  // namespace plx
