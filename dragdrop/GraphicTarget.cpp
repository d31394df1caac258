#include "dragdrop/GraphicTarget.h"

#include <string_view>
#include <vector>

#include "dragdrop/DataObjectUtils.h"
#include "dragdrop/DroppedGraphics.h"
#include "dragdrop/ImageURLFetch.h"
#include "dragdrop/MetafileGraphic.h"
#include "dragdrop/StorageMedium.h"
#include "framework/Application.h"
#include "framework/GdiHandles.h"
#include "framework/ScopedState.h"

namespace plx {

namespace {

// The HRESULT of a drop that was refused or asked nothing: all bits set.
constexpr HRESULT kDropNotTried = static_cast<HRESULT>(0xFFFFFFFFu);

struct TGraphicCheck {
  UINT format;
  DWORD tymed;
};

std::vector<TGraphicCheck> MetafileChecks() {
  return {{CF_ENHMETAFILE, TYMED_ENHMF}, {CF_METAFILEPICT, TYMED_MFPICT}};
}

// The acceptance test asks for the bitmap kinds in this order...
std::vector<TGraphicCheck> BitmapQueryChecks() {
  return {{DragDropFormats().NetscapeImage, TYMED_HGLOBAL}, {CF_DIB, TYMED_HGLOBAL}, {CF_BITMAP, TYMED_GDI}};
}

// ...and a drop reads them in this one: real pixels before a URL.
std::vector<TGraphicCheck> BitmapReadChecks() {
  return {{CF_DIB, TYMED_HGLOBAL}, {CF_BITMAP, TYMED_GDI}, {DragDropFormats().NetscapeImage, TYMED_HGLOBAL}};
}

TDropGraphicFormat OtherKind(TDropGraphicFormat kind) { return kind == dgfMetafile ? dgfBitmap : dgfMetafile; }

void Append(std::vector<TGraphicCheck>& checks, const std::vector<TGraphicCheck>& more) {
  checks.insert(checks.end(), more.begin(), more.end());
}

// The preferred kind first, then the other; each only when it is accepted.
std::vector<TGraphicCheck> AcceptanceChecks(TDropGraphicFormats accepted, TDropGraphicFormat preferred) {
  std::vector<TGraphicCheck> checks;
  for (TDropGraphicFormat kind : {preferred, OtherKind(preferred)}) {
    if (accepted.Contains(kind)) Append(checks, kind == dgfMetafile ? MetafileChecks() : BitmapQueryChecks());
  }
  return checks;
}

// The preferred kind is read even when it is not accepted; the other only
// when it is.
std::vector<TGraphicCheck> DropChecks(TDropGraphicFormats accepted, TDropGraphicFormat preferred) {
  std::vector<TGraphicCheck> checks;
  Append(checks, preferred == dgfMetafile ? MetafileChecks() : BitmapReadChecks());
  const TDropGraphicFormat other = OtherKind(preferred);
  if (accepted.Contains(other)) Append(checks, other == dgfMetafile ? MetafileChecks() : BitmapReadChecks());
  return checks;
}

FORMATETC FormatFor(const TGraphicCheck& check) {
  return FORMATETC{static_cast<CLIPFORMAT>(check.format), nullptr, DVASPECT_CONTENT, -1, check.tymed};
}

struct TReadPicture {
  std::unique_ptr<TGraphic> graphic;  // nullptr for a URL drop
  std::string url;
  bool ok = false;
};

// Reads one medium of a picture format. A medium other than the one asked
// for, or data that does not decode, is a failed read.
TReadPicture ReadPicture(const TGraphicCheck& check, const STGMEDIUM& data) {
  TReadPicture read;
  if (data.tymed != check.tymed) return read;
  if (check.format == CF_ENHMETAFILE) {
    read.graphic = GraphicFromEnhMetaFile(data.hEnhMetaFile);
  } else if (check.format == CF_METAFILEPICT) {
    read.graphic = GraphicFromMetaFilePict(data.hMetaFilePict);
  } else if (check.format == CF_BITMAP) {
    read.graphic = GraphicFromBitmapHandle(data.hBitmap);
  } else {
    TGlobalLock lock(data.hGlobal);
    if (!lock) return read;
    const std::string_view block(lock.As<const char>(), lock.Size());
    if (check.format == CF_DIB) {
      read.graphic = GraphicFromDIB(block);
    } else {
      read.url = ImageURLFromNetscapeImage(block);
      read.ok = true;
      return read;
    }
  }
  read.ok = read.graphic != nullptr;
  return read;
}

}  // namespace

// ---- TGraphicDropTarget ----

bool TGraphicDropTarget::AcceptsCurrentFormats() {
  if (!data_object_ || !owner_) return false;
  for (const TGraphicCheck& check : AcceptanceChecks(owner_->accept_graphic_formats_, owner_->preferred_format_)) {
    FORMATETC format = FormatFor(check);
    if (data_object_->QueryGetData(&format) == S_OK) return true;
  }
  return false;
}

STDMETHODIMP TGraphicDropTarget::Drop(IDataObject* dataObject, DWORD keyState, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  bool posted = false;
  const HRESULT outcome = ComGuard([&]() -> HRESULT {
    if (dataObject) data_object_ = TComPtr<IDataObject>(dataObject);
    if (!QueryDrop(keyState, effect)) return kDropNotTried;
    ReportEffect(effect);
    TQXGraphicTarget& owner = *owner_;

    // The first format the object hands out and that reads is the picture.
    HRESULT result = kDropNotTried;
    TReadPicture read;
    for (const TGraphicCheck& check : DropChecks(owner.accept_graphic_formats_, owner.preferred_format_)) {
      FORMATETC format = FormatFor(check);
      TStorageMedium medium;
      result = medium.GetData(data_object_.Get(), format);
      if (FAILED(result)) continue;
      read = ReadPicture(check, medium.Get());
      if (read.ok) break;
      result = DV_E_FORMATETC;  // handed out, but not readable as asked
    }
    if (!read.ok) return result;

    // Every drop starts a new picture. A URL drop's stays empty until its
    // image is fetched into it, and stays empty when that fails: the
    // previous drop's picture is never reported again.
    auto picture = std::make_unique<TPicture>();
    if (read.graphic) picture->SetGraphic(std::move(read.graphic));
    owner.picture_ = std::move(picture);
    const TPoint client = ClientPoint(point);
    auto record = std::make_unique<TGraphicTargetDropRecord>();
    record->X = client.X;
    record->Y = client.Y;
    record->URL = std::move(read.url);
    posted = owner.PostDrop(std::move(record));
    return posted ? S_OK : E_FAIL;
  });
  if (FAILED(outcome)) {
    *effect = DROPEFFECT_NONE;
    current_effect_ = {deNone};
  }
  // The data object stays held until the posted drop is handled.
  if (!posted) EndDrag();
  return outcome;
}

// ---- TQXGraphicTarget ----

TQXGraphicTarget::TQXGraphicTarget(TComponent* owner) : TQXGenericTarget(owner) {
  drop_target_ = TComPtr<TGraphicDropTarget>(new TGraphicDropTarget(this));
}

TQXGraphicTarget::~TQXGraphicTarget() {
  drop_target_->DetachOwner();
  drop_target_->EndDrag();
  drop_target_.Reset();
  setAcceptor(nullptr);
  // Drops posted but never handled (the window went first) are freed here;
  // their messages, if still queued, find no record and are ignored.
  for (TGraphicTargetDropRecord* record : pending_) delete record;
  pending_.clear();
}

void TQXGraphicTarget::setAcceptor(TWinControl* control) {
  if (control == AcceptorControl() || !OkToSetAcceptorControl(control)) return;
  BindAcceptor(control, drop_target_.Get(), false);
}

void TQXGraphicTarget::setAcceptGraphicFormats(TDropGraphicFormats formats) {
  if (formats == accept_graphic_formats_) return;
  accept_graphic_formats_ = formats;
  if (drop_target_ && drop_target_->DataObject()) drop_target_->RecheckAcceptance();
}

void TQXGraphicTarget::SetAccepted(TDropGraphicFormat kind, bool value) {
  TDropGraphicFormats formats = accept_graphic_formats_;
  if (value) {
    formats.Include(kind);
  } else {
    formats.Exclude(kind);
  }
  setAcceptGraphicFormats(formats);
}

TDropGraphicFormat TQXGraphicTarget::getDroppedGraphicFormat() const {
  return dynamic_cast<const TMetafile*>(picture_->Graphic()) ? dgfMetafile : dgfBitmap;
}

TDropGraphicFormats TQXGraphicTarget::getAvailableGraphicFormats() const {
  return GraphicFormatsFromFormatList(*DataObjFormatList(getDataObject()));
}

TDropEffect TQXGraphicTarget::getDropEffect() const {
  return drop_target_ ? singleEffectFromSet(drop_target_->CurrentEffect()) : deNone;
}

IDataObject* TQXGraphicTarget::getDataObject() const { return drop_target_ ? drop_target_->DataObject() : nullptr; }

TDropEffects TQXGraphicTarget::getAvailableDropEffects() const {
  return drop_target_ ? drop_target_->OfferedEffects() : TDropEffects{};
}

TDropEffect TQXGraphicTarget::GetOverrideDropEffect(TDropEffect effect) const {
  return override_drop_effect_[static_cast<std::size_t>(effect)];
}

void TQXGraphicTarget::SetOverrideDropEffect(TDropEffect effect, TDropEffect value) {
  override_drop_effect_[static_cast<std::size_t>(effect)] = value;
}

std::unique_ptr<TStringList> TQXGraphicTarget::DataObjectFormatList() const {
  return DataObjFormatList(getDataObject());
}
std::unique_ptr<TStringList> TQXGraphicTarget::DataObjectFormatEtcList() const {
  return DataObjFormatEtcList(getDataObject());
}
ULONG TQXGraphicTarget::DataObjectRefCount() const { return DataObjRefCount(getDataObject()); }
bool TQXGraphicTarget::DataObjectHasFormat(const std::string& name) const {
  return DataObjHasFormat(getDataObject(), name);
}
std::string TQXGraphicTarget::DataObjectGetFormat(const std::string& name) const {
  return DataObjGetFormat(getDataObject(), name);
}

bool TQXGraphicTarget::PostDrop(std::unique_ptr<TGraphicTargetDropRecord> record) {
  const HWND window = AcceptorWindow();
  if (!window || !IsWindow(window)) return false;
  TGraphicTargetDropRecord* raw = record.get();
  pending_.insert(raw);
  if (!PostMessageA(window, DragDropFormats().GraphicTargetDropMessage, reinterpret_cast<WPARAM>(raw), 0)) {
    pending_.erase(raw);
    return false;
  }
  static_cast<void>(record.release());  // now owned through pending_
  return true;
}

bool TQXGraphicTarget::HandleAcceptorMessage(TMessage& message) {
  if (message.Msg != DragDropFormats().GraphicTargetDropMessage || message.Msg == 0) return false;
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the posted message carries the record's address
  auto* record = reinterpret_cast<TGraphicTargetDropRecord*>(message.WParam);
  const auto found = pending_.find(record);
  message.Result = 0;
  if (found == pending_.end()) return true;  // not one of ours: never followed
  pending_.erase(found);
  HandleDrop(record);
  return true;
}

void TQXGraphicTarget::HandleDrop(TGraphicTargetDropRecord* raw) {
  const std::unique_ptr<TGraphicTargetDropRecord> record(raw);
  // The OLE drop is over: the drag ends whatever the handler does.
  const TScopeExit endDrag([target = drop_target_.Get()] { target->EndDrag(); });
  // An image that cannot be fetched leaves the drop's picture empty.
  if (!record->URL.empty()) FetchImageURL(record->URL, *picture_);
  if (!OnDrop) return;
  try {
    OnDrop(this, AcceptorControl(), *picture_, record->X, record->Y);
  } catch (...) {
    Application().HandleException(this);
  }
}

}  // namespace plx
