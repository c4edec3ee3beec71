#include "midi/system/midi_input.h"

#include <chrono>
#include <thread>

#include "midi/system/system_device_info.h"

namespace kv {

namespace {

constexpr uint32_t kActiveSensing = 0xFE;
constexpr uint32_t kTimingClock = 0xF8;
// How long closing waits for a hook still running before it gives up freeing the buffers.
constexpr auto kCallbackWaitLimit = std::chrono::milliseconds(2000);

// Counts a callback in for as long as it runs, so that closing can wait for it.
class TCallbackGuard {
 public:
  explicit TCallbackGuard(TMidiInHookContext& context) : context_(context) {
    context_.callbacksRunning.fetch_add(1, std::memory_order_seq_cst);
  }
  ~TCallbackGuard() { context_.callbacksRunning.fetch_sub(1, std::memory_order_seq_cst); }
  TCallbackGuard(const TCallbackGuard&) = delete;
  TCallbackGuard& operator=(const TCallbackGuard&) = delete;

 private:
  TMidiInHookContext& context_;
};

}  // namespace

std::string MidiInErrorText(TMmResult code) {
  std::string text;
  if (!WinmmMidi().InGetErrorText(code, text) || text.empty()) return "Unspecified error";
  return text;
}

EMidiInputError::EMidiInputError(TMmResult code, const std::string& context)
    : EMidiError(context + "\r\n" + MidiInErrorText(code)), code_(code) {}

TMidiInput::TMidiInput() {
  context_.port = this;
}

TMidiInput::~TMidiInput() {
  Close();
}

void TMidiInput::GetDeviceInfo(int32_t id, std::string& path, std::string& name) {
  GetSystemDeviceInfo(false, id, path, name);
}

int TMidiInput::GetDeviceCount() {
  return static_cast<int>(WinmmMidi().InGetNumDevs());
}

std::unique_ptr<TMidiDeviceBase> TMidiInput::Clone() const {
  auto copy = std::make_unique<TMidiInput>();
  copy->Assign(*this);
  return copy;
}

void TMidiInput::DoOpen() {
  context_.closed.store(false, std::memory_order_seq_cst);
  TWinmmMidi& api = WinmmMidi();
  const std::string context = "Cannot open MIDI input device \"" + GetDisplayName() + "\":";
  TMidiHandle handle = 0;
  const TMmResult r =
      api.InOpen(handle, static_cast<uint32_t>(GetDeviceID()), &TMidiInput::MidiInCallback,
                 reinterpret_cast<uintptr_t>(&context_));
  if (r != kMmNoError) throw EMidiInputError(r, context);
  try {
    for (auto& buffer : buffers_) {
      buffer = std::make_unique<TMidiInHdr>(kSysExBufferSize);
      if (TMmResult e = buffer->Prepare(handle)) throw EMidiInputError(e, context);
      if (TMmResult e = buffer->AddBuffer(handle)) throw EMidiInputError(e, context);
    }
  } catch (...) {
    // The device is open but unusable: close it again rather than leave it held.
    context_.closed.store(true, std::memory_order_seq_cst);
    WaitForCallbacks();
    const bool idle = context_.callbacksRunning.load(std::memory_order_seq_cst) == 0;
    api.InReset(handle);
    if (idle) FreeBuffers(handle);
    api.InClose(handle);
    throw;
  }
  SetHandle(handle);
}

void TMidiInput::WaitForCallbacks() {
  const auto until = std::chrono::steady_clock::now() + kCallbackWaitLimit;
  while (context_.callbacksRunning.load(std::memory_order_seq_cst) > 0 &&
         std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void TMidiInput::FreeBuffers(TMidiHandle handle) {
  for (auto& buffer : buffers_) {
    if (buffer) UnprepareAndFree(std::move(buffer), handle);
  }
}

bool TMidiInput::DoClose(TMidiPortHandle handle) {
  TWinmmMidi& api = WinmmMidi();
  // From here on no hook runs; one already running is waited for, since it reads a buffer.
  const bool wasClosed = context_.closed.exchange(true, std::memory_order_seq_cst);
  WaitForCallbacks();
  const bool idle = context_.callbacksRunning.load(std::memory_order_seq_cst) == 0;
  // A vanished device cannot be reset; its buffers stay with it and are parked below.
  if (!wasClosed) api.InReset(handle);
  started_.store(false, std::memory_order_release);
  if (idle) {
    FreeBuffers(handle);
  } else {
    for (auto& buffer : buffers_) {
      if (buffer) ParkMidiHeader(std::move(buffer));
    }
  }
  const bool closed = api.InClose(handle) == kMmNoError;
  std::this_thread::sleep_for(std::chrono::milliseconds(3));
  return closed;
}

void TMidiInput::CloseIfLost() {
  if (IsOpen() && IsLost()) Close();
}

void TMidiInput::Start() {
  const TMidiPortHandle handle = GetHandle();
  if (handle == 0) return;
  if (TMmResult r = WinmmMidi().InStart(handle)) {
    throw EMidiInputError(r, "Cannot start MIDI input device \"" + GetDisplayName() + "\":");
  }
  started_.store(true, std::memory_order_release);
}

void TMidiInput::Stop() {
  const TMidiPortHandle handle = GetHandle();
  if (handle == 0 || IsLost()) return;
  WinmmMidi().InStop(handle);
  started_.store(false, std::memory_order_release);
}

void TMidiInput::MidiInCallback(TMidiHandle handle, TMidiMsg msg, uintptr_t instance,
                                uintptr_t param1, uintptr_t) {
  auto* context = reinterpret_cast<TMidiInHookContext*>(instance);
  if (!context) return;
  TCallbackGuard running(*context);
  if (context->closed.load(std::memory_order_seq_cst)) return;
  // An exception must not unwind into the system's callback thread.
  try {
    switch (msg) {
      case TMidiMsg::InClose:
        // The port is not closing (that sets the flag first): the device went away.
        context->closed.store(true, std::memory_order_seq_cst);
        if (context->port->OnError) context->port->OnError(*context->port, kMmNoDriver);
        break;
      case TMidiMsg::InData:
      case TMidiMsg::InError:
      case TMidiMsg::InMoreData:
        context->port->ShortMessage(static_cast<uint32_t>(param1));
        break;
      case TMidiMsg::InLongData:
      case TMidiMsg::InLongError:
        context->port->SysExBuffer(handle, reinterpret_cast<TMidiHeader*>(param1));
        break;
      default:
        break;
    }
  } catch (...) {
  }
}

void TMidiInput::ShortMessage(uint32_t message) {
  if (message == kActiveSensing && !context_.passActiveSensing.load()) return;
  if (message == kTimingClock && !context_.passTimingClock.load()) return;
  bool handled = false;
  if (context_.shortHook) context_.shortHook(*this, message, handled);
  if (!handled && OnShortMsg) OnShortMsg(*this, message);
}

void TMidiInput::SysExBuffer(TMidiHandle handle, TMidiHeader* record) {
  if (!record) return;
  bool handled = false;
  try {
    if (record->bytesRecorded > 0) {
      if (context_.sysExHook) {
        context_.sysExHook(*this, record->data, record->bytesRecorded, handled);
      }
      if (!handled && OnSysEx) OnSysEx(*this, record->data, record->bytesRecorded);
    }
  } catch (...) {
    // The buffer still goes back below, or the port would run out of them.
  }
  if (context_.closed.load(std::memory_order_seq_cst)) return;
  auto* header = static_cast<TMidiInHdr*>(TMidiHdrBase::FromRecord(record));
  header->AddBuffer(handle);
}

void TMidiInput::EnumDevices(TMidiDeviceList& list) {
  list.clear();
  const int count = static_cast<int>(WinmmMidi().InGetNumDevs());
  for (int id = 0; id < count; ++id) {
    auto input = std::make_unique<TMidiInput>();
    input->SetDeviceID(id);
    if (!input->GetName().empty()) list.push_back(std::move(input));
  }
}

}  // namespace kv
