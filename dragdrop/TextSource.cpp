#include "dragdrop/TextSource.h"

#include <vector>

#include "framework/ScopedState.h"
#include "framework/StdCtrls.h"

namespace plx {

namespace {

// Each selected entry of a list box with multiple selection, in order.
std::string SelectedEntries(TCustomListBox& list) {
  const HWND window = list.Handle();
  const LRESULT count = SendMessageA(window, LB_GETSELCOUNT, 0, 0);
  if (count <= 0) return {};
  std::vector<int> selected(static_cast<std::size_t>(count));
  const LRESULT got = SendMessageA(window, LB_GETSELITEMS, selected.size(), reinterpret_cast<LPARAM>(selected.data()));
  std::string text;
  bool first = true;
  for (LRESULT i = 0; i < got; ++i) {
    const int index = selected[static_cast<std::size_t>(i)];
    if (index < 0 || index >= list.Count()) continue;
    if (!first) text += "\r\n";
    first = false;
    text += list.Item(index);
  }
  return text;
}

bool HasMultipleSelection(TCustomListBox& list) {
  if (!list.HandleAllocated()) return false;
  const LONG_PTR style = GetWindowLongPtrA(list.Handle(), GWL_STYLE);
  return (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

std::string TextFromListBox(TCustomListBox& list) {
  if (list.Count() == 0) return {};
  // In a list with multiple selection the item index is only the caret:
  // with nothing selected there is nothing to drag.
  if (dynamic_cast<TListBox*>(&list) && HasMultipleSelection(list)) return SelectedEntries(list);
  const int index = list.ItemIndex();
  if (index < 0 || index >= list.Count()) return {};
  return list.Item(index);
}

}  // namespace

std::string TextFromDonor(TComponent& donor) {
  if (auto* list = dynamic_cast<TCustomListBox*>(&donor)) return TextFromListBox(*list);
  if (auto* panel = dynamic_cast<TCustomPanel*>(&donor)) return panel->Caption();
  if (auto* button = dynamic_cast<TButton*>(&donor)) return button->Caption();
  return donor.Name();
}

TQXTextSource::TQXTextSource(TComponent* owner) : TQXDragSource(owner) {}

TQXTextSource::~TQXTextSource() = default;

const std::string& TQXTextSource::getText() {
  if (donor_) text_ = TextFromDonor(*donor_);
  return text_;
}

void TQXTextSource::setText(std::string text) {
  setDonor(nullptr);  // first: a change of donor empties the stored text
  text_ = std::move(text);
}

void TQXTextSource::setDonor(TComponent* donor) {
  if (donor == donor_) return;
  if (donor_) RemoveFreeNotification(donor_);
  donor_ = donor;
  // A donor owned elsewhere must still tell us when it goes.
  if (donor_) FreeNotification(donor_);
  text_.clear();
}

bool TQXTextSource::Execute() {
  if ((getText().empty() && custom_formats_.Empty()) || Busy()) return RefuseExecute();
  TComPtr<TTextDataObject> dataObject(getUsingCustomFormat() ? new TTextDataObject(&custom_formats_, this)
                                                             : new TTextDataObject(getText(), this));
  // The target may keep the object after the loop; it must not reach us then.
  const TScopeExit finishDrag([&dataObject] { dataObject->DragFinished(); });
  return RunDragLoop(dataObject.Get());
}

bool TQXTextSource::doBeforeDrop() {
  if (!OnBeforeDrop) return true;
  const std::string current = getText();
  std::string dropText = current;
  bool cancelDrop = false;
  const std::weak_ptr<const void> alive = AliveToken();
  // A copy: the handler may destroy this source, and with it the event.
  const TQXBeforeDropType onBeforeDrop = OnBeforeDrop;
  onBeforeDrop(this, donor_, dropText, cancelDrop);
  // Destroyed by its handler: there is nothing left to drop.
  if (alive.expired()) return false;
  if (dropText != current) setText(std::move(dropText));
  return !cancelDrop;
}

void TQXTextSource::doAfterDrop(bool droppedOK) {
  if (const TQXAfterDropType onAfterDrop = OnAfterDrop) onAfterDrop(this, donor_, droppedOK);
}

void TQXTextSource::Notification(TComponent* component, TOperation operation) {
  TQXDragSource::Notification(component, operation);
  if (operation != TOperation::opRemove || !component || component != donor_) return;
  // While we are being destroyed ourselves the text no longer matters, but
  // the link must still go: the donor is about to be freed.
  if (IsDestroying())
    donor_ = nullptr;
  else
    setDonor(nullptr);
}

}  // namespace plx
