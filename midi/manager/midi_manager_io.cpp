// Sending to the outputs, incoming MIDI to the engine, and MIDI through. Any thread; no
// manager lock is taken here.
#include <algorithm>
#include <chrono>
#include <thread>

#include "midi/manager/midi_manager.h"

namespace kv {

namespace {

// One message to one slot's output, when the slot's device is there and open.
template <typename Send>
bool SendToSlot(TMMMidiOut* slot, const Send& send) {
  if (!slot || !slot->IsPresent()) return false;
  const std::shared_ptr<TMidiDeviceBase> device = slot->GetDevice();
  auto* out = dynamic_cast<TMidiOutputBase*>(device.get());
  return out && out->IsOpen() && send(*out);
}

// The output slots the aliases name, each once: two aliases of one port must not send twice.
std::vector<int> OutputSlotsOf(const TMidiAliasList& aliases) {
  std::vector<int> slots;
  for (const TMidiAlias* alias : aliases.Items()) {
    if (!alias || alias->GetKind() != makMidiOut) continue;
    const int index = alias->GetDeviceIndex();
    if (index >= 0 && std::find(slots.begin(), slots.end(), index) == slots.end()) {
      slots.push_back(index);
    }
  }
  return slots;
}

auto ShortSender(uint32_t message) {
  return [message](TMidiOutputBase& out) { return out.SendShort(message); };
}

// One whole message: this may run on a MIDI input thread, which must never wait.
auto LongSender(const uint8_t* data, size_t length) {
  return [data, length](TMidiOutputBase& out) { return out.SendLong(data, length); };
}

class TCallCount {
 public:
  explicit TCallCount(std::atomic<int>& count) : count_(count) { ++count_; }
  ~TCallCount() { --count_; }
  TCallCount(const TCallCount&) = delete;
  TCallCount& operator=(const TCallCount&) = delete;

 private:
  std::atomic<int>& count_;
};

}  // namespace

// --- sending --------------------------------------------------------------------------------

template <typename Send>
bool TMidiManager::SendToAll(const Send& send) {
  if (IsSuspended()) return false;
  bool sent = false;
  const int n = outputs_.count.load(std::memory_order_acquire);
  for (int i = 0; i < n; ++i) sent = SendToSlot(outputs_.At(i), send) || sent;
  return sent;
}

template <typename Send>
bool TMidiManager::SendToAliases(const TMidiAliasList& aliases, const Send& send) {
  if (IsSuspended()) return false;
  bool sent = false;
  for (int index : OutputSlotsOf(aliases)) sent = SendToSlot(outputs_.At(index), send) || sent;
  return sent;
}

bool TMidiManager::SendShortToAll(uint32_t message) {
  return SendToAll(ShortSender(message));
}

bool TMidiManager::SendLongToAll(const uint8_t* data, size_t length) {
  return SendToAll(LongSender(data, length));
}

bool TMidiManager::SendShortToAliases(const TMidiAliasList& aliases, uint32_t message) {
  return SendToAliases(aliases, ShortSender(message));
}

bool TMidiManager::SendLongToAliases(const TMidiAliasList& aliases, const uint8_t* data,
                                     size_t length) {
  return SendToAliases(aliases, LongSender(data, length));
}

// --- incoming MIDI --------------------------------------------------------------------------

void TMidiManager::ChangeHandlers(const std::function<void(THandlers&)>& change) {
  std::lock_guard<std::mutex> lock(handlersMutex_);
  auto next = std::make_shared<THandlers>(handlers_ ? *handlers_ : THandlers{});
  change(*next);
  handlers_ = std::move(next);
}

void TMidiManager::SetOnThru(std::function<void(TMidiManager&)> onThru) {
  ChangeHandlers([&](THandlers& h) { h.onThru = std::move(onThru); });
}

std::shared_ptr<const TMidiManager::THandlers> TMidiManager::Handlers() const {
  std::lock_guard<std::mutex> lock(handlersMutex_);
  return handlers_;
}

void TMidiManager::BindEngine(TMidiInputHandler* engine) {
  auto next = std::make_shared<THandlers>();
  if (engine) {
    next->engine = engine;
    next->shortMsg = [engine](int32_t slot, uint32_t message, bool& swallowed, bool& handled) {
      engine->HandleShortMessage(slot, message, swallowed, handled);
    };
    next->longMsg = [engine](int32_t slot, const uint8_t* data, int32_t length, bool& swallowed,
                             bool& handled) {
      engine->HandleLongMessage(slot, data, length, swallowed, handled);
    };
    next->onThru = [engine](TMidiManager&) { engine->OnMidiThroughActivity(); };
  }
  {
    std::lock_guard<std::mutex> lock(handlersMutex_);
    handlers_ = std::move(next);
  }
  if (!engine) {
    // The engine is going away: wait for calls into it that started before.
    while (engineCalls_.load(std::memory_order_acquire) > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
}

// What the engine did not swallow goes on to the outputs the router connects to the input.
template <typename Send>
void TMidiManager::PassThrough(const THandlers& handlers, int slotIndex, bool handled,
                               bool swallowed, const Send& send) {
  if (!handled || swallowed) return;
  TMMMidiIn* slot = inputs_.At(slotIndex);
  const auto outputs = slot ? slot->GetRoutedOutputs() : nullptr;
  if (outputs && SendToAliases(*outputs, send) && handlers.onThru) handlers.onThru(*this);
}

// The engine first, then MIDI through; `callEngine` says whether there was an engine handler.
template <typename CallEngine, typename Send>
void TMidiManager::HandleIncoming(TMidiInputBase& device, bool& handled,
                                  const CallEngine& callEngine, const Send& send) {
  const int slotIndex = device.GetSlotIndex();
  TCallCount running(engineCalls_);
  if (!IsSuspended()) {
    const std::shared_ptr<const THandlers> handlers = Handlers();
    bool swallowed = false;
    if (handlers && callEngine(*handlers, slotIndex, swallowed)) {
      PassThrough(*handlers, slotIndex, handled, swallowed, send);
    }
  }
  handled = true;
}

void TMidiManager::HandleShortMsg(TMidiInputBase& device, uint32_t message, bool& handled) {
  HandleIncoming(
      device, handled,
      [&](const THandlers& h, int slotIndex, bool& swallowed) {
        if (!h.shortMsg) return false;
        h.shortMsg(slotIndex, message, swallowed, handled);
        return true;
      },
      ShortSender(message));
}

void TMidiManager::HandleLongMsg(TMidiInputBase& device, const uint8_t* data, size_t length,
                                 bool& handled) {
  HandleIncoming(
      device, handled,
      [&](const THandlers& h, int slotIndex, bool& swallowed) {
        if (!h.longMsg) return false;
        h.longMsg(slotIndex, data, static_cast<int32_t>(length), swallowed, handled);
        return true;
      },
      LongSender(data, length));
}

}  // namespace kv
