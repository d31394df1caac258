#pragma once
// A data object for tests that answers like a well-behaved source or
// misbehaves on request, logs every question it is asked and counts the
// storage media it hands out that have not been released yet.

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "framework/Com.h"

namespace plx::test {

enum class TMisbehaviour {
  None,
  GetDataFails,   // GetData answers kGetDataFailure
  LockFails,      // a movable block of size 0: GlobalLock gives nothing
  WrongMedium,    // a stream, whatever medium was asked for
  FixedEmpty,     // a fixed block of size 0: locks, holds nothing
};

inline constexpr HRESULT kGetDataFailure = STG_E_ACCESSDENIED;

struct TOfferedFormat {
  UINT format;
  std::string data;
  DWORD tymed = TYMED_HGLOBAL;
  TMisbehaviour misbehaviour = TMisbehaviour::None;
  // For TYMED_GDI a bitmap, TYMED_ENHMF an enhanced metafile, TYMED_MFPICT a
  // Windows metafile: the test keeps it, every GetData hands out a copy.
  // TYMED_FILE hands out data as the bytes of the file name, TYMED_ISTORAGE
  // a new storage whose stream "Contents" holds data.
  HANDLE handle = nullptr;
};

struct TRequest {
  UINT format;
  DWORD tymed;
  LONG lindex;
  friend bool operator==(const TRequest&, const TRequest&) = default;
};

class TTestDataObject : public TInterfacedObject<IDataObject> {
 public:
  explicit TTestDataObject(std::vector<TOfferedFormat> formats) : formats_(std::move(formats)) {}

  std::vector<TRequest> queries;   // QueryGetData
  std::vector<TRequest> requests;  // GetData
  bool endless_enumerator = false;
  TComPtr<IEnumFORMATETC> last_enumerator;

  // Media handed out and not yet released, across all test objects.
  static int LiveMedia();

  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override;
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) override;
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  const TOfferedFormat* Find(const FORMATETC& format) const;
  std::vector<TOfferedFormat> formats_;
};

// A new test object with one reference, held by the returned pointer.
inline TComPtr<TTestDataObject> MakeDataObject(std::vector<TOfferedFormat> formats) {
  return TComPtr<TTestDataObject>(new TTestDataObject(std::move(formats)));
}

}  // namespace plx::test
