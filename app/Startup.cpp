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
  return 0;
}

}  // namespace plx
