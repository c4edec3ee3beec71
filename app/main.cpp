// Korvanta.exe: the program's entry.
#include <windows.h>

#include "app/win/main_window_hooks.h"
#include "app/win/program_main.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  kv::TMainWindowHooks hooks;
  return kv::RunKorvanta(hooks);
}
