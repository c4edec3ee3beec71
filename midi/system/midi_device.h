#pragma once
// The port class family every MIDI port of the program belongs to: system inputs and
// outputs, virtual ports and the placeholders the MIDI manager keeps for absent ports; the
// device identity and naming rules, the program-wide lists of open port names and the check
// that refuses to close a loop through an outside virtual-cable driver.
//
// Threads: ports are opened, closed and configured on the main thread. Input hooks and
// handlers are set before a port is opened and stay unchanged while it is open, because the
// port calls them on its own callback thread. Sends may come from any thread.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/exception.h"

namespace kv {

class TMMMidiDev;  // the MIDI manager's slot that owns a port
class TMidiDeviceBase;
class TMidiOutputBase;
class TMidiInputBase;

// The base of the port layer's errors.
class EMidiError : public Exception {
 public:
  using Exception::Exception;
};

// Refuses an open that would loop MIDI back through an outside virtual-cable driver.
class EVirtualMIDIFeedback : public EMidiError {
 public:
  using EMidiError::EMidiError;
};

// Device ids: 0 and up a system device index.
inline constexpr int32_t kMidiMapperDevice = -1;
inline constexpr int32_t kNoMidiDevice = 30000;

// An open port's system handle as a number; 0 while closed.
using TMidiPortHandle = uintptr_t;

using TMidiErrorEvent = std::function<void(TMidiDeviceBase& port, int code)>;
// Called between pieces of a long SysEx; clearing proceed stops the send.
using TMidiWaitMethod = std::function<void(TMidiOutputBase& port, bool& proceed)>;
// Input hooks run first for every message; setting handled keeps it from the handlers.
using TMidiShortHook = std::function<void(TMidiInputBase& port, uint32_t message, bool& handled)>;
using TMidiSysExHook =
    std::function<void(TMidiInputBase& port, const uint8_t* data, size_t length, bool& handled)>;
using TMidiShortHandler = std::function<void(TMidiInputBase& port, uint32_t message)>;
using TMidiSysExHandler =
    std::function<void(TMidiInputBase& port, const uint8_t* data, size_t length)>;
using TMidiOverflowHandler = std::function<void(TMidiInputBase& port)>;

using TMidiDeviceList = std::vector<std::unique_ptr<TMidiDeviceBase>>;

// One open or closed port. A port is open exactly when it has a handle (IsOpen may say more
// for ports without system handles). Concrete classes close themselves in their destructor,
// since closing calls their DoClose.
class TMidiDeviceBase {
 public:
  TMidiDeviceBase() = default;
  virtual ~TMidiDeviceBase() = default;
  TMidiDeviceBase(const TMidiDeviceBase&) = delete;
  TMidiDeviceBase& operator=(const TMidiDeviceBase&) = delete;

  // The device's interface path (empty when none) and name for a device id.
  virtual void GetDeviceInfo(int32_t id, std::string& path, std::string& name) = 0;
  virtual bool IsOutput() const = 0;
  virtual int GetDeviceCount() = 0;
  virtual std::unique_ptr<TMidiDeviceBase> Clone() const = 0;
  // Copies id, name, path, instance number, OnError and the feedback check.
  virtual void Assign(const TMidiDeviceBase& other);
  virtual std::string GetKindName() const = 0;
  virtual bool IsOpen() const { return GetHandle() != 0; }
  // Nothing for no device or an open port; refuses a feedback loop; registers the display
  // name as open only when the port really opened.
  virtual void Open();
  // Forgets the handle, then closes it; the display name leaves the open list.
  virtual void Close();
  // Closes the port when the system closed the device under it.
  virtual void CloseIfLost() {}

  bool IsClosed() const { return !IsOpen(); }
  // The name, with " (n)" after it for an instance number n of 2 or more.
  std::string GetDisplayName() const;
  // A valid id (0 to count - 1, or the mapper) rereads path and name; any other clears them.
  void SetDeviceID(int32_t id);
  int32_t GetDeviceID() const { return deviceId_; }
  const std::string& GetName() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  const std::string& GetDevicePath() const { return devicePath_; }
  int32_t GetInstanceNumber() const { return instanceNumber_; }
  void SetInstanceNumber(int32_t number) { instanceNumber_ = number; }
  bool GetFeedbackCheck() const { return feedbackCheck_; }
  void SetFeedbackCheck(bool check) { feedbackCheck_ = check; }
  TMidiPortHandle GetHandle() const { return handle_.load(std::memory_order_acquire); }

