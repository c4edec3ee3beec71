#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "base/main_thread.h"
#include "engine/project.h"
#include "engine/rules.h"
#include "engine/tests/manual_timer.h"
#include "engine/tests/runtime_test_actions.h"
#include "engine/actions/timer_action.h"
#include "engine/timer_manager.h"
#include "engine/trans_engine.h"
#include "engine/translate_params.h"
#include "engine/actions/unknown_action.h"

namespace kv {
namespace {

using testing::MakeTestTranslator;
using testing::TManualTimer;
using testing::TTestLog;

template <class Pred>
bool ServeUntil(Pred pred, int seconds = 10) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return false;
    TMainThreadCalls::Instance().Serve(5);
  }
  return true;
}

class TFakeMidi : public TEngineMidiBinding {
 public:
  void BindEngine(TMidiInputHandler* engine) override {
    bound = engine;
    ++calls;
  }
  TMidiInputHandler* bound = nullptr;
  int calls = 0;
};

class TFakeKeys : public TEngineKeyBinding {
 public:
  void BindEngine(TTransEngine* engine, TGlobalTranslateParams* p) override {
    bound = engine;
    params = p;
  }
  TTransEngine* bound = nullptr;
  TGlobalTranslateParams* params = nullptr;
};

class EngineTest : public ::testing::Test {
 protected:
  EngineTest() {
    TMainThreadCalls::Instance().SetMainThread();
    auto timer = std::make_unique<TManualTimer>();
    timer_ = timer.get();
    ReplaceTimerManagerForTests(std::make_unique<TTTManager>(std::move(timer)));
    engine_ = std::make_unique<TTransEngine>(TEngineBindings{&GetTimerManager(), &midi_, &keys_});
    // The reports of the events fed in on this thread; the dispatcher's thread reports each
    // queued action it runs, whenever it gets to it.
    engine_->SetOnActivity([this, self = std::this_thread::get_id()](void*, uint16_t activity) {
      if (std::this_thread::get_id() == self) lastActivity_ = activity;
    });
  }
  ~EngineTest() override {
    engine_.reset();
    FreeTimerManager();
  }

  TLockableTransList& AddPreset(bool active) {
    TLockableTransList& preset = engine_->Project().NewPreset();
    preset.SetActive(active);
    return preset;
  }
  bool Midi(uint32_t packed, bool swallowed = false) {
    bool handled = false;
    engine_->HandleShortMessage(0, packed, swallowed, handled);
    EXPECT_TRUE(handled);
    return swallowed;
  }
  TTransStats& Stats() { return engine_->Params().Stats(); }

  TFakeMidi midi_;
  TFakeKeys keys_;
  TManualTimer* timer_;
  TTestLog log_;
  std::atomic<uint16_t> lastActivity_{0};
  std::unique_ptr<TTransEngine> engine_;
};

TEST_F(EngineTest, BindsToItsManagersAndUnbindsBeforeItGoes) {
  EXPECT_EQ(midi_.bound, engine_.get());
  EXPECT_EQ(keys_.bound, engine_.get());
  EXPECT_EQ(keys_.params, &engine_->Params());
  EXPECT_TRUE(static_cast<bool>(GetTimerManager().OnTimer()));
  AddPreset(true).AddTranslator(
      MakeTestTranslator(&log_, "late", kActionMidi, 0x90, kActionMidi, 0, 100000));
  Midi(0x403C90);
  engine_.reset();
  EXPECT_EQ(midi_.bound, nullptr);
  EXPECT_EQ(keys_.bound, nullptr);
  EXPECT_FALSE(static_cast<bool>(GetTimerManager().OnTimer()));
  EXPECT_EQ(log_.count.load(), 0);
}

