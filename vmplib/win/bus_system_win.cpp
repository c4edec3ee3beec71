// The real bus system: the bus driver's device interfaces, control requests, virtual memory,
// events, identifiers and registry.
#include <windows.h>
#include <rpc.h>
#include <setupapi.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "vmplib/bus_control.h"
#include "vmplib/bus_system.h"
#include "vmplib/win/registry_name.h"

namespace kv::vmpl {
namespace {

HANDLE H(OsHandle h) {
  return reinterpret_cast<HANDLE>(uintptr_t(h));
}

OsHandle FromHandle(HANDLE h) {
  return h == INVALID_HANDLE_VALUE || !h ? 0 : OsHandle(reinterpret_cast<uintptr_t>(h));
}

struct TDevInfoList {
  HDEVINFO set;
  ~TDevInfoList() {
    if (set != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(set);
  }
};

class TWinBusSystem : public TBusSystem {
 public:
  OsHandle OpenBusControlDevice() override {
    const BusInterfaceGuid g;
    GUID guid;
    guid.Data1 = g.data1;
    guid.Data2 = g.data2;
    guid.Data3 = g.data3;
    std::copy(std::begin(g.data4), std::end(g.data4), guid.Data4);
    TDevInfoList list{
        SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE)};
    if (list.set == INVALID_HANDLE_VALUE) return 0;
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof iface;
    if (!SetupDiEnumDeviceInterfaces(list.set, nullptr, &guid, 0, &iface)) return 0;
    DWORD needed = 0;
    SetupDiGetDeviceInterfaceDetailW(list.set, &iface, nullptr, 0, &needed, nullptr);
    if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return 0;
    std::vector<uint8_t> buffer(needed);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(list.set, &iface, detail, needed, nullptr, nullptr)) {
      return 0;
    }
    return FromHandle(CreateFileW(detail->DevicePath, 0, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  }

  OsHandle OpenPortDevice(std::u16string_view path) override {
    const std::wstring p(path.begin(), path.end());
    return FromHandle(
        CreateFileW(p.c_str(), 0, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  }

  void CloseDevice(OsHandle device) override { CloseHandle(H(device)); }

  bool BusControl(OsHandle device, uint32_t code, const void* in, uint32_t inLength, void* out,
                  uint32_t outLength, uint32_t& returned) override {
    DWORD n = 0;
    const BOOL ok = DeviceIoControl(H(device), code, const_cast<void*>(in), inLength, out,
                                    outLength, &n, nullptr);
    returned = n;
    return ok != FALSE;
  }

  uint32_t PortControl(OsHandle device, uint32_t code, const void* in, uint32_t inLength) override {
    OVERLAPPED ov{};
    ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!ov.hEvent) return GetLastError();
    DWORD n = 0;
    uint32_t result = 0;
    if (!DeviceIoControl(H(device), code, const_cast<void*>(in), inLength, nullptr, 0, &n, &ov)) {
      result = GetLastError();
      if (result == ERROR_IO_PENDING) {
        result = GetOverlappedResult(H(device), &ov, &n, TRUE) ? 0 : GetLastError();
      }
    }
    CloseHandle(ov.hEvent);
    return result;
  }

  uint8_t* AllocBlock() override {
    return static_cast<uint8_t*>(
        VirtualAlloc(nullptr, kBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  }
  void FreeBlock(uint8_t* block) override { VirtualFree(block, 0, MEM_RELEASE); }

  OsHandle MakeEvent() override { return FromHandle(CreateEventW(nullptr, FALSE, FALSE, nullptr)); }
  void SignalEvent(OsHandle event) override { SetEvent(H(event)); }
  void WaitEvent(OsHandle event) override { WaitForSingleObject(H(event), INFINITE); }
  void CloseEvent(OsHandle event) override { CloseHandle(H(event)); }

  bool CreateIdentifier(uint8_t (&id)[16]) override {
    UUID u;
    const RPC_STATUS s = UuidCreate(&u);
    if (s != RPC_S_OK && s != RPC_S_UUID_LOCAL_ONLY) return false;
    std::memcpy(id, &u, 16);
    return true;
  }

  bool ReadNameValue(std::u16string_view keyPath, RegistryValue& value) override {
    return win::ReadHklmNameValue(keyPath, value);
  }

  void Sleep(uint32_t ms) override { ::Sleep(ms); }
};

}  // namespace

TBusSystem& DefaultBusSystem() {
  static TWinBusSystem system;
  return system;
}

}  // namespace kv::vmpl
