#include "dragdrop/DroppedGraphics.h"

#include <algorithm>
#include <cstring>

#include "dragdrop/DataObjectUtils.h"
#include "dragdrop/MetafileGraphic.h"
#include "dragdrop/TransferBlocks.h"
#include "framework/GdiHandles.h"

namespace plx {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr std::size_t kNetscapeImageURLOffset = 44;

std::uint16_t Word16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::string EncodeWord16(std::uint16_t value) {
  return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

}  // namespace

std::string BitmapFileHeaderForDIB(std::string_view dib) {
  if (dib.size() < 4) return {};
  const std::uint64_t header_size = DecodeDWORDFromString(dib);
  // Bytes between the info header and the pixels: colour masks and palette.
  std::uint64_t between = 0;
  if (dib.size() >= kInfoHeaderSize && header_size >= kInfoHeaderSize) {
    const std::uint16_t bit_count = Word16(dib, 14);
    const std::uint32_t compression = DecodeDWORDFromString(dib.substr(16));
    const std::uint32_t colours_used = DecodeDWORDFromString(dib.substr(32));
    if (colours_used != 0) {
      between = 4 * std::uint64_t{colours_used};
    } else if (bit_count <= 8) {
      between = 4 * (std::uint64_t{1} << bit_count);
    }
    // A bare info header with BI_BITFIELDS is followed by its three colour
    // masks; the pixels start behind them.
    if (compression == BI_BITFIELDS && header_size == kInfoHeaderSize) between += 12;
  } else if (dib.size() >= 12 && header_size == 12) {
    // The old core header has 3-byte palette entries, counted by bit depth.
    const std::uint16_t bit_count = Word16(dib, 10);
    if (bit_count <= 8) between = 3 * (std::uint64_t{1} << bit_count);
  }
  const std::uint64_t offset = kFileHeaderSize + header_size + between;
  const std::uint64_t file_size = dib.size() + kFileHeaderSize;
  // Values past 32 bits cannot be written; the decoder rejects such a header.
  const auto clamp = [](std::uint64_t value) { return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, 0xFFFFFFFFu)); };
  return "BM" + EncodeDWORDToString(clamp(file_size)) + EncodeWord16(0) + EncodeWord16(0) +
         EncodeDWORDToString(clamp(offset));
}

std::unique_ptr<TGraphic> GraphicFromDIB(std::string_view dib) {
  const std::string header = BitmapFileHeaderForDIB(dib);
  if (header.empty()) return nullptr;
  std::string file;
  file.reserve(header.size() + dib.size());
  file.append(header).append(dib);
  auto bitmap = std::make_unique<TBitmap>();
  try {
    TReadOnlyMemoryStream stream(file.data(), file.size());
    bitmap->LoadFromStream(stream);
  } catch (const Exception&) {
    return nullptr;
  }
  return bitmap;
}

std::unique_ptr<TGraphic> GraphicFromBitmapHandle(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || GetObjectA(bitmap, sizeof info, &info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 0)
    return nullptr;
  auto copy = std::make_unique<TBitmap>(info.bmWidth, info.bmHeight);
  if (copy->Empty()) return nullptr;
  TMemoryDC sourceDc(nullptr);
  if (!sourceDc) return nullptr;
  {
    TSelectObject selection(sourceDc.Get(), bitmap);
    if (!BitBlt(copy->Canvas().Handle(), 0, 0, info.bmWidth, info.bmHeight, sourceDc.Get(), 0, 0, SRCCOPY))
      return nullptr;
  }
  copy->Dormant();  // lets go of the memory DC until the picture is drawn on
  return copy;
}

std::unique_ptr<TGraphic> GraphicFromEnhMetaFile(HENHMETAFILE metafile) {
  if (!metafile) return nullptr;
  HENHMETAFILE copy = CopyEnhMetaFileA(metafile, nullptr);
  if (!copy) return nullptr;
  return std::make_unique<TMetafile>(copy);
}

std::unique_ptr<TGraphic> GraphicFromMetaFilePict(HGLOBAL block) {
  TGlobalLock lock(block);
  if (!lock || lock.Size() < sizeof(METAFILEPICT)) return nullptr;
  const METAFILEPICT picture = *lock.As<const METAFILEPICT>();
  HENHMETAFILE converted = EnhMFfromMetaFilePict(picture);
  if (!converted) return nullptr;
  return std::make_unique<TMetafile>(converted);
}

std::string ImageURLFromNetscapeImage(std::string_view block) {
  if (block.size() <= kNetscapeImageURLOffset) return {};
  const std::string_view rest = block.substr(kNetscapeImageURLOffset);
  return std::string(rest.substr(0, rest.find('\0')));
}

}  // namespace plx
