#pragma once
// The picture drop target: accepts drags whose data object holds a metafile
// or a bitmap kind it is told to accept, reads the dropped picture and
// reports it. The report is posted to the acceptor's window and raised from
// there, after OLE's Drop call has returned to the drag source.

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "dragdrop/DropEffects.h"
#include "dragdrop/DropTargets.h"
#include "dragdrop/TextFormatKinds.h"
#include "framework/Bitmap.h"
#include "framework/Com.h"
#include "framework/StringList.h"

namespace plx {

// OnDrop: the component, the acceptor, the dropped picture (the component
// keeps it) and the drop point in the acceptor's client coordinates.
using TQXGraphicDropType =
    std::function<void(TObject* sender, TWinControl* acceptor, TPicture& thePicture, int x, int y)>;

class TQXGraphicTarget;

// The OLE drop-target object of one TQXGraphicTarget.
class TGraphicDropTarget : public TDropTargetObject<TGraphicDropTarget, TQXGraphicTarget> {
 public:
  using TDropTargetObject::TDropTargetObject;

  // A picture is never linked: LINK is never proposed or accepted.
  static constexpr bool kProposesLink = false;

  STDMETHODIMP Drop(IDataObject* dataObject, DWORD keyState, POINTL point, DWORD* effect) override;

  // Whether the held data object offers a kind the owner accepts.
  bool AcceptsCurrentFormats();
};

// What Drop posts to the acceptor's window with "UOGraphicTargetDrop".
struct TGraphicTargetDropRecord {
  int X = 0;
  int Y = 0;
  std::string URL;  // the image URL of a "Netscape Image Format" drop
};

class TQXGraphicTarget : public TQXGenericTarget {
 public:
  explicit TQXGraphicTarget(TComponent* owner);
  ~TQXGraphicTarget() override;

  void setAcceptor(TWinControl* control) override;

  TDropGraphicFormats AcceptGraphicFormats() const { return accept_graphic_formats_; }
  void setAcceptGraphicFormats(TDropGraphicFormats formats);
  void setAcceptBitmap(bool value) { SetAccepted(dgfBitmap, value); }
  void setAcceptMetafile(bool value) { SetAccepted(dgfMetafile, value); }
  TDropGraphicFormat PreferredFormat() const { return preferred_format_; }
  void SetPreferredFormat(TDropGraphicFormat format) { preferred_format_ = format; }

  // The picture of the last drop; empty before the first.
  TPicture& getPicture() { return *picture_; }
  // dgfMetafile when the picture holds a metafile, else dgfBitmap.
  TDropGraphicFormat getDroppedGraphicFormat() const;
  TDropGraphicFormats getAvailableGraphicFormats() const;

  TDropEffect getDropEffect() const;
  IDataObject* getDataObject() const;
  TDropEffects getAvailableDropEffects() const;
  TDropEffect GetOverrideDropEffect(TDropEffect effect) const;
  void SetOverrideDropEffect(TDropEffect effect, TDropEffect value);

  std::unique_ptr<TStringList> DataObjectFormatList() const;
  std::unique_ptr<TStringList> DataObjectFormatEtcList() const;
  ULONG DataObjectRefCount() const;
  bool DataObjectHasFormat(const std::string& name) const;
  std::string DataObjectGetFormat(const std::string& name) const;

  TGraphicDropTarget* DropTargetObject() const { return drop_target_.Get(); }
  // Drops posted to the acceptor and not handled yet.
  std::size_t PendingDrops() const { return pending_.size(); }

  TQXGraphicDropType OnDrop;
  TQXDragEnterOverType OnDragEnter;
  TQXDragEnterOverType OnDragOver;
  TNotifyEvent OnDragLeave;

 protected:
  bool HandleAcceptorMessage(TMessage& message) override;

 private:
  friend class TGraphicDropTarget;
  friend class TDropTargetObject<TGraphicDropTarget, TQXGraphicTarget>;
  void SetAccepted(TDropGraphicFormat kind, bool value);
  // Takes the record over and posts it; false (record freed) when it could
  // not be posted.
  bool PostDrop(std::unique_ptr<TGraphicTargetDropRecord> record);
  void HandleDrop(TGraphicTargetDropRecord* record);

  TOverrideDropEffect override_drop_effect_ = kIdentityDropEffects;
  std::unique_ptr<TPicture> picture_ = std::make_unique<TPicture>();
  // Records posted and not yet handled. The message is registered by name,
  // so any process can post it: only pointers listed here are followed.
  std::set<TGraphicTargetDropRecord*> pending_;
  TComPtr<TGraphicDropTarget> drop_target_;
  TDropGraphicFormats accept_graphic_formats_{dgfMetafile, dgfBitmap};
  TDropGraphicFormat preferred_format_ = dgfMetafile;
};

}  // namespace plx
