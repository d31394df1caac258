#pragma once
// Frames of an animated GIF, found the way the picture class steps them: by
// scanning the file's bytes for a graphic control extension of block size 4
// that is followed directly by an image descriptor. A frame is shown by
// handing the decoder the file with the frames before it left out.
// Platform-neutral; every read is bounds-checked.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace plx {

// The first four bytes are "GIF8".
bool IsGif(std::span<const std::uint8_t> data);

// Offsets of the 0x21 byte that starts each frame, in file order.
std::vector<std::size_t> GifFrameStarts(std::span<const std::uint8_t> data);

struct GifFrameTiming {
  int Delay = -1;           // hundredths of a second; -1 when there is no such frame
  bool Transparent = false;
  int Disposal = 0;
};

// Frame numbers count from 1.
GifFrameTiming GifFrameTime(std::span<const std::uint8_t> data, int frame);

struct GifFrameCut {
  std::vector<std::uint8_t> Bytes;  // header, then the file from the frame's start on
  int AnimationWidth = 0;           // logical screen size
  int AnimationHeight = 0;
  int OffsetX = 0;                  // the frame's image descriptor
  int OffsetY = 0;
  int FrameWidth = 0;
  int FrameHeight = 0;
};

// The bytes that show `frame` (from 1): everything before the first frame,
// then everything from the start of `frame` on.
GifFrameCut CutGifToFrame(std::span<const std::uint8_t> data, int frame);

}  // namespace plx