TEST_F(EngineTest, RunsLevelZeroAtOnceAndQueuesTheRest) {
  TLockableTransList& preset = AddPreset(true);
  preset.AddTranslator(MakeTestTranslator(&log_, "now", kActionMidi, 0x90, kActionMidi, 0));
  preset.AddTranslator(MakeTestTranslator(&log_, "queued", kActionMidi, 0x90, kActionMidi, 1));
  preset.AddTranslator(MakeTestTranslator(&log_, "delayed", kActionMidi, 0x90, kActionMidi, 0, 5));
  Midi(0x403C90);
  {
    std::lock_guard<std::mutex> guard(log_.mutex);
    ASSERT_FALSE(log_.runs.empty());
    EXPECT_EQ(log_.runs[0], "now");
    EXPECT_EQ(log_.threads[0], std::this_thread::get_id());
  }
  EXPECT_EQ(lastActivity_.load(), kActivityMidiIn | kActivityMatched | kActivityMidiOut);
  ASSERT_TRUE(ServeUntil([&] { return log_.count.load() == 3; }));
  {
    std::lock_guard<std::mutex> guard(log_.mutex);
    EXPECT_NE(log_.threads[1], std::this_thread::get_id());
    EXPECT_NE(log_.threads[2], std::this_thread::get_id());
  }
  EXPECT_EQ(Stats().Matches(), 3u);
  EXPECT_EQ(Stats().Outgoing(), 3u);
  EXPECT_EQ(Stats().EventsOfKind(kActionMidi), 1u);
}

TEST_F(EngineTest, LastMatchingTranslatorDecidesTheThru) {
  TLockableTransList& preset = AddPreset(true);
  TTransMsgPtr pass = MakeTestTranslator(&log_, "pass", kActionMidi, 0x90);
  pass->SetOutputOriginal(true);
  preset.AddTranslator(pass);
  EXPECT_FALSE(Midi(0x403C90));  // passed through
  preset.AddTranslator(MakeTestTranslator(&log_, "swallow", kActionMidi, 0x90));
  EXPECT_TRUE(Midi(0x403C90));
  // Nothing matched: the caller's value stays.
  EXPECT_TRUE(Midi(0x403C80, true));
  EXPECT_FALSE(Midi(0x403C80, false));
  // A data byte is no message: nothing happens.
  bool swallowed = false, handled = false;
  engine_->HandleShortMessage(0, 0x40, swallowed, handled);
  EXPECT_EQ(Stats().EventsOfKind(kActionMidi), 4u);
}

TEST_F(EngineTest, StopEndsTheEventUnlessRulesSkipTheAction) {
  TLockableTransList& first = AddPreset(true);
  TTransMsgPtr skipper = MakeTestTranslator(&log_, "skipper", kActionMidi, 0x90);
  skipper->SetStop(true);
  TTransStepMath rules;
  std::vector<std::string> errors;
  ASSERT_TRUE(rules.ParseLines({"if ga==0 then exit rules, skip Outgoing Action"}, errors));
  skipper->SetRules(&rules);
  first.AddTranslator(skipper);
  TLockableTransList& second = AddPreset(true);
  second.AddTranslator(MakeTestTranslator(&log_, "later", kActionMidi, 0x90));
  Midi(0x403C90);
  EXPECT_EQ(log_.Runs(), (std::vector<std::string>{"later"}));
  engine_->Params().Globals().Set(10, 1);  // rules let the action run: stop applies
  Midi(0x403C90);
  EXPECT_EQ(log_.Runs(), (std::vector<std::string>{"later", "skipper"}));
}

TEST_F(EngineTest, ARuleErrorEndsOnlyThatEvent) {
  TLockableTransList& preset = AddPreset(true);
  TTransMsgPtr failing = MakeTestTranslator(&log_, "failing", kActionMidi, 0x90);
  TTransStepMath rules;
  std::vector<std::string> errors;
  ASSERT_TRUE(rules.ParseLines({"ga=1/0"}, errors));
  failing->SetRules(&rules);
  preset.AddTranslator(failing);
  preset.AddTranslator(MakeTestTranslator(&log_, "after", kActionMidi, 0x90));
  int events = 0;
  engine_->SetOnEvent([&](TTransEngine&, const TIncomingEvent&) { ++events; });
  Midi(0x403C90);
  EXPECT_TRUE(log_.Runs().empty());
  EXPECT_EQ(events, 1);
  // The preset's read lock was released: the preset can be edited.
  preset.DeleteTranslator(0, true);
  Midi(0x403C90);
  EXPECT_EQ(log_.Runs(), (std::vector<std::string>{"after"}));
  engine_->SetOnEvent(nullptr);
}

