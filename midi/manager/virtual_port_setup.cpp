#include "midi/manager/virtual_port_setup.h"

#include <atomic>
#include <set>
#include <vector>

#include "base/text.h"
#include "base/utils.h"
#include "midi/system/midi_device.h"
#include "midi/manager/midi_manager.h"
#include "midi/system/port_text.h"
#include "midi/virtual/virtual_port.h"

namespace kv {

namespace {

class TDefaultSetupHost final : public TVirtualPortSetupHost {
 public:
  bool ConfirmWarning(const std::string&) override { return true; }
  bool ErrorOkCancel(const std::string&) override { return true; }
  void Error(const std::string&) override {}
};

std::atomic<TVirtualPortSetupHost*> gHost{nullptr};

TVirtualPortSetupHost& Host() {
  static TDefaultSetupHost fallback;
  TVirtualPortSetupHost* host = gHost.load(std::memory_order_acquire);
  return host ? *host : fallback;
}

constexpr const char* kRemoveWarning =
    "You have chosen to remove virtual MIDI ports.\r\n"
    "Please close all applications that currently use these ports.\r\n"
    "Press OK when you are ready, or cancel to abort removing ports.";
constexpr const char* kNoBusError =
    "Error: Virtual MIDI bus driver not installed.\r\n"
    "Please run the installation program again to add virtual MIDI ports.";
constexpr const char* kAddWarning =
    "You have chosen to add virtual MIDI ports.\r\n"
    "These ports are implemented as drivers, so Windows may\r\n"
    "show the New Hardware dialog (multiple times).\r\n"
    "1. Choose \"No, not this time\" when prompted for Windows Update.\r\n"
    "2. Choose \"Install the software automatically\"\r\n"
    "3. Choose \"Continue anyway\" when the unsigned driver warning appears.\r\n"
    "Press OK to continue driver installation.";

bool HasOutputSide(uint32_t type) {
  return type == VMPL_PORT_OUTPUT || type == VMPL_PORT_BOTH;
}
bool HasInputSide(uint32_t type) {
  return type == VMPL_PORT_INPUT || type == VMPL_PORT_BOTH;
}

// A port about to be removed is closed in the manager first (its slot is looked for among
// the virtual slots, never added): otherwise its slot would stay open on a port that no
// longer exists until the next scan.
void ClosePortSlot(const std::string& displayName, bool isInput) {
  if (!MidiManagerExists()) return;
  TMidiManager& manager = MidiManager();
  const int index = manager.FindOrAddDevice(displayName, isInput, true, false);
  if (index >= 0) manager.CloseDevice(index, isInput, false);
}

int RemovePorts(std::vector<TVmplInfoPtr>& list, size_t target, bool ask,
                TVirtualPortSetupHost& host) {
  if (ask && !host.ConfirmWarning(kRemoveWarning)) return kVirtualPortsFailed;
  for (size_t index = list.size(); index-- > target;) {
    const VMPL_PortInfo& info = *list[index];
    const std::string outName = NarrowFromUtf16(VmplText(info.outName));
    const std::string inName = NarrowFromUtf16(VmplText(info.inName));
    if (HasOutputSide(info.type)) ClosePortSlot(MakeVirtualOutName(outName), false);
    if (HasInputSide(info.type)) ClosePortSlot(MakeVirtualInName(inName), true);
    const uint32_t r = VmplApi().RemovePort(&info);
    if (r == VMPL_OK) continue;
    const std::string& name = HasOutputSide(info.type) ? outName : inName;
    if (!host.ErrorOkCancel("Problem removing port \"" + name + "\":\r\n" + GetVmplErrorText(r))) {
      return kVirtualPortsFailed;
    }
  }
  return kVirtualPortsAsWanted;
}

std::string DeviceNameOf(const std::string& base, size_t number) {
  return base + IntToStrZeroPad(static_cast<int64_t>(number), 4);
}

// The count smallest numbers whose device names no listed port has: ports removed from the
// middle of the list leave gaps, and numbering on from the list's length would take a name
// that is still in use.
std::vector<size_t> FreeNumbers(const std::string& base, const std::vector<TVmplInfoPtr>& list,
                                size_t count) {
  std::set<std::string> used;
  for (const TVmplInfoPtr& info : list) {
    used.insert(UpperCase(NarrowFromUtf16(VmplText(info->deviceName))));
  }
  std::vector<size_t> numbers;
  for (size_t i = 0; numbers.size() < count; ++i) {
    if (used.count(UpperCase(DeviceNameOf(base, i))) == 0) numbers.push_back(i);
  }
  return numbers;
}

int AddPorts(const std::string& base, const std::string& title, const std::vector<size_t>& numbers,
             bool ask, bool numbered, TVirtualPortSetupHost& host) {
  if (!IsVirtualMidiBusAvailable()) {
    host.Error(kNoBusError);
    return kVirtualPortsFailed;
  }
  if (ask && IsPreVistaWindows() && !host.ConfirmWarning(kAddWarning)) return kVirtualPortsFailed;
  const std::string outPrefix = GetVirtualOutputPrefix();
  const std::string inPrefix = GetVirtualInputPrefix();
  for (const size_t i : numbers) {
    const std::string name =
        numbered ? title + " " + IntToStr(static_cast<int64_t>(i / 2 + 1)) : title;
    const std::u16string deviceName = Utf16FromNarrow(DeviceNameOf(base, i));
    const std::u16string outName = Utf16FromNarrow(outPrefix + name);
    const std::u16string inName = Utf16FromNarrow(inPrefix + name);
    VMPL_PortDesc desc{};
    desc.version = VMPL_VERSION;
    desc.value = 0;
    desc.deviceName = deviceName.c_str();
    const bool outputSide = i % 2 == 0;
    desc.type = outputSide ? VMPL_PORT_OUTPUT : VMPL_PORT_INPUT;
    desc.outName = outputSide ? outName.c_str() : nullptr;
    desc.inName = outputSide ? nullptr : inName.c_str();
    const uint32_t r = VmplApi().AddPort(&desc);
    if (r != VMPL_OK) {
      host.Error("Unable to add port \"" + name + "\":\r\n" + GetVmplErrorText(r));
      return kVirtualPortsFailed;
    }
  }
  return kVirtualPortsAsWanted;
}

}  // namespace

void SetVirtualPortSetupHost(TVirtualPortSetupHost* host) {
  gHost.store(host, std::memory_order_release);
}

int SetVirtualPortCount(const std::string& nameBase, const std::string& title, int count, bool ask,
                        bool numbered, TVirtualPortSetupHost* host) {
  TVirtualPortSetupHost& answers = host ? *host : Host();
  std::string base = nameBase;
  CleanPortName(base);
  std::vector<TVmplInfoPtr> list;
  ListVirtualPorts(list, Utf16FromNarrow(base));
  const size_t target = static_cast<size_t>(count < 0 ? 0 : count) * 2;
  const size_t present = list.size();
  if (target == present) return kVirtualPortsAsWanted;
  if (target < present) return RemovePorts(list, target, ask, answers);
  return AddPorts(base, title, FreeNumbers(base, list, target - present), ask, numbered, answers);
}

}  // namespace kv
