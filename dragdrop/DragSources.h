#pragma once
// The common half of the drag sources: the drop-source object that answers
// OLE's drag loop, and the component state it reads (the mouse button that
// drops, the offered effects, the effect of the last feedback, the busy
// flag) with the loop run itself.
//
// DoDragDrop is modal: it captures the mouse and runs its own message loop
// on this thread, asking the drop source after every change of the mouse or
// keys whether to go on (QueryContinueDrag) and, after every answer of the
// target under the pointer, which cursor to show (GiveFeedback). It returns
// DRAGDROP_S_DROP after the target's Drop, DRAGDROP_S_CANCEL when the drag
// was cancelled or dropped where nothing accepted it, or a failure.

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <memory>

#include "dragdrop/DragDetect.h"
#include "dragdrop/DropEffects.h"
#include "dragdrop/DropTargets.h"
#include "framework/Com.h"
#include "framework/Component.h"

namespace plx {

// MK_LBUTTON, MK_RBUTTON or MK_MBUTTON: the key-state bit of the button.
DWORD MK_XButtonFromTMouseButton(TMouseButton button);

// OnGiveFeedback: the effect the target reports; DefCursors (true on entry)
// cleared by a handler that has set a cursor of its own.
using TQXGiveFeedbackType = std::function<void(TObject* sender, TDropEffect effect, bool& defCursors)>;

class TQXDragSource;

// The IDropSource of one drag source component. The component holds one
// reference and the running drag loop another, so a handler may destroy the
// component mid-drag: it detaches itself before it goes, and from then on
// the object cancels the drag without reaching it.
class TDropSourceObject : public TInterfacedObject<IDropSource> {
 public:
  explicit TDropSourceObject(TQXDragSource* source) : source_(source) {}

  // Escape cancels (OnCancelDrop); the source's mouse button held goes on;
  // its release drops, after the source's before-drop step when the target
  // reports an effect.
  STDMETHODIMP QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
  // Records the effect as the returned effect and lets OnGiveFeedback choose
  // the cursor.
  STDMETHODIMP GiveFeedback(DWORD effect) override;

  void DetachSource() { source_ = nullptr; }

 private:
  TQXDragSource* source_;  // borrowed; cleared by the source's destructor
};

class TQXDragSource : public TQXBaseComponent {
 public:
  explicit TQXDragSource(TComponent* owner);
  ~TQXDragSource() override;

  TMouseButton MouseButton() const { return mouse_button_; }
  void SetMouseButton(TMouseButton button) { mouse_button_ = button; }
  // The effects offered to targets.
  TDropEffects DropEffects() const { return drop_effects_; }
  void SetDropEffects(TDropEffects effects) { drop_effects_ = effects; }
  // The effect of the last feedback, or of the finished drag.
  TDropEffects ReturnedEffect() const { return returned_effect_; }
  // Its single member (deNone when there is none).
  TDropEffect getReturnedEffect() const { return singleEffectFromSet(returned_effect_); }
  // Whether a drag started by Execute is running.
  bool Busy() const { return busy_; }

  // Expires when the source is destroyed. What may outlive the source
  // during its own drag (the loop's frame, a data object a target holds, a
  // call that raised an event) checks it before touching the source again.
  std::weak_ptr<const void> AliveToken() const { return alive_; }

  // The drop-source object handed to the drag loop.
  TDropSourceObject* DropSourceObject() const { return drop_source_.Get(); }

  TQXGiveFeedbackType OnGiveFeedback;
  TNotifyEvent OnCancelDrop;

 protected:
  // Runs the system's drag loop with dataObject; the busy flag is set while
  // it runs. After a drop the returned effect is the target's and
  // doAfterDrop follows; otherwise the returned effect is [deNone]. Answers
  // whether the drag ended in a drop or a cancel. The caller has checked
  // that nothing is running and there is something to drag. A handler may
  // destroy the source during the loop: the caller checks AliveToken before
  // it touches the source after this returns.
  bool RunDragLoop(IDataObject* dataObject);

  // Execute's answer when it starts no drag: the returned effect says that
  // nothing was dropped.
  bool RefuseExecute();

  // Before a drop the target accepted: answers whether it may go on.
  virtual bool doBeforeDrop() = 0;
  // After a drop: whether the target reported an effect other than none.
  virtual void doAfterDrop(bool droppedOK) = 0;

 private:
  friend class TDropSourceObject;

  TMouseButton mouse_button_ = TMouseButton::mbLeft;
  TDropEffects drop_effects_{deCopy};
  TDropEffects returned_effect_;
  // The effect of the running drag's last feedback, which decides at the
  // button's release whether the before-drop step runs. Kept apart from the
  // returned effect, which a refused Execute from a handler resets.
  TDropEffects feedback_effect_;
  bool busy_ = false;
  TComPtr<TDropSourceObject> drop_source_;
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace plx
