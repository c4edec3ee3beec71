#pragma once
// A stand-in for the virtual MIDI bus driver, for tests: a bus system (vmplib/bus_system.h)
// that answers the five bus control codes and the three port control codes as the driver
// does. It keeps a stable port list with ids and names, writes each port side's display name
// where the library reads it (an in-memory store natively, the local machine's registry on
// Windows), takes the rings named in a connect request, writes whole input records before it
// publishes them and then signals the event, consumes the output ring on each output-written
// request, and on disconnect stops using both blocks and wakes a blocked receive.
//
// Tests inject input records into a port, read what a port was sent, join an output port to an
// input port like a cable, and make chosen requests fail.
//
// Lifecycle: make one per test, install it with SetBusSystem (TStandInBusScope does both) and
// take it out only after every connection is closed. Ports are addressed by their index in
// the port list. Lock: one mutex guards all its state; it is never held while waiting on an
// event, and the events' own locks are taken inside it.
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "vmplib/bus_system.h"
#include "vmplib/local_objects.h"
#include "vmplib/standin/standin_names.h"

namespace kv::vmpl {

class TStandInBus : public TBusSystem {
 public:
  TStandInBus();
  ~TStandInBus() override;  // deletes the display names it wrote

  // --- test controls ---
  void SetPresent(bool present);  // false: the control device cannot be found
  // The next `times` requests with this control code (bus or port) are refused.
  void FailRequest(uint32_t code, int times = 1);
  void FailIdentifiers(bool fail);
  void FailEvents(bool fail);
  void FailBlocks(bool fail);
  // false: output-written requests leave the output ring as it is.
  void SetConsumeOutput(bool consume);
  // Port requests with this code wait, before the bus does anything, until ReleaseRequests;
  // WaitUntilHeld waits (up to timeoutMs) until one is waiting.
  void HoldRequests(uint32_t code);
  void ReleaseRequests();
  bool WaitUntilHeld(uint32_t timeoutMs);
  // Waits on an input event begun so far (a receive that found nothing to take), and a wait
  // (up to timeoutMs) until at least n have begun.
  uint64_t EventWaits() const;
  bool WaitForEventWaits(uint64_t n, uint32_t timeoutMs);
  // false: consumed output is not kept for TakeSent (long benchmark runs).
  void SetKeepSent(bool keep);

  size_t PortCount() const;
  std::optional<uint32_t> PortId(size_t index) const;
  bool IsConnected(size_t index) const;
  // A whole record (header and data) into the port's input ring, then the event; false when
  // the port has no connected input ring or the record does not fit.
  bool InjectRecord(size_t index, uint32_t kind, uint32_t time, const std::vector<uint8_t>& data);
  bool InjectShort(size_t index, uint32_t packed, uint32_t length, uint32_t time = 0);
  // Raw bytes into the input ring (no framing), then the event.
  bool InjectRaw(size_t index, const std::vector<uint8_t>& bytes);
  // Moves both positions of the port's input ring (it must be empty) to place data at a wrap.
  bool SetInputPosition(size_t index, uint32_t position);
  bool SetOutputPosition(size_t index, uint32_t position);
  // Everything the port was sent so far, and the bytes taken since the last call.
  std::vector<uint8_t> TakeSent(size_t index);
  // What `from` is sent arrives at `to` as input records (short messages and SysEx).
  void Cable(size_t from, size_t to);
  // Display-name store, shared with the library's reads.
  TStandInNames& Names() { return *names_; }
  // Port devices and control devices open now.
  size_t OpenDeviceCount() const;

  // --- TBusSystem ---
  OsHandle OpenBusControlDevice() override;
  OsHandle OpenPortDevice(std::u16string_view path) override;
  void CloseDevice(OsHandle device) override;
  bool BusControl(OsHandle device, uint32_t code, const void* in, uint32_t inLength, void* out,
                  uint32_t outLength, uint32_t& returned) override;
  uint32_t PortControl(OsHandle device, uint32_t code, const void* in, uint32_t inLength) override;
  uint8_t* AllocBlock() override;
  void FreeBlock(uint8_t* block) override;
  OsHandle MakeEvent() override;
  void SignalEvent(OsHandle event) override;
  void WaitEvent(OsHandle event) override;
  void CloseEvent(OsHandle event) override;
  bool CreateIdentifier(uint8_t (&id)[16]) override;
  bool ReadNameValue(std::u16string_view keyPath, RegistryValue& value) override;
  void Sleep(uint32_t ms) override;

 private:
  struct TParser;  // MIDI byte stream to records, for cables
  struct TPort {
    uint32_t id = 0;
    uint32_t type = 0;
    std::u16string deviceName;
    std::vector<uint8_t> record;  // as added, with its id
    std::vector<std::u16string> nameKeys;
    OsHandle device = 0;  // the connected port device, 0 when not connected
    OsHandle inEvent = 0;
    uint8_t* inBlock = nullptr;
    uint8_t* outBlock = nullptr;
    std::vector<uint8_t> sent;
    std::optional<uint32_t> cableTo;  // port id
    std::shared_ptr<TParser> parser;
  };

  bool Failing(uint32_t code);
  TPort* PortAt(size_t index);
  const TPort* PortAt(size_t index) const;
  TPort* PortById(uint32_t id);
  TPort* PortOfDevice(OsHandle device);
  bool AddPort(const uint8_t* in, uint32_t inLength);
  bool RemovePort(const uint8_t* in, uint32_t inLength);
  void Disconnect(TPort& port);
  void ConsumeOutput(TPort& port);
  bool WriteRecord(TPort& port, uint32_t kind, uint32_t time, const uint8_t* data, uint32_t n);

  // Held requests: their own lock, never taken together with mutex_.
  std::mutex holdMutex_;
  std::condition_variable holdCv_;
  std::optional<uint32_t> heldCode_;  // guarded by holdMutex_
  int waiting_ = 0;                   // guarded by holdMutex_

  // Event waits begun: their own lock, never taken together with mutex_.
  mutable std::mutex waitsMutex_;
  std::condition_variable waitsCv_;
  uint64_t eventWaits_ = 0;  // guarded by waitsMutex_

  mutable std::mutex mutex_;
  bool present_ = true;
  bool consumeOutput_ = true;
  bool keepSent_ = true;
  bool failIds_ = false, failEvents_ = false, failBlocks_ = false;
  std::map<uint32_t, int> failing_;
  std::vector<TPort> ports_;
  uint32_t nextPortId_ = 1;
  std::set<OsHandle> controlDevices_;
  std::map<OsHandle, uint32_t> portDevices_;  // handle -> port id
  OsHandle nextHandle_ = 0x100;
  std::set<uint8_t*> blocks_;
  std::unique_ptr<TStandInNames> names_;
  TLocalEvents events_;
};

// Installs a stand-in bus for the lifetime of the scope.
class TStandInBusScope {
 public:
  TStandInBusScope() = default;
  TStandInBusScope(const TStandInBusScope&) = delete;
  TStandInBusScope& operator=(const TStandInBusScope&) = delete;
  TStandInBus& bus() { return bus_; }
  TStandInBus* operator->() { return &bus_; }

 private:
  TStandInBus bus_;
  TBusSystemSeam::TScope installed_{bus_};  // after bus_: out before the bus goes
};

}  // namespace kv::vmpl
