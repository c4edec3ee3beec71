#include "vmplib/bus_system.h"

#include <atomic>

namespace kv::vmpl {

// The platform's own bus system: the real calls on Windows, a machine without a bus natively.
TBusSystem& DefaultBusSystem();

namespace {
std::atomic<TBusSystem*> g_installed{nullptr};
}  // namespace

TBusSystem& BusSystem() {
  TBusSystem* s = g_installed.load(std::memory_order_acquire);
  return s ? *s : DefaultBusSystem();
}

void SetBusSystem(TBusSystem* system) {
  g_installed.store(system, std::memory_order_release);
}

}  // namespace kv::vmpl
