#include "dragdrop/DataObjectUtils.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "dragdrop/ClipboardFormats.h"
#include "dragdrop/StorageMedium.h"
#include "dragdrop/TransferBlocks.h"
#include "framework/Com.h"
#include "framework/GdiHandles.h"

namespace plx {

DWORD DataObjectTymed = TYMED_HGLOBAL;
LONG DataObjectLindex = -1;

namespace {

// Puts the one-shot parameters back on every way out of a call.
class TOneShotRequest {
 public:
  TOneShotRequest()
      : tymed_(DataObjectTymed == 0 ? static_cast<DWORD>(TYMED_HGLOBAL) : DataObjectTymed),
        lindex_(DataObjectLindex) {}
  ~TOneShotRequest() {
    DataObjectTymed = TYMED_HGLOBAL;
    DataObjectLindex = -1;
  }
  TOneShotRequest(const TOneShotRequest&) = delete;
  TOneShotRequest& operator=(const TOneShotRequest&) = delete;

  FORMATETC Format(UINT format) const {
    return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, lindex_, tymed_};
  }

 private:
  DWORD tymed_;
  LONG lindex_;
};

// Walks an object's reading enumerator, one record at a time, no further
// than kMaxEnumeratedFormats. The visitor answers false to stop.
template <class Visit>
void ForEachOfferedFormat(IDataObject* dataObject, Visit&& visit) {
  if (!dataObject) return;
  TComPtr<IEnumFORMATETC> formats;
  if (FAILED(dataObject->EnumFormatEtc(DATADIR_GET, formats.Put())) || !formats) return;
  for (int i = 0; i < kMaxEnumeratedFormats; ++i) {
    FORMATETC record{};
    ULONG fetched = 0;
    if (formats->Next(1, &record, &fetched) != S_OK || fetched != 1) break;
    // The receiver of a FORMATETC owns its target device.
    CoTaskMemFree(record.ptd);
    record.ptd = nullptr;
    if (!visit(record)) break;
  }
}

std::string HandleString(const void* handle) {
  return EncodeHandleToString(reinterpret_cast<std::uintptr_t>(handle));
}

}  // namespace

std::unique_ptr<TStringList> DataObjFormatList(IDataObject* dataObject) {
  auto list = std::make_unique<TStringList>();
  ForEachOfferedFormat(dataObject, [&](const FORMATETC& record) {
    if (record.cfFormat == 0) return false;
    list->Add(record.cfFormat <= 16 ? std::to_string(record.cfFormat) : ClipboardFormatDisplayName(record.cfFormat));
    return true;
  });
  return list;
}

std::unique_ptr<TStringList> DataObjFormatEtcList(IDataObject* dataObject) {
  auto list = std::make_unique<TStringList>();
  ForEachOfferedFormat(dataObject, [&](const FORMATETC& record) {
    std::string line = "\"" + ClipboardFormatDisplayName(record.cfFormat) + "\"," + std::to_string(record.cfFormat) +
                       "," + StorageMediumDisplayName(record.tymed) + "," + std::to_string(record.dwAspect) + "," +
                       std::to_string(record.lindex);
    list->Add(std::move(line));
    return true;
  });
  return list;
}

ULONG DataObjRefCount(IUnknown* object) {
  if (!object) return 0;
  object->AddRef();
  return object->Release();
}

bool DataObjHasFormat(IDataObject* dataObject, const std::string& formatName) {
  const TOneShotRequest request;
  if (!dataObject) return false;
  const UINT format = ClipboardFormatFromString(formatName);
  if (format == 0) return false;
  FORMATETC query = request.Format(format);
  return dataObject->QueryGetData(&query) == S_OK;
}

