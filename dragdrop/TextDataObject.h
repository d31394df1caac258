#pragma once
// The data object of a text drag: serves the source's text as CF_TEXT, or
// exactly the source's custom formats, taking the data at each request (a
// donor's current state, a custom format rendered on demand).
//
// OLE's protocol for GetData: the object fills a STGMEDIUM and the receiver
// frees it with ReleaseStgMedium. So every global block, bitmap and metafile
// handed out is a new one the receiver owns, and an interface pointer is
// handed out with a reference for the receiver. A handle that cannot be
// copied goes out with pUnkForRelease set to this object: the receiver's
// release then releases that reference and leaves the handle alone.

#include <windows.h>
#include <ole2.h>

#include <memory>
#include <string>

#include "dragdrop/CustomFormatData.h"
#include "framework/Com.h"

namespace plx {

class TQXTextSource;
class TForm;

class TTextDataObject : public TInterfacedObject<IDataObject> {
 public:
  // Without a source the object serves the text, or the list, it was made
  // with; with one it serves the source's current text and custom formats.
  explicit TTextDataObject(std::string text);
  explicit TTextDataObject(const TCustomFormatDataList* customFormats);
  TTextDataObject(std::string text, TForm* form);
  TTextDataObject(std::string text, TQXTextSource* source);
  TTextDataObject(const TCustomFormatDataList* customFormats, TQXTextSource* source);

  // The drag is over: from now on the object offers nothing, so a target
  // that keeps it longer can no longer reach the source or its list.
  void DragFinished();

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
  const TCustomFormatDataList* CustomFormats() const;
  // Whether the object offers nothing any more: its drag is over, or its
  // source was destroyed during it.
  bool Withdrawn() const;
  // The first custom item offered for the request: same format number (not
  // 0), a medium in common (any, for a tymed of -1), the same lindex unless
  // the request's is -1. -1 when none.
  int FindCustomFormat(const FORMATETC& request) const;
  // Whether nothing custom is offered and the request is for CF_TEXT.
  bool IsPlainTextRequest(const FORMATETC& request) const;
  std::string CurrentText();
  void StoreText(std::string text);
  HRESULT FillMedium(const FORMATETC& request, const TCustomFormatData* item, STGMEDIUM& medium);

  TForm* form_ = nullptr;  // recorded only
  std::string text_;
  const TCustomFormatDataList* custom_formats_ = nullptr;  // borrowed
  // Borrowed for the drag, and reached only while source_alive_ holds: a
  // handler may destroy the source mid-drag, while a target still holds us.
  TQXTextSource* source_ = nullptr;
  std::weak_ptr<const void> source_alive_;
  bool finished_ = false;
};

}  // namespace plx
