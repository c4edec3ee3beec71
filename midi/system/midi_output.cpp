#include "midi/system/midi_output.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "midi/system/system_device_info.h"

namespace kv {

namespace {

constexpr size_t kMaxErrorTextChars = 128;

// Counts one buffer back, never below zero (a buffer may come back twice on a reset race).
void DecrementPending(std::atomic<int>& pending) {
  int n = pending.load(std::memory_order_acquire);
  while (n > 0 && !pending.compare_exchange_weak(n, n - 1, std::memory_order_acq_rel)) {
  }
}

}  // namespace

std::string MidiOutErrorText(TMmResult code) {
  std::string text;
  if (!WinmmMidi().OutGetErrorText(code, text) || text.empty()) return "Unspecified error";
  if (text.size() > kMaxErrorTextChars) text.resize(kMaxErrorTextChars);
  return text;
}

EMidiOutputError::EMidiOutputError(TMmResult code, const std::string& context)
    : EMidiError(context + "\r\n" + MidiOutErrorText(code)), code_(code) {}

TMidiOutput::~TMidiOutput() {
  Close();
}

void TMidiOutput::GetDeviceInfo(int32_t id, std::string& path, std::string& name) {
  GetSystemDeviceInfo(true, id, path, name);
}

int TMidiOutput::GetDeviceCount() {
  return static_cast<int>(WinmmMidi().OutGetNumDevs());
}

std::unique_ptr<TMidiDeviceBase> TMidiOutput::Clone() const {
  auto copy = std::make_unique<TMidiOutput>();
  copy->Assign(*this);
  return copy;
}

void TMidiOutput::DoOpen() {
  lost_.store(false, std::memory_order_release);
  TMidiHandle handle = 0;
  const TMmResult r =
      WinmmMidi().OutOpen(handle, static_cast<uint32_t>(GetDeviceID()),
                          &TMidiOutput::MidiOutCallback, reinterpret_cast<uintptr_t>(this));
  if (r != kMmNoError) {
    throw EMidiOutputError(r, "Cannot open MIDI output device \"" + GetDisplayName() + "\":");
  }
  SetHandle(handle);
}

bool TMidiOutput::DoClose(TMidiPortHandle handle) {
  if (handle == 0) return false;
  TWinmmMidi& api = WinmmMidi();
  // A reset hands every SysEx buffer in flight back through the callback; a vanished device
  // cannot be reset and keeps its buffers.
  if (!IsLost()) api.OutReset(handle);
  std::map<TMidiHdrBase*, std::unique_ptr<TMidiHdrBase>> remaining;
  {
    std::lock_guard<std::mutex> lock(headersMutex_);
    remaining.swap(inFlight_);
  }
  for (auto& [raw, header] : remaining) UnprepareAndFree(std::move(header), handle);
  pending_.store(0, std::memory_order_release);
  return api.OutClose(handle) == kMmNoError;
}

void TMidiOutput::CloseIfLost() {
  if (IsOpen() && IsLost()) Close();
}

void TMidiOutput::MidiOutCallback(TMidiHandle handle, TMidiMsg msg, uintptr_t instance,
                                  uintptr_t param1, uintptr_t) {
  auto* self = reinterpret_cast<TMidiOutput*>(instance);
  if (!self) return;
  switch (msg) {
    case TMidiMsg::OutClose:
      self->lost_.store(true, std::memory_order_release);
      // Closing forgets the handle first: a close message while it is set is the device
      // going away under the open port.
      if (self->GetHandle() != 0 && self->OnError) self->OnError(*self, kMmNoDriver);
      break;
    case TMidiMsg::OutDone:
      self->SysExDone(reinterpret_cast<TMidiHeader*>(param1), handle);
      break;
    default:
      break;
  }
}

void TMidiOutput::SysExDone(TMidiHeader* record, TMidiHandle handle) {
  DecrementPending(pending_);
  if (!record) return;
  UnprepareAndFree(Untrack(TMidiHdrBase::FromRecord(record)), handle);
}

void TMidiOutput::Track(std::unique_ptr<TMidiHdrBase> header) {
  std::lock_guard<std::mutex> lock(headersMutex_);
  TMidiHdrBase* raw = header.get();
  inFlight_.emplace(raw, std::move(header));
}

std::unique_ptr<TMidiHdrBase> TMidiOutput::Untrack(TMidiHdrBase* header) {
  std::lock_guard<std::mutex> lock(headersMutex_);
  auto it = inFlight_.find(header);
  if (it == inFlight_.end()) return nullptr;
  std::unique_ptr<TMidiHdrBase> owned = std::move(it->second);
  inFlight_.erase(it);
  return owned;
}

bool TMidiOutput::SendMsg(uint8_t status, uint8_t data1, uint8_t data2) {
  return SendShort(uint32_t{status} | uint32_t{data1} << 8 | uint32_t{data2} << 16);
}

bool TMidiOutput::SendShort(uint32_t message) {
  const TMidiPortHandle handle = GetHandle();
  if (handle == 0) return false;
  return WinmmMidi().OutShortMsg(handle, message) == kMmNoError;
}

bool TMidiOutput::SendLong(const uint8_t* data, size_t length) {
  const TMidiPortHandle handle = GetHandle();
  if (handle == 0 || length < 1 || !data || IsLost()) return false;
  auto header = std::make_unique<TMidiOutHdr>(data, length);
  if (header->Prepare(handle) != kMmNoError) return false;
  TMidiHdrBase* raw = header.get();
  // Counted and owned before the system has it: its callback may run before the call
  // returns.
  pending_.fetch_add(1, std::memory_order_acq_rel);
  Track(std::move(header));
  if (WinmmMidi().OutLongMsg(handle, raw->Record()) == kMmNoError) return true;
  DecrementPending(pending_);
  UnprepareAndFree(Untrack(raw), handle);
  return false;
}

void TMidiOutput::WaitOnce(const TMidiWaitMethod& waitMethod, bool& proceed) {
  if (waitMethod) {
    waitMethod(*this, proceed);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

size_t TMidiOutput::SendLongChunked(const uint8_t* data, size_t length,
                                    const TMidiWaitMethod& waitMethod) {
  size_t handedOver = 0;
  bool proceed = true;
  while (handedOver < length && !IsLost()) {
    while (GetPendingCount() > kMaxPendingBeforeWait) {
      // Buffers of a vanished or closed device never come back.
      if (IsLost() || !IsOpen()) return handedOver;
      WaitOnce(waitMethod, proceed);
      if (!proceed) return handedOver;
    }
    const size_t piece = std::min(kChunkSize, length - handedOver);
    // A refused piece ends the send: what follows would arrive with a gap in the message.
    if (!SendLong(data + handedOver, piece)) break;
    handedOver += piece;
    if (handedOver < length) {
      WaitOnce(waitMethod, proceed);
      if (!proceed) break;
    }
  }
  return handedOver;
}

void TMidiOutput::EnumDevices(TMidiDeviceList& list, bool withMapper) {
  list.clear();
  const int count = static_cast<int>(WinmmMidi().OutGetNumDevs());
  for (int id = 0; id < count; ++id) {
    auto output = std::make_unique<TMidiOutput>();
    output->SetDeviceID(id);
    if (!output->GetName().empty()) list.push_back(std::move(output));
  }
  if (withMapper && count > 0) {
    auto mapper = std::make_unique<TMidiOutput>();
    mapper->SetDeviceID(kMidiMapperDevice);
    list.insert(list.begin(), std::move(mapper));
  }
}

}  // namespace kv
