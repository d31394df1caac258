#pragma once
// Ownership of a STGMEDIUM that a data object's GetData filled. The receiver
// must hand it back with ReleaseStgMedium, which frees the handle or stream
// or, when the object set pUnkForRelease, releases that instead: exactly
// once, on every path.

#include <windows.h>
#include <ole2.h>

namespace plx {

class TStorageMedium {
 public:
  TStorageMedium() = default;
  TStorageMedium(const TStorageMedium&) = delete;
  TStorageMedium& operator=(const TStorageMedium&) = delete;
  ~TStorageMedium() { Reset(); }

  // Asks the object for its data; the medium is ours when this succeeds.
  HRESULT GetData(IDataObject* dataObject, FORMATETC& format) {
    Reset();
    const HRESULT result = dataObject->GetData(&format, &medium_);
    filled_ = SUCCEEDED(result);
    if (!filled_) medium_ = {};
    return result;
  }
  void Reset() {
    if (filled_) ReleaseStgMedium(&medium_);
    filled_ = false;
    medium_ = {};
  }
  const STGMEDIUM& Get() const { return medium_; }

 private:
  STGMEDIUM medium_{};
  bool filled_ = false;
};

}  // namespace plx
