#pragma once
// Builds a form's component tree in code the way a layout reader would:
// components are created depth first with the loading flag on and their
// properties set; once the caller has resolved the references between them,
// Finish() calls Loaded() on each in creation order, then on the root.

#include <string>
#include <vector>

#include "framework/Controls.h"

namespace plx {

class TLayoutBuilder {
 public:
  explicit TLayoutBuilder(TComponent& root) : root_(root) { root_.BeginLoading(); }
  TLayoutBuilder(const TLayoutBuilder&) = delete;
  TLayoutBuilder& operator=(const TLayoutBuilder&) = delete;

  // Creates a component owned by the root, named, in loading state.
  template <class T>
  T* Create(const char* name) {
    T* component = new T(&root_);
    component->BeginLoading();
    component->SetName(name);
    created_.push_back(component);
    return component;
  }

  // Creates a control owned by the root, placed on parent at its bounds.
  template <class T>
  T* Create(const char* name, TWinControl* parent, int left, int top, int width, int height, int tabOrder = -1) {
    T* control = Create<T>(name);
    control->SetBounds(left, top, width, height);
    control->SetTabOrder(tabOrder);
    control->SetParent(parent);
    return control;
  }

  void Finish() {
    for (TComponent* component : created_) component->Loaded();
    root_.Loaded();
  }

 private:
  TComponent& root_;
  std::vector<TComponent*> created_;  // owned by root_
};

}  // namespace plx