TEST_F(EngineTest, DeactivationEventWalksThePresetItLeaves) {
  AddPreset(true);
  TLockableTransList& target = AddPreset(true);
  target.AddTranslator(MakeTestTranslator(&log_, "preset", kActionPresetChange, -1));
  TLockableTransList& other = AddPreset(false);
  other.AddTranslator(MakeTestTranslator(&log_, "inactive", kActionPresetChange, -1));
  log_.runs.clear();
  log_.count = 0;
  std::vector<int32_t> pp;
  engine_->SetOnEvent([&](TTransEngine&, const TIncomingEvent& e) {
    if (e.kind == kActionPresetChange) pp.push_back(e.locals[1]);
  });
  target.SetActive(false);
  EXPECT_EQ(log_.Runs(), (std::vector<std::string>{"preset"}));
  target.SetActive(true);  // walks every active preset
  EXPECT_EQ(log_.Runs(), (std::vector<std::string>{"preset", "preset"}));
  EXPECT_EQ(pp, (std::vector<int32_t>{1, 1}));
  engine_->SetOnEvent(nullptr);
}

TEST_F(EngineTest, WithProcessingOffOnlySpecialActionsRun) {
  TLockableTransList& preset = AddPreset(true);
  TTransMsgPtr midi = MakeTestTranslator(&log_, "midi", kActionMidi, 0x90);
  midi->SetOutputOriginal(true);
  preset.AddTranslator(midi);
  preset.AddTranslator(MakeTestTranslator(&log_, "switch", kActionMidi, 0x91, kActionSpecial, 0));
  std::atomic<int> specialEvents{0};
  engine_->SetOnEvent([&](TTransEngine&, const TIncomingEvent& e) {
    if (e.kind == kActionSpecial && e.context == kContextDispatcher &&
        e.value == kSpecialProcessingDisabled)
      ++specialEvents;
  });
  engine_->Params().SetEnabled(false);
  EXPECT_FALSE(Midi(0x403C90));  // still matched, still passed through
  EXPECT_EQ(Stats().Matches(), 1u);
  Midi(0x403C91);
  EXPECT_EQ(log_.Runs(), (std::vector<std::string>{"switch"}));
  ASSERT_TRUE(ServeUntil([&] { return specialEvents.load() == 1; }));
  engine_->SetOnEvent(nullptr);
}

TEST_F(EngineTest, RealtimeBytesAddTheirActivityBits) {
  Midi(0xF8);
  EXPECT_EQ(lastActivity_.load(), kActivityMidiIn | kActivityMidiClockIn);
  Midi(0xFE);
  EXPECT_EQ(lastActivity_.load(), kActivityMidiIn | kActivityActiveSensingIn);
  engine_->OnMidiThroughActivity();
  EXPECT_EQ(lastActivity_.load(), kActivityMidiThrough);
}

TEST_F(EngineTest, UnknownActionsAreNeverQueued) {
  TLockableTransList& preset = AddPreset(true);
  TTransMsgPtr t = TTransMsg::Create("unknown");
  t->SetIncoming(std::make_unique<testing::TTestTrigger>(kActionMidi, 0x90));
  t->SetOutgoing(std::make_unique<TTransUnknownAction>(false, "Xyz1ABCD"));
  preset.AddTranslator(t);
  TTransMsgPtr empty = TTransMsg::Create("empty");
  empty->SetIncoming(std::make_unique<testing::TTestTrigger>(kActionMidi, 0x90));
  empty->SetOutgoing(std::make_unique<TTransUnknownAction>(false, ""));
  preset.AddTranslator(empty);
  Midi(0x403C90);
  // Queued, they would wait for the main thread (level 2), which nobody serves here.
  EXPECT_EQ(engine_->Dispatcher()->FreeEntries(), TRuntimeDispatcher::kPoolSize);
  EXPECT_EQ(Stats().Matches(), 2u);
}

TEST_F(EngineTest, ProjectOpenedAndKeysReachTheRules) {
  TLockableTransList& preset = AddPreset(true);
  preset.AddTranslator(MakeTestTranslator(&log_, "key", kActionKeystroke, -1, kActionMidi, 2));
  std::atomic<int> opened{0};
  engine_->SetOnEvent([&](TTransEngine&, const TIncomingEvent& e) {
    if (e.kind == kActionSpecial && e.value == kSpecialProjectOpened) ++opened;
  });
  uint32_t key[4] = {1, 2, 3, 4};
  engine_->KeyEventReceived(key);  // context 2 runs level 2 at once
  EXPECT_EQ(log_.Runs(), (std::vector<std::string>{"key"}));
  engine_->ProjectOpened();
  ASSERT_TRUE(ServeUntil([&] { return opened.load() == 1; }));
  engine_->SetOnEvent(nullptr);
}

