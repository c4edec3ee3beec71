#pragma once
// The MIDI manager: the single owner of every MIDI port the program knows, one slot per input
// and per output port, system and virtual. It scans the devices, names equal names apart,
// keeps slots while their device is unplugged and reopens them when it returns, opens and
// closes ports, stores which are open in the settings (sections MIDI.in and MIDI.out), sends
// to all outputs or to those of a list of aliases, hands incoming MIDI to the engine and
// passes what the engine did not swallow on to the outputs the router connects (MIDI through).
//
// Threads: scans, opening, closing, settings and alias changes run on the main thread.
// Sending and incoming handling run on any thread at once (main, system MIDI callback,
// virtual receive threads, timer, dispatcher) and take no manager lock.
// Locks: `lock_` (the MIDI manager slot lock) is held by a scan; notifications a scan causes
// (logs, opens, closes, errors, change listeners) are delivered, and the follow-up scan is
// armed, after it is released. Each slot's `mutex_` guards only its device pointer and its
// routed outputs and is held only to copy them, so MIDI threads always work with a device
// they hold a reference to; a device replaced by a scan is freed when its last user lets go.
// A port whose device the system closed under it (unplugged, perhaps plugged back before
// any scan) is closed and reopened by the next scan; its own report asks for that scan.
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/lock.h"
#include "midi/model/alias.h"
#include "midi/manager/midi_action_sink.h"
#include "midi/system/midi_device.h"
#include "midi/manager/midi_engine_binding.h"
#include "midi/manager/midi_rescan_timer.h"
#include "midi/virtual/virtual_port.h"

namespace kv {

class TCustomIniFile;
class TMidiManager;

inline constexpr const char* kMidiInSection = "MIDI.in";
inline constexpr const char* kMidiOutSection = "MIDI.out";

// The engine's handlers: input slot index, the message, swallowed and handled flags.
using TMidiShortMsgEvent =
    std::function<void(int32_t slot, uint32_t message, bool& swallowed, bool& handled)>;
using TMidiLongMsgEvent = std::function<void(int32_t slot, const uint8_t* data, int32_t length,
                                             bool& swallowed, bool& handled)>;

// Placeholders that hold a slot while its port is absent.
class TDummyMidiIn final : public TMidiInputBase {
 public:
  ~TDummyMidiIn() override { Close(); }
  void GetDeviceInfo(int32_t, std::string& path, std::string& name) override;
  int GetDeviceCount() override { return 0; }
  std::unique_ptr<TMidiDeviceBase> Clone() const override;
  std::string GetKindName() const override { return "Dummy MIDI In"; }
  void SetShortMsgHook(TMidiShortHook) override {}
  TMidiShortHook GetShortMsgHook() const override { return {}; }
  TMidiSysExHook GetSysExHook() const override { return {}; }
  void SetSysExHook(TMidiSysExHook) override {}
  bool GetPassActiveSensing() const override { return false; }
  bool GetPassTimingClock() const override { return false; }
  void SetPassActiveSensing(bool) override {}
  void SetPassTimingClock(bool) override {}
  void Start() override {}
  void Stop() override {}
  bool IsStarted() const override { return false; }

 protected:
  void DoOpen() override;
  bool DoClose(TMidiPortHandle) override { return true; }
};

class TDummyMidiOut final : public TMidiOutputBase {
 public:
  ~TDummyMidiOut() override { Close(); }
  void GetDeviceInfo(int32_t, std::string& path, std::string& name) override;
  int GetDeviceCount() override { return 0; }
  std::unique_ptr<TMidiDeviceBase> Clone() const override;
  std::string GetKindName() const override { return "Dummy MIDI Out"; }
  bool SendMsg(uint8_t, uint8_t, uint8_t) override { return false; }
  bool SendShort(uint32_t) override { return false; }
  bool SendLong(const uint8_t*, size_t) override { return false; }
  size_t SendLongChunked(const uint8_t*, size_t, const TMidiWaitMethod&) override { return 0; }