std::string DataObjGetFormat(IDataObject* dataObject, const std::string& formatName) {
  const TOneShotRequest request;
  if (!dataObject) return {};
  const UINT format = ClipboardFormatFromString(formatName);
  if (format == 0) return {};
  FORMATETC query = request.Format(format);
  TStorageMedium medium;
  if (FAILED(medium.GetData(dataObject, query))) return {};
  const STGMEDIUM& data = medium.Get();
  // A medium that was not asked for is not read: its handle could be
  // anything, and a pointer handed out for it would never be released.
  if ((data.tymed & query.tymed) == 0) return {};

  switch (data.tymed) {
    case TYMED_HGLOBAL:
      return GetHandleDataToString(data.hGlobal);
    case TYMED_ISTREAM:
    case TYMED_ISTORAGE: {
      // Both members share one place in the union.
      IUnknown* object = data.tymed == TYMED_ISTREAM ? static_cast<IUnknown*>(data.pstm)
                                                     : static_cast<IUnknown*>(data.pstg);
      if (!object) return {};
      object->AddRef();  // the caller's reference; the medium's goes with it
      return HandleString(object);
    }
    case TYMED_GDI:
      // Only a bitmap can be copied; any other GDI handle would be gone with
      // the medium and must not be handed out.
      if (format != CF_BITMAP) return {};
      if (HBITMAP copy = CopyBitmapHandle(data.hBitmap)) return HandleString(copy);
      return {};
    case TYMED_ENHMF:
      if (format != CF_ENHMETAFILE) return {};
      if (HENHMETAFILE copy = CopyEnhMetaFileA(data.hEnhMetaFile, nullptr)) return HandleString(copy);
      return {};
    case TYMED_MFPICT: {
      if (format != CF_METAFILEPICT) return {};
      TGlobalLock lock(data.hMetaFilePict);
      if (!lock || lock.Size() < sizeof(METAFILEPICT)) return {};
      METAFILEPICT picture = *lock.As<METAFILEPICT>();
      picture.hMF = CopyMetaFileA(picture.hMF, nullptr);
      if (!picture.hMF) return {};
      return std::string(reinterpret_cast<const char*>(&picture), sizeof picture);
    }
    default:
      return {};
  }
}

bool ReadGlobalBlock(HGLOBAL block, std::string& text) {
  if (!block) return false;
  TGlobalLock lock(block);
  if (!lock) return false;
  // assign copies once; the string is not first filled with zeros.
  text.assign(lock.As<const char>(), lock.Size());
  return true;
}

std::string GetHandleDataToString(HGLOBAL block) {
  std::string text;
  ReadGlobalBlock(block, text);
  return text;
}

HGLOBAL SetHandleDataFromString(const std::string& text) {
  TGlobalMemory block(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
  if (!block) return nullptr;
  {
    TGlobalLock lock(block.Get());
    if (!lock) return nullptr;
    std::memcpy(lock.Data(), text.data(), text.size());
    lock.As<char>()[text.size()] = '\0';
  }
  return block.Release();
}

HBITMAP CopyBitmapHandle(HBITMAP bitmap) {
  if (!bitmap) return nullptr;
  BITMAP info{};
  if (GetObjectA(bitmap, sizeof info, &info) == 0) return nullptr;
  TWindowDC screen(nullptr);
  TOwnedBitmap copy(CreateCompatibleBitmap(screen.Get(), info.bmWidth, info.bmHeight));
  if (!copy) return nullptr;
  TMemoryDC sourceDc(screen.Get());
  TMemoryDC targetDc(screen.Get());
  if (!sourceDc || !targetDc) return nullptr;
  {
    TSelectObject sourceSelection(sourceDc.Get(), bitmap);
    TSelectObject targetSelection(targetDc.Get(), copy.Get());
    if (!BitBlt(targetDc.Get(), 0, 0, info.bmWidth, info.bmHeight, sourceDc.Get(), 0, 0, SRCCOPY)) return nullptr;
  }
  return copy.Release();
}

HENHMETAFILE EnhMFfromMetaFilePict(const METAFILEPICT& picture) {
  if (!picture.hMF) return nullptr;
  const UINT size = GetMetaFileBitsEx(picture.hMF, 0, nullptr);
  if (size == 0) return nullptr;
  std::vector<BYTE> bits(size);
  if (GetMetaFileBitsEx(picture.hMF, size, bits.data()) != size) return nullptr;
  return SetWinMetaFileBits(size, bits.data(), nullptr, &picture);
}

}  // namespace plx
