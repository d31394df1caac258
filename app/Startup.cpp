#include "app/Startup.h"

#include <windows.h>

namespace plx {

int RunApplication(const std::string& title, const std::function<void()>& createMainForm) {
  // Missing media (an empty removable drive probed while a file is looked
  // up) answers as a plain failure instead of a system box that waits for
  // the user; the bits already set stay.
  SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  try {
    Application().Initialize();
    Application().SetTitle(title);
    createMainForm();
    Application().Run();
  } catch (...) {
    Application().HandleException(&Application());
  }
  // No message loop runs any more to show what went wrong: shown here, while
  // the window a box belongs to is still there.
  Application().ShowPendingExceptions();
  // The windows go now, while OLE is still initialised: the list's window
  // revokes its drop-target registration as it is destroyed.
  try {
    Application().DestroyComponents();
  } catch (...) {
    Application().HandleException(&Application());
  }
  Application().ShowPendingExceptions();
  return 0;
}

}  // namespace plx
