#include "dragdrop/GraphicDataObject.h"

#include <cstring>
#include <vector>

#include "dragdrop/DataObjectUtils.h"
#include "dragdrop/EnumFormatEtc.h"
#include "dragdrop/MetafileGraphic.h"
#include "framework/GdiHandles.h"
#include "framework/Streams.h"

namespace plx {

namespace {

constexpr std::size_t kBitmapFileHeaderSize = 14;

// A zero-filled, shareable block holding bytes; nullptr when it cannot be had.
HGLOBAL SharedBlock(const void* bytes, std::size_t size) {
  TGlobalMemory block(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, size);
  if (!block) return nullptr;
  {
    TGlobalLock lock(block.Get());
    if (!lock) return nullptr;
    std::memcpy(lock.Data(), bytes, size);
  }
  return block.Release();
}

// The Windows metafile a METAFILEPICT carries, made from the enhanced one.
HMETAFILE WindowsMetafileFrom(HENHMETAFILE metafile) {
  TWindowDC screen(nullptr);
  const UINT size = GetWinMetaFileBits(metafile, 0, nullptr, MM_ANISOTROPIC, screen.Get());
  if (size == 0) return nullptr;
  std::vector<BYTE> bits(size);
  if (GetWinMetaFileBits(metafile, size, bits.data(), MM_ANISOTROPIC, screen.Get()) != size) return nullptr;
  return SetMetaFileBitsEx(size, bits.data());
}

}  // namespace

std::string PackedDIBFromBitmap(TBitmap& bitmap) {
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  const auto size = static_cast<std::size_t>(stream.Size());
  if (size <= kBitmapFileHeaderSize) return {};
  return std::string(reinterpret_cast<const char*>(stream.Memory()) + kBitmapFileHeaderSize,
                     size - kBitmapFileHeaderSize);
}

TGraphicDataObject::TGraphicDataObject(const TGraphic& graphic, bool metafileSize)
    : graphic_(graphic.Clone()), metafile_size_(metafileSize) {}

bool TGraphicDataObject::ReplaceGraphic(const TGraphic& graphic) {
  if (!CanCarry(&graphic)) return false;
  const bool bitmap = dynamic_cast<const TBitmap*>(&graphic) != nullptr;
  if (bitmap != IsBitmap()) return false;
  graphic_ = graphic.Clone();
  return true;
}

bool TGraphicDataObject::CanCarry(const TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return false;
  return dynamic_cast<const TBitmap*>(graphic) || dynamic_cast<const TMetafile*>(graphic);
}

bool TGraphicDataObject::IsBitmap() const { return dynamic_cast<const TBitmap*>(graphic_.get()) != nullptr; }

DWORD TGraphicDataObject::OfferedMedium(UINT format) const {
  if (!CanCarry(graphic_.get())) return 0;
  if (IsBitmap()) {
    if (format == CF_DIB) return TYMED_HGLOBAL;
    if (format == CF_BITMAP) return TYMED_GDI;
  } else {
    if (format == CF_ENHMETAFILE) return TYMED_ENHMF;
    if (format == CF_METAFILEPICT) return TYMED_MFPICT;
  }
  return 0;
}

STDMETHODIMP TGraphicDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!format || !medium) return E_INVALIDARG;
  *medium = {};
  return ComGuard([&]() -> HRESULT {
    if (format->dwAspect != DVASPECT_CONTENT) return DV_E_FORMATETC;
    const DWORD offered = OfferedMedium(format->cfFormat);
    if ((format->tymed & offered) == 0) return DV_E_FORMATETC;
    HRESULT result = DV_E_FORMATETC;
    switch (format->cfFormat) {
      case CF_DIB:
        result = DIBMedium(*medium);
        break;
      case CF_BITMAP:
        result = BitmapMedium(*medium);
        break;
      case CF_ENHMETAFILE:
        result = EnhMetaFileMedium(*medium);
        break;
      case CF_METAFILEPICT:
        result = MetaFilePictMedium(*medium);
        break;
      default:
        break;
    }
    if (result == S_OK) delivered_ = true;
    return result;
  });
}

