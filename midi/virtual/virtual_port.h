#pragma once
// The program's own virtual MIDI ports, made through vmplib (midi/virtual/vmpl_api.h): the
// output and input port classes of the device family, the input's receive thread, the library's
// error texts, and the rules by which virtual ports are named and recognised as the program's
// own.
//
// Threads: ports are opened, started, stopped and closed on the main thread. Each started
// input has one receive thread that blocks in the library and calls the input's hooks and
// handlers on that thread, without a lock. Sends come from any thread; the library
// serialises them per port.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/thread.h"
#include "midi/system/midi_device.h"
#include "midi/virtual/vmpl_api.h"

namespace kv {

// A library failure: its result code and "context\r\ncode text" (or the code text alone).
class EVMIDIError : public EMidiError {
 public:
  explicit EVMIDIError(uint32_t code, const std::string& context = {});
  uint32_t Code() const { return code_; }

 private:
  uint32_t code_;
};

// The text of a library result code; "unknown error code N" for others.
std::string GetVmplErrorText(uint32_t code);
// Nothing for 0; otherwise raises EVMIDIError.
void RaiseVmplError(uint32_t code, const std::string& context = {});

// --- names ---------------------------------------------------------------------------------

// Deletes every character from 0 to 32 and each of " ' * / : < > ? \.
void CleanPortName(std::string& text);
void CleanPortNameW(std::u16string& text);
// The text without a leading prefix (case-sensitive); an empty prefix changes nothing.
std::string StripPrefix(std::string_view text, std::string_view prefix);
// Without the output-side prefix, and without "From " too when that prefix is another.
std::string StripFromPrefix(std::string_view text);
std::string StripToPrefix(std::string_view text);
// "Virtual Out " + the name without its "From " prefix, unless it already ends in
// "Virtual Out"; empty stays empty. The In twin alike.
std::string MakeVirtualOutName(std::string_view name);
std::string MakeVirtualInName(std::string_view name);
// The texts put in front of the names of new ports ("From " and "To " until start-up sets
// them). Set them before any virtual port is used.
void SetVirtualPortPrefixes(const std::string& outputSide, const std::string& inputSide);
std::string GetVirtualOutputPrefix();
std::string GetVirtualInputPrefix();

// --- port records --------------------------------------------------------------------------

struct TVmplInfoDeleter {
  void operator()(VMPL_PortInfo* info) const;
};
using TVmplInfoPtr = std::unique_ptr<VMPL_PortInfo, TVmplInfoDeleter>;

// The record of the port at index, or none with the library's code.
TVmplInfoPtr GetVmplPortInfo(uint32_t index, uint32_t& code);
std::u16string VmplText(const VMPL_Char* text);

// The ports whose device name contains the filter (all for an empty one), sorted by device
// name.
void ListVirtualPorts(std::vector<TVmplInfoPtr>& list, std::u16string_view filter);
// Port pairs whose device name contains the (cleaned) filter: a port of type 1 or 2 counts 1,
// of type 3 counts 2, and a total above 1 is halved.
int GetVirtualPortCount(std::u16string filter);
bool IsVirtualMidiBusAvailable();

// A port's name and its index in the library's port list.
using TVirtualPortNames = std::vector<std::pair<std::string, int>>;

// --- the side of a port --------------------------------------------------------------------

// What an output and an input share: the side of a library port they stand for, the filter on
// device names, and the device the id named when it was set. Port indexes shift when the list
// changes, so the open looks for that device by name.
class TVirtualPortSide {
 public:
  // A port of the side's type or of both, whose device name contains the filter, from a new
  // enough library.
  bool MatchesPort(const VMPL_PortInfo* info) const;
  // The port's name on this side when it matches; empty otherwise.
  std::string GetPortName(int index) const;
  void SetPortFilter(std::u16string filter);

 protected:
  explicit TVirtualPortSide(uint32_t sideType) : sideType_(sideType) {}
  ~TVirtualPortSide() = default;
  TVirtualPortSide(const TVirtualPortSide&) = default;
  TVirtualPortSide& operator=(const TVirtualPortSide&) = default;

  // The port's name on this side, as GetPortName; remembers its device for the open.
  std::string ReadDeviceName(int32_t id);
  // The record of the port the id named, and where it stands now; raises when it is gone.
  TVmplInfoPtr FindPortOrRaise(int32_t id, int32_t& foundId) const;

