#include "dragdrop/TextTarget.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "dragdrop/ClipboardFormats.h"
#include "dragdrop/DataObjectUtils.h"
#include "dragdrop/ObjectSlot.h"
#include "dragdrop/StorageMedium.h"
#include "dragdrop/TransferBlocks.h"
#include "framework/GdiHandles.h"
#include "framework/TextConversion.h"

namespace plx {

namespace {

// The HRESULT of a drop that was refused or asked nothing: all bits set.
constexpr HRESULT kDropNotTried = static_cast<HRESULT>(0xFFFFFFFFu);

// One check of the acceptance test and of the drop's search, in order.
struct TFormatCheck {
  UINT format;
  DWORD tymed;
  int custom_index;  // -1 for the fixed checks
};

// The checks whose kind is accepted, in the order they are tried: the custom
// formats, the URL formats, HTML, rich text, files, then plain text. A custom
// name that gives no format is skipped.
std::vector<TFormatCheck> AcceptedChecks(TDropTextFormats accepted, const TStringList& customFormats) {
  std::vector<TFormatCheck> checks;
  const TDragDropFormats& registered = DragDropFormats();
  if (accepted.Contains(dtfCustom)) {
    for (int i = 0; i < customFormats.Count(); ++i) {
      const UINT format = ClipboardFormatFromString(customFormats.Strings(i));
      if (format == 0) continue;
      DWORD tymed = static_cast<DWORD>(NumberFromObjectSlot(customFormats.Objects(i)));
      checks.push_back({format, tymed == 0 ? static_cast<DWORD>(TYMED_HGLOBAL) : tymed, i});
    }
  }
  auto addIf = [&](TDropTextFormat kind, UINT format) {
    if (accepted.Contains(kind)) checks.push_back({format, TYMED_HGLOBAL, -1});
  };
  addIf(dtfURL, registered.URL);
  addIf(dtfURL, registered.NetscapeBookmark);
  addIf(dtfIEHTML, registered.HTML);
  addIf(dtfRichText, registered.RichText);
  addIf(dtfFiles, CF_HDROP);
  addIf(dtfText, CF_TEXT);
  return checks;
}

FORMATETC FormatFor(const TFormatCheck& check) {
  return FORMATETC{static_cast<CLIPFORMAT>(check.format), nullptr, DVASPECT_CONTENT, -1, check.tymed};
}

TDropTextFormat KindOfFormat(UINT format) {
  const TDragDropFormats& registered = DragDropFormats();
  if (format == registered.URL || format == registered.NetscapeBookmark) return dtfURL;
  if (format == registered.HTML) return dtfIEHTML;
  if (format == registered.RichText) return dtfRichText;
  if (format == CF_HDROP) return dtfFiles;
  if (format == CF_TEXT) return dtfText;
  return dtfCustom;
}

// Ends a drag on every way out of Drop, exceptions included.
class TDragEnd {
 public:
  explicit TDragEnd(std::function<void()> end) : end_(std::move(end)) {}
  ~TDragEnd() { end_(); }
  TDragEnd(const TDragEnd&) = delete;
  TDragEnd& operator=(const TDragEnd&) = delete;

