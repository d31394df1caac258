#pragma once
// A drag source's data object as a text editor offers it: one clipboard
// format (CF_TEXT unless told otherwise) in global memory, a new block handed
// out on every GetData; the receiver frees each block. Header-only, so that
// the benchmarks and the helper programs that drag use it without the test
// support library.

#include <windows.h>
#include <ole2.h>

#include <cstring>
#include <string_view>

#include "framework/Com.h"

namespace plx::test {

// What every one-format source answers alike: the format on global memory is
// all it offers; nothing is rendered in place, set, enumerated or advised.
class TOneFormatDataObject : public TInterfacedObject<IDataObject> {
 public:
  explicit TOneFormatDataObject(UINT format) : format_(format) {}

  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override {
    return format && format->cfFormat == format_ && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  UINT format_;
};

class TTextBlockSource : public TOneFormatDataObject {
 public:
  // The bytes are not copied: they must outlive the object.
  explicit TTextBlockSource(std::string_view data, UINT format = CF_TEXT) : TOneFormatDataObject(format), data_(data) {}

  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (!medium) return E_POINTER;
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, data_.size());
    if (!block) return E_OUTOFMEMORY;
    void* bytes = GlobalLock(block);
    if (!bytes && !data_.empty()) {
      GlobalFree(block);
      return E_OUTOFMEMORY;
    }
    if (!data_.empty()) std::memcpy(bytes, data_.data(), data_.size());
    GlobalUnlock(block);
    *medium = {};
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    return S_OK;
  }

 private:
  std::string_view data_;
};

}  // namespace plx::test
