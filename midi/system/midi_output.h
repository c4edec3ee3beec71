#pragma once
// An output port on the system's multimedia MIDI output devices: short messages, SysEx, long
// SysEx in paced pieces, and noticing when the system closes the device under it.
//
// Threads: opened and closed on the main thread; sends from any thread; the system's
// callback thread returns finished SysEx buffers and reports a vanished device.
// Lock: headersMutex_ guards inFlight_ only; no system call is made while it is held.
#include <atomic>
#include <map>
#include <memory>
#include <mutex>

#include "midi/system/midi_device.h"
#include "midi/system/midi_header.h"
#include "midi/system/winmm_midi.h"

namespace kv {

// A failed system call: its result code and "context\r\nsystem text".
class EMidiOutputError : public EMidiError {
 public:
  EMidiOutputError(TMmResult code, const std::string& context);
  TMmResult Code() const { return code_; }

 private:
  TMmResult code_;
};

// The system's output error text for a code, at most 128 characters; "Unspecified error"
// when it has none.
std::string MidiOutErrorText(TMmResult code);

class TMidiOutput : public TMidiOutputBase {
 public:
  // SysEx pieces and how many may be in flight before the sender waits.
  static constexpr size_t kChunkSize = 1000;
  static constexpr int kMaxPendingBeforeWait = 10;

  TMidiOutput() = default;
  ~TMidiOutput() override;

  void GetDeviceInfo(int32_t id, std::string& path, std::string& name) override;
  int GetDeviceCount() override;
  std::unique_ptr<TMidiDeviceBase> Clone() const override;
  std::string GetKindName() const override { return "MIDI Out"; }
  void CloseIfLost() override;

  bool SendMsg(uint8_t status, uint8_t data1, uint8_t data2) override;
  bool SendShort(uint32_t message) override;
  bool SendLong(const uint8_t* data, size_t length) override;
  size_t SendLongChunked(const uint8_t* data, size_t length,
                         const TMidiWaitMethod& waitMethod) override;

  // SysEx buffers handed to the system and not yet returned.
  int GetPendingCount() const { return pending_.load(std::memory_order_acquire); }
  bool IsLost() const { return lost_.load(std::memory_order_acquire); }

  // Fills the list with one output per device with a name; with withMapper and at least one
  // device, the MIDI mapper first.
  static void EnumDevices(TMidiDeviceList& list, bool withMapper);

 protected:
  void DoOpen() override;
  bool DoClose(TMidiPortHandle handle) override;

 private:
  // The system's callback, on its MIDI thread.
  static void MidiOutCallback(TMidiHandle handle, TMidiMsg msg, uintptr_t instance,
                              uintptr_t param1, uintptr_t param2);
  void SysExDone(TMidiHeader* record, TMidiHandle handle);
  void Track(std::unique_ptr<TMidiHdrBase> header);
  std::unique_ptr<TMidiHdrBase> Untrack(TMidiHdrBase* header);
  void WaitOnce(const TMidiWaitMethod& waitMethod, bool& proceed);

  std::atomic<int> pending_{0};
  std::atomic<bool> lost_{false};
  std::mutex headersMutex_;  // guards inFlight_
  std::map<TMidiHdrBase*, std::unique_ptr<TMidiHdrBase>> inFlight_;
};

}  // namespace kv
