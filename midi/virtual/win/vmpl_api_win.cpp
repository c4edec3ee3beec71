// vmplib.dll's exports, imported by name the first time the program needs them. The library
// stays loaded for the rest of the run: receive threads may be inside it until the end.
#include <windows.h>

#include "midi/virtual/vmpl_api.h"

namespace kv {

namespace {

template <typename Fn>
void Import(HMODULE module, const char* name, Fn& slot) {
  if (!module) return;
  // Through the generic function type, which the compiler accepts for any signature.
  if (FARPROC proc = GetProcAddress(module, name)) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
  }
}

TVmplApi LoadVmplib() {
  TVmplApi api = UnavailableVmplApi();
  HMODULE module = LoadLibraryW(L"vmplib.dll");
  Import(module, "VMPL_GetVersion", api.GetVersion);
  Import(module, "VMPL_GetPortCount", api.GetPortCount);
  Import(module, "VMPL_GetPortInfo", api.GetPortInfo);
  Import(module, "VMPL_DestroyInfo", api.DestroyInfo);
  Import(module, "VMPL_AddPort", api.AddPort);
  Import(module, "VMPL_RemovePort", api.RemovePort);
  Import(module, "VMPL_Connect", api.Connect);
  Import(module, "VMPL_Disconnect", api.Disconnect);
  Import(module, "VMPL_SendShort", api.SendShort);
  Import(module, "VMPL_SendLong", api.SendLong);
  Import(module, "VMPL_Receive", api.Receive);
  Import(module, "VMPL_GetShortMessageLength", api.GetShortMessageLength);
  Import(module, "VMPL_IsBusInstalled", api.IsBusInstalled);
  Import(module, "VMPL_InstallBusDriver", api.InstallBusDriver);
  Import(module, "VMPL_UninstallBusDriver", api.UninstallBusDriver);
  return api;
}

}  // namespace

const TVmplApi& DefaultVmplApi() {
  static const TVmplApi api = LoadVmplib();
  return api;
}

}  // namespace kv
