#pragma once
// The seam to the fifteen exports of vmplib, through which the program's virtual ports reach
// the virtual MIDI bus.
//
// Implementations: the program imports the exports of vmplib.dll by name when it first needs
// them (midi/virtual/win/vmpl_api_win.cpp); an export that is missing, or the whole library,
// answers as a machine without the bus does (UnavailableVmplApi). Native builds default to that.
// Tests install a table of the library linked into the test over its stand-in bus.
//
// Lifecycle (base/seam.h): VmplApi() is the process-wide current table. SetVmplApi installs
// another (nullptr restores the default) while no virtual port is open or started; the table
// must outlive its use. Every function may be called from any thread.
#include "base/seam.h"
#include "vmplib/vmplib.h"

namespace kv {

struct TVmplApi {
  VMPL_GetVersionFn GetVersion;
  VMPL_GetPortCountFn GetPortCount;
  VMPL_GetPortInfoFn GetPortInfo;
  VMPL_DestroyInfoFn DestroyInfo;
  VMPL_AddPortFn AddPort;
  VMPL_RemovePortFn RemovePort;
  VMPL_ConnectFn Connect;
  VMPL_DisconnectFn Disconnect;
  VMPL_SendShortFn SendShort;
  VMPL_SendLongFn SendLong;
  VMPL_ReceiveFn Receive;
  VMPL_GetShortMessageLengthFn GetShortMessageLength;
  VMPL_IsBusInstalledFn IsBusInstalled;
  VMPL_InstallBusDriverFn InstallBusDriver;
  VMPL_UninstallBusDriverFn UninstallBusDriver;
};

// This build's default table.
const TVmplApi& DefaultVmplApi();
using TVmplApiSeam = TSeam<const TVmplApi, DefaultVmplApi>;
inline const TVmplApi& VmplApi() { return TVmplApiSeam::Get(); }
inline void SetVmplApi(const TVmplApi* api) { TVmplApiSeam::Set(api); }
using TVmplApiScope = TVmplApiSeam::TScope;

// Every function as on a machine without the bus: no version, no port count, bus errors.
const TVmplApi& UnavailableVmplApi();

}  // namespace kv
