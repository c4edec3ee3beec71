#pragma once
// Actions for the runtime's tests: a trigger that matches events of one kind (MIDI ones by
// their first byte), and an outgoing action of a chosen kind and execution level that records
// where and when it ran.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/action.h"
#include "engine/translator.h"

namespace kv::testing {

class TTestTrigger : public TTransAction {
 public:
  // firstByte < 0 matches every event of the kind.
  TTestTrigger(int kind, int firstByte = -1)
      : TTransAction(true), kind_(kind), firstByte_(firstByte) {}
  std::unique_ptr<TTransAction> Clone() const override {
    return std::make_unique<TTestTrigger>(kind_, firstByte_);
  }
  std::string SaveToText() const override { return "Tst1"; }
  size_t LoadFromText(std::string_view text) override { return text.size(); }
  bool MatchIncoming(TIncomingEvent& event) override {
    if (firstByte_ < 0) return true;
    return event.data && event.length > 0 && event.data[0] == firstByte_;
  }
  int GetActionType() const override { return kind_; }
  int GetExecutionLevel() const override { return 0; }
  int GetDirections() const override { return kDirectionBoth; }

 private:
  int kind_;
  int firstByte_;
};

// What every TTestOutput records (shared by all of a test's actions).
struct TTestLog {
  std::mutex mutex;  // guards runs and threads
  std::vector<std::string> runs;
  std::vector<std::thread::id> threads;
  std::atomic<int> count{0};

  std::vector<std::string> Runs() {
    std::lock_guard<std::mutex> guard(mutex);
    return runs;
  }
};

class TTestOutput : public TTransAction {
 public:
  TTestOutput(TTestLog* log, std::string name, int kind = kActionMidi, int level = 0)
      : TTransAction(false), log_(log), name_(std::move(name)), kind_(kind), level_(level) {}
  std::unique_ptr<TTransAction> Clone() const override {
    return std::make_unique<TTestOutput>(log_, name_, kind_, level_);
  }
  std::string SaveToText() const override { return "Tst2" + name_; }
  size_t LoadFromText(std::string_view text) override { return text.size(); }
  bool ExecuteOutgoing(TExecutionContext&) override {
    {
      std::lock_guard<std::mutex> guard(log_->mutex);
      log_->runs.push_back(name_);
      log_->threads.push_back(std::this_thread::get_id());
    }
    ++log_->count;
    return true;
  }
  int GetActionType() const override { return kind_; }
  int GetExecutionLevel() const override { return level_; }
  int GetDirections() const override { return kDirectionOutgoing; }

 private:
  TTestLog* log_;
  std::string name_;
  int kind_;
  int level_;
};

// A translator with the test trigger and output; delayMs > 0 sets a delay in milliseconds.
inline TTransMsgPtr MakeTestTranslator(TTestLog* log, const std::string& name, int kind,
                                       int firstByte, int outKind = kActionMidi, int level = 0,
                                       int32_t delayMs = 0) {
  TTransMsgPtr t = TTransMsg::Create(name);
  t->SetIncoming(std::make_unique<TTestTrigger>(kind, firstByte));
  auto out = std::make_unique<TTestOutput>(log, name, outKind, level);
  if (delayMs > 0) {
    out->SetDelayUnit(kDelayMillis);
    out->SetDelay(TNumberOrVariable::Number(delayMs));
  }
  t->SetOutgoing(std::move(out));
  return t;
}

}  // namespace kv::testing
