#pragma once
// One open connection to a port device (VMPL_Connection) and the library's process-wide table
// of them, keyed by handle value.
//
// Lifetime: a connection is owned by the table from RegisterConnection until
// UnregisterConnection hands it to the disconnecting caller, which frees it with
// FreeConnection once every operation in flight has left it. Operations find a connection
// with LookupConnection, which takes a use reference (returned by TConnectionRef).
//
// Locks: the table lock guards the table only and is never held while a ring lock is taken
// or the bus system is called. Each ring's lock serialises its side's ring operations (for the
// input ring across the whole receive, blocking wait included). Flags and counts are atomic.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "vmplib/bus_system.h"
#include "vmplib/vmplib.h"

namespace kv::vmpl {

constexpr uint32_t kConnectionTag = 48;
// Flags.
constexpr uint32_t kHasInputRing = 1;
constexpr uint32_t kHasOutputRing = 2;
constexpr uint32_t kConnected = 4;
constexpr uint32_t kClosing = 8;
constexpr uint32_t kUnregistered = 16;
// Port device control codes.
constexpr uint32_t kPortConnect = 0x80012018;
constexpr uint32_t kPortDisconnect = 0x8001201C;
constexpr uint32_t kPortOutputWritten = 0x80012020;
constexpr uint32_t kConnectRequestSize = 32;
// "\\.\" and the device name must fit in this many characters.
constexpr size_t kMaxDevicePath = 59;
constexpr size_t kMaxDeviceName = kMaxDevicePath - 4;

struct TRing {
  TRing() = default;
  TRing(const TRing&) = delete;
  TRing& operator=(const TRing&) = delete;
  ~TRing();

  std::mutex lock;  // serialises this side's ring operations
  uint8_t* block = nullptr;
  OsHandle event = 0;
};

struct TConnection {
  TConnection() = default;
  TConnection(const TConnection&) = delete;
  TConnection& operator=(const TConnection&) = delete;
  ~TConnection();  // closes the device and frees the rings

  bool Has(uint32_t flag) const { return (flags.load() & flag) != 0; }

  uint32_t sizeTag = kConnectionTag;
  OsHandle device = 0;
  std::atomic<uint32_t> flags{0};
  std::atomic<uint32_t> receiveCount{0};
  std::atomic<uint32_t> useCount{0};
  std::unique_ptr<TRing> input;   // port types 2 and 3
  std::unique_ptr<TRing> output;  // port types 1 and 3
};

// A connection of a port type (1 to 3) with its rings and open port device, or a code (8, 3).
// The device name is none when the port record has none.
uint32_t CreateConnection(uint32_t type, const std::u16string* deviceName,
                          std::unique_ptr<TConnection>& out);
// The 32-byte connect request for the rings present.
void FillConnectRequest(const TConnection& c, uint8_t (&request)[kConnectRequestSize]);
// Enters the connection into the table under its device handle; false when it cannot.
bool RegisterConnection(std::unique_ptr<TConnection>& connection);
std::unique_ptr<TConnection> UnregisterConnection(VMPL_Handle handle);
// Waits until only the caller's reference is left, then frees the connection.
void FreeConnection(std::unique_ptr<TConnection> connection);

// A use reference on a registered, non-closing connection.
class TConnectionRef {
 public:
  explicit TConnectionRef(VMPL_Handle handle);
  ~TConnectionRef();
  TConnectionRef(const TConnectionRef&) = delete;
  TConnectionRef& operator=(const TConnectionRef&) = delete;
  TConnection* get() const { return c_; }
  TConnection* operator->() const { return c_; }
  explicit operator bool() const { return c_ != nullptr; }

 private:
  TConnection* c_ = nullptr;
};

// Connections in the table (for tests).
size_t ConnectionCount();

}  // namespace kv::vmpl
