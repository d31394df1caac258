#pragma once
// The picture drag source: starts an OLE drag of a bitmap or a metafile,
// given directly or taken from a donor image when the drag starts.

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <memory>

#include "dragdrop/DragSources.h"
#include "dragdrop/GraphicDataObject.h"
#include "framework/Bitmap.h"
#include "framework/Image.h"

namespace plx {

// OnBeforeDrop: the donor image, a copy of the picture about to be dropped
// (a handler may change it) and CancelDrop (false on entry).
using TQXGraphicBeforeDropType =
    std::function<void(TObject* sender, TImage* donor, TPicture& dropPicture, bool& cancelDrop)>;
// OnAfterDrop: the donor image and whether the target reported an effect.
using TQXGraphicAfterDropType = std::function<void(TObject* sender, TImage* donor, bool droppedOK)>;

// The drop-source object of a picture source.
using TGraphicDropSource = TDropSourceObject;

class TQXGraphicSource : public TQXDragSource {
 public:
  explicit TQXGraphicSource(TComponent* owner);
  ~TQXGraphicSource() override;

  // Runs one drag; false when the picture holds neither a bitmap nor a
  // metafile, when a drag is already running, or when the loop failed.
  bool Execute();

  // With a donor image, a fresh copy of its picture (empty unless it holds
  // a bitmap or a metafile); without one, the stored picture. Always the
  // same object, so the reference stays valid; later calls change what it
  // holds.
  TPicture& getPicture();
  // Keeps a copy of picture and clears the donor.
  void setPicture(const TPicture& picture);
  TImage* DonorImage() const { return donor_; }
  // A different donor replaces the stored picture by an empty one.
  void setDonor(TImage* donor);

  // Whether a CF_METAFILEPICT carries the metafile's size as its extents.
  bool MetafileSizeInExtents() const { return metafile_size_; }
  void SetMetafileSizeInExtents(bool value) { metafile_size_ = value; }

  bool doBeforeDrop() override;
  void doAfterDrop(bool droppedOK) override;

  void Notification(TComponent* component, TOperation operation) override;

  TQXGraphicBeforeDropType OnBeforeDrop;
  TQXGraphicAfterDropType OnAfterDrop;

 private:
  TPicture picture_;
  TImage* donor_ = nullptr;  // borrowed; cleared when it is removed
  bool metafile_size_ = false;
  TComPtr<TGraphicDataObject> data_object_;  // the running drag's, between Execute's start and end
};

}  // namespace plx
