#include "vmplib/standin/standin_bus.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <utility>

#include "vmplib/bus_control.h"
#include "vmplib/connection.h"
#include "vmplib/port_record.h"
#include "vmplib/ring.h"
#include "vmplib/vmplib.h"

namespace kv::vmpl {
namespace {

// Windows error numbers the stand-in answers with.
constexpr uint32_t kErrorInvalidFunction = 1;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorBusy = 170;

uint32_t GetU32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

uint64_t GetU64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

uint32_t MidiLength(uint8_t status) {
  if (status < 0xC0) return 3;
  if (status < 0xE0) return 2;
  if (status < 0xF0) return 3;
  if (status == 0xF1 || status == 0xF3) return 2;
  if (status == 0xF2) return 3;
  return 1;
}

}  // namespace

// Splits a raw MIDI byte stream into short messages and SysEx, with running status.
struct TStandInBus::TParser {
  std::vector<uint8_t> message;
  std::vector<uint8_t> sysex;
  bool inSysex = false;
  uint8_t running = 0;

  template <typename Emit>
  void Feed(const std::vector<uint8_t>& bytes, Emit&& emit) {
    for (uint8_t b : bytes) {
      if (b >= 0xF8) {
        emit(VMPL_KIND_SHORT, std::vector<uint8_t>{b});
        continue;
      }
      if (inSysex) {
        if (b < 0x80 || b == 0xF7) {
          sysex.push_back(b);
          if (b == 0xF7) {
            emit(VMPL_KIND_SYSEX, sysex);
            inSysex = false;
          }
          continue;
        }
        inSysex = false;  // a torn SysEx ends at the next status byte
      }
      if (b == 0xF0) {
        sysex.assign(1, b);
        inSysex = true;
        running = 0;
        continue;
      }
      if (b >= 0x80) {
        message.assign(1, b);
        running = b < 0xF0 ? b : 0;
      } else if (message.empty()) {
        if (!running) continue;  // a stray data byte
        message.assign(1, running);
        message.push_back(b);
      } else {
        message.push_back(b);
      }
      if (message.size() == MidiLength(message[0])) {
        emit(VMPL_KIND_SHORT, message);
        message.clear();
      }
    }
  }
};

TStandInBus::TStandInBus() : names_(MakeStandInNames()) {}

TStandInBus::~TStandInBus() {
  for (TPort& p : ports_) {
    for (const auto& key : p.nameKeys) names_->Delete(key);
  }
}

void TStandInBus::SetPresent(bool present) {
  std::lock_guard lock(mutex_);
  present_ = present;
}

void TStandInBus::FailRequest(uint32_t code, int times) {
  std::lock_guard lock(mutex_);
  failing_[code] = times;
}

void TStandInBus::FailIdentifiers(bool fail) {
  std::lock_guard lock(mutex_);
  failIds_ = fail;
}

void TStandInBus::FailEvents(bool fail) {
  std::lock_guard lock(mutex_);
  failEvents_ = fail;
}

void TStandInBus::FailBlocks(bool fail) {
  std::lock_guard lock(mutex_);
  failBlocks_ = fail;
}

void TStandInBus::SetConsumeOutput(bool consume) {
  std::lock_guard lock(mutex_);
  consumeOutput_ = consume;
}

void TStandInBus::HoldRequests(uint32_t code) {
  std::lock_guard lock(holdMutex_);
  heldCode_ = code;
}

void TStandInBus::ReleaseRequests() {
  {
    std::lock_guard lock(holdMutex_);
    heldCode_.reset();
  }
  holdCv_.notify_all();
}

bool TStandInBus::WaitUntilHeld(uint32_t timeoutMs) {
  std::unique_lock lock(holdMutex_);
  return holdCv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return waiting_ > 0; });
}

void TStandInBus::SetKeepSent(bool keep) {
  std::lock_guard lock(mutex_);
  keepSent_ = keep;
}

bool TStandInBus::Failing(uint32_t code) {
  auto it = failing_.find(code);
  if (it == failing_.end() || it->second <= 0) return false;
  --it->second;
  return true;
}

TStandInBus::TPort* TStandInBus::PortAt(size_t index) {
  return index < ports_.size() ? &ports_[index] : nullptr;
}

const TStandInBus::TPort* TStandInBus::PortAt(size_t index) const {
  return index < ports_.size() ? &ports_[index] : nullptr;
}

TStandInBus::TPort* TStandInBus::PortById(uint32_t id) {
  for (TPort& p : ports_) {
    if (p.id == id) return &p;
  }
  return nullptr;
}