TEST_F(EngineTest, TimerThatKillsItselfThroughItsOwnEvent) {
  TLockableTransList& preset = AddPreset(true);
  TTransMsgPtr t = TTransMsg::Create("kill A");
  auto trigger = std::make_unique<TTransTimerAction>(true);
  trigger->LoadFromText(EncodeTimerTrigger("A"));
  auto kill = std::make_unique<TTransTimerAction>(false);
  kill->LoadFromText(EncodeKillTimer("A"));
  t->SetIncoming(std::move(trigger));
  t->SetOutgoing(std::move(kill));
  preset.AddTranslator(t);
  GetTimerManager().StartNamedTimer("A", 0, nullptr, 0, 2);
  ASSERT_TRUE(timer_->Tick());
  EXPECT_EQ(Stats().EventsOfKind(kActionTimer), 1u);
  // The kill (level 1) runs on the dispatcher thread.
  ASSERT_TRUE(ServeUntil([&] { return GetTimerManager().EntryCount() == 0; }));
  timer_->Tick();
  timer_->Tick();
  EXPECT_LE(Stats().EventsOfKind(kActionTimer), 2u);
}

TEST_F(EngineTest, TimerEventsAndTheirActionsAreLogged) {
  std::mutex mutex;
  std::vector<std::string> lines;
  engine_->Params().SetOnLog([&](const std::string& line) {
    std::lock_guard<std::mutex> guard(mutex);
    lines.push_back(line);
  });
  TLockableTransList& preset = AddPreset(true);
  TTransMsgPtr t = TTransMsg::Create("kill B");
  auto trigger = std::make_unique<TTransTimerAction>(true);
  trigger->LoadFromText(EncodeTimerTrigger("B"));
  auto kill = std::make_unique<TTransTimerAction>(false);
  kill->LoadFromText(EncodeKillTimer("B"));
  t->SetIncoming(std::move(trigger));
  t->SetOutgoing(std::move(kill));
  preset.AddTranslator(t);
  GetTimerManager().StartNamedTimer("B", 0, nullptr, 0, 2);
  ASSERT_TRUE(timer_->Tick());
  auto has = [&](const std::string& text) {
    std::lock_guard<std::mutex> guard(mutex);
    return std::find(lines.begin(), lines.end(), text) != lines.end();
  };
  EXPECT_TRUE(ServeUntil(
      [&] { return has("IN 0.0: On timer \"B\"") && has("OUT 0.0: Kill timer \"B\""); }));
  engine_->Params().SetOnLog(nullptr);
}

TEST_F(EngineTest, ResetRuntimeDropsQueuedActionsAndGlobals) {
  TLockableTransList& preset = AddPreset(true);
  preset.AddTranslator(
      MakeTestTranslator(&log_, "later", kActionMidi, 0x90, kActionMidi, 0, 100000));
  Midi(0x403C90);
  engine_->Params().Globals().Set(20, 5);
  engine_->ResetRuntime();
  EXPECT_EQ(engine_->Dispatcher()->FreeEntries(), TRuntimeDispatcher::kPoolSize);
  EXPECT_EQ(engine_->Params().Globals().Get(20), 0);
}

