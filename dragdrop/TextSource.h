#pragma once
// The text drag source: starts an OLE drag of a text, or of a set of custom
// formats, to any drop target. The text is given directly or taken, each
// time it is needed, from a donor control.

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>

#include "dragdrop/CustomFormatData.h"
#include "dragdrop/DragSources.h"
#include "dragdrop/TextDataObject.h"

namespace plx {

// OnBeforeDrop: the donor, the text about to be dropped (a handler may
// change it) and CancelDrop (false on entry; true cancels the drop).
using TQXBeforeDropType =
    std::function<void(TObject* sender, TComponent* donor, std::string& dropText, bool& cancelDrop)>;
// OnAfterDrop: the donor and whether the target reported an effect.
using TQXAfterDropType = std::function<void(TObject* sender, TComponent* donor, bool droppedOK)>;
// OnRenderCustomFormat: the content of a custom format asked for while empty.
using TQXRenderCustomFormatType =
    std::function<void(TObject* sender, const std::string& formatName, std::string& formatContent)>;

// The drop-source object of a text source.
using TTextDropSource = TDropSourceObject;

// The text a donor control offers, by its class: a list box's selected
// entry (entries, CR LF between them, for one with multiple selection), the
// caption of a panel or button, the component's name for anything else.
std::string TextFromDonor(TComponent& donor);

class TQXTextSource : public TQXDragSource {
 public:
  explicit TQXTextSource(TComponent* owner);
  ~TQXTextSource() override;

  // Runs one drag. True when it ended in a drop or a cancel; false when
  // there was nothing to drag, a drag was already running, or the drag loop
  // failed.
  bool Execute();

  // With a donor, its current text (which is also stored).
  const std::string& getText();
  // Stores the text and clears the donor.
  void setText(std::string text);
  TComponent* DonorComponent() const { return donor_; }
  // A different donor empties the stored text.
  void setDonor(TComponent* donor);

  TCustomFormatDataList& CustomFormatList() { return custom_formats_; }
  bool getUsingCustomFormat() const { return !custom_formats_.Empty(); }
  // The index of the custom format a target last fetched, -1 before.
  int CustomFormatIndex() const { return custom_format_index_; }

  bool doBeforeDrop() override;
  void doAfterDrop(bool droppedOK) override;

  void Notification(TComponent* component, TOperation operation) override;

  TQXBeforeDropType OnBeforeDrop;
  TQXAfterDropType OnAfterDrop;
  TQXRenderCustomFormatType OnRenderCustomFormat;

 private:
  friend class TTextDataObject;

  std::string text_;
  TCustomFormatDataList custom_formats_;
  int custom_format_index_ = -1;
  TComponent* donor_ = nullptr;  // borrowed; cleared when it is removed
};

}  // namespace plx
