// Connections and message exchange: VMPL_Connect, VMPL_Disconnect, VMPL_SendShort,
// VMPL_SendLong, VMPL_Receive and VMPL_GetShortMessageLength.
#include <cstring>

#include "vmplib/caller_memory.h"
#include "vmplib/connection.h"
#include "vmplib/guard.h"
#include "vmplib/ring.h"
#include "vmplib/short_message.h"
#include "vmplib/vmplib.h"

namespace kv::vmpl {
namespace {

constexpr uint32_t kPollMs = 10;

// Counts a receive inside its connection for as long as it runs.
class TReceiveCount {
 public:
  explicit TReceiveCount(TConnection& c) : c_(c) { c_.receiveCount++; }
  ~TReceiveCount() { c_.receiveCount--; }
  TReceiveCount(const TReceiveCount&) = delete;
  TReceiveCount& operator=(const TReceiveCount&) = delete;

 private:
  TConnection& c_;
};

// A header that can never start a whole record: the receive takes it at once, to refuse it.
bool HeaderIsBad(const RingRecordHeader& h) {
  return h.magic != kRecordMagic || h.length > kRingMaxWrite - kRecordHeaderSize;
}

// True when the input ring holds a record to take: a whole one, or a bad header.
bool RecordReady(const uint8_t* block) {
  RingRecordHeader h;
  if (!RingPeek(block, 0, &h, kRecordHeaderSize)) return false;
  return HeaderIsBad(h) || RingAvailable(block) - kRecordHeaderSize >= h.length;
}

// Waits until the input ring holds a record to take (true) or the connection is closing
// (false). A record the driver has published only in part is waited for like an empty ring:
// the driver signals the event each time it publishes, so the rest is taken as soon as it is
// there, and a driver that never finishes a record costs no processor time. Closing is looked
// at before every wait, so a receive that queued behind another on the ring lock does not
// sleep through a disconnect whose wake-up the first one took.
bool WaitForRecord(TConnection& c) {
  for (;;) {
    if (c.Has(kClosing)) return false;
    if (RecordReady(c.input->block)) return true;
    BusSystem().WaitEvent(c.input->event);
  }
}

uint32_t ReceiveRecord(uint8_t* block, VMPL_Message& m) {
  RingRecordHeader h;
  // A record is taken whole or not at all: one the driver has not finished publishing stays
  // in the ring.
  if (!RingPeek(block, 0, &h, kRecordHeaderSize)) return VMPL_ERR_IO;
  if (HeaderIsBad(h)) {
    RingRead(block, nullptr, kRecordHeaderSize);
    return VMPL_ERR_IO;
  }
  if (RingAvailable(block) - kRecordHeaderSize < h.length) return VMPL_ERR_IO;
  const uint32_t whole = kRecordHeaderSize + h.length;
  if (h.kind == VMPL_KIND_SYSEX) {
    if (!m.buffer || h.length > m.capacity) {
      RingRead(block, nullptr, whole);
      return VMPL_ERR_BUFFER_TOO_SMALL;
    }
    RingRead(block, nullptr, kRecordHeaderSize);
    RingRead(block, m.buffer, h.length);
    m.received = h.length;
  } else if (h.kind == VMPL_KIND_SHORT) {
    // shortMsg has room for four bytes; a longer record is skipped like an over-long SysEx.
    if (h.length > 4) {
      RingRead(block, nullptr, whole);
      return VMPL_ERR_BUFFER_TOO_SMALL;
    }
    uint8_t bytes[4] = {0, 0, 0, 0};
    RingRead(block, nullptr, kRecordHeaderSize);
    RingRead(block, bytes, h.length);
    m.shortMsg = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                 uint32_t(bytes[3]) << 24;
  } else {
    RingRead(block, nullptr, whole);
    return VMPL_ERR_IO;
  }
  m.time = h.time;
  m.kind = h.kind;
  return VMPL_OK;
}

uint32_t Send(VMPL_Handle handle, const uint8_t* data, uint32_t length) {
  if (length == 0 || length >= kRingDataSize || !data) return VMPL_ERR_INVALID_PARAMETER;
  TConnectionRef c(handle);
  if (!c) return VMPL_ERR_INVALID_HANDLE;
  if (!c->Has(kConnected)) return VMPL_ERR_NOT_CONNECTED;
  if (!c->Has(kHasOutputRing)) return VMPL_ERR_NOT_OPEN_FOR_INPUT;
  {
    std::lock_guard lock(c->output->lock);
    if (!RingWrite(c->output->block, data, length)) return VMPL_ERR_IO;
  }
  // The bytes are in the ring whatever the announcement's fate; the driver also takes them
  // with the next one.
  BusSystem().PortControl(c->device, kPortOutputWritten, nullptr, 0);
  return VMPL_OK;
}

}  // namespace
}  // namespace kv::vmpl

using namespace kv::vmpl;

