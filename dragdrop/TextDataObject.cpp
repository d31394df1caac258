#include "dragdrop/TextDataObject.h"

#include <cstring>

#include "dragdrop/DataObjectUtils.h"
#include "dragdrop/EnumFormatEtc.h"
#include "dragdrop/TextSource.h"
#include "dragdrop/TransferBlocks.h"
#include "framework/GdiHandles.h"

namespace plx {

namespace {

// The media a custom content can be handed out on, in the order they are
// preferred when a request allows several.
constexpr DWORD kServedMedia[] = {TYMED_HGLOBAL, TYMED_ISTREAM, TYMED_ISTORAGE, TYMED_GDI, TYMED_ENHMF};

constexpr DWORD kAnyTymed = static_cast<DWORD>(-1);

// The handle or interface pointer a content carries: all of its
// pointer-sized bytes. Nothing for content too short to hold one.
std::uintptr_t HandleFromContent(const std::string& content) {
  if (content.size() < sizeof(std::uintptr_t)) return 0;
  return DecodeHandleFromString(content);
}

// A zero-filled, shareable, fixed block holding the bytes and, when asked,
// one zero after them.
HRESULT GlobalBlockMedium(const std::string& text, bool trailingNull, STGMEDIUM& medium) {
  const std::size_t length = text.size() + (trailingNull ? 1 : 0);
  medium.tymed = TYMED_HGLOBAL;
  if (length == 0) return S_OK;  // nothing to carry: no block at all
  TGlobalMemory block(GMEM_FIXED | GMEM_DDESHARE | GMEM_ZEROINIT, length);
  if (!block) return E_OUTOFMEMORY;
  {
    TGlobalLock lock(block.Get());
    if (!lock) return E_OUTOFMEMORY;
    std::memcpy(lock.Data(), text.data(), text.size());
  }
  medium.hGlobal = block.Release();
  return S_OK;
}

}  // namespace

TTextDataObject::TTextDataObject(std::string text) : text_(std::move(text)) {}

TTextDataObject::TTextDataObject(const TCustomFormatDataList* customFormats) : custom_formats_(customFormats) {}

TTextDataObject::TTextDataObject(std::string text, TForm* form) : form_(form), text_(std::move(text)) {}

TTextDataObject::TTextDataObject(std::string text, TQXTextSource* source)
    : text_(std::move(text)), source_(source) {}

TTextDataObject::TTextDataObject(const TCustomFormatDataList* customFormats, TQXTextSource* source)
    : custom_formats_(customFormats), source_(source) {}

void TTextDataObject::DragFinished() {
  finished_ = true;
  source_ = nullptr;
  custom_formats_ = nullptr;
  text_.clear();
}

const TCustomFormatDataList* TTextDataObject::CustomFormats() const {
  // The source's list is the one its events and callers change.
  return source_ ? &source_->custom_formats_ : custom_formats_;
}

int TTextDataObject::FindCustomFormat(const FORMATETC& request, bool anyTymed) const {
  const TCustomFormatDataList* list = CustomFormats();
  if (!list) return -1;
  for (int i = 0; i < list->Count(); ++i) {
    const TCustomFormatData& item = list->Get(i);
    const FORMATETC offered = item.GetFormatEtc();
    if (offered.cfFormat == 0 || offered.cfFormat != request.cfFormat) continue;
    if ((offered.tymed & request.tymed) == 0 && !(anyTymed && request.tymed == kAnyTymed)) continue;
    if (request.lindex != -1 && offered.lindex != request.lindex) continue;
    return i;
  }
  return -1;
}

bool TTextDataObject::IsPlainTextRequest(const FORMATETC& request) const {
  const TCustomFormatDataList* list = CustomFormats();
  return (!list || list->Empty()) && request.cfFormat == CF_TEXT;
}

std::string TTextDataObject::CurrentText() { return source_ ? source_->getText() : text_; }

void TTextDataObject::StoreText(std::string text) {
  if (source_)
    source_->setText(std::move(text));
  else
    text_ = std::move(text);
}

STDMETHODIMP TTextDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!format || !medium) return E_INVALIDARG;
  *medium = {};
  return ComGuard([&]() -> HRESULT {
    if (finished_) return DV_E_FORMATETC;
    const FORMATETC request = *format;
    if (source_) source_->custom_format_index_ = -1;
    TCustomFormatData* item = nullptr;
    if (const int index = FindCustomFormat(request, false); index >= 0) {
      item = &CustomFormats()->Get(index);
      if (source_) {
        source_->custom_format_index_ = index;
        if (item->FormatContent().empty() && source_->OnRenderCustomFormat) {
          std::string content;
          source_->OnRenderCustomFormat(source_, item->FormatName(), content);
          item->SetFormatContent(std::move(content));
        }
      }
      StoreText(item->FormatContent());
    }
    if (request.dwAspect != DVASPECT_CONTENT) return DV_E_FORMATETC;
    if (!item && !IsPlainTextRequest(request)) return DV_E_FORMATETC;
    return FillMedium(request, item, *medium);
  });
}

