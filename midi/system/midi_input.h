#pragma once
// An input port on the system's multimedia MIDI input devices. The system calls it on its
// own MIDI callback thread; it drops Active Sensing and Timing Clock bytes unless they are
// passed, hands each short message and each SysEx buffer to the hooks (the MIDI manager's,
// which run the engine on that thread) and gives SysEx buffers back to the system.
//
// Threads: opened, started, stopped and closed on the main thread; the hooks run on the
// system's callback thread and must be set before the port opens. Closing waits for a
// callback in progress before it frees the buffers that callback may be reading.
// Lock: none is held while a hook runs; the callback context's flags are atomics.
#include <array>
#include <atomic>
#include <memory>

#include "midi/system/midi_device.h"
#include "midi/system/midi_header.h"
#include "midi/system/winmm_midi.h"

namespace kv {

// A failed system call: its result code and "context\r\nsystem input text".
class EMidiInputError : public EMidiError {
 public:
  EMidiInputError(TMmResult code, const std::string& context);
  TMmResult Code() const { return code_; }

 private:
  TMmResult code_;
};

std::string MidiInErrorText(TMmResult code);

class TMidiInput;

// What the system's callback works with, handed to it as instance data.
struct TMidiInHookContext {
  TMidiInput* port = nullptr;
  std::atomic<bool> passActiveSensing{false};
  std::atomic<bool> passTimingClock{true};
  std::atomic<bool> closed{false};  // the system closed the device, or the port is closing
  std::atomic<int> callbacksRunning{0};
  TMidiShortHook shortHook;
  TMidiSysExHook sysExHook;
};

class TMidiInput : public TMidiInputBase {
 public:
  static constexpr size_t kSysExBufferCount = 16;
  static constexpr size_t kSysExBufferSize = 1024;

  TMidiInput();
  ~TMidiInput() override;

  void GetDeviceInfo(int32_t id, std::string& path, std::string& name) override;
  int GetDeviceCount() override;
  std::unique_ptr<TMidiDeviceBase> Clone() const override;
  std::string GetKindName() const override { return "MIDI In"; }
  void CloseIfLost() override;

  void SetShortMsgHook(TMidiShortHook hook) override { context_.shortHook = std::move(hook); }
  TMidiShortHook GetShortMsgHook() const override { return context_.shortHook; }
  TMidiSysExHook GetSysExHook() const override { return context_.sysExHook; }
  void SetSysExHook(TMidiSysExHook hook) override { context_.sysExHook = std::move(hook); }
  bool GetPassActiveSensing() const override { return context_.passActiveSensing; }
  bool GetPassTimingClock() const override { return context_.passTimingClock; }
  void SetPassActiveSensing(bool pass) override { context_.passActiveSensing = pass; }
  void SetPassTimingClock(bool pass) override { context_.passTimingClock = pass; }
  // Start raises EMidiInputError when the system refuses.
  void Start() override;
  void Stop() override;
  bool IsStarted() const override { return started_.load(std::memory_order_acquire); }

  // The system closed the device under the port (unplugged).
  bool IsLost() const { return context_.closed.load(std::memory_order_acquire); }

  // Fills the list with one input per device with a name.
  static void EnumDevices(TMidiDeviceList& list);

 protected:
  void DoOpen() override;
  bool DoClose(TMidiPortHandle handle) override;

 private:
  // The system's callback, on its MIDI thread.
  static void MidiInCallback(TMidiHandle handle, TMidiMsg msg, uintptr_t instance, uintptr_t param1,
                             uintptr_t param2);
  void ShortMessage(uint32_t message);
  void SysExBuffer(TMidiHandle handle, TMidiHeader* record);
  void WaitForCallbacks();
  void FreeBuffers(TMidiHandle handle);

  TMidiInHookContext context_;
  std::atomic<bool> started_{false};
  // Owned by the port from open to close; the system holds those it was given.
  std::array<std::unique_ptr<TMidiInHdr>, kSysExBufferCount> buffers_;
};

}  // namespace kv
