#pragma once
// The data object of a picture drag: a bitmap as CF_DIB (a global block)
// and CF_BITMAP (a bitmap handle), a metafile as CF_ENHMETAFILE and
// CF_METAFILEPICT. It holds its own copy of the picture, and every request
// gets new data the receiver owns and frees with ReleaseStgMedium, so a
// target may ask as often as it likes, or not read what it asked for.

#include <windows.h>
#include <ole2.h>

#include <memory>
#include <string>

#include "framework/Bitmap.h"
#include "framework/Com.h"

namespace plx {

class TGraphicDataObject : public TInterfacedObject<IDataObject> {
 public:
  // Takes a copy of graphic (a TBitmap or a TMetafile). metafileSize: a
  // CF_METAFILEPICT carries the metafile's size in hundredths of a
  // millimetre as its extents, else extents of 0.
  TGraphicDataObject(const TGraphic& graphic, bool metafileSize);

  // Replaces the picture served from now on with a copy of graphic, when it
  // is of the kind the object was made with: a target chooses among the
  // formats offered when the drag entered, and those stay the formats
  // served. Answers whether it was replaced.
  bool ReplaceGraphic(const TGraphic& graphic);

  // Whether a request has been served: a target that reported an effect
  // without ever getting its data has not received the drop.
  bool Delivered() const { return delivered_; }

  // Whether a graphic can be carried: a non-empty bitmap or metafile.
  static bool CanCarry(const TGraphic* graphic);

  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP QueryGetData(FORMATETC* format) override;
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) override;
  STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) override;
  STDMETHODIMP DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
  STDMETHODIMP DUnadvise(DWORD connection) override;
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA** enumerator) override;

 private:
  bool IsBitmap() const;
  // The medium the picture offers the format on; 0 when it does not.
  DWORD OfferedMedium(UINT format) const;
  HRESULT DIBMedium(STGMEDIUM& medium);
  HRESULT BitmapMedium(STGMEDIUM& medium);
  HRESULT EnhMetaFileMedium(STGMEDIUM& medium);
  HRESULT MetaFilePictMedium(STGMEDIUM& medium);

  std::unique_ptr<TGraphic> graphic_;
  bool metafile_size_;
  bool delivered_ = false;
};

// A packed DIB (CF_DIB) of the bitmap: its BMP file without the 14-byte
// file header.
std::string PackedDIBFromBitmap(TBitmap& bitmap);

}  // namespace plx
