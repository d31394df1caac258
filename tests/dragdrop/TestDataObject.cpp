#include "tests/dragdrop/TestDataObject.h"

#include <cstring>
#include <functional>

#include "dragdrop/EnumFormatEtc.h"

namespace plx::test {

namespace {

int live_media = 0;

// Set as pUnkForRelease: ReleaseStgMedium releases it after the medium. A
// global block is then ours to free (the receiver leaves it alone); a
// stream's reference is the receiver's, so this only counts it.
class TMediumRelease : public TInterfacedObject<IUnknown> {
 public:
  explicit TMediumRelease(HGLOBAL block) : free_([block] {
    if (block) GlobalFree(block);
  }) {
    ++live_media;
  }
  explicit TMediumRelease(std::function<void()> free) : free_(std::move(free)) { ++live_media; }

 protected:
  ~TMediumRelease() override {
    free_();
    --live_media;
  }

 private:
  std::function<void()> free_;
};

// Fills medium with a copy of a picture handle the test keeps.
HRESULT PictureMedium(const TOfferedFormat& offered, STGMEDIUM* medium) {
  std::function<void()> free;
  switch (offered.tymed) {
    case TYMED_GDI: {
      auto copy = static_cast<HBITMAP>(CopyImage(offered.handle, IMAGE_BITMAP, 0, 0, 0));
      if (!copy) return E_OUTOFMEMORY;
      medium->hBitmap = copy;
      free = [copy] { DeleteObject(copy); };
      break;
    }
    case TYMED_ENHMF: {
      HENHMETAFILE copy = CopyEnhMetaFileA(static_cast<HENHMETAFILE>(offered.handle), nullptr);
      if (!copy) return E_OUTOFMEMORY;
      medium->hEnhMetaFile = copy;
      free = [copy] { DeleteEnhMetaFile(copy); };
      break;
    }
    case TYMED_MFPICT: {
      HMETAFILE copy = CopyMetaFileA(static_cast<HMETAFILE>(offered.handle), nullptr);
      HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
      if (!copy || !block) return E_OUTOFMEMORY;
      auto* picture = static_cast<METAFILEPICT*>(GlobalLock(block));
      *picture = METAFILEPICT{MM_ANISOTROPIC, 1000, 1000, copy};
      GlobalUnlock(block);
      medium->hMetaFilePict = block;
      free = [copy, block] {
        DeleteMetaFile(copy);
        GlobalFree(block);
      };
      break;
    }
    default:
      return DV_E_TYMED;
  }
  medium->tymed = offered.tymed;
  medium->pUnkForRelease = new TMediumRelease(std::move(free));
  medium->pUnkForRelease->AddRef();
  return S_OK;
}

// A TYMED_FILE medium whose file name holds the given bytes (and two zero
// bytes after them), allocated as OLE's protocol says: ReleaseStgMedium
// frees the name with CoTaskMemFree.
HRESULT FileNameMedium(const std::string& bytes, STGMEDIUM* medium) {
  auto* name = static_cast<char*>(CoTaskMemAlloc(bytes.size() + 2));
  if (!name) return E_OUTOFMEMORY;
  std::memcpy(name, bytes.data(), bytes.size());
  name[bytes.size()] = name[bytes.size() + 1] = '\0';
  medium->tymed = TYMED_FILE;
  medium->lpszFileName = reinterpret_cast<LPOLESTR>(name);
  // Set, so that ReleaseStgMedium does not delete a file of that name.
  medium->pUnkForRelease = new TMediumRelease(nullptr);
  medium->pUnkForRelease->AddRef();
  return S_OK;
}

// A TYMED_ISTORAGE medium: a new storage in memory holding one stream,
// "Contents", with the given bytes. The storage's reference is the
// receiver's; ReleaseStgMedium releases it.
HRESULT StorageMedium(const std::string& bytes, STGMEDIUM* medium) {
  TComPtr<IStorage> storage;
  constexpr DWORD kMode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
  if (FAILED(StgCreateDocfile(nullptr, kMode | STGM_DELETEONRELEASE, 0, storage.Put()))) return E_OUTOFMEMORY;
  TComPtr<IStream> contents;
  if (FAILED(storage->CreateStream(L"Contents", kMode, 0, 0, contents.Put()))) return E_OUTOFMEMORY;
  contents->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  contents.Reset();
  medium->tymed = TYMED_ISTORAGE;
  medium->pstg = storage.Detach();
  medium->pUnkForRelease = new TMediumRelease(nullptr);
  medium->pUnkForRelease->AddRef();
  return S_OK;
}

// Answers S_OK with CF_TEXT forever.
class TEndlessEnumerator : public TInterfacedObject<IEnumFORMATETC> {
 public:
  STDMETHODIMP Next(ULONG count, FORMATETC* records, ULONG* fetched) override {
    for (ULONG i = 0; i < count; ++i) records[i] = FORMATETC{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (fetched) *fetched = count;
    return S_OK;
  }
  STDMETHODIMP Skip(ULONG) override { return S_OK; }
  STDMETHODIMP Reset() override { return S_OK; }
  STDMETHODIMP Clone(IEnumFORMATETC**) override { return E_NOTIMPL; }
};

HGLOBAL BlockOf(const std::string& data, UINT flags) {
  HGLOBAL block = GlobalAlloc(flags, data.size());
  if (!block || data.empty()) return block;
  void* bytes = GlobalLock(block);
  std::memcpy(bytes, data.data(), data.size());
  GlobalUnlock(block);
  return block;
}

}  // namespace

int TTestDataObject::LiveMedia() { return live_media; }

const TOfferedFormat* TTestDataObject::Find(const FORMATETC& format) const {
  for (const TOfferedFormat& offered : formats_) {
    if (offered.format == format.cfFormat && (offered.tymed & format.tymed) && format.dwAspect == DVASPECT_CONTENT)
      return &offered;
  }
  return nullptr;
}

STDMETHODIMP TTestDataObject::QueryGetData(FORMATETC* format) {
  if (!format) return E_INVALIDARG;
  queries.push_back({format->cfFormat, format->tymed, format->lindex});
  return Find(*format) ? S_OK : DV_E_FORMATETC;
}

STDMETHODIMP TTestDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!format || !medium) return E_INVALIDARG;
  requests.push_back({format->cfFormat, format->tymed, format->lindex});
  *medium = {};
  const TOfferedFormat* offered = Find(*format);
  if (!offered) return DV_E_FORMATETC;
  switch (offered->misbehaviour) {
    case TMisbehaviour::GetDataFails:
      return kGetDataFailure;
    case TMisbehaviour::WrongMedium:
    case TMisbehaviour::None:
      if (offered->handle) return PictureMedium(*offered, medium);
      if (offered->tymed == TYMED_FILE) return FileNameMedium(offered->data, medium);
      if (offered->tymed == TYMED_ISTORAGE) return StorageMedium(offered->data, medium);
      if (offered->misbehaviour == TMisbehaviour::WrongMedium || offered->tymed == TYMED_ISTREAM) {
        IStream* stream = nullptr;
        if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return E_OUTOFMEMORY;
        stream->Write(offered->data.data(), static_cast<ULONG>(offered->data.size()), nullptr);
        medium->tymed = TYMED_ISTREAM;
        medium->pstm = stream;
        medium->pUnkForRelease = new TMediumRelease(nullptr);
        medium->pUnkForRelease->AddRef();
        return S_OK;
      }
      medium->hGlobal = BlockOf(offered->data, GMEM_MOVEABLE);
      break;
    case TMisbehaviour::LockFails:
      medium->hGlobal = GlobalAlloc(GMEM_MOVEABLE, 0);
      break;
    case TMisbehaviour::FixedEmpty:
      medium->hGlobal = GlobalAlloc(GMEM_FIXED, 0);
      break;
  }
  if (!medium->hGlobal) return E_OUTOFMEMORY;
  medium->tymed = TYMED_HGLOBAL;
  medium->pUnkForRelease = new TMediumRelease(medium->hGlobal);
  medium->pUnkForRelease->AddRef();
  return S_OK;
}

STDMETHODIMP TTestDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) {
  if (!enumerator) return E_INVALIDARG;
  *enumerator = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  if (endless_enumerator) {
    last_enumerator = TComPtr<IEnumFORMATETC>(new TEndlessEnumerator);
  } else {
    TComPtr<TQXEnumFormatEtc> list(new TQXEnumFormatEtc);
    for (const TOfferedFormat& offered : formats_) {
      list->addFormatEtc(FORMATETC{static_cast<CLIPFORMAT>(offered.format), nullptr, DVASPECT_CONTENT, -1,
                                   offered.tymed});
    }
    last_enumerator = TComPtr<IEnumFORMATETC>(list.Get());
  }
  *enumerator = last_enumerator.Get();
  (*enumerator)->AddRef();
  return S_OK;
}

}  // namespace plx::test