 protected:
  void DoOpen() override;
  bool DoClose(TMidiPortHandle) override { return true; }
};

// How the manager finds ports. Lifecycle: given to the manager at construction and kept
// alive as long as it; called on the main thread during a scan.
class TMidiPortEnumerator {
 public:
  virtual ~TMidiPortEnumerator() = default;
  virtual void EnumVirtualInputs(TMidiDeviceList& list, const std::u16string& filter) = 0;
  virtual void EnumVirtualOutputs(TMidiDeviceList& list, const std::u16string& filter) = 0;
  // The names under which the system shows the virtual ports.
  virtual void EnumVirtualInputNames(TVirtualPortNames& list, const std::u16string& filter) = 0;
  virtual void EnumVirtualOutputNames(TVirtualPortNames& list, const std::u16string& filter) = 0;
  virtual void EnumSystemInputs(TMidiDeviceList& list) = 0;
  virtual void EnumSystemOutputs(TMidiDeviceList& list, bool withMapper) = 0;
};

// The system ports and the program's virtual ports.
TMidiPortEnumerator& DefaultMidiPortEnumerator();

// Equal names get instance numbers 1, 2, ... in list order; two entries that are the same
// device get the number and a blank before the name instead.
void NumberDuplicatePorts(TMidiDeviceList& list);
// An output with a device path takes the number of the first input of that path.
void CopyInstanceNumbers(const TMidiDeviceList& inputs, TMidiDeviceList& outputs);
// A system port that is one of the program's own virtual ports: its name, trimmed and
// without a leading run of blanks, "-" and digits, is one of the virtual names.
bool IsOwnVirtualPort(const std::string& displayName, const TVirtualPortNames& virtualNames);

// One port's slot. Created the first time its port is seen or named by the settings; lives
// as long as the manager.
class TMMMidiDev {
 public:
  TMMMidiDev(int index, std::string portName, bool isVirtual);
  virtual ~TMMMidiDev() = default;
  TMMMidiDev(const TMMMidiDev&) = delete;
  TMMMidiDev& operator=(const TMMMidiDev&) = delete;

  virtual bool IsInput() const = 0;
  int GetIndex() const { return index_; }
  const std::string& GetName() const { return portName_; }
  bool IsPresent() const { return present_.load(std::memory_order_acquire); }
  bool IsOpenRequested() const { return openPending_; }
  bool IsVirtual() const { return virtual_; }
  const std::string& GetLastError() const { return lastError_; }
  // Has a device and it is open. Any thread.
  bool IsOpen() const;
  // The slot's device, kept alive for the caller. Any thread.
  std::shared_ptr<TMidiDeviceBase> GetDevice() const;
  // The aliases bound to this port (main thread).
  const TMidiAliasList& Aliases() const { return aliases_; }

 protected:
  friend class TMidiManager;
  void PutDevice(std::shared_ptr<TMidiDeviceBase> device);

  const int index_;
  const std::string portName_;
  const bool virtual_;
  std::atomic<bool> present_{false};
  bool openPending_ = false;
  bool seen_ = false;
  std::string lastError_;
  TMidiAliasList aliases_;
  mutable std::mutex mutex_;  // guards device_ (and routed outputs of inputs)
  std::shared_ptr<TMidiDeviceBase> device_;
};

class TMMMidiIn final : public TMMMidiDev {
 public:
  TMMMidiIn(int index, std::string portName, bool isVirtual)
      : TMMMidiDev(index, std::move(portName), isVirtual) {}
  bool IsInput() const override { return true; }
  // The output aliases this input feeds through the router. Any thread.
  std::shared_ptr<const TMidiAliasList> GetRoutedOutputs() const;
  // The pass options, kept by the slot too so that an absent port keeps them.
  bool GetPassActiveSensing() const { return passActiveSensing_; }
  bool GetPassTimingClock() const { return passTimingClock_; }
  void SetPassActiveSensing(bool pass);
  void SetPassTimingClock(bool pass);
  // "T"/"F" letters: pass Active Sensing, pass Timing Clock.
  void LoadOptions(const std::string& options);
  std::string OptionsText() const;

 private:
  friend class TMidiManager;
  void SetRoutedOutputs(std::shared_ptr<const TMidiAliasList> outputs);
  void ReadOptionsFromDevice();

  bool passActiveSensing_ = false;
  bool passTimingClock_ = true;
  std::shared_ptr<const TMidiAliasList> routedOutputs_;  // guarded by mutex_
};

class TMMMidiOut final : public TMMMidiDev {
 public:
  TMMMidiOut(int index, std::string portName, bool isVirtual)
      : TMMMidiDev(index, std::move(portName), isVirtual) {}
  bool IsInput() const override { return false; }
};

// It is also the sink MIDI actions send through (midi/midi_action_sink.h): the process-wide
// manager installs itself when made and withdraws before it is freed.
class TMidiManager final : public TEngineMidiBinding, public TMidiOutputSink {
 public:
  using TListener = TChangeMethod<TMidiManager>;
  // At most this many slots per direction; slots are never removed.
  static constexpr int kMaxSlots = 256;
  static constexpr uint32_t kRescanDelayMs = 10000;