 private:
  uint32_t sideType_;
  std::u16string filter_;
  std::u16string portDeviceName_;  // the device the id named when it was set
};

// What is the same code in an output and an input over their own port class: the count,
// copies, and the lists of the ports of one side.
template <typename Base, typename Self>
class TVirtualPort : public Base, public TVirtualPortSide {
 public:
  int GetDeviceCount() override;
  std::unique_ptr<TMidiDeviceBase> Clone() const override;
  void Assign(const TMidiDeviceBase& other) override;

  // The names as the system shows the ports, with their indexes.
  static void EnumDeviceNames(TVirtualPortNames& list, const std::u16string& filter);
  static void EnumDevices(TMidiDeviceList& list, const std::u16string& filter);

 protected:
  explicit TVirtualPort(uint32_t sideType) : TVirtualPortSide(sideType) {}
};

// --- output --------------------------------------------------------------------------------

class TVMidiOutput : public TVirtualPort<TMidiOutputBase, TVMidiOutput> {
 public:
  TVMidiOutput() : TVirtualPort(VMPL_PORT_OUTPUT) {}
  ~TVMidiOutput() override;

  void GetDeviceInfo(int32_t id, std::string& path, std::string& name) override;
  std::string GetKindName() const override { return "vMIDI Out"; }

  // Data bytes are cut to 7 bits.
  bool SendMsg(uint8_t status, uint8_t data1, uint8_t data2) override;
  bool SendShort(uint32_t message) override;
  bool SendLong(const uint8_t* data, size_t length) override;
  // One send of the whole message: its length on success, else 0; never waits.
  size_t SendLongChunked(const uint8_t* data, size_t length,
                         const TMidiWaitMethod& waitMethod) override;

 protected:
  void DoOpen() override;
  bool DoClose(TMidiPortHandle handle) override;
};

// --- input ---------------------------------------------------------------------------------

class TVMidiInput;

// Receives for one started input until it is terminated or its connection closes.
class TVMidiInputThread final : public TThread {
 public:
  static constexpr uint32_t kBufferSize = 15360;
  explicit TVMidiInputThread(TVMidiInput& input) : input_(input) {}
  ~TVMidiInputThread() override { Stop(); }

  // Waits at most ms for Execute to end; true when it has.
  bool WaitFinished(uint32_t ms);

 protected:
  void Execute() override;
  void TerminateRequested() override;

 private:
  void Backoff(uint32_t ms);

  TVMidiInput& input_;
  std::mutex mutex_;  // guards nothing but the wake-up below
  std::condition_variable wake_;
};

class TVMidiInput : public TVirtualPort<TMidiInputBase, TVMidiInput> {
 public:
  // How long Stop waits for the receive thread before leaving it to the close.
  static constexpr uint32_t kStopWaitMs = 5000;

  TVMidiInput() : TVirtualPort(VMPL_PORT_INPUT) {}
  ~TVMidiInput() override;

  void GetDeviceInfo(int32_t id, std::string& path, std::string& name) override;
  std::string GetKindName() const override { return "vMIDI In"; }
  // Open from the open call until the close: the port's record is kept.
  bool IsOpen() const override { return static_cast<bool>(info_); }

  void SetShortMsgHook(TMidiShortHook hook) override { shortHook_ = std::move(hook); }
  TMidiShortHook GetShortMsgHook() const override { return shortHook_; }
  TMidiSysExHook GetSysExHook() const override { return sysExHook_; }
  void SetSysExHook(TMidiSysExHook hook) override { sysExHook_ = std::move(hook); }
  bool GetPassActiveSensing() const override { return passActiveSensing_; }
  bool GetPassTimingClock() const override { return passTimingClock_; }
  void SetPassActiveSensing(bool pass) override { passActiveSensing_ = pass; }
  void SetPassTimingClock(bool pass) override { passTimingClock_ = pass; }
  // Connects and starts the receive thread; raises when not open or the connect fails.
  void Start() override;
  // Ends the receive thread and disconnects.
  void Stop() override;
  bool IsStarted() const override;

 protected:
  void DoOpen() override;
  bool DoClose(TMidiPortHandle handle) override;

 private:
  friend void DispatchVmplMessage(TVMidiInput& input, const VMPL_Message& message);
  void StopWith(TMidiPortHandle handle);
  void MakeThread();

  TMidiShortHook shortHook_;
  TMidiSysExHook sysExHook_;
  std::atomic<bool> passActiveSensing_{false};
  std::atomic<bool> passTimingClock_{true};
  std::unique_ptr<TVMidiInputThread> thread_;
  TVmplInfoPtr info_;
};

// One received message to the input's hooks and handlers, real-time bytes filtered.
void DispatchVmplMessage(TVMidiInput& input, const VMPL_Message& message);

}  // namespace kv
