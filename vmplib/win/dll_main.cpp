// vmplib.dll: the library's exports (vmplib.def) over the real bus system. It keeps no
// per-thread state, so thread notifications are switched off.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
