#pragma once
// What all actions share at run time, one set per engine: TGlobalTranslateParams (logger,
// statistics, processing switch, global variables, receivers), the statistics record
// TTransStats, the activity flags the lamps show, and the error-message sink
// TCascadedErrorMessageHandler.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "engine/event.h"
#include "engine/logger.h"
#include "engine/variables.h"

namespace kv {

class TPresetHandler;
class TTransAction;
class TTransEngine;

// Activity flags (16 bits), reported after each event.
enum TActivityFlag : uint16_t {
  kActivityMatched = 1,
  kActivityMidiIn = 2,
  kActivityMidiOut = 4,
  kActivityMidiClockIn = 8,
  kActivityActiveSensingIn = 16,
  kActivityTimerIn = 32,
  kActivityTimerOut = 64,
  kActivityKeyIn = 128,
  kActivityKeyOut = 256,
  kActivityMouseIn = 512,
  kActivityMouseOut = 1024,
  kActivityWindowMessageOut = 2048,
  kActivityMidiThrough = 4096,
  kActivityOtherIn = 8192,
  kActivityOtherOut = 16384,
};
// The bit of an action kind on the incoming or outgoing side; 0 for kinds without one
// (unknown, and any id above 10).
uint16_t ActivityFlagForActionType(int kind, bool incoming);

// Counters of the engine. They are counted from several threads at once without a lock
// (relaxed atomics): each count is exact, the counts are not a consistent snapshot.
class TTransStats {
 public:
  static constexpr int kKinds = kMaxActionKind + 1;  // 0..10

  void CountEvent(int kind);
  void CountMatch(int kind);
  void CountOutgoing(int kind);
  void Reset();

  uint32_t Events() const { return events_.load(std::memory_order_relaxed); }
  uint32_t Matches() const { return matches_.load(std::memory_order_relaxed); }
  uint32_t Outgoing() const { return outgoing_.load(std::memory_order_relaxed); }
  // 0 for a kind outside 0..10.
  uint32_t EventsOfKind(int kind) const;
  uint32_t MatchesOfKind(int kind) const;
  uint32_t OutgoingOfKind(int kind) const;

 private:
  using Row = std::array<std::atomic<uint32_t>, kKinds>;
  static void Bump(Row& row, int kind);
  static uint32_t Read(const Row& row, int kind);

  std::atomic<uint32_t> events_{0};
  std::atomic<uint32_t> matches_{0};
  std::atomic<uint32_t> outgoing_{0};
  Row eventsOfKind_{};
  Row matchesOfKind_{};
  Row outgoingOfKind_{};
};

// A sink for error messages: passes (code, text) to its receiver when one is set. Subclasses
// add context to the text. The text is finished before it gets here (engine/format.h), so
// nothing a user typed is read as a format.
class TCascadedErrorMessageHandler {
 public:
  using TReceiver = std::function<void(int code, const std::string& text)>;

  explicit TCascadedErrorMessageHandler(TReceiver receiver = {}) : receiver_(std::move(receiver)) {}
  virtual ~TCascadedErrorMessageHandler() = default;

  virtual void ReportError(int code, const std::string& text);
  void SetReceiver(TReceiver receiver) { receiver_ = std::move(receiver); }

 protected:
  void Pass(int code, const std::string& text) const {
    if (receiver_) receiver_(code, text);
  }

 private:
  TReceiver receiver_;
};

// Lifecycle: made by the engine, on the main thread, before anything runs; destroyed after
// every thread that processes events has stopped. Receivers are set on the main thread while
// no event is processed (start-up), except the log receiver (SetOnLog), which may change at
// any time.
//
// Locks: logMutex_ guards logger_; it is held while a line is handed to the logger (which
// only copies it into its ring), so switching logging off never frees the logger under a
// thread that is logging. It comes just before the logger's own locks in the lock order.
class TGlobalTranslateParams {
 public:
  using TEnabledReceiver = std::function<void(TGlobalTranslateParams& params)>;
  using TActivityReceiver = std::function<void(void* sender, uint16_t activity)>;
  // (sender action, mode, number, name): runs a preset change in the project.
  using TPresetChangeRequest =
      std::function<void(TTransAction* sender, int mode, int32_t number, const std::string& name)>;

  TGlobalTranslateParams();
  ~TGlobalTranslateParams();
  TGlobalTranslateParams(const TGlobalTranslateParams&) = delete;
  TGlobalTranslateParams& operator=(const TGlobalTranslateParams&) = delete;

  // Logging. SetOnLog with an empty receiver switches logging off and frees the logger (main
  // thread); a receiver creates the logger when missing and sets its line receiver.
  bool IsLogging() const { return logging_.load(std::memory_order_acquire); }
  void SetOnLog(TLogReceiver receiver);
  void Log(std::string_view line);
  // "IN %d.%d: %s" with the event's preset and translator index.
  void LogIncoming(std::string_view description, const TIncomingEvent& event);
  // "OUT %d.%d: %s" with the context's preset and translator index.
  void LogOutgoing(std::string_view description, const TExecutionContext& context);

  TTransStats& Stats() { return *stats_; }
  const TTransStats& Stats() const { return *stats_; }

  bool IsEnabled() const { return enabled_.load(std::memory_order_acquire); }
  // When the flag differs: store it and call the enabled-change receiver.
  void SetEnabled(bool enabled);
  void SetOnEnabledChange(TEnabledReceiver receiver) { onEnabledChange_ = std::move(receiver); }

  TPresetHandler* Project() const { return project_; }
  void SetProject(TPresetHandler* project) { project_ = project; }
  TTransEngine* Engine() const { return engine_; }
  void SetEngine(TTransEngine* engine) { engine_ = engine; }

  void SetOnActivity(TActivityReceiver receiver) { onActivity_ = std::move(receiver); }
  void ReportActivity(void* sender, uint16_t activity) const {
    if (onActivity_) onActivity_(sender, activity);
  }

  void SetOnPresetChangeRequest(TPresetChangeRequest request) {
    onPresetChange_ = std::move(request);
  }
  bool HasPresetChangeRequest() const { return static_cast<bool>(onPresetChange_); }
  // False when no request is bound.
  bool RequestPresetChange(TTransAction* sender, int mode, int32_t number,
                           const std::string& name) const;

  TGlobalVariables& Globals() { return globals_; }
  const TGlobalVariables& Globals() const { return globals_; }

 private:
  mutable std::mutex logMutex_;  // guards logger_
  std::unique_ptr<TLogger> logger_;
  std::atomic<bool> logging_{false};
  std::unique_ptr<TTransStats> stats_;
  std::atomic<bool> enabled_{true};
  TEnabledReceiver onEnabledChange_;
  TPresetHandler* project_ = nullptr;
  TTransEngine* engine_ = nullptr;
  TActivityReceiver onActivity_;
  TPresetChangeRequest onPresetChange_;
  TGlobalVariables globals_;
};

}  // namespace kv
