// Korvanta.exe: the program's entry.
#include <windows.h>

#include "app/main_window/win/shell_hooks.h"
#include "app/main_window/win/program_main.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  kv::TShellHooks hooks;
  return kv::RunKorvanta(hooks);
}
