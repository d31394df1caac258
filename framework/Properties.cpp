#include "framework/Properties.h"

#include <algorithm>
#include <cctype>

namespace plx {
namespace {

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

template <class F>
bool Guarded(F&& f) {
  try {
    f();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

const TPropertyInfo* TPropertyTable::Find(std::string_view name) const {
  for (const TPropertyInfo& p : properties_)
    if (SameText(p.name, name)) return &p;
  return base_ ? base_->Find(name) : nullptr;
}

const TPropertyInfo* GetPropInfo(const TComponent* object, std::string_view name, TPropertyKind kind) {
  if (!object) return nullptr;
  const TPropertyTable* table = object->PublishedProperties();
  const TPropertyInfo* info = table ? table->Find(name) : nullptr;
  return info && info->kind == kind ? info : nullptr;
}

bool GetBoolProp(TComponent* object, std::string_view name, bool& value) {
  const TPropertyInfo* p = GetPropInfo(object, name, TPropertyKind::Boolean);
  return p && Guarded([&] { value = p->getBool(object); });
}

bool SetBoolProp(TComponent* object, std::string_view name, bool value) {
  const TPropertyInfo* p = GetPropInfo(object, name, TPropertyKind::Boolean);
  return p && Guarded([&] { p->setBool(object, value); });
}

bool GetIntProp(TComponent* object, std::string_view name, long long& value) {
  const TPropertyInfo* p = GetPropInfo(object, name, TPropertyKind::Integer);
  return p && Guarded([&] { value = p->getInt(object); });
}

bool SetIntProp(TComponent* object, std::string_view name, long long value) {
  const TPropertyInfo* p = GetPropInfo(object, name, TPropertyKind::Integer);
  return p && Guarded([&] { p->setInt(object, value); });
}

bool GetComponentProp(TComponent* object, std::string_view name, TComponent*& value) {
  const TPropertyInfo* p = GetPropInfo(object, name, TPropertyKind::Component);
  return p && Guarded([&] { value = p->getComponent(object); });
}

bool SetComponentProp(TComponent* object, std::string_view name, TComponent* value) {
  const TPropertyInfo* p = GetPropInfo(object, name, TPropertyKind::Component);
  return p && Guarded([&] { p->setComponent(object, value); });
}

bool GetEventProp(TComponent* object, std::string_view name, TNotifyEvent& value) {
  const TPropertyInfo* p = GetPropInfo(object, name, TPropertyKind::Event);
  return p && Guarded([&] { value = p->getEvent(object); });
}

bool SetEventProp(TComponent* object, std::string_view name, TNotifyEvent value) {
  const TPropertyInfo* p = GetPropInfo(object, name, TPropertyKind::Event);
  return p && Guarded([&] { p->setEvent(object, std::move(value)); });
}

}  // namespace plx
