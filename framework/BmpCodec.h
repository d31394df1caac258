#pragma once
// Reading and writing the Windows BMP format. Platform-neutral: the decoded
// image is plain memory that the Windows side copies into a DIB section.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/Exception.h"

namespace plx {

// Raised for data that is not a BMP image or one this decoder cannot read.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

// Pixels top-down, each 0x00RRGGBB (blue in the lowest byte, as a 32-bit
// DIB holds them in memory).
struct TDecodedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// The largest image the decoder accepts, in pixels (1 GiB of 32-bit pixels
// would be absurd for this program's pictures).
inline constexpr std::int64_t kMaxImagePixels = 64 * 1024 * 1024;

// A whole BMP file: the 14-byte "BM" file header, an info header, an
// optional palette or colour masks, the pixel rows. Uncompressed 1, 4, 8,
// 16, 24 and 32 bits per pixel, with bit-field masks for 16 and 32, rows
// bottom-up or top-down; core (12-byte) and 40/52/56/108/124-byte headers.
TDecodedImage DecodeBmpFile(const std::uint8_t* data, std::size_t size);

// A packed DIB as stored in RT_BITMAP resources: the file without its file
// header; the pixels follow the header, masks and palette directly.
TDecodedImage DecodePackedDib(const std::uint8_t* data, std::size_t size);

// The length of the BMP file that starts at data, from its file header, after
// checking that the header is one and the length lies in [minimum, size].
// A zero length field (written by some tools) means "up to size".
std::size_t BmpFileLength(const std::uint8_t* data, std::size_t size);

// A 24-bit bottom-up BMP file of the image.
std::vector<std::uint8_t> EncodeBmp24(const TDecodedImage& image);

}  // namespace plx
