#include "dragdrop/TextDataObject.h"

#include <cstdint>
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

constexpr std::size_t kHandleValueSize = 4;

bool IsInterfaceMedium(DWORD medium) { return medium == TYMED_ISTREAM || medium == TYMED_ISTORAGE; }

// The handle or interface pointer a content carries on a medium; 0 for
// content too short to hold one. An interface pointer takes all of its
// pointer-sized bytes. A GDI or metafile handle is a 32-bit value that the
// platform widens by sign extension, so its first 4 bytes are enough;
// content as long as a pointer is read pointer-wide.
std::uintptr_t HandleFromContent(const std::string& content, DWORD medium) {
  if (content.size() >= sizeof(std::uintptr_t)) return DecodeHandleFromString(content);
  if (IsInterfaceMedium(medium) || content.size() < kHandleValueSize) return 0;
  const auto value = static_cast<std::int32_t>(DecodeDWORDFromString(content));
  return static_cast<std::uintptr_t>(static_cast<std::intptr_t>(value));
}

// The medium a request is served on: the first of the served media that
// both the request and the offer name; for a handle medium only when the
// content holds a handle (content nullptr: not known until it is rendered,
// so only the medium decides). 0 when the request is refused. GetData and
// QueryGetData both answer by it, so a yes to the question is a yes to the
// request.
DWORD ServedMedium(DWORD requested, DWORD offered, const std::string* content) {
  for (DWORD candidate : kServedMedia) {
    if ((requested & offered & candidate) == 0) continue;
    if (candidate == TYMED_HGLOBAL || !content) return candidate;
    return HandleFromContent(*content, candidate) != 0 ? candidate : 0;
  }
  return 0;
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
    : text_(std::move(text)), source_(source), source_alive_(source ? source->AliveToken() : std::weak_ptr<const void>()) {}

TTextDataObject::TTextDataObject(const TCustomFormatDataList* customFormats, TQXTextSource* source)
    : custom_formats_(customFormats),
      source_(source),
      source_alive_(source ? source->AliveToken() : std::weak_ptr<const void>()) {}

void TTextDataObject::DragFinished() {
  finished_ = true;
  source_ = nullptr;
  custom_formats_ = nullptr;
  text_.clear();
}

bool TTextDataObject::Withdrawn() const { return finished_ || (source_ && source_alive_.expired()); }

const TCustomFormatDataList* TTextDataObject::CustomFormats() const {
  // The source's list is the one its events and callers change.
  return source_ ? &source_->custom_formats_ : custom_formats_;
}

int TTextDataObject::FindCustomFormat(const FORMATETC& request) const {
  const TCustomFormatDataList* list = CustomFormats();
  if (!list) return -1;
  for (int i = 0; i < list->Count(); ++i) {
    const TCustomFormatData& item = list->Get(i);
    const FORMATETC offered = item.GetFormatEtc();
    if (offered.cfFormat == 0 || offered.cfFormat != request.cfFormat) continue;
    if ((offered.tymed & request.tymed) == 0) continue;
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
    if (Withdrawn()) return DV_E_FORMATETC;
    const FORMATETC request = *format;
    if (source_) source_->custom_format_index_ = -1;
    TCustomFormatData* item = nullptr;
    if (const int index = FindCustomFormat(request); index >= 0) {
      item = &CustomFormats()->Get(index);
      if (source_) {
        source_->custom_format_index_ = index;
        if (item->FormatContent().empty() && source_->OnRenderCustomFormat) {
          std::string content;
          // A copy: the handler may destroy the source, and with it the event.
          const TQXRenderCustomFormatType onRender = source_->OnRenderCustomFormat;
          onRender(source_, item->FormatName(), content);
          // Destroyed by the handler: its list, and the item, went with it.
          if (Withdrawn()) return DV_E_FORMATETC;
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
  const DWORD chosen = ServedMedium(request.tymed, offered, &text);
  if (chosen == 0) return DV_E_FORMATETC;
  if (chosen == TYMED_HGLOBAL) return GlobalBlockMedium(text, !item || item->GetAllowTrailingNull(), medium);

  const std::uintptr_t handle = HandleFromContent(text, chosen);
  switch (chosen) {
    case TYMED_ISTREAM:
    case TYMED_ISTORAGE: {
      // NOLINTNEXTLINE(performance-no-int-to-ptr): the content carries the value as bytes
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
      // NOLINTNEXTLINE(performance-no-int-to-ptr): the content carries the value as bytes
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
      // NOLINTNEXTLINE(performance-no-int-to-ptr): the content carries the value as bytes
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
    if (Withdrawn() || format->dwAspect != DVASPECT_CONTENT) return S_FALSE;
    if (const int index = FindCustomFormat(*format); index >= 0) {
      const TCustomFormatData& item = CustomFormats()->Get(index);
      // Content still to be rendered is not asked for here: a question must
      // not raise the event that a request raises.
      const bool pending = item.FormatContent().empty() && source_ && source_->OnRenderCustomFormat;
      return ServedMedium(format->tymed, item.Tymed(), pending ? nullptr : &item.FormatContent()) ? S_OK : S_FALSE;
    }
    if (IsPlainTextRequest(*format) && ServedMedium(format->tymed, TYMED_HGLOBAL, nullptr)) return S_OK;
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
    if (Withdrawn()) {
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