  explicit TMidiManager(TMidiPortEnumerator& ports = DefaultMidiPortEnumerator());
  ~TMidiManager() override;
  TMidiManager(const TMidiManager&) = delete;
  TMidiManager& operator=(const TMidiManager&) = delete;

  // One forced scan, then follows the alias manager and the router.
  void Init();

  // Main thread. A scan asked for while one runs (from a dialog it caused) runs after it.
  void Rescan(bool force, bool armTimer);
  // The rescan timer fired: one forced scan.
  void RescanTimer();
  // A scan asked to arm the timer is followed by a forced one this long after it: by default
  // the manager's own countdown queues it onto the main thread. A program that drives time
  // itself arms its own timer instead (and calls RescanTimer when it fires).
  void SetRescanTimer(std::function<void(uint32_t intervalMs)> arm) { armTimer_ = std::move(arm); }
  void SetRescanDelay(uint32_t ms) { rescanDelayMs_ = ms; }  // tests shorten it

  void OpenDevice(int index, bool isInput, bool raise);
  void CloseDevice(int index, bool isInput, bool raise);
  void OpenInput(int index, bool raise);
  void OpenOutput(int index, bool raise);
  void CloseAll();

  int GetDeviceCount(bool isInput);
  // The slot, or none when the index is out of range.
  TMMMidiDev* GetDevice(int index, bool isInput) const;
  TMMMidiIn* GetInput(int index) const;
  TMMMidiOut* GetOutput(int index) const;
  int IndexOfDevice(const std::string& name, bool isInput) const;
  int FindOrAddDevice(const std::string& name, bool isInput, bool isVirtual, bool add);

  // Each returns whether any port took the message. Any thread.
  bool SendShortToAll(uint32_t message) override;
  bool SendLongToAll(const uint8_t* data, size_t length) override;
  bool SendShortToAliases(const TMidiAliasList& aliases, uint32_t message) override;
  bool SendLongToAliases(const TMidiAliasList& aliases, const uint8_t* data,
                         size_t length) override;

  void SetPortNameFilter(const std::string& text);
  void SetSuspended(bool suspended);
  bool IsSuspended() const { return suspended_.load(std::memory_order_acquire); }
  bool GetFeedbackCheck() const { return feedbackCheck_; }
  void SetFeedbackCheck(bool check) { feedbackCheck_ = check; }

  void AddChangeListener(TListener listener) { listeners_.Add(listener); }
  void RemoveChangeListener(TListener listener) { listeners_.Remove(listener); }

  void LoadFromIni(const TCustomIniFile& settings);
  void SaveToIni(TCustomIniFile& settings) const;

  void AliasesChanged();
  void RoutesChanged();

  // TEngineMidiBinding: BindEngine(nullptr) returns once no call into the engine runs.
  void BindEngine(TMidiInputHandler* engine) override;

  // Input hooks of every slot's device (any MIDI thread).
  void HandleShortMsg(TMidiInputBase& device, uint32_t message, bool& handled);
  void HandleLongMsg(TMidiInputBase& device, const uint8_t* data, size_t length, bool& handled);

  // Notifications; main thread unless said otherwise.
  std::function<void(int index, bool isInput)> OnOpen;
  std::function<void(int index, bool isInput)> OnClose;
  std::function<void(int index, bool isInput, const std::string& text)> OnLog;
  std::function<void(int index, const std::string& text)> OnError;
  // Called after MIDI through sent something, on the MIDI thread that passed it. Replaced
  // while MIDI flows (BindEngine sets it too): threads passing MIDI on keep the one they
  // started with.
  void SetOnThru(std::function<void(TMidiManager& sender)> onThru);

 private:
  // What MIDI threads call, replaced whole and never changed in place.
  struct THandlers {
    TMidiShortMsgEvent shortMsg;
    TMidiLongMsgEvent longMsg;
    std::function<void(TMidiManager&)> onThru;
    TMidiInputHandler* engine = nullptr;
  };
  template <typename Slot>
  struct TSlots {
    std::array<std::unique_ptr<Slot>, kMaxSlots> items;
    std::atomic<int> count{0};  // published after the slot is in place
    Slot* At(int index) const {
      return index >= 0 && index < count.load(std::memory_order_acquire) ? items[index].get()
                                                                         : nullptr;
    }
  };
  struct TScanLists;