// Editing the project while MIDI threads, the timer thread and the dispatcher process events
// must not deadlock; ThreadSanitizer watches the rest.
TEST(EngineThreads, EditingWhileEventsAreProcessed) {
  TMainThreadCalls::Instance().SetMainThread();
  ReplaceTimerManagerForTests(std::make_unique<TTTManager>());  // the real ticker thread
  TTestLog log;
  {
    TTransEngine engine(TEngineBindings{&GetTimerManager(), nullptr, nullptr});
    TPresetHandler& project = engine.Project();
    auto fill = [&](TLockableTransList& preset) {
      preset.AddTranslator(MakeTestTranslator(&log, "m0", kActionMidi, 0x90, kActionMidi, 0));
      preset.AddTranslator(MakeTestTranslator(&log, "m1", kActionMidi, 0x90, kActionMidi, 1, 1));
      TTransMsgPtr timer = TTransMsg::Create("restart");
      auto trigger = std::make_unique<TTransTimerAction>(true);
      trigger->LoadFromText(EncodeTimerTrigger("T"));
      auto restart = std::make_unique<TTransTimerAction>(false);
      restart->LoadFromText("Tim0TimS0001T1:1:0");
      timer->SetIncoming(std::move(trigger));
      timer->SetOutgoing(std::move(restart));
      preset.AddTranslator(timer);
      preset.SetActive(true);
    };
    fill(project.NewPreset());
    GetTimerManager().StartNamedTimer("T", 1, nullptr, 0, 2);
    std::atomic<bool> stop{false};
    std::array<std::atomic<int>, 2> calls{};
    std::vector<std::thread> inputs;
    for (int n = 0; n < 2; ++n)
      inputs.emplace_back([&, n] {
        while (!stop.load()) {
          bool swallowed = false, handled = false;
          engine.HandleShortMessage(n, 0x403C90, swallowed, handled);
          ++calls[n];
        }
      });
    // A new thread may take a while to get going (under Wine it often has not run at all after
    // hundreds of edits): the edits begin once both inputs deliver, and go on until a good
    // number of events were processed while they ran.
    const bool started = ServeUntil([&] { return calls[0] > 0 && calls[1] > 0; });
    const int actionsBefore = log.count.load();
    const int callsBefore[2] = {calls[0].load(), calls[1].load()};
    auto racedEnough = [&] {
      return log.count.load() - actionsBefore >= 200 && calls[0] - callsBefore[0] >= 50 &&
             calls[1] - callsBefore[1] >= 50;
    };
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool raced = false;
    for (int round = 0; started && std::chrono::steady_clock::now() < giveUp; ++round) {
      if (round >= 200 && (raced = racedEnough())) break;
      project.AddPresetNamed('P' + std::to_string(round));
      fill(project.NewPreset());
      if (project.GetPresetCount() > 3) project.DeletePreset(0);
      if (round % 50 == 0) {
        project.ClearProject();
        engine.ResetRuntime();
        GetTimerManager().StartNamedTimer("T", 1, nullptr, 0, 2);
      }
      TMainThreadCalls::Instance().Serve(0);
    }
    stop = true;
    for (auto& input : inputs) input.join();
    EXPECT_TRUE(started) << "the input threads never ran";
    EXPECT_TRUE(raced) << log.count.load() - actionsBefore << " actions, " << calls[0] << " and "
                       << calls[1] << " events during the edits";
  }
  FreeTimerManager();
  EXPECT_GT(log.count.load(), 0);
}

// A chain of one-shot timers, each started by the event of the one before, as a project runs
// it on the system's timer: each firing stops the ticking inside its tick, and its event starts
// the next timer from the dispatcher while that tick may still be running.
TEST(EngineThreads, TimerChainKeepsGoing) {
  TMainThreadCalls::Instance().SetMainThread();
  ReplaceTimerManagerForTests(std::make_unique<TTTManager>());
  uint32_t fired = 0;
  double ms = 0;
  {
    TTransEngine engine(TEngineBindings{&GetTimerManager(), nullptr, nullptr});
    TLockableTransList& preset = engine.Project().NewPreset();
    for (const char* link : {"AB", "BA"}) {
      TTransMsgPtr t = TTransMsg::Create(link);
      auto trigger = std::make_unique<TTransTimerAction>(true);
      trigger->LoadFromText(EncodeTimerTrigger(std::string(1, link[0])));
      auto next = std::make_unique<TTransTimerAction>(false);
      next->LoadFromText(std::string("Tim0TimS0001") + link[1] + "1:1:0");  // once, after 1 ms
      t->SetIncoming(std::move(trigger));
      t->SetOutgoing(std::move(next));
      preset.AddTranslator(t);
    }
    preset.SetActive(true);
    const auto start = std::chrono::steady_clock::now();
    GetTimerManager().StartNamedTimer("A", 1, nullptr, 1, 0);
    const TTransStats& stats = engine.Params().Stats();
    EXPECT_TRUE(ServeUntil([&] { return stats.EventsOfKind(kActionTimer) >= 300; }, 60))
        << stats.EventsOfKind(kActionTimer) << " links";
    fired = stats.EventsOfKind(kActionTimer);
    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    GetTimerManager().KillAll();
  }
  FreeTimerManager();
  std::printf("[ figures ] timer chain: %u links in %.0f ms\n", fired, ms);
}

}  // namespace
}  // namespace kv
