#pragma once
// The seam between vmplib and the operating system for everything that reaches the virtual
// MIDI bus: finding and opening the bus control device and the port devices, synchronous and
// overlapped control requests, the shared 64 KB blocks, the input events, unique identifiers
// and the display-name values in the registry.
//
// Lifecycle (base/seam.h): one process-wide instance. The Windows build uses the real calls
// (win/bus_system_win.cpp); natively the default is a system without a bus. Tests install the
// stand-in bus (standin/standin_bus.h) with SetBusSystem before the first library call and
// take it out (SetBusSystem(nullptr)) only after every connection is closed. Every member may
// be called from any thread at once.
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/seam.h"

namespace kv::vmpl {

// An operating-system handle as a number; 0 is none.
using OsHandle = uint64_t;

constexpr uint32_t kBlockSize = 65536;
constexpr uint32_t kMaxNameValueBytes = 1024;
constexpr uint32_t kRegTypeString = 1;  // the registry's plain string type

struct RegistryValue {
  uint32_t type = 0;
  std::vector<uint8_t> data;  // at most kMaxNameValueBytes
};

class TBusSystem {
 public:
  virtual ~TBusSystem() = default;

  // The first present device of the bus interface class, opened without access rights and
  // without sharing; 0 when there is none or it does not open.
  virtual OsHandle OpenBusControlDevice() = 0;
  // A port device by its path ("\\.\" + device name), opened for overlapped requests; 0 on
  // failure.
  virtual OsHandle OpenPortDevice(std::u16string_view path) = 0;
  virtual void CloseDevice(OsHandle device) = 0;

  // A synchronous control request on the bus control device; false when refused.
  virtual bool BusControl(OsHandle device, uint32_t code, const void* in, uint32_t inLength,
                          void* out, uint32_t outLength, uint32_t& returned) = 0;
  // An overlapped control request on a port device with an event of its own, waited for until
  // it completes: 0, or the system's error.
  virtual uint32_t PortControl(OsHandle device, uint32_t code, const void* in,
                               uint32_t inLength) = 0;

  // kBlockSize bytes of committed, zeroed, page-aligned memory; null when out of memory.
  virtual uint8_t* AllocBlock() = 0;
  virtual void FreeBlock(uint8_t* block) = 0;

  // Automatic-reset events, initially not signalled; 0 when none can be made.
  virtual OsHandle MakeEvent() = 0;
  virtual void SignalEvent(OsHandle event) = 0;
  virtual void WaitEvent(OsHandle event) = 0;  // without a time limit
  virtual void CloseEvent(OsHandle event) = 0;

  // A new unique identifier (one unique only on this computer is accepted); false on failure.
  virtual bool CreateIdentifier(uint8_t (&id)[16]) = 0;

  // The value "Name" of the key under the local machine (at most kMaxNameValueBytes); false
  // when the key or value cannot be read.
  virtual bool ReadNameValue(std::u16string_view keyPath, RegistryValue& value) = 0;

  virtual void Sleep(uint32_t ms) = 0;
};

// The platform's own bus system: the real calls on Windows, a machine without a bus natively.
TBusSystem& DefaultBusSystem();
using TBusSystemSeam = TSeam<TBusSystem, DefaultBusSystem>;
inline TBusSystem& BusSystem() { return TBusSystemSeam::Get(); }
// Replaces the process-wide bus system; nullptr restores the default.
inline void SetBusSystem(TBusSystem* system) { TBusSystemSeam::Set(system); }

}  // namespace kv::vmpl