  // Both directions alike (midi_manager.cpp).
  int SlotCount(bool isInput) const;
  TMMMidiDev* SlotAt(int index, bool isInput) const { return GetDevice(index, isInput); }
  // Every input slot, then every output slot, in index order.
  template <typename Fn>
  void ForEachSlot(Fn&& fn) const {
    for (int i = 0; i < inputs_.count.load(); ++i) fn(static_cast<TMMMidiDev&>(*inputs_.items[i]));
    for (int i = 0; i < outputs_.count.load(); ++i) {
      fn(static_cast<TMMMidiDev&>(*outputs_.items[i]));
    }
  }
  template <typename Slot>
  int FindOrAdd(TSlots<Slot>& slots, const std::string& name, bool isVirtual, bool add);
  int FindOrAddInput(const std::string& name, bool isVirtual, bool add);
  int FindOrAddOutput(const std::string& name, bool isVirtual, bool add);
  // Puts the device (a placeholder for none) into the slot, wired to this manager.
  void Wire(TMMMidiDev& slot, std::shared_ptr<TMidiDeviceBase> device);
  void Open(TMMMidiDev* slot, int index, bool isInput, bool raise);
  void CloseSlot(TMMMidiDev* slot, int index, bool isInput, bool raise);
  // An open port whose device the system closed under it is closed and stays wanted open;
  // true when it was.
  bool CloseIfLost(TMMMidiDev& slot);
  // A device reported an error on its callback thread: a forced scan on the main thread.
  void DeviceError();
  void ReportError(int index, bool isInput, bool raise, const std::string& text);
  void Log(int index, bool isInput, const std::string& text);
  // Runs fn now, or after the scan when one holds the lock.
  void Notify(std::function<void()> fn);

  // Scanning (midi_manager_scan.cpp).
  void RescanOnce(bool force, bool armTimer);
  void ScanPorts(bool isInput, int pass, TScanLists& lists, bool force, bool& changed);
  void MarkSeen(bool isInput, bool isVirtual, bool seenIsPresent);
  void FinishScan(bool& changed);
  void ArmRescanTimer();

  // Sending and receiving (midi_manager_io.cpp); `send` sends one message to one output.
  std::shared_ptr<const THandlers> Handlers() const;
  template <typename Send>
  bool SendToAll(const Send& send);
  template <typename Send>
  bool SendToAliases(const TMidiAliasList& aliases, const Send& send);
  // Replaces the handlers with a copy changed by change.
  void ChangeHandlers(const std::function<void(THandlers&)>& change);
  template <typename Send>
  void PassThrough(const THandlers& handlers, int slotIndex, bool handled, bool swallowed,
                   const Send& send);
  template <typename CallEngine, typename Send>
  void HandleIncoming(TMidiInputBase& device, bool& handled, const CallEngine& callEngine,
                      const Send& send);

  TLock lock_;  // the MIDI manager slot lock: held by a scan
  TMidiPortEnumerator& ports_;
  TSlots<TMMMidiIn> inputs_;
  int virtualInputCount_ = -1, systemInputCount_ = -1;
  TSlots<TMMMidiOut> outputs_;
  int virtualOutputCount_ = -1, systemOutputCount_ = -1;
  std::function<void(uint32_t)> armTimer_;
  uint32_t rescanDelayMs_ = kRescanDelayMs;
  std::unique_ptr<TMidiRescanTimer> rescanTimer_;  // made on first need
  std::atomic<bool> suspended_{true};
  bool feedbackCheck_ = true;
  mutable std::mutex handlersMutex_;  // guards handlers_
  std::shared_ptr<const THandlers> handlers_;
  std::atomic<int> engineCalls_{0};
  TChangeListeners<TMidiManager> listeners_;
  bool scanned_ = false;
  std::string portNameFilter_;
  bool initialised_ = false;
  // A scan in progress, and one asked for meanwhile (main thread only).
  bool rescanning_ = false;
  bool rescanAgain_ = false, rescanAgainForced_ = false, rescanAgainArmed_ = false;
  bool deferNotifications_ = false;
  std::vector<std::function<void()>> deferred_;
  // A scan for a device error is queued onto the main thread and not yet run.
  std::atomic<bool> errorScanQueued_{false};
  // Calls queued onto the main thread hold this flag: one that runs once the manager is
  // being freed (on the main thread too) does nothing. The pointer is never reassigned, so
  // any thread may copy it; the destructor clears the flag first.
  const std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
};

// The process-wide manager: created and initialised on first call, freed at program end.
TMidiManager& MidiManager();
bool MidiManagerExists();
void CloseAllMidiPorts();
void SetVirtualPortNameFilter(const std::string& text);
// Program end (and tests): closes every port and frees the manager.
void FreeMidiManager();

}  // namespace kv