HRESULT TGraphicDataObject::DIBMedium(STGMEDIUM& medium) {
  const std::string dib = PackedDIBFromBitmap(static_cast<TBitmap&>(*graphic_));
  if (dib.empty()) return DV_E_FORMATETC;
  HGLOBAL block = SharedBlock(dib.data(), dib.size());
  if (!block) return E_OUTOFMEMORY;
  medium.tymed = TYMED_HGLOBAL;
  medium.hGlobal = block;
  return S_OK;
}

HRESULT TGraphicDataObject::BitmapMedium(STGMEDIUM& medium) {
  auto& bitmap = static_cast<TBitmap&>(*graphic_);
  // A bitmap can be selected into one device context at a time: the canvas
  // lets go of it so that it can be copied.
  bitmap.Dormant();
  HBITMAP copy = CopyBitmapHandle(bitmap.Handle());
  if (!copy) return E_OUTOFMEMORY;
  medium.tymed = TYMED_GDI;
  medium.hBitmap = copy;
  return S_OK;
}

HRESULT TGraphicDataObject::EnhMetaFileMedium(STGMEDIUM& medium) {
  HENHMETAFILE copy = CopyEnhMetaFileA(static_cast<TMetafile&>(*graphic_).Handle(), nullptr);
  if (!copy) return E_OUTOFMEMORY;
  medium.tymed = TYMED_ENHMF;
  medium.hEnhMetaFile = copy;
  return S_OK;
}

HRESULT TGraphicDataObject::MetaFilePictMedium(STGMEDIUM& medium) {
  const HENHMETAFILE source = static_cast<TMetafile&>(*graphic_).Handle();
  METAFILEPICT picture{};
  picture.mm = MM_ANISOTROPIC;
  if (metafile_size_) {
    ENHMETAHEADER header{};
    if (GetEnhMetaFileHeader(source, sizeof header, &header) != 0) {
      // The frame is kept in hundredths of a millimetre already.
      picture.xExt = header.rclFrame.right - header.rclFrame.left;
      picture.yExt = header.rclFrame.bottom - header.rclFrame.top;
    }
  }
  TOwnedMetaFile windowsMetafile(WindowsMetafileFrom(source));
  if (!windowsMetafile) return E_OUTOFMEMORY;
  picture.hMF = windowsMetafile.Get();
  // The record holds a pointer-wide handle: the block is as long as the
  // system's record, so the receiver reads all of it.
  HGLOBAL block = SharedBlock(&picture, sizeof picture);
  if (!block) return E_OUTOFMEMORY;
  windowsMetafile.Release();  // the receiver's release deletes it with the block
  medium.tymed = TYMED_MFPICT;
  medium.hMetaFilePict = block;
  return S_OK;
}

STDMETHODIMP TGraphicDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }

STDMETHODIMP TGraphicDataObject::QueryGetData(FORMATETC* format) {
  if (!format) return E_INVALIDARG;
  if (format->dwAspect != DVASPECT_CONTENT) return S_FALSE;
  return (format->tymed & OfferedMedium(format->cfFormat)) != 0 ? S_OK : S_FALSE;
}

STDMETHODIMP TGraphicDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical) {
  if (canonical) canonical->ptd = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP TGraphicDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

STDMETHODIMP TGraphicDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) {
  if (!enumerator) return E_INVALIDARG;
  *enumerator = nullptr;
  if (direction == DATADIR_SET) return E_NOTIMPL;
  if (direction != DATADIR_GET) return E_INVALIDARG;
  return ComGuard([&]() -> HRESULT {
    TComPtr<TQXEnumFormatEtc> formats(new TQXEnumFormatEtc);
    if (CanCarry(graphic_.get())) {
      const UINT kinds[2][2] = {{CF_ENHMETAFILE, CF_METAFILEPICT}, {CF_DIB, CF_BITMAP}};
      for (UINT format : kinds[IsBitmap() ? 1 : 0])
        formats->addFormatEtc(FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1,
                                        OfferedMedium(format)});
    }
    *enumerator = formats.Detach();
    return S_OK;
  });
}

STDMETHODIMP TGraphicDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return E_NOTIMPL; }

STDMETHODIMP TGraphicDataObject::DUnadvise(DWORD) { return E_NOTIMPL; }

STDMETHODIMP TGraphicDataObject::EnumDAdvise(IEnumSTATDATA** enumerator) {
  if (enumerator) *enumerator = nullptr;
  return E_NOTIMPL;
}

}  // namespace plx
