#include "vmplib/connection.h"

#include <cstring>
#include <map>

#include "vmplib/ring.h"

namespace kv::vmpl {
namespace {

struct TTable {
  std::mutex lock;
  std::map<VMPL_Handle, std::unique_ptr<TConnection>> connections;  // guarded by lock
};

TTable& Table() {
  static TTable table;
  return table;
}

std::unique_ptr<TRing> CreateRing(bool withEvent) {
  auto ring = std::make_unique<TRing>();
  TBusSystem& bus = BusSystem();
  if (withEvent) {
    ring->event = bus.MakeEvent();
    if (!ring->event) return nullptr;
  }
  ring->block = bus.AllocBlock();
  if (!ring->block) return nullptr;
  RingInit(ring->block);
  return ring;
}

void PutU64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace

TRing::~TRing() {
  TBusSystem& bus = BusSystem();
  if (block) bus.FreeBlock(block);
  if (event) bus.CloseEvent(event);
}

TConnection::~TConnection() {
  if (device) BusSystem().CloseDevice(device);
}

uint32_t CreateConnection(uint32_t type, const std::u16string* deviceName,
                          std::unique_ptr<TConnection>& out) {
  out.reset();
  // The path is checked before anything is made: a name that does not fit never reaches the
  // system cut short.
  if (!deviceName || deviceName->size() > kMaxDeviceName) return VMPL_ERR_PORT_DOES_NOT_EXIST;
  const std::u16string path = u"\\\\.\\" + *deviceName;
  auto c = std::make_unique<TConnection>();
  if (type == VMPL_PORT_OUTPUT || type == VMPL_PORT_BOTH) {
    c->output = CreateRing(false);
    if (!c->output) return VMPL_ERR_NO_RESOURCES;
    c->flags |= kHasOutputRing;
  }
  if (type == VMPL_PORT_INPUT || type == VMPL_PORT_BOTH) {
    c->input = CreateRing(true);
    if (!c->input) return VMPL_ERR_NO_RESOURCES;
    c->flags |= kHasInputRing;
  }
  c->device = BusSystem().OpenPortDevice(path);
  if (!c->device) return VMPL_ERR_PORT_DOES_NOT_EXIST;
  out = std::move(c);
  return VMPL_OK;
}

void FillConnectRequest(const TConnection& c, uint8_t (&request)[kConnectRequestSize]) {
  std::memset(request, 0, sizeof request);
  request[0] = kConnectRequestSize;
  if (c.input) {
    PutU64(request + 8, c.input->event);
    PutU64(request + 16, reinterpret_cast<uintptr_t>(c.input->block));
  }
  if (c.output) PutU64(request + 24, reinterpret_cast<uintptr_t>(c.output->block));
}

bool RegisterConnection(std::unique_ptr<TConnection>& connection) {
  if (!connection || connection->sizeTag != kConnectionTag || !connection->device) return false;
  const VMPL_Handle handle = VMPL_Handle(connection->device);
  TTable& t = Table();
  std::lock_guard lock(t.lock);
  if (t.connections.count(handle)) return false;
  connection->useCount++;  // the table's reference
  t.connections.emplace(handle, std::move(connection));
  return true;
}

std::unique_ptr<TConnection> UnregisterConnection(VMPL_Handle handle) {
  TTable& t = Table();
  std::lock_guard lock(t.lock);
  auto it = t.connections.find(handle);
  if (it == t.connections.end()) return nullptr;
  std::unique_ptr<TConnection> c = std::move(it->second);
  t.connections.erase(it);
  c->flags |= kUnregistered;
  return c;
}

void FreeConnection(std::unique_ptr<TConnection> connection) {
  if (!connection) return;
  TBusSystem& bus = BusSystem();
  // The device is closed only after every operation in flight has left it: a send still
  // announcing its output must not reach a closed (or reused) handle.
  if (connection->useCount.load() > 0) {
    while (connection->useCount.load() > 1) bus.Sleep(10);
    connection->useCount.store(0);
  }
  connection.reset();
}

TConnectionRef::TConnectionRef(VMPL_Handle handle) {
  TTable& t = Table();
  std::lock_guard lock(t.lock);
  auto it = t.connections.find(handle);
  if (it == t.connections.end()) return;
  TConnection* c = it->second.get();
  c->useCount++;
  if (c->Has(kClosing)) {
    c->useCount--;
    return;
  }
  c_ = c;
}

TConnectionRef::~TConnectionRef() {
  if (c_) c_->useCount--;
}

size_t ConnectionCount() {
  TTable& t = Table();
  std::lock_guard lock(t.lock);
  return t.connections.size();
}

}  // namespace kv::vmpl
