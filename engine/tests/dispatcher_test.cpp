#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/clock.h"
#include "base/lock.h"
#include "base/main_thread.h"
#include "engine/dispatcher.h"
#include "engine/tests/runtime_test_actions.h"
#include "engine/translate_params.h"

namespace kv {
namespace {

using testing::MakeTestTranslator;
using testing::TTestLog;

class TFakeSink : public TDispatchSink {
 public:
  bool IsRunning() const override { return running; }
  void ProcessQueuedEvent(TIncomingEvent& event) override {
    std::lock_guard<std::mutex> guard(mutex);
    names.push_back(event.presetName ? event.presetName : "");
    values.push_back(event.value);
  }
  std::atomic<bool> running{true};
  std::mutex mutex;  // guards names, values
  std::vector<std::string> names;
  std::vector<int32_t> values;
};

TExecutionContext ContextOf(TTransMsg* translator, TLocalVariables* locals = nullptr) {
  TExecutionContext context;
  context.translator = translator;
  context.locals = locals;
  return context;
}

// Serves main-thread calls until the condition holds (generous bound).
template <class Pred>
bool ServeUntil(Pred pred) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return false;
    TMainThreadCalls::Instance().Serve(5);
  }
  return true;
}

class DispatcherQueueTest : public ::testing::Test {
 protected:
  DispatcherQueueTest() : clock_(5000), dispatcher_(&sink_, false) {
    TMainThreadCalls::Instance().SetMainThread();
    TMainThreadCalls::Instance().Serve();  // nothing left over from another test
  }
  TestClock clock_;
  TFakeSink sink_;
  TTestLog log_;
  TRuntimeDispatcher dispatcher_;
};

TEST_F(DispatcherQueueTest, FullPoolDropsTheLastActionAndPostsTheReport) {
  std::vector<std::string> messages;
  SetRuntimeMessageHandler([&](void*, int, const std::string& text) { messages.push_back(text); });
  TTransMsgPtr t = MakeTestTranslator(&log_, "a", kActionMidi, -1);
  for (size_t i = 0; i < TRuntimeDispatcher::kPoolSize; ++i)
    ASSERT_TRUE(dispatcher_.EnqueueAction(ContextOf(t.get()), 0));
  // From another thread, with nobody serving the main thread: it must not wait for it.
  bool accepted = true;
  std::thread producer([&] {
    accepted = dispatcher_.EnqueueAction(ContextOf(t.get()), 0);
    accepted = dispatcher_.EnqueueAction(ContextOf(t.get()), 0) || accepted;
  });
  producer.join();
  EXPECT_FALSE(accepted);
  EXPECT_EQ(dispatcher_.FreeEntries(), 0u);
  TMainThreadCalls::Instance().Serve();
  // Two drops, one report waiting for the main thread at a time.
  EXPECT_EQ(messages, (std::vector<std::string>{"Message queue is full (actions are discarded)"}));
  dispatcher_.RunPending();
  EXPECT_EQ(log_.count.load(), 1000);
  EXPECT_EQ(dispatcher_.FreeEntries(), TRuntimeDispatcher::kPoolSize);
  SetRuntimeMessageHandler(nullptr);
}

TEST_F(DispatcherQueueTest, DueOrderAndImmediateFirst) {
  TTransMsgPtr a = MakeTestTranslator(&log_, "a", kActionMidi, -1);
  TTransMsgPtr b = MakeTestTranslator(&log_, "b", kActionMidi, -1);
  TTransMsgPtr c = MakeTestTranslator(&log_, "c", kActionMidi, -1);
  TTransMsgPtr d = MakeTestTranslator(&log_, "d", kActionMidi, -1);
  dispatcher_.EnqueueAction(ContextOf(a.get()), 20);
  dispatcher_.EnqueueAction(ContextOf(b.get()), 20);
  dispatcher_.EnqueueAction(ContextOf(c.get()), 10);
  dispatcher_.EnqueueAction(ContextOf(d.get()), 0);
  EXPECT_EQ(dispatcher_.RunPending(), 10u);  // the wait until c is due
  EXPECT_EQ(log_.Runs(), (std::vector<std::string>{"d"}));
  clock_.Advance(10);
  EXPECT_EQ(dispatcher_.RunPending(), 10u);
  clock_.Advance(10);
  EXPECT_EQ(dispatcher_.RunPending(), TRuntimeDispatcher::kIdleWaitMs);
  EXPECT_EQ(log_.Runs(), (std::vector<std::string>{"d", "c", "a", "b"}));
}

TEST_F(DispatcherQueueTest, DueTimesSurviveTheClockWrap) {
  clock_.Set(0xFFFFFFF0u);
  TTransMsgPtr late = MakeTestTranslator(&log_, "late", kActionMidi, -1);
  TTransMsgPtr early = MakeTestTranslator(&log_, "early", kActionMidi, -1);
  dispatcher_.EnqueueAction(ContextOf(late.get()), 100);  // due after the wrap
  dispatcher_.EnqueueAction(ContextOf(early.get()), 5);   // due before it
  EXPECT_EQ(dispatcher_.RunPending(), 5u);
  clock_.Advance(5);
  dispatcher_.RunPending();
  EXPECT_EQ(log_.Runs(), (std::vector<std::string>{"early"}));
  clock_.Advance(94);
  EXPECT_EQ(dispatcher_.RunPending(), 1u);
  clock_.Advance(1);
  dispatcher_.RunPending();
  EXPECT_EQ(log_.Runs(), (std::vector<std::string>{"early", "late"}));
}