HRESULT TTextDataObject::FillMedium(const FORMATETC& request, const TCustomFormatData* item, STGMEDIUM& medium) {
  const std::string text = CurrentText();
  // Plain text is a global block only; a custom item is served on a medium
  // both it and the request name, never on one it was not given for.
  const DWORD offered = item ? item->Tymed() : static_cast<DWORD>(TYMED_HGLOBAL);
  DWORD chosen = 0;
  for (DWORD candidate : kServedMedia) {
    if (request.tymed & offered & candidate) {
      chosen = candidate;
      break;
    }
  }
  if (chosen == TYMED_HGLOBAL) return GlobalBlockMedium(text, !item || item->GetAllowTrailingNull(), medium);
  if (chosen == 0) return DV_E_FORMATETC;

  const std::uintptr_t handle = HandleFromContent(text);
  if (handle == 0) return DV_E_FORMATETC;
  switch (chosen) {
    case TYMED_ISTREAM:
    case TYMED_ISTORAGE: {
      auto* object = reinterpret_cast<IUnknown*>(handle);
      object->AddRef();  // the receiver's, released by ReleaseStgMedium
      medium.tymed = chosen;
      if (chosen == TYMED_ISTREAM)
        medium.pstm = static_cast<IStream*>(object);
      else
        medium.pstg = static_cast<IStorage*>(object);
      return S_OK;
    }
    case TYMED_GDI: {
      const auto gdi = reinterpret_cast<HGDIOBJ>(handle);
      medium.tymed = TYMED_GDI;
      if (request.cfFormat == CF_BITMAP) {
        medium.hBitmap = CopyBitmapHandle(static_cast<HBITMAP>(gdi));
        return medium.hBitmap ? S_OK : DV_E_FORMATETC;
      }
      // The handle itself: the receiver's release must leave it alone.
      medium.hBitmap = static_cast<HBITMAP>(gdi);
      medium.pUnkForRelease = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    case TYMED_ENHMF: {
      const auto metafile = reinterpret_cast<HENHMETAFILE>(handle);
      medium.tymed = TYMED_ENHMF;
      if (request.cfFormat == CF_ENHMETAFILE) {
        medium.hEnhMetaFile = CopyEnhMetaFileA(metafile, nullptr);
        return medium.hEnhMetaFile ? S_OK : DV_E_FORMATETC;
      }
      medium.hEnhMetaFile = metafile;
      medium.pUnkForRelease = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    default:
      return DV_E_FORMATETC;
  }
}

STDMETHODIMP TTextDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }

STDMETHODIMP TTextDataObject::QueryGetData(FORMATETC* format) {
  if (!format) return E_INVALIDARG;
  return ComGuard([&]() -> HRESULT {
    if (finished_ || format->dwAspect != DVASPECT_CONTENT) return S_FALSE;
    // A custom item matches only on a medium it is offered on (any, for -1).
    if (FindCustomFormat(*format, true) >= 0) return S_OK;
    if (IsPlainTextRequest(*format) && (format->tymed == kAnyTymed || (format->tymed & TYMED_HGLOBAL)))
      return S_OK;
    return S_FALSE;
  });
}

STDMETHODIMP TTextDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical) {
  if (canonical) canonical->ptd = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP TTextDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

STDMETHODIMP TTextDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) {
  if (!enumerator) return E_INVALIDARG;
  *enumerator = nullptr;
  if (direction == DATADIR_SET) return E_NOTIMPL;
  if (direction != DATADIR_GET) return E_INVALIDARG;
  return ComGuard([&]() -> HRESULT {
    TComPtr<TQXEnumFormatEtc> formats(new TQXEnumFormatEtc);
    const TCustomFormatDataList* list = CustomFormats();
    if (finished_) {
      // Offers nothing any more.
    } else if (list && !list->Empty()) {
      for (int i = 0; i < list->Count(); ++i) formats->addFormatEtc(list->Get(i).GetFormatEtc());
    } else {
      formats->addFormatEtc(FORMATETC{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    }
    *enumerator = formats.Detach();
    return S_OK;
  });
}

STDMETHODIMP TTextDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return E_NOTIMPL; }

STDMETHODIMP TTextDataObject::DUnadvise(DWORD) { return E_NOTIMPL; }

STDMETHODIMP TTextDataObject::EnumDAdvise(IEnumSTATDATA** enumerator) {
  if (enumerator) *enumerator = nullptr;
  return E_NOTIMPL;
}

}  // namespace plx
