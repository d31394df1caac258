#pragma once
// What a reader is told about a control that extends the system's edit
// control under a class name of our own. The platform knows an edit control
// through the class it really is (RealGetWindowClass); where that reports
// the system's class, the platform's own edit object answers, and nothing
// here is used. Where it reports our class name, the reader would see a
// plain client area: this object answers instead as the edit control's would
// (editable text whose value is the text).

#include <windows.h>

#include "framework/Controls.h"

namespace plx {

// Answers WM_GETOBJECT for the window's client object when the platform
// would not see the edit control in it; false leaves the message to the
// default handling.
bool AnswerEditClient(TMessage& message, HWND edit);

// Tells readers that the text changed, where the platform's edit object,
// which announces that itself, is not the one they were given.
void NotifyEditValueChanged(HWND edit);

}  // namespace plx