  // The manager slot that owns this port, and its index (-1 for none). Read on MIDI threads.
  void SetSlot(TMMMidiDev* slot, int index);
  int GetSlotIndex() const { return slotIndex_.load(std::memory_order_acquire); }

  // The system reported an error of the open port, on its callback thread (a system port
  // reports so when its device goes away under it). Set it before the port opens.
  TMidiErrorEvent OnError;

 protected:
  // Opens the device and sets the handle, or raises.
  virtual void DoOpen() = 0;
  // True when the handle was closed.
  virtual bool DoClose(TMidiPortHandle handle) = 0;
  void SetHandle(TMidiPortHandle handle) { handle_.store(handle, std::memory_order_release); }

 private:
  int32_t deviceId_ = kNoMidiDevice;
  std::atomic<TMidiPortHandle> handle_{0};
  std::string name_;
  std::string devicePath_;
  int32_t instanceNumber_ = 0;
  bool feedbackCheck_ = true;
  TMMMidiDev* slot_ = nullptr;
  std::atomic<int> slotIndex_{-1};
};

class TMidiOutputBase : public TMidiDeviceBase {
 public:
  bool IsOutput() const override { return true; }
  // Each returns whether it sent; SendLongChunked the number of bytes the system took.
  virtual bool SendMsg(uint8_t status, uint8_t data1, uint8_t data2) = 0;
  virtual bool SendShort(uint32_t message) = 0;
  virtual bool SendLong(const uint8_t* data, size_t length) = 0;
  virtual size_t SendLongChunked(const uint8_t* data, size_t length,
                                 const TMidiWaitMethod& waitMethod) = 0;
};

class TMidiInputBase : public TMidiDeviceBase {
 public:
  bool IsOutput() const override { return false; }
  // An input assigned from an input also takes its hooks, handlers and pass flags.
  void Assign(const TMidiDeviceBase& other) override;

  virtual void SetShortMsgHook(TMidiShortHook hook) = 0;
  virtual TMidiShortHook GetShortMsgHook() const = 0;
  virtual TMidiSysExHook GetSysExHook() const = 0;
  virtual void SetSysExHook(TMidiSysExHook hook) = 0;
  virtual bool GetPassActiveSensing() const = 0;
  virtual bool GetPassTimingClock() const = 0;
  virtual void SetPassActiveSensing(bool pass) = 0;
  virtual void SetPassTimingClock(bool pass) = 0;
  virtual void Start() = 0;
  virtual void Stop() = 0;
  virtual bool IsStarted() const = 0;

  TMidiOverflowHandler OnOverflow;
  TMidiShortHandler OnShortMsg;
  TMidiSysExHandler OnSysEx;
};

// Same direction, kind and name (case-sensitive), then equal device paths
// (case-insensitive) when a has one, else equal instance numbers.
bool SameMidiDevice(const TMidiDeviceBase& a, const TMidiDeviceBase& b);

// The program-wide lists of open port names, one per direction; names compare
// case-insensitively in the user's locale. Guarded by their own mutex.
void RegisterOpenPortName(bool isOutput, const std::string& name);
void UnregisterOpenPortName(bool isOutput, const std::string& name);
bool IsOpenPortName(bool isOutput, const std::string& name);

// The name begins with one of the outside virtual-cable drivers' prefixes.
bool IsVirtualCablePortName(std::string_view name);
// Such a name open in the other direction would loop MIDI through the cable.
bool WouldCreateFeedbackLoop(bool isOutput, const std::string& name);

// The bytes of a short message by its status byte (0 for a data byte).
int GetMidiMessageLength(uint8_t status);

// Before Windows Vista a USB audio port's name is its location text from the registry.
// Returns true when the name was replaced; any failure leaves it unchanged.
bool GetUsbPortName(const std::string& devicePath, std::string& name);
bool IsPreVistaWindows();

}  // namespace kv
