// Korvanta.exe: the program's entry.
#include <windows.h>

#include "app/win/shell_hooks.h"
#include "app/win/program_main.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  kv::TShellHooks hooks;
  return kv::RunKorvanta(hooks);
}
