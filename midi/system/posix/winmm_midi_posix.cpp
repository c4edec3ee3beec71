// Native builds have no multimedia MIDI interface: no devices, every call on a handle fails.
#include "midi/system/winmm_midi.h"

namespace kv {

namespace {

class TNoMidiDevices final : public TWinmmMidi {
 public:
  uint32_t OutGetNumDevs() override { return 0; }
  TMmResult OutGetDevName(uint32_t, std::string&) override { return kMmBadDeviceId; }
  TMmResult OutQueryInterfaceSize(uint32_t, uint32_t&) override { return kMmBadDeviceId; }
  TMmResult OutQueryInterface(uint32_t, uint32_t, std::string&) override { return kMmBadDeviceId; }
  TMmResult OutOpen(TMidiHandle&, uint32_t, TMidiCallback, uintptr_t) override {
    return kMmBadDeviceId;
  }
  TMmResult OutClose(TMidiHandle) override { return kMmInvalidHandle; }
  TMmResult OutReset(TMidiHandle) override { return kMmInvalidHandle; }
  TMmResult OutShortMsg(TMidiHandle, uint32_t) override { return kMmInvalidHandle; }
  TMmResult OutPrepareHeader(TMidiHandle, TMidiHeader&) override { return kMmInvalidHandle; }
  TMmResult OutUnprepareHeader(TMidiHandle, TMidiHeader&) override { return kMmInvalidHandle; }
  TMmResult OutLongMsg(TMidiHandle, TMidiHeader&) override { return kMmInvalidHandle; }
  bool OutGetErrorText(TMmResult code, std::string& text) override {
    return PortableMidiErrorText(code, text);
  }

  uint32_t InGetNumDevs() override { return 0; }
  TMmResult InGetDevName(uint32_t, std::string&) override { return kMmBadDeviceId; }
  TMmResult InQueryInterfaceSize(uint32_t, uint32_t&) override { return kMmBadDeviceId; }
  TMmResult InQueryInterface(uint32_t, uint32_t, std::string&) override { return kMmBadDeviceId; }
  TMmResult InOpen(TMidiHandle&, uint32_t, TMidiCallback, uintptr_t) override {
    return kMmBadDeviceId;
  }
  TMmResult InClose(TMidiHandle) override { return kMmInvalidHandle; }
  TMmResult InReset(TMidiHandle) override { return kMmInvalidHandle; }
  TMmResult InStart(TMidiHandle) override { return kMmInvalidHandle; }
  TMmResult InStop(TMidiHandle) override { return kMmInvalidHandle; }
  TMmResult InPrepareHeader(TMidiHandle, TMidiHeader&) override { return kMmInvalidHandle; }
  TMmResult InUnprepareHeader(TMidiHandle, TMidiHeader&) override { return kMmInvalidHandle; }
  TMmResult InAddBuffer(TMidiHandle, TMidiHeader&) override { return kMmInvalidHandle; }
  bool InGetErrorText(TMmResult code, std::string& text) override {
    return PortableMidiErrorText(code, text);
  }
};

}  // namespace

TWinmmMidi& DefaultWinmmMidi() {
  static TNoMidiDevices none;
  return none;
}

}  // namespace kv
