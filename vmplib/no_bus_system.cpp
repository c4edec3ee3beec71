// The native build's default bus system: a machine on which the bus driver is not installed.
// Memory, events and identifiers work; no device opens.
#include <random>
#include <thread>

#include "vmplib/bus_system.h"
#include "vmplib/local_objects.h"

namespace kv::vmpl {
namespace {

class TNoBusSystem : public TBusSystem {
 public:
  OsHandle OpenBusControlDevice() override { return 0; }
  OsHandle OpenPortDevice(std::u16string_view) override { return 0; }
  void CloseDevice(OsHandle) override {}
  bool BusControl(OsHandle, uint32_t, const void*, uint32_t, void*, uint32_t,
                  uint32_t& returned) override {
    returned = 0;
    return false;
  }
  uint32_t PortControl(OsHandle, uint32_t, const void*, uint32_t) override { return 6; }
  uint8_t* AllocBlock() override { return AllocLocalBlock(); }
  void FreeBlock(uint8_t* block) override { FreeLocalBlock(block); }
  OsHandle MakeEvent() override { return events_.Create(); }
  void SignalEvent(OsHandle e) override { events_.Signal(e); }
  void WaitEvent(OsHandle e) override { events_.Wait(e); }
  void CloseEvent(OsHandle e) override { events_.Close(e); }
  bool CreateIdentifier(uint8_t (&id)[16]) override {
    std::random_device rd;
    for (auto& b : id) b = uint8_t(rd());
    return true;
  }
  bool ReadNameValue(std::u16string_view, RegistryValue&) override { return false; }
  void Sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

 private:
  TLocalEvents events_;
};

}  // namespace

TBusSystem& DefaultBusSystem() {
  static TNoBusSystem system;
  return system;
}

}  // namespace kv::vmpl
