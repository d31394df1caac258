#include "chrome/ItemProperties.h"

#include "framework/Properties.h"

namespace plx {

bool GetPropBooleanValue(TComponent* object, std::string_view name, bool& value) {
  return object && GetBoolProp(object, name, value);
}

bool SetPropBooleanValue(TComponent* object, std::string_view name, bool value) {
  return object && SetBoolProp(object, name, value);
}

bool SetPropNotifyEventValue(TComponent* object, std::string_view name, TNotifyEvent handler) {
  return object && SetEventProp(object, name, std::move(handler));
}

bool GetItemChecked(TComponent* item, bool invertChecked) {
  if (!item) return false;
  bool value = false;
  if (GetPropBooleanValue(item, "Down", value)) return value;
  if (GetPropBooleanValue(item, "Checked", value)) return invertChecked ? !value : value;
  return false;
}

void SetItemChecked(TComponent* item, bool value) {
  if (!item) return;
  if (GetPropInfo(item, "Down", TPropertyKind::Boolean))
    SetPropBooleanValue(item, "Down", value);
  else
    SetPropBooleanValue(item, "Checked", value);
}

void SetItemEnabled(TComponent* item, bool value) { SetPropBooleanValue(item, "Enabled", value); }

}  // namespace plx
