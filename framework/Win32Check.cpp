// Windows-side framework translation unit; grows with the controls.
#include <windows.h>
#include "framework/Exception.h"
