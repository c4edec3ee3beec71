#include "editor/midi_capture.h"

#include <algorithm>

#include "base/text_helpers.h"
#include "engine/trans_engine.h"
#include "engine/variables.h"

namespace kv {
namespace {

constexpr int kFirstPatternVariable = 1;  // pp
constexpr int kMaxPatternVariables = 8;   // pp .. ww
constexpr int kMinEqualBytes = 2;

}  // namespace

std::optional<std::string> CapturePattern(const std::vector<uint8_t>& previous,
                                          const std::vector<uint8_t>& newest) {
  if (previous.size() != newest.size()) return std::nullopt;
  std::string out;
  int differing = 0;
  int equal = 0;
  for (size_t i = 0; i < newest.size(); ++i) {
    if (!out.empty()) out += ' ';
    if (previous[i] == newest[i]) {
      out += IntToHexFixed(newest[i], 2, 2);
      ++equal;
      continue;
    }
    if (differing == kMaxPatternVariables) return std::nullopt;
    out += VariableNameOf(kFirstPatternVariable + differing++);
  }
  if (equal < kMinEqualBytes) return std::nullopt;
  return out;
}

TMidiCapture::TMidiCapture(TNotifier notifier) : notifier_(std::move(notifier)) {}

TMidiCapture::~TMidiCapture() {
  Detach();
}

void TMidiCapture::SetTarget(TCaptureTarget target) {
  std::lock_guard lock(mutex_);
  target_ = detached_ ? kCaptureOff : target;
  capturing_ = target_ != kCaptureOff;
  writeIndex_ = 0;
  count_ = 0;
  monitor_.fill(std::string());
}

TCaptureTarget TMidiCapture::Target() const {
  std::lock_guard lock(mutex_);
  return target_;
}

void TMidiCapture::OnEvent(const TIncomingEvent& event) {
  if (event.kind != kActionMidi || !capturing_.load(std::memory_order_relaxed)) return;
  {
    std::lock_guard lock(mutex_);
    if (detached_ || target_ == kCaptureOff) return;
    TSlot& slot = ring_[static_cast<size_t>(writeIndex_)];
    const int32_t length = std::clamp<int32_t>(event.length, 0, kCaptureSlotBytes);
    if (length > 0 && event.data != nullptr) std::copy_n(event.data, length, slot.data.begin());
    slot.length = static_cast<uint32_t>(event.data != nullptr ? length : 0);
    writeIndex_ = (writeIndex_ + 1) % kCaptureSlots;
    count_ = std::min(count_ + 1, kCaptureSlots);
    ++inFlight_;
  }
  if (notifier_) notifier_(event.context > kContextDispatcher);
  std::lock_guard lock(mutex_);
  if (--inFlight_ == 0) idle_.notify_all();
}

std::vector<uint8_t> TMidiCapture::SlotBytes(int index) const {
  const TSlot& slot = ring_[static_cast<size_t>(index)];
  return {slot.data.begin(), slot.data.begin() + slot.length};
}

std::optional<std::string> TMidiCapture::ShowNewest() {
  std::lock_guard lock(mutex_);
  if (target_ == kCaptureOff || count_ == 0) return std::nullopt;
  const std::vector<uint8_t> newest = SlotBytes((writeIndex_ + kCaptureSlots - 1) % kCaptureSlots);
  const std::string hex = BytesToHexText(newest.data(), newest.size());
  std::optional<std::string> pattern;
  if (count_ >= 2) {
    pattern = CapturePattern(SlotBytes((writeIndex_ + kCaptureSlots - 2) % kCaptureSlots), newest);
  }
  std::rotate(monitor_.rbegin(), monitor_.rbegin() + 1, monitor_.rend());
  monitor_[0] = hex;
  return pattern ? *pattern : hex;
}

std::array<std::string, kMonitorLines> TMidiCapture::MonitorLines() const {
  std::lock_guard lock(mutex_);
  return monitor_;
}

std::optional<std::string> TMidiCapture::MonitorLineText(int index) const {
  std::lock_guard lock(mutex_);
  if (index < 0 || index >= kMonitorLines || monitor_[static_cast<size_t>(index)].empty()) {
    return std::nullopt;
  }
  return monitor_[static_cast<size_t>(index)];
}

void TMidiCapture::Detach() {
  std::unique_lock lock(mutex_);
  detached_ = true;
  target_ = kCaptureOff;
  capturing_ = false;
  idle_.wait(lock, [this] { return inFlight_ == 0; });
}

void TMidiCapture::BindEngine(TTransEngine& engine, const std::shared_ptr<TMidiCapture>& capture) {
  engine.SetOnEvent(
      [capture](TTransEngine&, const TIncomingEvent& event) { capture->OnEvent(event); });
}

}  // namespace kv
