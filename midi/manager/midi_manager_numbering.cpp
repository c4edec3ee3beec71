// How the manager finds ports and tells ports of equal names apart.
#include "base/text.h"
#include "midi/system/midi_input.h"
#include "midi/manager/midi_manager.h"
#include "midi/system/midi_output.h"

namespace kv {

namespace {

class TSystemPorts final : public TMidiPortEnumerator {
 public:
  void EnumVirtualInputs(TMidiDeviceList& list, const std::u16string& filter) override {
    TVMidiInput::EnumDevices(list, filter);
  }
  void EnumVirtualOutputs(TMidiDeviceList& list, const std::u16string& filter) override {
    TVMidiOutput::EnumDevices(list, filter);
  }
  void EnumVirtualInputNames(TVirtualPortNames& list, const std::u16string& filter) override {
    TVMidiInput::EnumDeviceNames(list, filter);
  }
  void EnumVirtualOutputNames(TVirtualPortNames& list, const std::u16string& filter) override {
    TVMidiOutput::EnumDeviceNames(list, filter);
  }
  void EnumSystemInputs(TMidiDeviceList& list) override { TMidiInput::EnumDevices(list); }
  void EnumSystemOutputs(TMidiDeviceList& list, bool withMapper) override {
    TMidiOutput::EnumDevices(list, withMapper);
  }
};

}  // namespace

TMidiPortEnumerator& DefaultMidiPortEnumerator() {
  static TSystemPorts ports;
  return ports;
}

void NumberDuplicatePorts(TMidiDeviceList& list) {
  for (auto& d : list) d->SetInstanceNumber(0);
  for (size_t k = 1; k < list.size(); ++k) {
    TMidiDeviceBase& device = *list[k];
    int number = device.GetInstanceNumber();
    for (size_t j = 0; j < k; ++j) {
      TMidiDeviceBase& earlier = *list[j];
      if (!AnsiSameText(earlier.GetName(), device.GetName())) continue;
      if (earlier.GetInstanceNumber() == 0) earlier.SetInstanceNumber(1);
      ++number;
    }
    device.SetInstanceNumber(number > 0 ? number + 1 : 0);
  }
  // Two entries that are one device (same path) cannot be told apart by number: the number
  // becomes part of the name.
  for (size_t k = 0; k < list.size(); ++k) {
    for (size_t j = k + 1; j < list.size(); ++j) {
      TMidiDeviceBase& a = *list[k];
      TMidiDeviceBase& b = *list[j];
      if (!AnsiSameText(a.GetName(), b.GetName()) || a.GetDevicePath().empty() ||
          !SameMidiDevice(a, b)) {
        continue;
      }
      for (TMidiDeviceBase* d : {&a, &b}) {
        if (d->GetInstanceNumber() == 0) continue;
        d->SetName(IntToStr(d->GetInstanceNumber()) + " " + d->GetName());
        d->SetInstanceNumber(0);
      }
    }
  }
}

void CopyInstanceNumbers(const TMidiDeviceList& inputs, TMidiDeviceList& outputs) {
  for (auto& out : outputs) {
    if (out->GetDevicePath().size() <= 2) continue;
    for (auto& in : inputs) {
      if (SameText(in->GetDevicePath(), out->GetDevicePath())) {
        out->SetInstanceNumber(in->GetInstanceNumber());
        break;
      }
    }
  }
}

bool IsOwnVirtualPort(const std::string& displayName, const TVirtualPortNames& virtualNames) {
  std::string name = Trim(displayName);
  const size_t start = name.find_first_not_of(" -0123456789");
  name = start == std::string::npos ? std::string() : name.substr(start);
  for (const auto& [virtualName, index] : virtualNames) {
    if (name == virtualName) return true;
  }
  return false;
}

}  // namespace kv
