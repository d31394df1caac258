#pragma once
// The VARIANT that names one child of an accessible object to its methods:
// an integer child id, CHILDID_SELF for the object itself.
#include <windows.h>

#include <oleauto.h>

namespace plx::test {

inline VARIANT AccessibleChild(long id) {
  VARIANT child;
  VariantInit(&child);
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

}  // namespace plx::test
