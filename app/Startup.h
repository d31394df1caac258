#pragma once
// The entry's steps inside one exception guard.

#include <functional>
#include <string>

#include "framework/Application.h"

namespace plx {

// Turns the system's critical-error and missing-file boxes off for the
// process, initialises the application, sets its title, creates the main window with
// create_main_form and runs the loop. Any exception on the way is shown by
// the application object; the answer is always 0, the process's exit code.
int RunApplication(const std::string& title, const std::function<void()>& createMainForm);

}  // namespace plx
