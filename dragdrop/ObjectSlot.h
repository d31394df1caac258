#pragma once
// String lists carry a number beside a name in the entry's object slot (a
// storage medium beside a custom format name, file attributes beside a file
// name). The slot holds the number itself, never an object: it must not be
// dereferenced or freed. Platform-neutral.

#include <cstdint>

#include "framework/Component.h"

namespace plx {

inline TObject* ObjectSlotFromNumber(std::uintptr_t number) {
  return reinterpret_cast<TObject*>(number);
}

inline std::uintptr_t NumberFromObjectSlot(const TObject* slot) {
  return reinterpret_cast<std::uintptr_t>(slot);
}

}  // namespace plx