extern "C" uint32_t VMPL_Connect(const VMPL_PortInfo* info, VMPL_Handle* handle) {
  return Guarded([&]() -> uint32_t {
    if (!handle || !WriteCaller(handle, VMPL_Handle(0))) return VMPL_ERR_INVALID_PARAMETER;
    VMPL_PortInfo i;
    if (!info || !ReadCaller(info, i)) return VMPL_ERR_INVALID_PARAMETER;
    if (i.version != VMPL_VERSION) return VMPL_ERR_VERSION_MISMATCH;
    if (i.type < VMPL_PORT_OUTPUT || i.type > VMPL_PORT_BOTH) return VMPL_ERR_INVALID_PARAMETER;
    std::u16string deviceName;
    if (i.deviceName) {
      switch (ReadCallerString(i.deviceName, kMaxDeviceName, deviceName)) {
        case TCallerString::Read: break;
        case TCallerString::Unreadable: return VMPL_ERR_INVALID_PARAMETER;
        case TCallerString::TooLong: return VMPL_ERR_PORT_DOES_NOT_EXIST;
      }
    }
    std::unique_ptr<TConnection> c;
    if (uint32_t code = CreateConnection(i.type, i.deviceName ? &deviceName : nullptr, c)) {
      return code;
    }
    uint8_t request[kConnectRequestSize];
    FillConnectRequest(*c, request);
    TBusSystem& bus = BusSystem();
    if (bus.PortControl(c->device, kPortConnect, request, sizeof request) != 0) {
      return VMPL_ERR_IO;
    }
    c->flags |= kConnected;
    const OsHandle device = c->device;
    if (!RegisterConnection(c)) {
      // The driver holds the rings now: it must let go of them before they are freed.
      bus.PortControl(device, kPortDisconnect, nullptr, 0);
      return VMPL_ERR_NOT_CONNECTED;
    }
    if (!WriteCaller(handle, VMPL_Handle(device))) {
      // The caller's memory went away during the call: nobody could ever close this one.
      VMPL_Disconnect(VMPL_Handle(device));
      return VMPL_ERR_INVALID_PARAMETER;
    }
    return VMPL_OK;
  });
}

extern "C" uint32_t VMPL_Disconnect(VMPL_Handle handle) {
  return Guarded([&]() -> uint32_t {
    std::unique_ptr<TConnection> c = UnregisterConnection(handle);
    if (!c) return VMPL_ERR_INVALID_HANDLE;
    c->flags |= kClosing;
    TBusSystem& bus = BusSystem();
    auto wakeReceivers = [&] {
      if (c->input) bus.SignalEvent(c->input->event);
    };
    wakeReceivers();
    uint32_t result = VMPL_OK;
    if (bus.PortControl(c->device, kPortDisconnect, nullptr, 0) != 0) result = VMPL_ERR_IO;
    c->flags &= ~kConnected;
    // Every receive blocked on this handle wakes in turn: each one leaving lets the next take
    // the ring lock, and the event is signalled again for it.
    while (c->receiveCount.load() > 0) {
      wakeReceivers();
      bus.Sleep(kPollMs);
    }
    // A connection whose disconnect request failed is released all the same: its handle is
    // already out of the table.
    FreeConnection(std::move(c));
    return result;
  });
}

extern "C" uint32_t VMPL_SendLong(VMPL_Handle handle, const uint8_t* data, uint32_t length) {
  return Guarded([&] { return Send(handle, data, length); });
}

extern "C" uint32_t VMPL_SendShort(VMPL_Handle handle, uint32_t message) {
  const uint8_t bytes[4] = {uint8_t(message), uint8_t(message >> 8), uint8_t(message >> 16),
                            uint8_t(message >> 24)};
  return Guarded([&] { return Send(handle, bytes, ShortSendLength(message)); });
}

extern "C" uint32_t VMPL_Receive(VMPL_Handle handle, VMPL_Message* message) {
  return Guarded([&]() -> uint32_t {
    VMPL_Message m;
    if (!message || !ReadCaller(message, m)) return VMPL_ERR_INVALID_PARAMETER;
    TConnectionRef c(handle);
    if (!c) return VMPL_ERR_INVALID_HANDLE;
    TReceiveCount counted(*c.get());
    if (!c->Has(kHasInputRing)) return VMPL_ERR_NOT_OPEN_FOR_OUTPUT;
    if (!c->Has(kConnected)) return VMPL_ERR_NOT_CONNECTED;
    std::lock_guard lock(c->input->lock);
    if (!WaitForRecord(*c.get())) return VMPL_ERR_NO_MORE_DATA;
    const uint32_t result = ReceiveRecord(c->input->block, m);
    if (result == VMPL_OK && !WriteCaller(message, m)) return VMPL_ERR_INVALID_PARAMETER;
    return result;
  });
}

extern "C" uint32_t VMPL_GetShortMessageLength(uint32_t message) {
  return ShortMessageLength(message);
}
