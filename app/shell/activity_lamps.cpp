#include "app/shell/activity_lamps.h"

#include <string>

namespace kv {

bool TLampLogic::Stamp(uint16_t flags, uint32_t now) {
  if ((flags & 0x7FFF) == 0) return false;
  for (int i = 0; i < kLampCount; ++i)
    if (flags & (1u << i)) stamps_[i].store(now, std::memory_order_relaxed);
  return true;
}

bool TLampLogic::Compute(uint32_t now) {
  lit_ = 0;
  bool changed = false;
  for (int i = 0; i < kLampCount; ++i) {
    const uint32_t stamp = stamps_[i].load(std::memory_order_relaxed);
    const uint32_t elapsed = now - stamp;
    int32_t value = 0;
    // A lamp never stamped (0 at start) stays dark, whatever the clock says.
    if (stamp != 0 && elapsed < kLampGlowMs) {
      lit_ = static_cast<uint16_t>(lit_ | (1u << i));
      value = elapsed == 0 ? 1 : static_cast<int32_t>(elapsed / step_ + 1);
      if (value < 1) value = 1;
    }
    if (value != values_[i]) changed = true;
    values_[i] = value;
  }
  return changed;
}

void TLampLogic::SetMaxPosition(int32_t maxPosition) {
  step_ = maxPosition > 0 ? kLampGlowMs / static_cast<uint32_t>(maxPosition) : 1;
  if (step_ == 0) step_ = 1;
}

void TLampLogic::Clear() {
  for (auto& stamp : stamps_) stamp.store(0, std::memory_order_relaxed);
  values_.fill(0);
  lit_ = 0;
}

TTrayState TrayStateFromLit(uint16_t lit) {
  auto any = [lit](std::initializer_list<int> bits) {
    for (int bit : bits)
      if (lit & (1u << bit)) return true;
    return false;
  };
  TTrayState state;
  state.in = any({1, 5, 7, 9, 13});
  state.out = any({2, 6, 8, 10, 11, 12, 14});
  state.translating = any({0});
  return state;
}

TShowEvents::TShowEvents(TLampTarget& target, int32_t lampMaxPosition,
                         std::function<uint32_t()> clock)
    : target_(target), clock_(std::move(clock)) {
  logic_.SetMaxPosition(lampMaxPosition);
  Start();
}

TShowEvents::~TShowEvents() {
  StopLamps();
}

void TShowEvents::Trigger(uint16_t flags) {
  if (logic_.Stamp(flags, clock_())) wake_.Signal();
}

void TShowEvents::SetLampsEnabled(bool on) {
  if (lampsEnabled_.exchange(on) && !on) {
    TLampValues dark{};
    target_.ShowLamps(dark);
  }
}

void TShowEvents::SetTrayEnabled(bool on) {
  if (trayEnabled_.exchange(on) && !on) target_.SetTrayState({});
}

void TShowEvents::StopLamps() {
  {
    std::lock_guard<std::mutex> guard(stopMutex_);
    if (stopped_) return;
    stopped_ = true;
  }
  Stop();
  logic_.Clear();
  target_.ShowLamps(logic_.Values());
  target_.SetTrayState({});
}

void TShowEvents::Execute() {
  while (!Terminated()) {
    if (logic_.Compute(clock_())) {
      const TLampValues values = logic_.Values();
      // Checked again on the main thread: lamps switched off meanwhile stay dark.
      if (lampsEnabled_.load())
        Synchronize([this, values] {
          if (lampsEnabled_.load()) target_.ShowLamps(values);
        });
      if (trayEnabled_.load()) target_.SetTrayState(TrayStateFromLit(logic_.LitMask()));
    }
    if (Terminated()) break;
    if (logic_.LitMask() != 0)
      wake_.WaitFor(20);
    else
      wake_.Wait();
  }
}

void TActivityRelay::Trigger(uint16_t flags) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (events_) events_->Trigger(flags);
}

TShowEvents& TActivityRelay::Make(TLampTarget& target, int32_t lampMaxPosition,
                                  std::function<uint32_t()> clock) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (!events_) events_ = std::make_unique<TShowEvents>(target, lampMaxPosition, std::move(clock));
  return *events_;
}

void TActivityRelay::Free() {
  std::unique_ptr<TShowEvents> events;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    events = std::move(events_);
  }
  // Outside the lock: stopping waits for the thread, which may wait for the main thread.
  if (events) events->StopLamps();
}

TShowEvents* TActivityRelay::Events() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return events_.get();
}

std::string TrayTooltip(const std::string& title, const std::string& version) {
  std::string tip = title + " V" + version;
  if (tip.size() > 62) tip.resize(62);
  return tip;
}

}  // namespace kv
