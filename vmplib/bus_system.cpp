#include "vmplib/bus_system.h"

namespace kv::vmpl {

// The platform's own bus system: the real calls on Windows, a machine without a bus natively.
TBusSystem& DefaultBusSystem();

namespace {
constinit TSeam<TBusSystem> g_installed{DefaultBusSystem};
}  // namespace

TSeam<TBusSystem>& BusSystemSeam() {
  return g_installed;
}

}  // namespace kv::vmpl
