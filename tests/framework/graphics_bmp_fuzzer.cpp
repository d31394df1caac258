// Feeds arbitrary bytes to the BMP decoder, as a file and as a packed DIB.
// Bad data may only end in EInvalidGraphic.
#include <cstddef>
#include <cstdint>

#include "framework/BmpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    plx::DecodeBmpFile(data, size);
  } catch (const plx::EInvalidGraphic&) {
  }
  try {
    plx::DecodePackedDib(data, size);
  } catch (const plx::EInvalidGraphic&) {
  }
  return 0;
}
