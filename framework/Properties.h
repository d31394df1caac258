#pragma once
// Published properties found by name and read or written typed. Only classes
// whose properties are looked up by name register a table. Platform-neutral.

#include <functional>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "framework/Component.h"

namespace plx {

enum class TPropertyKind { Boolean, Integer, Component, Event };

struct TPropertyInfo {
  std::string name;
  TPropertyKind kind;
  // Accessors take the object whose class registered the table.
  std::function<bool(TObject*)> getBool;
  std::function<void(TObject*, bool)> setBool;
  std::function<long long(TObject*)> getInt;
  std::function<void(TObject*, long long)> setInt;
  std::function<TComponent*(TObject*)> getComponent;
  std::function<void(TObject*, TComponent*)> setComponent;
  std::function<TNotifyEvent(TObject*)> getEvent;
  std::function<void(TObject*, TNotifyEvent)> setEvent;
};

// The properties of one class, chained to those of its base class.
class TPropertyTable {
 public:
  explicit TPropertyTable(const TPropertyTable* base = nullptr) : base_(base) {}

  template <class T>
  TPropertyTable& Boolean(std::string name, bool (T::*get)() const, void (T::*set)(bool)) {
    TPropertyInfo info{std::move(name), TPropertyKind::Boolean, {}, {}, {}, {}, {}, {}, {}, {}};
    info.getBool = [get](TObject* o) { return (static_cast<T*>(o)->*get)(); };
    info.setBool = [set](TObject* o, bool v) { (static_cast<T*>(o)->*set)(v); };
    properties_.push_back(std::move(info));
    return *this;
  }

  template <class T, class V>
  TPropertyTable& Integer(std::string name, V (T::*get)() const, void (T::*set)(V)) {
    TPropertyInfo info{std::move(name), TPropertyKind::Integer, {}, {}, {}, {}, {}, {}, {}, {}};
    info.getInt = [get](TObject* o) { return static_cast<long long>((static_cast<T*>(o)->*get)()); };
    info.setInt = [set](TObject* o, long long v) { (static_cast<T*>(o)->*set)(static_cast<V>(v)); };
    properties_.push_back(std::move(info));
    return *this;
  }

  // The getter and setter may come from different classes of one hierarchy.
  template <class T, class C, class S>
  TPropertyTable& Component(std::string name, C* (T::*get)() const, void (S::*set)(C*)) {
    TPropertyInfo info{std::move(name), TPropertyKind::Component, {}, {}, {}, {}, {}, {}, {}, {}};
    info.getComponent = [get](TObject* o) -> TComponent* { return (static_cast<T*>(o)->*get)(); };
    info.setComponent = [set](TObject* o, TComponent* v) {
      C* typed = v ? dynamic_cast<C*>(v) : nullptr;
      if (v && !typed) throw std::bad_cast();
      (static_cast<S*>(static_cast<T*>(o))->*set)(typed);
    };
    properties_.push_back(std::move(info));
    return *this;
  }

  template <class T>
  TPropertyTable& Event(std::string name, TNotifyEvent T::*member) {
    TPropertyInfo info{std::move(name), TPropertyKind::Event, {}, {}, {}, {}, {}, {}, {}, {}};
    info.getEvent = [member](TObject* o) { return static_cast<T*>(o)->*member; };
    info.setEvent = [member](TObject* o, const TNotifyEvent& v) { static_cast<T*>(o)->*member = v; };
    properties_.push_back(std::move(info));
    return *this;
  }

  // Case-insensitive; the class's own properties hide its base's.
  const TPropertyInfo* Find(std::string_view name) const;

 private:
  const TPropertyTable* base_;
  std::vector<TPropertyInfo> properties_;
};

// Lookups on an object. Each answers false (or does nothing) when the object
// has no published property of that name and kind, and swallows failures of
// the accessors, reporting them as false.
const TPropertyInfo* GetPropInfo(const TComponent* object, std::string_view name, TPropertyKind kind);
bool GetBoolProp(TComponent* object, std::string_view name, bool& value);
bool SetBoolProp(TComponent* object, std::string_view name, bool value);
bool GetIntProp(TComponent* object, std::string_view name, long long& value);
bool SetIntProp(TComponent* object, std::string_view name, long long value);
bool GetComponentProp(TComponent* object, std::string_view name, TComponent*& value);
bool SetComponentProp(TComponent* object, std::string_view name, TComponent* value);
bool GetEventProp(TComponent* object, std::string_view name, TNotifyEvent& value);
bool SetEventProp(TComponent* object, std::string_view name, TNotifyEvent value);

}  // namespace plx