TStandInBus::TPort* TStandInBus::PortOfDevice(OsHandle device) {
  auto it = portDevices_.find(device);
  return it == portDevices_.end() ? nullptr : PortById(it->second);
}

size_t TStandInBus::PortCount() const {
  std::lock_guard lock(mutex_);
  return ports_.size();
}

std::optional<uint32_t> TStandInBus::PortId(size_t index) const {
  std::lock_guard lock(mutex_);
  const TPort* p = PortAt(index);
  return p ? std::optional<uint32_t>(p->id) : std::nullopt;
}

bool TStandInBus::IsConnected(size_t index) const {
  std::lock_guard lock(mutex_);
  const TPort* p = PortAt(index);
  return p && p->device;
}

size_t TStandInBus::OpenDeviceCount() const {
  std::lock_guard lock(mutex_);
  return controlDevices_.size() + portDevices_.size();
}

bool TStandInBus::WriteRecord(TPort& port, uint32_t kind, uint32_t time, const uint8_t* data,
                              uint32_t n) {
  if (!port.inBlock || n > kRingMaxWrite - kRecordHeaderSize) return false;
  if (RingFree(port.inBlock) < kRecordHeaderSize + n) return false;
  std::vector<uint8_t> record(kRecordHeaderSize + n);
  const uint32_t head[4] = {kRecordMagic, n, time, kind};
  std::memcpy(record.data(), head, sizeof head);
  if (n) std::memcpy(record.data() + kRecordHeaderSize, data, n);
  // Header and data are published together, then the receiver is woken.
  if (!RingWrite(port.inBlock, record.data(), uint32_t(record.size()))) return false;
  events_.Signal(port.inEvent);
  return true;
}

bool TStandInBus::InjectRecord(size_t index, uint32_t kind, uint32_t time,
                               const std::vector<uint8_t>& data) {
  std::lock_guard lock(mutex_);
  TPort* p = PortAt(index);
  return p && WriteRecord(*p, kind, time, data.data(), uint32_t(data.size()));
}

bool TStandInBus::InjectShort(size_t index, uint32_t packed, uint32_t length, uint32_t time) {
  std::vector<uint8_t> bytes;
  for (uint32_t i = 0; i < length; ++i) bytes.push_back(uint8_t(packed >> (8 * (i % 4))));
  return InjectRecord(index, VMPL_KIND_SHORT, time, bytes);
}

bool TStandInBus::InjectRaw(size_t index, const std::vector<uint8_t>& bytes) {
  std::lock_guard lock(mutex_);
  TPort* p = PortAt(index);
  if (!p || !p->inBlock) return false;
  if (!RingWrite(p->inBlock, bytes.data(), uint32_t(bytes.size()))) return false;
  events_.Signal(p->inEvent);
  return true;
}

bool TStandInBus::SetInputPosition(size_t index, uint32_t position) {
  std::lock_guard lock(mutex_);
  TPort* p = PortAt(index);
  if (!p || !p->inBlock || RingAvailable(p->inBlock) != 0) return false;
  RingSetPositions(p->inBlock, position, position);
  return true;
}

bool TStandInBus::SetOutputPosition(size_t index, uint32_t position) {
  std::lock_guard lock(mutex_);
  TPort* p = PortAt(index);
  if (!p || !p->outBlock || RingAvailable(p->outBlock) != 0) return false;
  RingSetPositions(p->outBlock, position, position);
  return true;
}

std::vector<uint8_t> TStandInBus::TakeSent(size_t index) {
  std::lock_guard lock(mutex_);
  TPort* p = PortAt(index);
  if (!p) return {};
  return std::exchange(p->sent, {});
}

void TStandInBus::Cable(size_t from, size_t to) {
  std::lock_guard lock(mutex_);
  TPort* a = PortAt(from);
  TPort* b = PortAt(to);
  if (!a || !b) return;
  a->cableTo = b->id;
  a->parser = std::make_shared<TParser>();
}

void TStandInBus::ConsumeOutput(TPort& port) {
  if (!port.outBlock) return;
  const uint32_t n = RingAvailable(port.outBlock);
  if (n == 0) return;
  std::vector<uint8_t> bytes(n);
  RingRead(port.outBlock, bytes.data(), n);
  if (keepSent_) port.sent.insert(port.sent.end(), bytes.begin(), bytes.end());
  if (!port.cableTo || !port.parser) return;
  TPort* target = PortById(*port.cableTo);
  if (!target) return;
  port.parser->Feed(bytes, [&](uint32_t kind, const std::vector<uint8_t>& m) {
    WriteRecord(*target, kind, 0, m.data(), uint32_t(m.size()));
  });
}

