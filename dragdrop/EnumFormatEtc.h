#pragma once
// The format enumerator that the family's data objects hand out.

#include <windows.h>
#include <ole2.h>

#include <vector>

#include "framework/Com.h"

namespace plx {

// Enumerates owned copies of FORMATETC records. A record's target device is
// copied too: OLE's protocol makes whoever receives a FORMATETC from Next
// free its ptd with CoTaskMemFree, so each record handed out carries a fresh
// copy and the enumerator frees its own copies when it goes.
class TQXEnumFormatEtc : public TInterfacedObject<IEnumFORMATETC> {
 public:
  TQXEnumFormatEtc() = default;

  void addFormatEtc(const FORMATETC& format);
  void setIndex(int index) { index_ = index; }
  int Index() const { return index_; }
  int Count() const { return static_cast<int>(records_.size()); }

  // Hands out up to count records: S_OK when all count were copied, S_FALSE
  // when the end came first (fetched says how many; it may be null only for
  // a request of one).
  STDMETHODIMP Next(ULONG count, FORMATETC* records, ULONG* fetched) override;
  // S_OK and advances when index + count stays within the records, else S_FALSE.
  STDMETHODIMP Skip(ULONG count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumFORMATETC** clone) override;

 protected:
  ~TQXEnumFormatEtc() override;

 private:
  std::vector<FORMATETC> records_;  // each ptd owned, allocated with CoTaskMemAlloc
  int index_ = 0;
};

// A copy of a FORMATETC whose target device (if any) is a new CoTaskMemAlloc
// block: nullptr ptd when the copy could not be allocated.
FORMATETC CopyFormatEtc(const FORMATETC& format);

}  // namespace plx
