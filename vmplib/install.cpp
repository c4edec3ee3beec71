// Putting the bus driver on the machine and taking it off: VMPL_InstallBusDriver and
// VMPL_UninstallBusDriver.
#include <string>

#include "vmplib/caller_memory.h"
#include "vmplib/device_setup.h"
#include "vmplib/guard.h"
#include "vmplib/port_record.h"
#include "vmplib/vmplib.h"

namespace kv::vmpl {

namespace {

// The longest path the system takes.
constexpr size_t kMaxInfPathChars = 32767;

enum class Scan { Found, NotFound, Failed };

Scan FindDevice(TDeviceSet& set, std::u16string_view id) {
  std::vector<char16_t> ids;
  for (uint32_t i = 0;; ++i) {
    switch (set.HardwareIds(i, ids)) {
      case TDeviceSet::Ids::Ok:
        if (MultiStringContains(ids, id)) return Scan::Found;
        break;
      case TDeviceSet::Ids::None:
        break;
      case TDeviceSet::Ids::End:
        return Scan::NotFound;
      case TDeviceSet::Ids::Error:
        return Scan::Failed;
    }
  }
}

bool CreateBusDevice(TDeviceSetup& setup, std::u16string_view infPath, bool& reboot) {
  std::u16string idList(kBusHardwareId);
  idList.push_back(0);  // the list's own terminator; the string's comes with c_str
  std::unique_ptr<TNewDevice> device = setup.RegisterDevice(infPath, idList);
  if (!device) return false;
  if (setup.UpdateDriver(kBusHardwareId, infPath, reboot)) return true;
  // A device the driver did not install on is not left behind.
  device->Remove();
  return false;
}

bool RemoveDevicesWithHardwareId(TDeviceSetup& setup, std::u16string_view id, bool presentOnly) {
  std::unique_ptr<TDeviceSet> set = setup.OpenDevices(presentOnly);
  if (!set) return false;
  bool removed = false;
  std::vector<char16_t> ids;
  for (uint32_t i = 0;; ++i) {
    const TDeviceSet::Ids r = set->HardwareIds(i, ids);
    if (r == TDeviceSet::Ids::End || r == TDeviceSet::Ids::Error) break;
    if (r != TDeviceSet::Ids::Ok || !MultiStringContains(ids, id)) continue;
    if (!set->Remove(i)) continue;
    removed = true;
    if (presentOnly && set->RestartNeeded()) setup.PromptRestart();
  }
  return removed;
}

bool HasWildcard(std::u16string_view path) {
  return path.find_first_of(u"*?") != std::u16string_view::npos;
}

}  // namespace

bool MultiStringContains(const std::vector<char16_t>& ids, std::u16string_view id) {
  size_t at = 0;
  while (at < ids.size() && ids[at] != 0) {
    size_t end = at;
    while (end < ids.size() && ids[end] != 0) ++end;
    if (std::u16string_view(ids.data() + at, end - at) == id) return true;
    at = end + 1;
  }
  return false;
}

}  // namespace kv::vmpl

using namespace kv::vmpl;

extern "C" uint32_t VMPL_InstallBusDriver(const VMPL_Char* infPath, int32_t* rebootNeeded) {
  if (rebootNeeded && !WriteCaller(rebootNeeded, int32_t(0))) return VMPL_ERR_INVALID_PARAMETER;
  const uint32_t r = Guarded([&]() -> uint32_t {
    std::u16string copied;
    if (!infPath || ReadCallerString(infPath, kMaxInfPathChars, copied) != TCallerString::Read ||
        copied.empty()) {
      return VMPL_ERR_INVALID_PARAMETER;
    }
    const std::u16string_view path = copied;
    TDeviceSetup& setup = DeviceSetup();
    // A folder or a pattern is no .INF file, whatever a file search would find for it.
    if (HasWildcard(path) || !setup.InfFileExists(path)) return VMPL_ERR_INVALID_PARAMETER;
    std::unique_ptr<TDeviceSet> set = setup.OpenDevices(true);
    if (!set) return VMPL_ERR_BUS_INSTALL;
    const Scan scan = FindDevice(*set, kBusHardwareId);
    set.reset();
    bool reboot = false;
    bool ok = false;
    if (scan == Scan::Found) {
      ok = setup.UpdateDriver(kBusHardwareId, path, reboot);
    } else if (scan == Scan::NotFound) {
      ok = CreateBusDevice(setup, path, reboot);
    }
    if (reboot && rebootNeeded) WriteCaller(rebootNeeded, int32_t(1));
    return ok ? VMPL_OK : VMPL_ERR_BUS_INSTALL;
  });
  // Only these three answers exist: running out of memory is a failed install too.
  return r == VMPL_OK || r == VMPL_ERR_INVALID_PARAMETER ? r : VMPL_ERR_BUS_INSTALL;
}

extern "C" uint32_t VMPL_UninstallBusDriver(void) {
  const uint32_t r = Guarded([&]() -> uint32_t {
    TDeviceSetup& setup = DeviceSetup();
    if (!RemoveDevicesWithHardwareId(setup, kBusHardwareId, true)) return VMPL_ERR_BUS_REMOVE;
    setup.DeleteDevConfig();
    RemoveDevicesWithHardwareId(setup, kPortHardwareId, false);
    return VMPL_OK;
  });
  return r == VMPL_OK ? r : VMPL_ERR_BUS_REMOVE;
}