OsHandle TStandInBus::OpenBusControlDevice() {
  std::lock_guard lock(mutex_);
  if (!present_) return 0;
  const OsHandle h = nextHandle_;
  nextHandle_ += 4;
  controlDevices_.insert(h);
  return h;
}

OsHandle TStandInBus::OpenPortDevice(std::u16string_view path) {
  std::lock_guard lock(mutex_);
  const std::u16string_view prefix = u"\\\\.\\";
  if (!present_ || path.substr(0, prefix.size()) != prefix) return 0;
  const std::u16string_view name = path.substr(prefix.size());
  for (TPort& p : ports_) {
    if (!p.deviceName.empty() && p.deviceName == name) {
      const OsHandle h = nextHandle_;
      nextHandle_ += 4;
      portDevices_[h] = p.id;
      return h;
    }
  }
  return 0;
}

void TStandInBus::CloseDevice(OsHandle device) {
  std::lock_guard lock(mutex_);
  if (controlDevices_.erase(device)) return;
  if (TPort* p = PortOfDevice(device); p && p->device == device) Disconnect(*p);
  portDevices_.erase(device);
}

bool TStandInBus::AddPort(const uint8_t* in, uint32_t inLength) {
  DecodedPortRecord r;
  if (!in || DecodePortRecord(in, inLength, r) != VMPL_OK || r.head.size != inLength) {
    return false;
  }
  if (r.head.type < VMPL_PORT_OUTPUT || r.head.type > VMPL_PORT_BOTH) return false;
  TPort port;
  port.id = nextPortId_++;
  port.type = r.head.type;
  port.deviceName = r.deviceName.value_or(u"");
  if (!port.deviceName.empty()) {
    for (const TPort& p : ports_) {
      if (p.deviceName == port.deviceName) return false;
    }
  }
  port.record.assign(in, in + inLength);
  SetRecordPortId(port.record, port.id);
  if (port.type != VMPL_PORT_INPUT) {
    port.nameKeys.push_back(CategoryKeyPath(r.head.outId));
    names_->Write(port.nameKeys.back(), StringValue(r.recordOutName.value_or(u"")));
  }
  if (port.type != VMPL_PORT_OUTPUT) {
    port.nameKeys.push_back(CategoryKeyPath(r.head.inId));
    names_->Write(port.nameKeys.back(), StringValue(r.recordInName.value_or(u"")));
  }
  ports_.push_back(std::move(port));
  return true;
}

bool TStandInBus::RemovePort(const uint8_t* in, uint32_t inLength) {
  if (!in || inLength < kPortRecordHeadSize || GetU32(in) != kPortRecordHeadSize ||
      GetU32(in + 4) != VMPL_VERSION) {
    return false;
  }
  const uint32_t id = GetU32(in + 36);
  auto it = std::find_if(ports_.begin(), ports_.end(), [&](const TPort& p) { return p.id == id; });
  if (it == ports_.end()) return false;
  if (it->device) Disconnect(*it);
  for (const auto& key : it->nameKeys) names_->Delete(key);
  ports_.erase(it);
  return true;
}

bool TStandInBus::BusControl(OsHandle device, uint32_t code, const void* in, uint32_t inLength,
                             void* out, uint32_t outLength, uint32_t& returned) {
  std::lock_guard lock(mutex_);
  returned = 0;
  if (!controlDevices_.count(device) || Failing(code)) return false;
  const auto* input = static_cast<const uint8_t*>(in);
  auto indexArg = [&]() -> const TPort* {
    return input && inLength >= 4 ? PortAt(GetU32(input)) : nullptr;
  };
  switch (code) {
    case kBusAddPort:
      return AddPort(input, inLength);
    case kBusRemovePort:
      return RemovePort(input, inLength);
    case kBusCountPorts: {
      if (!out || outLength < 4) return false;
      const uint32_t n = uint32_t(ports_.size());
      std::memcpy(out, &n, 4);
      returned = 4;
      return true;
    }
    case kBusRecordSize: {
      const TPort* p = indexArg();
      if (!p || !out || outLength < 4) return false;
      const uint32_t n = uint32_t(p->record.size());
      std::memcpy(out, &n, 4);
      returned = 4;
      return true;
    }
    case kBusRecord: {
      const TPort* p = indexArg();
      if (!p || !out || outLength < p->record.size()) return false;
      std::memcpy(out, p->record.data(), p->record.size());
      returned = uint32_t(p->record.size());
      return true;
    }
    default:
      return false;
  }
}

