#include "midi/system/system_device_info.h"

#include "midi/system/midi_device.h"
#include "midi/system/winmm_midi.h"

namespace kv {

namespace {

constexpr uint32_t kMaxPathChars = 10000;

std::string QueryInterfacePath(TWinmmMidi& api, bool isOutput, uint32_t id) {
  uint32_t bytes = 0;
  const TMmResult sized =
      isOutput ? api.OutQueryInterfaceSize(id, bytes) : api.InQueryInterfaceSize(id, bytes);
  const uint32_t chars = bytes / 2;
  if (sized != kMmNoError || chars == 0 || chars >= kMaxPathChars) return {};
  std::string path;
  const TMmResult read =
      isOutput ? api.OutQueryInterface(id, bytes, path) : api.InQueryInterface(id, bytes, path);
  if (read != kMmNoError || path.size() <= 2) return {};
  return path;
}

}  // namespace

void GetSystemDeviceInfo(bool isOutput, int32_t id, std::string& path, std::string& name) {
  TWinmmMidi& api = WinmmMidi();
  const uint32_t deviceId = static_cast<uint32_t>(id);
  std::string capsName;
  const TMmResult r =
      isOutput ? api.OutGetDevName(deviceId, capsName) : api.InGetDevName(deviceId, capsName);
  name = r == kMmNoError ? capsName : std::string();
  path = QueryInterfacePath(api, isOutput, deviceId);
  if (!path.empty() && IsPreVistaWindows()) GetUsbPortName(path, name);
}

}  // namespace kv
