#include "app/Startup.h"

namespace plx {

int RunApplication(const std::string& title, const std::function<void()>& create_main_form) {
  try {
    Application().Initialize();
    Application().SetTitle(title);
    create_main_form();
    Application().Run();
  } catch (...) {
    Application().HandleException(&Application());
  }
  // The windows go now, while OLE is still initialised: the list's window
  // revokes its drop-target registration as it is destroyed.
  try {
    Application().DestroyComponents();
  } catch (...) {
    Application().HandleException(&Application());
  }
  return 0;
}

}  // namespace plx
