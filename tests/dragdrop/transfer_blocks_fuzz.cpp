// Blocks from another process's data object: the readers must stay inside
// the block whatever it holds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "dragdrop/TransferBlocks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view block(reinterpret_cast<const char*>(data), size);
  plx::FileListFromHDROP(block);
  plx::IsWellFormedHDROP(block);
  plx::FileListFromFileGroupDescriptor(block);
  plx::URLTitleFromFileGroupDescriptor(block, size % 2 == 0);
  return 0;
}