TEST_F(DispatcherQueueTest, QueuedActionKeepsItsTranslatorAndPresetAlive) {
  TLocalVariables locals{};
  locals[3] = 42;
  TTransMsgPtr t = MakeTestTranslator(&log_, "kept", kActionMidi, -1);
  auto preset = std::make_shared<int>(7);
  std::weak_ptr<TTransMsg> weakT = t;
  std::weak_ptr<int> weakPreset = preset;
  dispatcher_.EnqueueAction(ContextOf(t.get(), &locals), 50, preset);
  locals[3] = 0;  // the producer's record may change or go
  t.reset();      // deleted from its preset meanwhile
  preset.reset();
  EXPECT_FALSE(weakT.expired());
  EXPECT_FALSE(weakPreset.expired());
  clock_.Advance(50);
  dispatcher_.RunPending();
  EXPECT_EQ(log_.Runs(), (std::vector<std::string>{"kept"}));
  EXPECT_TRUE(weakT.expired());
  EXPECT_TRUE(weakPreset.expired());
}

TEST_F(DispatcherQueueTest, FlushRunsNothingAndReleasesEverything) {
  TTransMsgPtr t = MakeTestTranslator(&log_, "x", kActionMidi, -1);
  std::weak_ptr<TTransMsg> weak = t;
  dispatcher_.EnqueueAction(ContextOf(t.get()), 1000);
  dispatcher_.EnqueueAction(ContextOf(t.get()), 0);
  TIncomingEvent event;
  dispatcher_.EnqueueEvent(event);
  t.reset();
  dispatcher_.Flush();
  EXPECT_TRUE(weak.expired());
  clock_.Advance(2000);
  dispatcher_.RunPending();
  EXPECT_TRUE(log_.Runs().empty());
  EXPECT_TRUE(sink_.names.empty());
  EXPECT_EQ(dispatcher_.FreeEntries(), TRuntimeDispatcher::kPoolSize);
}

TEST_F(DispatcherQueueTest, QueuedEventKeepsItsOwnPresetName) {
  std::string name = "Drums";
  TIncomingEvent event;
  event.value = 1;
  event.presetName = name.c_str();
  dispatcher_.EnqueueEvent(event);
  name = "changed";
  dispatcher_.RunPending();
  EXPECT_EQ(sink_.names, (std::vector<std::string>{"Drums"}));
  // An engine that is not running has entries discarded.
  sink_.running = false;
  dispatcher_.EnqueueEvent(event);
  dispatcher_.RunPending();
  EXPECT_EQ(sink_.names.size(), 1u);
}

TEST(DispatcherThread, RunsDelayedActionsAndMainThreadLevels) {
  TMainThreadCalls::Instance().SetMainThread();
  TFakeSink sink;
  TTestLog log;
  TGlobalTranslateParams params;
  std::atomic<int> activityReports{0};
  params.SetOnActivity([&](void*, uint16_t activity) {
    if (activity & kActivityMidiOut) ++activityReports;
  });
  TTransMsgPtr any = MakeTestTranslator(&log, "any", kActionMidi, -1, kActionMidi, 0);
  TTransMsgPtr main = MakeTestTranslator(&log, "main", kActionMidi, -1, kActionMidi, 2);
  {
    TRuntimeDispatcher dispatcher(&sink);
    dispatcher.SetParams(&params);
    TExecutionContext context = ContextOf(any.get());
    context.params = &params;
    dispatcher.EnqueueAction(context, 5);
    context.translator = main.get();
    dispatcher.EnqueueAction(context, 0);
    ASSERT_TRUE(ServeUntil([&] { return log.count.load() == 2; }));
    std::lock_guard<std::mutex> guard(log.mutex);
    for (size_t i = 0; i < log.runs.size(); ++i) {
      if (log.runs[i] == "main")
        EXPECT_EQ(log.threads[i], std::this_thread::get_id());
      else
        EXPECT_NE(log.threads[i], std::this_thread::get_id());
    }
  }
  EXPECT_EQ(activityReports.load(), 2);
}

TEST(DispatcherThread, ManyProducersWhileItRuns) {
  TMainThreadCalls::Instance().SetMainThread();
  TFakeSink sink;
  TTestLog log;
  TTransMsgPtr t = MakeTestTranslator(&log, "p", kActionMidi, -1);
  std::atomic<int> accepted{0};
  {
    TRuntimeDispatcher dispatcher(&sink);
    std::vector<std::thread> producers;
    for (int p = 0; p < 4; ++p)
      producers.emplace_back([&, p] {
        for (int i = 0; i < 200; ++i)
          if (dispatcher.EnqueueAction(ContextOf(t.get()), (i + p) % 3)) ++accepted;
      });
    for (auto& producer : producers) producer.join();
    ASSERT_TRUE(ServeUntil([&] { return log.count.load() == accepted.load(); }));
  }
  EXPECT_GT(accepted.load(), 0);
  EXPECT_EQ(t.use_count(), 1);
}

TEST(DispatcherThread, DestructionReleasesWaitingEntries) {
  TFakeSink sink;
  TTestLog log;
  TTransMsgPtr t = MakeTestTranslator(&log, "w", kActionMidi, -1);
  {
    TRuntimeDispatcher dispatcher(&sink);
    dispatcher.EnqueueAction(ContextOf(t.get()), 100000);
  }
  EXPECT_EQ(t.use_count(), 1);
  EXPECT_EQ(log.count.load(), 0);
}

}  // namespace
}  // namespace kv
