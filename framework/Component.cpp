#include "framework/Component.h"

#include <algorithm>
#include <cctype>

#include "framework/Exception.h"

namespace plx {

void TPersistent::Assign(const TPersistent& source) { source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent&) const { throw Exception("Cannot assign"); }

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

void TComponent::operator delete(TComponent* component, std::destroying_delete_t) {
  component->BeforeDestruction();
  // The destructor is virtual: this runs the most derived one, whose address
  // is the block's (components use single inheritance from TComponent).
  component->~TComponent();
  ::operator delete(static_cast<void*>(component));
}

void TComponent::BeforeDestruction() {
  if (before_destruction_done_) return;
  before_destruction_done_ = true;
  TearDown();
}

// Objects on the stack reach the destructor without the first step; for the
// others this finds nothing left to do.
TComponent::~TComponent() { TearDown(); }

void TComponent::TearDown() {
  Destroying();
  // Tell those that hold a reference to us; each subscriber drops its link
  // back to us in RemoveFreeNotification/RemoveNotifier.
  while (!free_notifies_.empty()) {
    TComponent* other = free_notifies_.back();
    free_notifies_.pop_back();
    other->RemoveNotifier(this);
    other->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  auto same = [name](const std::string& other) {
    return other.size() == name.size() &&
           std::equal(other.begin(), other.end(), name.begin(), [](char a, char b) {
             return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
  };
  for (TComponent* c : components_)
    if (!name.empty() && same(c->Name())) return c;
  return nullptr;
}

void TComponent::Loaded() { state_ &= ~csLoading; }

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component) RemoveFreeNotification(component);
  // Copy: a handler may destroy or add components while we iterate.
  const std::vector<TComponent*> owned = components_;
  for (TComponent* c : owned)
    if (std::find(components_.begin(), components_.end(), c) != components_.end())
      c->Notification(component, operation);
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(free_notifies_.begin(), free_notifies_.end(), component) == free_notifies_.end()) {
    free_notifies_.push_back(component);
    component->free_notifies_.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  RemoveNotifier(component);
  if (component) component->RemoveNotifier(this);
}

void TComponent::RemoveNotifier(TComponent* component) {
  free_notifies_.erase(std::remove(free_notifies_.begin(), free_notifies_.end(), component), free_notifies_.end());
}

void TComponent::Destroying() {
  if (IsDestroying()) return;
  state_ |= csDestroying;
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* last = components_.back();
    delete last;  // its destructor removes it from components_
  }
}

void TComponent::InsertComponent(TComponent* component) {
  components_.push_back(component);
  component->owner_ = this;
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  Notification(component, TOperation::opRemove);
  components_.erase(std::remove(components_.begin(), components_.end(), component), components_.end());
  component->owner_ = nullptr;
}

}  // namespace plx
