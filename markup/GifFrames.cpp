#include "markup/GifFrames.h"

namespace plx {

namespace {

constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kGraphicControlLabel = 0xF9;
constexpr std::uint8_t kGraphicControlSize = 0x04;
constexpr std::uint8_t kImageSeparator = 0x2C;
// The image descriptor follows the 8 bytes of the graphic control extension.
constexpr std::size_t kDescriptorOffset = 8;

int Word(std::span<const std::uint8_t> data, std::size_t at) {
  if (at + 1 >= data.size()) return 0;
  return data[at] | (data[at + 1] << 8);
}

bool StartsFrame(std::span<const std::uint8_t> data, std::size_t i) {
  return data.size() - i > kDescriptorOffset + 1 && data[i] == kExtensionIntroducer &&
         data[i + 1] == kGraphicControlLabel && data[i + 2] == kGraphicControlSize &&
         data[i + kDescriptorOffset] == kImageSeparator;
}

}  // namespace

bool IsGif(std::span<const std::uint8_t> data) {
  return data.size() >= 4 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F' && data[3] == '8';
}

std::vector<std::size_t> GifFrameStarts(std::span<const std::uint8_t> data) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (data[i] == kExtensionIntroducer && StartsFrame(data, i)) starts.push_back(i);
  }
  return starts;
}

GifFrameTiming GifFrameTime(std::span<const std::uint8_t> data, int frame) {
  GifFrameTiming timing;
  const std::vector<std::size_t> starts = GifFrameStarts(data);
  if (frame < 1 || static_cast<std::size_t>(frame) > starts.size()) return timing;
  const std::size_t at = starts[static_cast<std::size_t>(frame) - 1];
  const std::uint8_t packed = data[at + 3];
  timing.Delay = Word(data, at + 4);
  timing.Transparent = (packed & 1) != 0;
  timing.Disposal = (packed >> 2) & 7;
  return timing;
}

GifFrameCut CutGifToFrame(std::span<const std::uint8_t> data, int frame) {
  GifFrameCut cut;
  cut.AnimationWidth = Word(data, 6);
  cut.AnimationHeight = Word(data, 8);
  const std::vector<std::size_t> starts = GifFrameStarts(data);
  if (starts.empty()) {
    cut.Bytes.assign(data.begin(), data.end());
    return cut;
  }
  cut.Bytes.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(starts.front()));
  if (frame < 1 || static_cast<std::size_t>(frame) > starts.size()) return cut;
  const std::size_t at = starts[static_cast<std::size_t>(frame) - 1];
  const std::size_t descriptor = at + kDescriptorOffset + 1;
  cut.OffsetX = Word(data, descriptor);
  cut.OffsetY = Word(data, descriptor + 2);
  cut.FrameWidth = Word(data, descriptor + 4);
  cut.FrameHeight = Word(data, descriptor + 6);
  cut.Bytes.insert(cut.Bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(at), data.end());
  return cut;
}

}  // namespace plx
