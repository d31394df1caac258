#pragma once
// The object model: TObject, TPersistent and TComponent with owners,
// component state, Loaded and removal notifications. Platform-neutral.

#include <functional>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace plx {

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

// Events are called with the sender first.
using TNotifyEvent = std::function<void(TObject* sender)>;

class TPersistent : public TObject {
 public:
  // Copies source's state into this object. The base raises EConvertError-like
  // Exception "Cannot assign" when neither side knows how.
  virtual void Assign(const TPersistent& source);

 protected:
  // Lets the source class teach an unrelated destination how to copy it.
  virtual void AssignTo(TPersistent& destination) const;
};

enum class TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
  csLoading = 1u << 0,
  csDesigning = 1u << 1,  // never set at run time; kept so design-time branches stay explicit
  csDestroying = 1u << 2,
};
using TComponentState = unsigned;

class TPropertyTable;

// A component is owned by its owner, which destroys it (the components last
// created are destroyed first). Non-owning references between components
// are cleared through Notification(component, opRemove).
//
// Destruction runs in two steps. BeforeDestruction runs first, while the whole
// object (every derived part and member) is still alive: it marks the tree as
// destroying, tells those that hold references to us, and lets derived classes
// release what must go while they are whole (a window gets its WM_DESTROY
// here). Only then do the destructors run. `delete` on any component pointer
// goes through the class's destroying operator delete, which performs both
// steps; an object on the stack (tests) has no such hook, so destructors must
// still cope with BeforeDestruction not having run.
class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  // `delete component`: BeforeDestruction, then the destructors, then the
  // memory. The destructor is virtual, so the whole object goes.
  void operator delete(TComponent* component, std::destroying_delete_t);

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(static_cast<std::size_t>(index)); }
  // Case-insensitive lookup among the owned components; nullptr if none.
  TComponent* FindComponent(std::string_view name) const;

  TComponentState ComponentState() const { return state_; }
  bool IsLoading() const { return (state_ & csLoading) != 0; }
  bool IsDesigning() const { return (state_ & csDesigning) != 0; }
  bool IsDestroying() const { return (state_ & csDestroying) != 0; }

  // A layout reader brackets the reading of properties with these.
  void BeginLoading() { state_ |= csLoading; }
  // Called once the whole layout has been read and references resolved;
  // the base clears the loading flag.
  virtual void Loaded();

  // Sent to the owner (which passes it to all it owns) and to every
  // free-notification subscriber when component is inserted or removed.
  virtual void Notification(TComponent* component, TOperation operation);

  // Asks to be notified when component goes away, although it is not ours.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Marks this component and everything it owns as being destroyed, so that
  // they stop reacting while the tree is torn down.
  void Destroying();
  // Destroys every owned component, the last created first.
  void DestroyComponents();

  // Published properties of this object's class (nullptr: none registered).
  virtual const TPropertyTable* PublishedProperties() const { return nullptr; }

 protected:
  // The first step of destruction, while the object is whole; an override
  // calls the base last. Runs once.
  virtual void BeforeDestruction();

 private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void RemoveNotifier(TComponent* component);
  // Notifies, destroys what we own and leaves the owner; safe to repeat.
  void TearDown();

  TComponent* owner_ = nullptr;
  std::string name_;
  TComponentState state_ = 0;
  bool before_destruction_done_ = false;
  std::vector<TComponent*> components_;     // owned
  std::vector<TComponent*> free_notifies_;  // borrowed, both directions
};

}  // namespace plx
