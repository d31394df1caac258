#include "dragdrop/EnumFormatEtc.h"

#include <cstring>
#include <new>

#include "framework/ScopedState.h"

namespace plx {

FORMATETC CopyFormatEtc(const FORMATETC& format) {
  FORMATETC copy = format;
  copy.ptd = nullptr;
  if (format.ptd && format.ptd->tdSize >= sizeof(DVTARGETDEVICE)) {
    copy.ptd = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(format.ptd->tdSize));
    if (copy.ptd) std::memcpy(copy.ptd, format.ptd, format.ptd->tdSize);
  }
  return copy;
}

TQXEnumFormatEtc::~TQXEnumFormatEtc() {
  for (FORMATETC& record : records_) CoTaskMemFree(record.ptd);
}

void TQXEnumFormatEtc::addFormatEtc(const FORMATETC& format) {
  FORMATETC copy = CopyFormatEtc(format);
  // The copied target device is ours until the list holds the record.
  TScopeExit freeDevice([&copy] { CoTaskMemFree(copy.ptd); });
  records_.push_back(copy);
  freeDevice.Dismiss();
}

STDMETHODIMP TQXEnumFormatEtc::Next(ULONG count, FORMATETC* records, ULONG* fetched) {
  if (fetched) *fetched = 0;
  if (!records || (count != 1 && !fetched)) return E_INVALIDARG;
  ULONG copied = 0;
  while (copied < count && index_ >= 0 && index_ < Count()) {
    records[copied++] = CopyFormatEtc(records_[static_cast<std::size_t>(index_)]);
    ++index_;
  }
  if (fetched) *fetched = copied;
  return copied == count ? S_OK : S_FALSE;
}

STDMETHODIMP TQXEnumFormatEtc::Skip(ULONG count) {
  if (index_ < 0 || static_cast<unsigned long long>(index_) + count > records_.size()) return S_FALSE;
  index_ += static_cast<int>(count);
  return S_OK;
}

STDMETHODIMP TQXEnumFormatEtc::Reset() {
  index_ = 0;
  return S_OK;
}

STDMETHODIMP TQXEnumFormatEtc::Clone(IEnumFORMATETC** clone) {
  if (!clone) return E_POINTER;
  *clone = nullptr;
  return ComGuard([&] {
    TComPtr<TQXEnumFormatEtc> copy(new TQXEnumFormatEtc);
    for (const FORMATETC& record : records_) copy->addFormatEtc(record);
    copy->index_ = index_;
    *clone = copy.Detach();
    return S_OK;
  });
}

}  // namespace plx
