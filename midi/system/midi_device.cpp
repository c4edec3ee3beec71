#include "midi/system/midi_device.h"

#include <algorithm>
#include <mutex>

#include "base/platform.h"
#include "base/text.h"
#include "base/utils.h"
#include "midi/system/registry_string.h"

namespace kv {

// --- TMidiDeviceBase ------------------------------------------------------------------------

void TMidiDeviceBase::Assign(const TMidiDeviceBase& other) {
  if (&other == this) return;
  deviceId_ = other.deviceId_;
  name_ = other.name_;
  devicePath_ = other.devicePath_;
  instanceNumber_ = other.instanceNumber_;
  OnError = other.OnError;
  feedbackCheck_ = other.feedbackCheck_;
}

std::string TMidiDeviceBase::GetDisplayName() const {
  if (instanceNumber_ >= 2) return name_ + " (" + IntToStr(instanceNumber_) + ")";
  return name_;
}

void TMidiDeviceBase::SetDeviceID(int32_t id) {
  if ((id >= 0 && id < GetDeviceCount()) || id == kMidiMapperDevice) {
    deviceId_ = id;
    std::string path, name;
    GetDeviceInfo(id, path, name);
    devicePath_ = path;
    name_ = name;
  } else {
    deviceId_ = kNoMidiDevice;
    name_.clear();
    devicePath_.clear();
  }
}

void TMidiDeviceBase::SetSlot(TMMMidiDev* slot, int index) {
  slot_ = slot;
  slotIndex_.store(index, std::memory_order_release);
}

void TMidiDeviceBase::Open() {
  if (deviceId_ == kNoMidiDevice || IsOpen()) return;
  const std::string displayName = GetDisplayName();
  if (feedbackCheck_ && WouldCreateFeedbackLoop(IsOutput(), displayName)) {
    throw EVirtualMIDIFeedback("Opening \"" + displayName +
                               "\" would create a virtual feedback loop !");
  }
  DoOpen();
  // A port that declined to open quietly must not count as open for the feedback check.
  if (IsOpen()) RegisterOpenPortName(IsOutput(), displayName);
}

void TMidiDeviceBase::Close() {
  if (IsOpen()) {
    const TMidiPortHandle handle = GetHandle();
    SetHandle(0);
    DoClose(handle);
  }
  UnregisterOpenPortName(IsOutput(), GetDisplayName());
}

void TMidiInputBase::Assign(const TMidiDeviceBase& other) {
  TMidiDeviceBase::Assign(other);
  const auto* input = dynamic_cast<const TMidiInputBase*>(&other);
  if (!input || input == this) return;
  SetShortMsgHook(input->GetShortMsgHook());
  SetSysExHook(input->GetSysExHook());
  OnOverflow = input->OnOverflow;
  OnShortMsg = input->OnShortMsg;
  OnSysEx = input->OnSysEx;
  SetPassActiveSensing(input->GetPassActiveSensing());
  SetPassTimingClock(input->GetPassTimingClock());
}

bool SameMidiDevice(const TMidiDeviceBase& a, const TMidiDeviceBase& b) {
  if (a.IsOutput() != b.IsOutput() || a.GetKindName() != b.GetKindName() ||
      a.GetName() != b.GetName()) {
    return false;
  }
  if (!a.GetDevicePath().empty()) return SameText(a.GetDevicePath(), b.GetDevicePath());
  return a.GetInstanceNumber() == b.GetInstanceNumber();
}

// --- open port names ------------------------------------------------------------------------

namespace {

struct TOpenPortNames {
  std::mutex mutex;                   // guards both lists
  std::vector<std::string> names[2];  // [0] inputs, [1] outputs
};

TOpenPortNames& OpenPortNames() {
  static TOpenPortNames lists;  // lives until program end
  return lists;
}

std::vector<std::string>::iterator FindName(std::vector<std::string>& list,
                                            const std::string& name) {
  return std::find_if(list.begin(), list.end(),
                      [&](const std::string& n) { return AnsiSameText(n, name); });
}

}  // namespace

void RegisterOpenPortName(bool isOutput, const std::string& name) {
  TOpenPortNames& lists = OpenPortNames();
  std::lock_guard<std::mutex> lock(lists.mutex);
  auto& list = lists.names[isOutput ? 1 : 0];
  if (FindName(list, name) == list.end()) list.push_back(name);
}

void UnregisterOpenPortName(bool isOutput, const std::string& name) {
  TOpenPortNames& lists = OpenPortNames();
  std::lock_guard<std::mutex> lock(lists.mutex);
  auto& list = lists.names[isOutput ? 1 : 0];
  auto it = FindName(list, name);
  if (it != list.end()) list.erase(it);
}

bool IsOpenPortName(bool isOutput, const std::string& name) {
  TOpenPortNames& lists = OpenPortNames();
  std::lock_guard<std::mutex> lock(lists.mutex);
  auto& list = lists.names[isOutput ? 1 : 0];
  return FindName(list, name) != list.end();
}

bool IsVirtualCablePortName(std::string_view name) {
  static constexpr std::string_view kPrefixes[] = {
      "LB1",           "LB2",    "LB3",           "LB4",  "MIDI Yoke Junction:",
      "MIDI Yoke NT:", "LoopBE", "Sonic Foundry", "Maple"};
  for (std::string_view prefix : kPrefixes) {
    if (name.size() >= prefix.size() && AnsiSameText(name.substr(0, prefix.size()), prefix)) {
      return true;
    }
  }
  return false;
}

bool WouldCreateFeedbackLoop(bool isOutput, const std::string& name) {
  return IsVirtualCablePortName(name) && IsOpenPortName(!isOutput, name);
}

int GetMidiMessageLength(uint8_t status) {
  if (status < 0x80) return 0;
  if (status < 0xC0) return 3;
  if (status < 0xE0) return 2;
  if (status < 0xF0) return 3;
  switch (status) {
    case 0xF0:
      return 1;
    case 0xF1:
      return 2;
    case 0xF2:
      return 3;
    case 0xF3:
      return 2;
    default:
      return 1;
  }
}

// --- USB names ------------------------------------------------------------------------------

bool IsPreVistaWindows() {
  static const bool preVista = !IsWindowsVistaOrLater();
  return preVista;
}

bool GetUsbPortName(const std::string& devicePath, std::string& name) {
  static constexpr std::string_view kUsbPrefix = "\\\\?\\usb#";
  if (!StrBeginsWith(devicePath, kUsbPrefix, true)) return false;
  const size_t firstStart = kUsbPrefix.size();
  const size_t firstEnd = devicePath.find('#', firstStart);
  if (firstEnd == std::string::npos) return false;
  const size_t secondEnd = devicePath.find('#', firstEnd + 1);
  if (secondEnd == std::string::npos) return false;
  const std::string key = "SYSTEM\\CurrentControlSet\\Enum\\USB\\" +
                          devicePath.substr(firstStart, firstEnd - firstStart) + "\\" +
                          devicePath.substr(firstEnd + 1, secondEnd - firstEnd - 1);
  constexpr size_t kMaxChars = 200;
  std::string service, location;
  if (!ReadLocalMachineString(key, "Service", kMaxChars, service)) return false;
  if (!SameText(service, "usbaudio")) return false;
  if (!ReadLocalMachineString(key, "LocationInformation", kMaxChars, location)) return false;
  // An empty location would leave the port nameless, and a nameless port is not listed.
  if (Trim(location).empty()) return false;
  name = location;
  return true;
}

}  // namespace kv