void TStandInBus::Disconnect(TPort& port) {
  const OsHandle event = port.inEvent;
  port.device = 0;
  port.inBlock = nullptr;
  port.outBlock = nullptr;
  port.inEvent = 0;
  if (event) events_.Signal(event);
}

uint32_t TStandInBus::PortControl(OsHandle device, uint32_t code, const void* in,
                                  uint32_t inLength) {
  {
    std::unique_lock hold(holdMutex_);
    if (heldCode_ == code) {
      ++waiting_;
      holdCv_.notify_all();
      holdCv_.wait(hold, [&] { return heldCode_ != code; });
      --waiting_;
    }
  }
  std::lock_guard lock(mutex_);
  TPort* port = PortOfDevice(device);
  if (!port) return kErrorInvalidFunction;
  if (Failing(code)) return kErrorInvalidFunction;
  switch (code) {
    case kPortConnect: {
      const auto* r = static_cast<const uint8_t*>(in);
      if (!r || inLength < kConnectRequestSize || GetU32(r) != kConnectRequestSize) {
        return kErrorInvalidParameter;
      }
      if (port->device) return kErrorBusy;
      auto* inBlock = reinterpret_cast<uint8_t*>(uintptr_t(GetU64(r + 16)));
      auto* outBlock = reinterpret_cast<uint8_t*>(uintptr_t(GetU64(r + 24)));
      const OsHandle event = GetU64(r + 8);
      const bool wantsIn = port->type != VMPL_PORT_OUTPUT;
      const bool wantsOut = port->type != VMPL_PORT_INPUT;
      // Only blocks this bus handed out, and exactly the rings the port's type has.
      if (wantsIn != (inBlock != nullptr) || wantsOut != (outBlock != nullptr)) {
        return kErrorInvalidParameter;
      }
      if ((inBlock && (!blocks_.count(inBlock) || !events_.Exists(event))) ||
          (outBlock && !blocks_.count(outBlock))) {
        return kErrorInvalidParameter;
      }
      port->device = device;
      port->inBlock = inBlock;
      port->outBlock = outBlock;
      port->inEvent = inBlock ? event : 0;
      return 0;
    }
    case kPortDisconnect:
      if (port->device != device) return kErrorInvalidFunction;
      Disconnect(*port);
      return 0;
    case kPortOutputWritten:
      if (port->device != device || !port->outBlock) return kErrorInvalidFunction;
      if (consumeOutput_) ConsumeOutput(*port);
      return 0;
    default:
      return kErrorInvalidFunction;
  }
}

uint8_t* TStandInBus::AllocBlock() {
  std::lock_guard lock(mutex_);
  if (failBlocks_) return nullptr;
  uint8_t* b = AllocLocalBlock();
  if (b) blocks_.insert(b);
  return b;
}

void TStandInBus::FreeBlock(uint8_t* block) {
  std::lock_guard lock(mutex_);
  // A block still named by a connection would be a library fault: the driver keeps using it.
  for (const TPort& p : ports_) {
    if (p.inBlock == block || p.outBlock == block) std::abort();
  }
  blocks_.erase(block);
  FreeLocalBlock(block);
}

OsHandle TStandInBus::MakeEvent() {
  {
    std::lock_guard lock(mutex_);
    if (failEvents_) return 0;
  }
  return events_.Create();
}

void TStandInBus::SignalEvent(OsHandle event) {
  events_.Signal(event);
}

void TStandInBus::WaitEvent(OsHandle event) {
  {
    std::lock_guard lock(waitsMutex_);
    ++eventWaits_;
  }
  waitsCv_.notify_all();
  events_.Wait(event);
}

uint64_t TStandInBus::EventWaits() const {
  std::lock_guard lock(waitsMutex_);
  return eventWaits_;
}

bool TStandInBus::WaitForEventWaits(uint64_t n, uint32_t timeoutMs) {
  std::unique_lock lock(waitsMutex_);
  return waitsCv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return eventWaits_ >= n; });
}

void TStandInBus::CloseEvent(OsHandle event) {
  events_.Close(event);
}

bool TStandInBus::CreateIdentifier(uint8_t (&id)[16]) {
  {
    std::lock_guard lock(mutex_);
    if (failIds_) return false;
  }
  static std::mutex rngMutex;
  static std::mt19937_64 rng{std::random_device{}()};
  std::lock_guard lock(rngMutex);
  for (auto& b : id) b = uint8_t(rng());
  return true;
}

bool TStandInBus::ReadNameValue(std::u16string_view keyPath, RegistryValue& value) {
  return names_->Read(keyPath, value);
}

void TStandInBus::Sleep(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace kv::vmpl
