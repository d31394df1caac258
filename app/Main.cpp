// The program's entry: the application object, the main window, the loop.
#include <windows.h>

#include "app/Form1.h"
#include "app/Startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return plx::RunApplication("Plexoria", [] { plx::Form1 = plx::Application().CreateForm<plx::TForm1>(); });
}
