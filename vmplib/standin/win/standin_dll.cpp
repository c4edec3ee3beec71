// vmplib_standin.dll: the library's exports over a stand-in bus of its own, for tests.
#include <windows.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "vmplib/standin/standin_bus.h"
#include "vmplib/standin/standin_dll.h"
#include "vmplib/vmplib.h"

namespace {

kv::vmpl::TStandInBus& Bus() {
  static kv::vmpl::TStandInBus bus;
  return bus;
}

// Bytes taken from the bus but not yet handed to the caller, per port index.
struct TPending {
  std::mutex lock;
  std::map<uint32_t, std::vector<uint8_t>> bytes;  // guarded by lock
};

TPending& Pending() {
  static TPending pending;
  return pending;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    kv::vmpl::SetBusSystem(&Bus());
  }
  return TRUE;
}

extern "C" uint32_t VMPLSTANDIN_SetPresent(uint32_t present) {
  Bus().SetPresent(present != 0);
  return 1;
}

extern "C" uint32_t VMPLSTANDIN_IsConnected(uint32_t index) {
  return Bus().IsConnected(index) ? 1 : 0;
}

extern "C" uint32_t VMPLSTANDIN_Cable(uint32_t from, uint32_t to) {
  if (from >= Bus().PortCount() || to >= Bus().PortCount()) return 0;
  Bus().Cable(from, to);
  return 1;
}

extern "C" uint32_t VMPLSTANDIN_InjectShort(uint32_t index, uint32_t packed, uint32_t length,
                                            uint32_t time) {
  return Bus().InjectShort(index, packed, length, time) ? 1 : 0;
}

extern "C" uint32_t VMPLSTANDIN_InjectSysEx(uint32_t index, const uint8_t* data, uint32_t length,
                                            uint32_t time) {
  if (!data && length) return 0;
  return Bus().InjectRecord(index, VMPL_KIND_SYSEX, time, std::vector<uint8_t>(data, data + length))
             ? 1
             : 0;
}

extern "C" uint32_t VMPLSTANDIN_TakeSent(uint32_t index, uint8_t* buffer, uint32_t capacity) {
  TPending& p = Pending();
  std::lock_guard lock(p.lock);
  std::vector<uint8_t>& pending = p.bytes[index];
  const std::vector<uint8_t> fresh = Bus().TakeSent(index);
  pending.insert(pending.end(), fresh.begin(), fresh.end());
  const uint32_t n = buffer ? std::min<uint32_t>(capacity, uint32_t(pending.size())) : 0;
  std::copy(pending.begin(), pending.begin() + n, buffer);
  pending.erase(pending.begin(), pending.begin() + n);
  return n;
}
