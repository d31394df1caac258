#pragma once
// Reading and writing a linked item's state through its published
// properties by name. Any failure reads as "not there"; nothing is raised.

#include <string_view>

#include "framework/Component.h"

namespace plx {

bool GetPropBooleanValue(TComponent* object, std::string_view name, bool& value);
bool SetPropBooleanValue(TComponent* object, std::string_view name, bool value);
bool SetPropNotifyEventValue(TComponent* object, std::string_view name, TNotifyEvent handler);

// "Down" when the item has it (never inverted), else "Checked" (inverted when
// asked), else false. A null item reads false.
bool GetItemChecked(TComponent* item, bool invertChecked);
// Writes "Down" when the item has it, else "Checked".
void SetItemChecked(TComponent* item, bool value);
void SetItemEnabled(TComponent* item, bool value);

}  // namespace plx
