#pragma once
// The text drop target: accepts drags whose data object holds one of the
// text kinds it is told to accept, reads the dropped data as a byte string
// and reports it through OnDrop.

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>

#include "dragdrop/DropEffects.h"
#include "dragdrop/DropTargets.h"
#include "dragdrop/TextFormatKinds.h"
#include "framework/Com.h"
#include "framework/StringList.h"

namespace plx {

// OnDrop: the component, the acceptor, the dropped text and the drop point in
// the acceptor's client coordinates.
using TQXDropType =
    std::function<void(TObject* sender, TWinControl* acceptor, const std::string& dropText, int x, int y)>;

class TQXTextTarget;

// The OLE drop-target object of one TQXTextTarget.
class TTextDropTarget : public TDropTargetObject<TTextDropTarget, TQXTextTarget> {
 public:
  using TDropTargetObject::TDropTargetObject;

  static constexpr bool kProposesLink = true;

  STDMETHODIMP Drop(IDataObject* dataObject, DWORD keyState, POINTL point, DWORD* effect) override;

  // Whether the held data object offers a kind the owner accepts.
  bool AcceptsCurrentFormats();
};

class TQXTextTarget : public TQXGenericTarget {
 public:
  explicit TQXTextTarget(TComponent* owner);
  ~TQXTextTarget() override;

  void Notification(TComponent* component, TOperation operation) override;
  void setAcceptor(TWinControl* control) override;

  TDropTextFormats AcceptTextFormats() const { return accept_text_formats_; }
  void setAcceptTextFormats(TDropTextFormats formats);
  void setAcceptURL(bool value) { SetAccepted(dtfURL, value); }
  void setAcceptIEHTML(bool value) { SetAccepted(dtfIEHTML, value); }
  void setAcceptRichText(bool value) { SetAccepted(dtfRichText, value); }
  void setAcceptText(bool value) { SetAccepted(dtfText, value); }
  void setAcceptFiles(bool value) { SetAccepted(dtfFiles, value); }
  void setAcceptCustom(bool value) { SetAccepted(dtfCustom, value); }

  TDropEffect getDropEffect() const;
  IDataObject* getDataObject() const;
  TDropEffects getAvailableDropEffects() const;
  TDropTextFormats getAVailableTextFormats() const;
  const std::string& getText() const { return dropped_text_; }
  // The dropped text split at line breaks; the component keeps the list.
  TStringList& getDroppedLines();

  TDropEffect GetOverrideDropEffect(TDropEffect effect) const;
  void SetOverrideDropEffect(TDropEffect effect, TDropEffect value);

  std::unique_ptr<TStringList> DataObjectFormatList() const;
  std::unique_ptr<TStringList> DataObjectFormatEtcList() const;
  ULONG DataObjectRefCount() const;
  bool DataObjectHasFormat(const std::string& name) const;
  std::string DataObjectGetFormat(const std::string& name) const;

  // Fills the dropped text with the dropped files' names, CR LF between them.
  void GetDroppedFiles(HDROP drop);

  // Extra formats accepted under dtfCustom, in order; an entry's object slot
  // holds the storage medium to ask for (0: TYMED_HGLOBAL).
  TStringList& CustomFormats() { return custom_formats_; }
  int CustomFormatIndex() const { return custom_format_index_; }
  TDropTextFormat DroppedTextFormat() const { return dropped_text_format_; }
  const std::string& URLTitle() const { return url_title_; }

  // The OLE object that is registered for the acceptor's window.
  TTextDropTarget* DropTargetObject() const { return drop_target_.Get(); }

  TQXDropType OnDrop;
  TQXDragEnterOverType OnDragEnter;
  TQXDragEnterOverType OnDragOver;
  TNotifyEvent OnDragLeave;

 private:
  friend class TTextDropTarget;
  friend class TDropTargetObject<TTextDropTarget, TQXTextTarget>;
  void SetAccepted(TDropTextFormat kind, bool value);

  TOverrideDropEffect override_drop_effect_ = kIdentityDropEffects;
  int custom_format_index_ = -1;
  TStringList custom_formats_;
  TDropTextFormat dropped_text_format_ = dtfText;
  std::string url_title_;
  std::string dropped_text_;
  TStringList dropped_lines_;
  TComPtr<TTextDropTarget> drop_target_;
  TDropTextFormats accept_text_formats_{dtfText};
};

}  // namespace plx
