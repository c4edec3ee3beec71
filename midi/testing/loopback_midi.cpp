#include "midi/testing/loopback_midi.h"

#include <algorithm>

#include "midi/system/midi_device.h"

namespace kv {

TLoopbackMidi::TLoopbackMidi() {
  callbackThread_.Start();
}

TLoopbackMidi::~TLoopbackMidi() {
  callbackThread_.Stop();
}

// --- the callback thread -------------------------------------------------------------------

void TLoopbackMidi::Wake() {
  Lock lock(mutex_);
  stopping_ = true;
  changed_.notify_all();
}

void TLoopbackMidi::Run() {
  Lock lock(mutex_);
  callbackThreadId_ = std::this_thread::get_id();
  while (true) {
    changed_.wait(lock, [this] { return stopping_ || !events_.empty(); });
    if (stopping_) break;
    Event e = events_.front();
    events_.pop_front();
    if (e.header) {
      e.header->flags = (e.header->flags & ~kMidiHdrInQueue) | kMidiHdrDone;
    }
    lock.unlock();
    if (e.callback) e.callback(e.handle, e.msg, e.instance, e.param1, e.param2);
    lock.lock();
    ++delivered_;
    changed_.notify_all();
  }
  // Nobody will deliver what is left; let waiters go.
  delivered_ = posted_;
  changed_.notify_all();
}

uint64_t TLoopbackMidi::Post(TMidiHandle id, const Handle& h, TMidiMsg msg, uintptr_t p1,
                             uintptr_t p2, TMidiHeader* header) {
  Event e;
  e.handle = id;
  e.callback = h.callback;
  e.instance = h.instance;
  e.msg = msg;
  e.param1 = header ? reinterpret_cast<uintptr_t>(header) : p1;
  e.param2 = p2;
  e.header = header;
  events_.push_back(e);
  changed_.notify_all();
  return ++posted_;
}

void TLoopbackMidi::WaitDelivered(Lock& lock, uint64_t sequence) {
  if (std::this_thread::get_id() == callbackThreadId_) return;  // a callback waits for nobody
  changed_.wait(lock, [&] { return delivered_ >= sequence || stopping_; });
}

void TLoopbackMidi::WaitIdle() {
  Lock lock(mutex_);
  if (std::this_thread::get_id() == callbackThreadId_) return;
  // Callbacks may queue more (a buffer given back is filled at once): wait for the quiet.
  changed_.wait(lock, [&] { return delivered_ >= posted_ || stopping_; });
}

// --- devices and test controls -------------------------------------------------------------

void TLoopbackMidi::AddInput(const std::string& name, const std::string& path) {
  Lock lock(mutex_);
  auto d = std::make_unique<Device>();
  d->name = name;
  d->path = path;
  devices_.push_back(std::move(d));
}

void TLoopbackMidi::AddOutput(const std::string& name, const std::string& path) {
  Lock lock(mutex_);
  auto d = std::make_unique<Device>();
  d->name = name;
  d->path = path;
  d->isOutput = true;
  devices_.push_back(std::move(d));
}

void TLoopbackMidi::AddCable(const std::string& outputName, const std::string& inputName) {
  Lock lock(mutex_);
  Device* input = nullptr;
  for (auto& d : devices_) {
    if (!d->isOutput && d->name == inputName) input = d.get();
  }
  for (auto& d : devices_) {
    if (d->isOutput && d->name == outputName) d->cable = input;
  }
}

void TLoopbackMidi::Unplug(const std::string& name) {
  Lock lock(mutex_);
  for (auto& d : devices_) {
    if (d->name == name) d->plugged = false;
  }
  for (auto& [id, h] : handles_) {
    if (h.device->name != name || h.lost) continue;
    // The driver is gone: what it holds is never handed back, and it says so once.
    h.lost = true;
    h.started = false;
    h.pendingSysEx.clear();
    Post(id, h, h.isOutput ? TMidiMsg::OutClose : TMidiMsg::InClose);
  }
}

void TLoopbackMidi::Plug(const std::string& name) {
  Lock lock(mutex_);
  for (auto& d : devices_) {
    if (d->name == name) d->plugged = true;
  }
}

TLoopbackMidi::Handle* TLoopbackMidi::OpenHandleOf(const std::string& name, bool isOutput) {
  for (auto& [id, h] : handles_) {
    if (h.isOutput == isOutput && !h.lost && h.device->name == name) return &h;
  }
  return nullptr;
}

bool TLoopbackMidi::FeedShort(const std::string& inputName, uint32_t message, TMidiMsg kind) {
  Lock lock(mutex_);
  for (auto& [id, h] : handles_) {
    if (!h.isOutput && !h.lost && h.started && h.device->name == inputName) {
      Post(id, h, kind, message, 0);
      return true;
    }
  }
  return false;
}

bool TLoopbackMidi::FeedLong(const std::string& inputName, const std::vector<uint8_t>& bytes) {
  Lock lock(mutex_);
  for (auto& [id, h] : handles_) {
    if (!h.isOutput && !h.lost && h.started && h.device->name == inputName) {
      h.pendingSysEx.insert(h.pendingSysEx.end(), bytes.begin(), bytes.end());
      FillInputBuffers(id, h);
      return true;
    }
  }
  return false;
}

// Buffers fill in the order they were added; one goes back when it is full or holds the
// end of a SysEx. Bytes without a buffer wait for the next one added.
void TLoopbackMidi::FillInputBuffers(TMidiHandle id, Handle& h) {
  while (!h.pendingSysEx.empty() && !h.buffers.empty()) {
    TMidiHeader* header = h.buffers.front();
    bool ended = false;
    while (!h.pendingSysEx.empty() && header->bytesRecorded < header->bufferLength) {
      const uint8_t b = h.pendingSysEx.front();
      h.pendingSysEx.pop_front();
      header->data[header->bytesRecorded++] = b;
      if (b == 0xF7) {
        ended = true;
        break;
      }
    }
    if (!ended && header->bytesRecorded < header->bufferLength) break;
    h.buffers.pop_front();
    Post(id, h, TMidiMsg::InLongData, 0, 0, header);
  }
}

std::vector<TLoopbackSent> TLoopbackMidi::Sent(const std::string& outputName) const {
  Lock lock(mutex_);
  std::vector<TLoopbackSent> all;
  for (auto& d : devices_) {
    if (d->isOutput && d->name == outputName) {
      all.insert(all.end(), d->sent.begin(), d->sent.end());
    }
  }
  return all;
}

void TLoopbackMidi::ClearSent() {
  Lock lock(mutex_);
  for (auto& d : devices_) d->sent.clear();
}

void TLoopbackMidi::HoldOutputBuffers(bool hold) {
  Lock lock(mutex_);
  holdOutput_ = hold;
}

size_t TLoopbackMidi::ReleaseOutputBuffers(size_t count) {
  Lock lock(mutex_);
  size_t released = 0;
  while (released < count && !held_.empty()) {
    auto [id, header] = held_.front();
    held_.pop_front();
    Handle* h = FindHandle(id, true);
    if (!h) continue;
    auto& q = h->buffers;
    q.erase(std::remove(q.begin(), q.end(), header), q.end());
    Post(id, *h, TMidiMsg::OutDone, 0, 0, header);
    ++released;
  }
  return released;
}

size_t TLoopbackMidi::HeldOutputBuffers() const {
  Lock lock(mutex_);
  return held_.size();
}

void TLoopbackMidi::InjectError(TLoopbackCall call, TMmResult code, int times) {
  Lock lock(mutex_);
  for (int i = 0; i < times; ++i) injected_[call].push_back(code);
}

int TLoopbackMidi::CallCount(TLoopbackCall call) const {
  Lock lock(mutex_);
  return calls_[static_cast<int>(call)];
}

size_t TLoopbackMidi::QueuedInputBuffers(const std::string& inputName) const {
  Lock lock(mutex_);
  size_t n = 0;
  for (auto& [id, h] : handles_) {
    if (!h.isOutput && h.device->name == inputName) n += h.buffers.size();
  }
  return n;
}

size_t TLoopbackMidi::OpenHandles() const {
  Lock lock(mutex_);
  return handles_.size();
}

// --- lookups --------------------------------------------------------------------------------

TMmResult TLoopbackMidi::Injected(TLoopbackCall call) {
  ++calls_[static_cast<int>(call)];
  auto it = injected_.find(call);
  if (it == injected_.end() || it->second.empty()) return kMmNoError;
  const TMmResult code = it->second.front();
  it->second.pop_front();
  return code;
}

TLoopbackMidi::Device* TLoopbackMidi::FindDevice(bool isOutput, uint32_t id) {
  if (isOutput && id == kMidiMapperId) id = 0;  // the mapper plays through the first output
  uint32_t index = 0;
  for (auto& d : devices_) {
    if (d->isOutput != isOutput || !d->plugged) continue;
    if (index++ == id) return d.get();
  }
  return nullptr;
}

TLoopbackMidi::Handle* TLoopbackMidi::FindHandle(TMidiHandle handle, bool isOutput) {
  auto it = handles_.find(handle);
  if (it == handles_.end() || it->second.isOutput != isOutput) return nullptr;
  return &it->second;
}

TLoopbackMidi::Handle* TLoopbackMidi::LiveHandle(TLoopbackCall call, TMidiHandle handle,
                                                 bool isOutput, TMmResult& result) {
  result = Injected(call);
  if (result != kMmNoError) return nullptr;
  Handle* h = FindHandle(handle, isOutput);
  if (!h) {
    result = kMmInvalidHandle;
  } else if (h->lost) {
    result = kMmNoDriver;
    h = nullptr;
  }
  return h;
}

TMmResult TLoopbackMidi::Enqueue(TMidiHeader& header) {
  if (!(header.flags & kMidiHdrPrepared)) return kMidiErrUnprepared;
  if (header.flags & kMidiHdrInQueue) return kMidiErrStillPlaying;
  header.flags = (header.flags | kMidiHdrInQueue) & ~kMidiHdrDone;
  return kMmNoError;
}

uint32_t TLoopbackMidi::NumDevs(bool isOutput) {
  Lock lock(mutex_);
  return static_cast<uint32_t>(std::count_if(devices_.begin(), devices_.end(), [&](auto& d) {
    return d->isOutput == isOutput && d->plugged;
  }));
}

TMmResult TLoopbackMidi::GetDevName(bool isOutput, uint32_t id, std::string& name) {
  Lock lock(mutex_);
  if (TMmResult r = Injected(TLoopbackCall::GetDevName)) return r;
  if (isOutput && id == kMidiMapperId) {
    if (!FindDevice(true, 0)) return kMmBadDeviceId;
    name = "MIDI Mapper";
    return kMmNoError;
  }
  Device* d = FindDevice(isOutput, id);
  if (!d) return kMmBadDeviceId;
  name = d->name;
  return kMmNoError;
}

TMmResult TLoopbackMidi::QueryInterfaceSize(bool isOutput, uint32_t id, uint32_t& bytes) {
  Lock lock(mutex_);
  if (isOutput && id == kMidiMapperId) return kMmNotSupported;
  Device* d = FindDevice(isOutput, id);
  if (!d) return kMmBadDeviceId;
  if (d->path.empty()) return kMmNotSupported;
  bytes = static_cast<uint32_t>((d->path.size() + 1) * 2);
  return kMmNoError;
}

TMmResult TLoopbackMidi::QueryInterface(bool isOutput, uint32_t id, uint32_t bytes,
                                        std::string& path) {
  Lock lock(mutex_);
  if (isOutput && id == kMidiMapperId) return kMmNotSupported;
  Device* d = FindDevice(isOutput, id);
  if (!d) return kMmBadDeviceId;
  if (bytes < (d->path.size() + 1) * 2) return kMmInvalidParam;
  path = d->path;
  return kMmNoError;
}

// --- handles --------------------------------------------------------------------------------

TMmResult TLoopbackMidi::Open(bool isOutput, TMidiHandle& handle, uint32_t id,
                              TMidiCallback callback, uintptr_t instance) {
  Lock lock(mutex_);
  if (TMmResult r = Injected(TLoopbackCall::Open)) return r;
  Device* d = FindDevice(isOutput, id);
  if (!d) return kMmBadDeviceId;
  for (auto& [hid, h] : handles_) {
    if (h.device == d && !h.lost) return kMmAllocated;  // one client per device
  }
  const TMidiHandle hid = nextHandle_++;
  Handle& h = handles_[hid];
  h.device = d;
  h.isOutput = isOutput;
  h.callback = callback;
  h.instance = instance;
  handle = hid;
  const uint64_t seq = Post(hid, h, isOutput ? TMidiMsg::OutOpen : TMidiMsg::InOpen);
  WaitDelivered(lock, seq);
  return kMmNoError;
}

TMmResult TLoopbackMidi::Close(bool isOutput, TMidiHandle handle) {
  Lock lock(mutex_);
  if (TMmResult r = Injected(TLoopbackCall::Close)) return r;
  Handle* h = FindHandle(handle, isOutput);
  if (!h) return kMmInvalidHandle;
  if (!h->lost) {
    if (!h->buffers.empty()) return kMidiErrStillPlaying;
    const uint64_t seq = Post(handle, *h, isOutput ? TMidiMsg::OutClose : TMidiMsg::InClose);
    WaitDelivered(lock, seq);
  } else {
    WaitDelivered(lock, posted_);  // the close message of the unplug, and what came before
  }
  // A lost driver never hands its buffers back; it just forgets them.
  held_.erase(
      std::remove_if(held_.begin(), held_.end(), [&](auto& e) { return e.first == handle; }),
      held_.end());
  handles_.erase(handle);
  return kMmNoError;
}

void TLoopbackMidi::ReturnAll(TMidiHandle id, Handle& h, TMidiMsg msg, Lock& lock) {
  uint64_t seq = posted_;
  for (TMidiHeader* header : h.buffers) seq = Post(id, h, msg, 0, 0, header);
  if (h.isOutput) {
    held_.erase(std::remove_if(held_.begin(), held_.end(), [&](auto& e) { return e.first == id; }),
                held_.end());
  }
  h.buffers.clear();
  h.pendingSysEx.clear();
  WaitDelivered(lock, seq);
}

TMmResult TLoopbackMidi::Prepare(bool isOutput, TMidiHandle handle, TMidiHeader& header) {
  Lock lock(mutex_);
  if (TMmResult r = Injected(TLoopbackCall::Prepare)) return r;
  Handle* h = FindHandle(handle, isOutput);
  if (!h) return kMmInvalidHandle;
  if (h->lost) return kMmNoDriver;
  if (!header.data || header.bufferLength == 0) return kMmInvalidParam;
  header.flags |= kMidiHdrPrepared;
  return kMmNoError;
}

TMmResult TLoopbackMidi::Unprepare(bool isOutput, TMidiHandle handle, TMidiHeader& header) {
  Lock lock(mutex_);
  if (TMmResult r = Injected(TLoopbackCall::Unprepare)) return r;
  if (!FindHandle(handle, isOutput)) return kMmInvalidHandle;
  if (header.flags & kMidiHdrInQueue) return kMidiErrStillPlaying;
  header.flags &= ~kMidiHdrPrepared;
  return kMmNoError;
}

void TLoopbackMidi::Send(Device& device, bool isLong, const uint8_t* data, size_t length, Lock&) {
  device.sent.push_back({isLong, std::vector<uint8_t>(data, data + length)});
  if (!device.cable) return;
  for (auto& [id, h] : handles_) {
    if (h.isOutput || h.lost || !h.started || h.device != device.cable) continue;
    if (isLong) {
      h.pendingSysEx.insert(h.pendingSysEx.end(), data, data + length);
      FillInputBuffers(id, h);
    } else {
      uint32_t packed = 0;
      for (size_t i = 0; i < length; ++i) packed |= uint32_t{data[i]} << (8 * i);
      Post(id, h, TMidiMsg::InData, packed, 0);
    }
  }
}

// --- output ---------------------------------------------------------------------------------

uint32_t TLoopbackMidi::OutGetNumDevs() {
  return NumDevs(true);
}
TMmResult TLoopbackMidi::OutGetDevName(uint32_t id, std::string& name) {
  return GetDevName(true, id, name);
}
TMmResult TLoopbackMidi::OutQueryInterfaceSize(uint32_t id, uint32_t& bytes) {
  return QueryInterfaceSize(true, id, bytes);
}
TMmResult TLoopbackMidi::OutQueryInterface(uint32_t id, uint32_t bytes, std::string& path) {
  return QueryInterface(true, id, bytes, path);
}
TMmResult TLoopbackMidi::OutOpen(TMidiHandle& handle, uint32_t id, TMidiCallback callback,
                                 uintptr_t instance) {
  return Open(true, handle, id, callback, instance);
}
TMmResult TLoopbackMidi::OutClose(TMidiHandle handle) {
  return Close(true, handle);
}

TMmResult TLoopbackMidi::OutReset(TMidiHandle handle) {
  Lock lock(mutex_);
  TMmResult r = kMmNoError;
  Handle* h = LiveHandle(TLoopbackCall::Reset, handle, true, r);
  if (!h) return r;
  ReturnAll(handle, *h, TMidiMsg::OutDone, lock);
  return kMmNoError;
}

TMmResult TLoopbackMidi::OutShortMsg(TMidiHandle handle, uint32_t message) {
  Lock lock(mutex_);
  TMmResult r = kMmNoError;
  Handle* h = LiveHandle(TLoopbackCall::ShortMsg, handle, true, r);
  if (!h) return r;
  uint8_t bytes[3] = {static_cast<uint8_t>(message), static_cast<uint8_t>(message >> 8),
                      static_cast<uint8_t>(message >> 16)};
  const int length = GetMidiMessageLength(bytes[0]);
  if (length == 0) return kMmInvalidParam;  // running status is not sent
  Send(*h->device, false, bytes, static_cast<size_t>(length), lock);
  return kMmNoError;
}

TMmResult TLoopbackMidi::OutPrepareHeader(TMidiHandle handle, TMidiHeader& header) {
  return Prepare(true, handle, header);
}
TMmResult TLoopbackMidi::OutUnprepareHeader(TMidiHandle handle, TMidiHeader& header) {
  return Unprepare(true, handle, header);
}

TMmResult TLoopbackMidi::OutLongMsg(TMidiHandle handle, TMidiHeader& header) {
  Lock lock(mutex_);
  TMmResult r = kMmNoError;
  Handle* h = LiveHandle(TLoopbackCall::LongMsg, handle, true, r);
  if (!h) return r;
  if (TMmResult queued = Enqueue(header)) return queued;
  Send(*h->device, true, header.data, header.bufferLength, lock);
  if (holdOutput_) {
    h->buffers.push_back(&header);
    held_.emplace_back(handle, &header);
  } else {
    Post(handle, *h, TMidiMsg::OutDone, 0, 0, &header);
  }
  return kMmNoError;
}

bool TLoopbackMidi::OutGetErrorText(TMmResult code, std::string& text) {
  return PortableMidiErrorText(code, text);
}

// --- input ----------------------------------------------------------------------------------

uint32_t TLoopbackMidi::InGetNumDevs() {
  return NumDevs(false);
}
TMmResult TLoopbackMidi::InGetDevName(uint32_t id, std::string& name) {
  return GetDevName(false, id, name);
}
TMmResult TLoopbackMidi::InQueryInterfaceSize(uint32_t id, uint32_t& bytes) {
  return QueryInterfaceSize(false, id, bytes);
}
TMmResult TLoopbackMidi::InQueryInterface(uint32_t id, uint32_t bytes, std::string& path) {
  return QueryInterface(false, id, bytes, path);
}
TMmResult TLoopbackMidi::InOpen(TMidiHandle& handle, uint32_t id, TMidiCallback callback,
                                uintptr_t instance) {
  return Open(false, handle, id, callback, instance);
}
TMmResult TLoopbackMidi::InClose(TMidiHandle handle) {
  return Close(false, handle);
}

TMmResult TLoopbackMidi::InReset(TMidiHandle handle) {
  Lock lock(mutex_);
  TMmResult r = kMmNoError;
  Handle* h = LiveHandle(TLoopbackCall::Reset, handle, false, r);
  if (!h) return r;
  h->started = false;
  ReturnAll(handle, *h, TMidiMsg::InLongData, lock);
  return kMmNoError;
}

TMmResult TLoopbackMidi::InStart(TMidiHandle handle) {
  Lock lock(mutex_);
  TMmResult r = kMmNoError;
  Handle* h = LiveHandle(TLoopbackCall::Start, handle, false, r);
  if (!h) return r;
  h->started = true;
  return kMmNoError;
}

TMmResult TLoopbackMidi::InStop(TMidiHandle handle) {
  Lock lock(mutex_);
  TMmResult r = kMmNoError;
  Handle* h = LiveHandle(TLoopbackCall::Stop, handle, false, r);
  if (!h) return r;
  h->started = false;
  h->pendingSysEx.clear();
  // A buffer being filled goes back as it is; empty ones stay queued.
  if (!h->buffers.empty() && h->buffers.front()->bytesRecorded > 0) {
    TMidiHeader* header = h->buffers.front();
    h->buffers.pop_front();
    Post(handle, *h, TMidiMsg::InLongData, 0, 0, header);
  }
  return kMmNoError;
}

TMmResult TLoopbackMidi::InPrepareHeader(TMidiHandle handle, TMidiHeader& header) {
  return Prepare(false, handle, header);
}
TMmResult TLoopbackMidi::InUnprepareHeader(TMidiHandle handle, TMidiHeader& header) {
  return Unprepare(false, handle, header);
}

TMmResult TLoopbackMidi::InAddBuffer(TMidiHandle handle, TMidiHeader& header) {
  Lock lock(mutex_);
  TMmResult r = kMmNoError;
  Handle* h = LiveHandle(TLoopbackCall::AddBuffer, handle, false, r);
  if (!h) return r;
  if (TMmResult queued = Enqueue(header)) return queued;
  header.bytesRecorded = 0;
  h->buffers.push_back(&header);
  FillInputBuffers(handle, *h);
  return kMmNoError;
}

bool TLoopbackMidi::InGetErrorText(TMmResult code, std::string& text) {
  return PortableMidiErrorText(code, text);
}

}  // namespace kv
