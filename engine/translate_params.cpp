#include "engine/translate_params.h"

#include "engine/format.h"

namespace kv {

uint16_t ActivityFlagForActionType(int kind, bool incoming) {
  switch (kind) {
    case kActionUnknown:
      return 0;
    case kActionMidi:
      return incoming ? kActivityMidiIn : kActivityMidiOut;
    case kActionKeystroke:
      return incoming ? kActivityKeyIn : kActivityKeyOut;
    case kActionMouse:
      return incoming ? kActivityMouseIn : kActivityMouseOut;
    case kActionTimer:
      return incoming ? kActivityTimerIn : kActivityTimerOut;
    case kActionWindowMessage:
      return incoming ? 0 : kActivityWindowMessageOut;
    default:
      if (kind < 0 || kind > kMaxActionKind) return 0;
      return incoming ? kActivityOtherIn : kActivityOtherOut;
  }
}

void TTransStats::Bump(Row& row, int kind) {
  if (kind >= 0 && kind < kKinds) row[kind].fetch_add(1, std::memory_order_relaxed);
}

uint32_t TTransStats::Read(const Row& row, int kind) {
  if (kind < 0 || kind >= kKinds) return 0;
  return row[kind].load(std::memory_order_relaxed);
}

void TTransStats::CountEvent(int kind) {
  events_.fetch_add(1, std::memory_order_relaxed);
  Bump(eventsOfKind_, kind);
}

void TTransStats::CountMatch(int kind) {
  matches_.fetch_add(1, std::memory_order_relaxed);
  Bump(matchesOfKind_, kind);
}

void TTransStats::CountOutgoing(int kind) {
  outgoing_.fetch_add(1, std::memory_order_relaxed);
  Bump(outgoingOfKind_, kind);
}

void TTransStats::Reset() {
  events_ = 0;
  matches_ = 0;
  outgoing_ = 0;
  for (int k = 0; k < kKinds; ++k) {
    eventsOfKind_[k] = 0;
    matchesOfKind_[k] = 0;
    outgoingOfKind_[k] = 0;
  }
}

uint32_t TTransStats::EventsOfKind(int kind) const {
  return Read(eventsOfKind_, kind);
}
uint32_t TTransStats::MatchesOfKind(int kind) const {
  return Read(matchesOfKind_, kind);
}
uint32_t TTransStats::OutgoingOfKind(int kind) const {
  return Read(outgoingOfKind_, kind);
}

void TCascadedErrorMessageHandler::ReportError(int code, const std::string& text) {
  Pass(code, text);
}

TGlobalTranslateParams::TGlobalTranslateParams() : stats_(std::make_unique<TTransStats>()) {}

TGlobalTranslateParams::~TGlobalTranslateParams() {
  SetOnLog({});
}

void TGlobalTranslateParams::SetOnLog(TLogReceiver receiver) {
  std::unique_ptr<TLogger> retired;
  {
    std::lock_guard<std::mutex> guard(logMutex_);
    if (!receiver) {
      logging_.store(false, std::memory_order_release);
      retired = std::move(logger_);
    } else {
      if (!logger_) logger_ = std::make_unique<TLogger>();
      logger_->SetOnLog(std::move(receiver));
      logging_.store(true, std::memory_order_release);
    }
  }
  // Freed outside the lock: the logger waits for its thread, which may be handing a line to
  // the main thread.
  retired.reset();
}

void TGlobalTranslateParams::Log(std::string_view line) {
  if (!IsLogging()) return;
  std::lock_guard<std::mutex> guard(logMutex_);
  if (logger_) logger_->Log(line);
}

void TGlobalTranslateParams::LogIncoming(std::string_view description,
                                         const TIncomingEvent& event) {
  if (!IsLogging()) return;
  Log(FormatText("IN %d.%d: %s", {event.presetIndex, event.translatorIndex, description}));
}

void TGlobalTranslateParams::LogOutgoing(std::string_view description,
                                         const TExecutionContext& context) {
  if (!IsLogging()) return;
  Log(FormatText("OUT %d.%d: %s", {context.presetIndex, context.translatorIndex, description}));
}

void TGlobalTranslateParams::SetEnabled(bool enabled) {
  if (enabled_.exchange(enabled, std::memory_order_acq_rel) == enabled) return;
  if (onEnabledChange_) onEnabledChange_(*this);
}

bool TGlobalTranslateParams::RequestPresetChange(TTransAction* sender, int mode, int32_t number,
                                                 const std::string& name) const {
  if (!onPresetChange_) return false;
  onPresetChange_(sender, mode, number, name);
  return true;
}

}  // namespace kv