 private:
  std::function<void()> end_;
};

}  // namespace

// ---- TTextDropTarget ----

bool TTextDropTarget::AcceptsCurrentFormats() {
  if (!data_object_ || !owner_) return false;
  for (const TFormatCheck& check : AcceptedChecks(owner_->accept_text_formats_, owner_->custom_formats_)) {
    FORMATETC format = FormatFor(check);
    if (data_object_->QueryGetData(&format) == S_OK) return true;
  }
  return false;
}

STDMETHODIMP TTextDropTarget::Drop(IDataObject* dataObject, DWORD keyState, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  const TDragEnd end_drag([this] { EndDrag(); });
  const HRESULT outcome = ComGuard([&]() -> HRESULT {
    // OLE hands the object again; it is the one the drag entered with.
    if (dataObject) data_object_ = TComPtr<IDataObject>(dataObject);
    if (!QueryDrop(keyState, effect)) return kDropNotTried;
    ReportEffect(effect);
    TQXTextTarget& owner = *owner_;
    owner.custom_format_index_ = -1;

    // The first accepted format the object hands out is the one read.
    HRESULT result = kDropNotTried;
    TStorageMedium medium;
    const TFormatCheck* found = nullptr;
    const std::vector<TFormatCheck> checks = AcceptedChecks(owner.accept_text_formats_, owner.custom_formats_);
    for (const TFormatCheck& check : checks) {
      FORMATETC format = FormatFor(check);
      result = medium.GetData(data_object_.Get(), format);
      if (SUCCEEDED(result)) {
        found = &check;
        break;
      }
    }
    if (!found) return result;
    if (found->custom_index >= 0) owner.custom_format_index_ = found->custom_index;

    // A medium other than one of those asked for (a custom format may ask
    // for several at once), or a block that cannot be locked, is a failed
    // read: no text is reported. The answer must name exactly one medium.
    const STGMEDIUM& data = medium.Get();
    if ((data.tymed & found->tymed) == 0 || (data.tymed & (data.tymed - 1)) != 0) return DV_E_TYMED;
    std::string text;
    if (found->format == CF_HDROP) {
      // A file list lives in global memory. A custom "15" may ask for other
      // media too; their pointers are not blocks and are never locked.
      if (data.tymed != TYMED_HGLOBAL) return DV_E_TYMED;
      TGlobalLock lock(data.hGlobal);
      if (!lock) return E_HANDLE;
      // A list cut short (no double zero inside its block) is a failed read,
      // not a shorter list.
      if (!IsWellFormedHDROP(std::string_view(lock.As<const char>(), lock.Size()))) return DV_E_FORMATETC;
      owner.GetDroppedFiles(static_cast<HDROP>(data.hGlobal));
    } else {
      if (data.tymed == TYMED_HGLOBAL && !ReadGlobalBlock(data.hGlobal, text)) return E_HANDLE;
      // The text moves to the component: a block of any size is held once.
      // Swapped, not move-assigned: a short text moved into the buffer of an
      // earlier, larger one would keep that buffer for as long as it stays.
      owner.dropped_text_.swap(text);
      std::string().swap(text);
    }
    medium.Reset();

    owner.dropped_text_format_ = KindOfFormat(found->format);
    owner.url_title_.clear();
    if (owner.dropped_text_format_ == dtfURL) {
      // A title that cannot be fetched leaves it empty; the drop goes on.
      FORMATETC titleFormat{static_cast<CLIPFORMAT>(DragDropFormats().FileGroupDescriptor), nullptr,
                            DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
      TStorageMedium title;
      if (SUCCEEDED(title.GetData(data_object_.Get(), titleFormat)) && title.Get().tymed == TYMED_HGLOBAL) {
        TGlobalLock lock(title.Get().hGlobal);
        if (lock) {
          owner.url_title_ = URLTitleFromFileGroupDescriptor(std::string_view(lock.As<const char>(), lock.Size()),
                                                             found->format == DragDropFormats().NetscapeBookmark);
        }
      }
    }

    if (owner.OnDrop) {
      // The data was read and delivered before the handler runs: the drop
      // itself succeeded whatever the handler throws.
      const TPoint client = ClientPoint(point);
      RaiseEvent([&] { owner.OnDrop(&owner, owner.AcceptorControl(), owner.dropped_text_, client.X, client.Y); });
    }
    return S_OK;
  });
  if (FAILED(outcome)) {
    *effect = DROPEFFECT_NONE;
    current_effect_ = {deNone};
  }
  return outcome;
}

// ---- TQXTextTarget ----

TQXTextTarget::TQXTextTarget(TComponent* owner) : TQXGenericTarget(owner) {
  drop_target_ = TComPtr<TTextDropTarget>(new TTextDropTarget(this));
}

TQXTextTarget::~TQXTextTarget() {
  // Our reference goes first; OLE's goes when the registration is revoked,
  // which destroys the object. Until then it must not reach back to us.
  drop_target_->DetachOwner();
  drop_target_.Reset();
  setAcceptor(nullptr);
}

void TQXTextTarget::Notification(TComponent* component, TOperation operation) {
  TQXGenericTarget::Notification(component, operation);
}

void TQXTextTarget::setAcceptor(TWinControl* control) {
  if (control == AcceptorControl() || !OkToSetAcceptorControl(control)) return;
  BindAcceptor(control, drop_target_.Get(), true);
}

void TQXTextTarget::setAcceptTextFormats(TDropTextFormats formats) {
  if (formats == accept_text_formats_) return;
  accept_text_formats_ = formats;
  // Recomputed on every change: with no drag under way the flag goes false,
  // so a stale answer from the last drag never accepts the next one.
  if (drop_target_) drop_target_->RecheckAcceptance();
}

void TQXTextTarget::SetAccepted(TDropTextFormat kind, bool value) {
  TDropTextFormats formats = accept_text_formats_;
  if (value) {
    formats.Include(kind);
  } else {
    formats.Exclude(kind);
  }
  setAcceptTextFormats(formats);
}

TDropEffect TQXTextTarget::getDropEffect() const {
  return drop_target_ ? singleEffectFromSet(drop_target_->CurrentEffect()) : deNone;
}

IDataObject* TQXTextTarget::getDataObject() const { return drop_target_ ? drop_target_->DataObject() : nullptr; }

TDropEffects TQXTextTarget::getAvailableDropEffects() const {
  return drop_target_ ? drop_target_->OfferedEffects() : TDropEffects{};
}

TDropTextFormats TQXTextTarget::getAVailableTextFormats() const {
  return TextFormatsFromFormatList(*DataObjFormatList(getDataObject()));
}

TStringList& TQXTextTarget::getDroppedLines() {
  dropped_lines_.SetText(dropped_text_);
  return dropped_lines_;
}

TDropEffect TQXTextTarget::GetOverrideDropEffect(TDropEffect effect) const {
  return override_drop_effect_[static_cast<std::size_t>(effect)];
}

void TQXTextTarget::SetOverrideDropEffect(TDropEffect effect, TDropEffect value) {
  override_drop_effect_[static_cast<std::size_t>(effect)] = value;
}

std::unique_ptr<TStringList> TQXTextTarget::DataObjectFormatList() const { return DataObjFormatList(getDataObject()); }
std::unique_ptr<TStringList> TQXTextTarget::DataObjectFormatEtcList() const {
  return DataObjFormatEtcList(getDataObject());
}
ULONG TQXTextTarget::DataObjectRefCount() const { return DataObjRefCount(getDataObject()); }
bool TQXTextTarget::DataObjectHasFormat(const std::string& name) const {
  return DataObjHasFormat(getDataObject(), name);
}
std::string TQXTextTarget::DataObjectGetFormat(const std::string& name) const {
  return DataObjGetFormat(getDataObject(), name);
}

void TQXTextTarget::GetDroppedFiles(HDROP drop) {
  std::string().swap(dropped_text_);  // an earlier text's buffer goes too
  dropped_text_format_ = dtfFiles;
  // One pass over the block. Asking the system name by name walks the list
  // from its start for every name, which a long list turns into minutes.
  TGlobalLock lock(drop);
  if (!lock) return;
  const THDROPNames list = HDROPNameSpans(std::string_view(lock.As<const char>(), lock.Size()));
  std::wstring wideName;
  for (std::size_t i = 0; i < list.names.size(); ++i) {
    if (i > 0) dropped_text_ += "\r\n";
    const std::string_view name = list.names[i];
    if (!list.wide) {
      dropped_text_ += name;
      continue;
    }
    // Copied out: a name in the block need not be aligned for its units.
    wideName.resize(name.size() / sizeof(wchar_t));
    std::memcpy(wideName.data(), name.data(), wideName.size() * sizeof(wchar_t));
    dropped_text_ += AnsiFromWide(wideName);
  }
}

}  // namespace plx
