#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/clock.h"
#include "base/exception.h"
#include "base/lock.h"
#include "engine/action_registry.h"
#include "engine/actions/timer_action.h"
#include "engine/tests/manual_timer.h"
#include "engine/timer_manager.h"

namespace kv {
namespace {

using testing::TManualTimer;

TTTManagerEntry Entry(uint32_t due, int32_t period, int32_t remaining) {
  TTTManagerEntry e;
  e.due = due;
  e.period = period;
  e.remaining = remaining;
  return e;
}

TEST(CheckDue, ComparesAcrossTheClockWrap) {
  // Due just after the wrap: not yet due before it, due once the clock has wrapped.
  TTTManagerEntry e = Entry(0x00000004u, 10, 1);
  EXPECT_FALSE(CheckDue(e, 0xFFFFFFF0u));
  EXPECT_TRUE(CheckDue(e, 0x00000005u));
  // Due just before the wrap: a clock that has wrapped is past it.
  TTTManagerEntry late = Entry(0xFFFFFFFEu, 10, 3);
  EXPECT_TRUE(CheckDue(late, 0x00000001u));
  EXPECT_EQ(late.due, 0x00000008u);
}

TEST(CheckDue, EndlessSkipsMissedPeriodsCountedCatchesUp) {
  TTTManagerEntry endless = Entry(100, 10, -1);
  EXPECT_TRUE(CheckDue(endless, 155));  // 55 ms late: fires once
  EXPECT_EQ(endless.due, 160u);
  EXPECT_FALSE(CheckDue(endless, 157));

  TTTManagerEntry counted = Entry(100, 10, 10);
  int fired = 0;
  for (int tick = 0; tick < 10; ++tick)
    if (CheckDue(counted, 150)) ++fired;
  EXPECT_EQ(fired, 6);  // due 100, 110, ..., 150
  EXPECT_EQ(counted.remaining, 4);
}

TEST(CheckDue, EndlessWithoutPeriodFiresOncePerTick) {
  for (int32_t period : {0, -5}) {
    TTTManagerEntry e = Entry(100, period, -1);
    EXPECT_TRUE(CheckDue(e, 1000000));
    EXPECT_TRUE(CheckDue(e, 1000002));
  }
}

class TimerManagerTest : public ::testing::Test {
 protected:
  TimerManagerTest() : clock_(1000) {
    auto timer = std::make_unique<TManualTimer>();
    timer_ = timer.get();
    manager_ = std::make_unique<TTTManager>(std::move(timer));
    manager_->SetOnTimer([this](TTransTimerManager&, int32_t id) { fired_.push_back(id); });
  }

  // Advances the clock by step ms per tick and ticks; returns how many ticks ran.
  int Run(int ticks, uint32_t step = 2) {
    int ran = 0;
    for (int i = 0; i < ticks; ++i) {
      clock_.Advance(step);
      if (timer_->Tick()) ++ran;
    }
    return ran;
  }
  int FiredCount(int32_t id) const {
    int n = 0;
    for (int32_t f : fired_) n += f == id;
    return n;
  }

  TestClock clock_;
  TManualTimer* timer_;
  std::unique_ptr<TTTManager> manager_;
  std::vector<int32_t> fired_;
};

TEST_F(TimerManagerTest, OneShotFiresOnceAfterItsDelayAndTickingStops) {
  manager_->StartNamedTimer("One", 100, nullptr, 1, 0);
  int32_t id = manager_->GetNameId("one", false);
  ASSERT_NE(id, 0);
  EXPECT_TRUE(timer_->IsRunning());
  EXPECT_EQ(timer_->Period(), 2u);
  Run(49);  // 98 ms
  EXPECT_EQ(FiredCount(id), 0);
  Run(1);
  EXPECT_EQ(FiredCount(id), 1);
  EXPECT_FALSE(timer_->IsRunning());
  Run(100);
  EXPECT_EQ(FiredCount(id), 1);
  EXPECT_EQ(manager_->EntryCount(), 0u);
}

TEST_F(TimerManagerTest, StartingARunningTimerReArmsIt) {
  manager_->StartNamedTimer("Re", 10, nullptr, 2, 10);
  Run(5);
  manager_->StartNamedTimer("Re", 10, nullptr, 2, 10);
  EXPECT_EQ(manager_->EntryCount(), 1u);
  TTTManagerEntry e;
  ASSERT_TRUE(manager_->FindEntry("RE", e));
  EXPECT_EQ(e.due, clock_.Now() + 10);
  EXPECT_EQ(e.remaining, 2);
  // Count 0 runs endlessly.
  manager_->StartNamedTimer("Endless", 0, nullptr, 0, 4);
  ASSERT_TRUE(manager_->FindEntry("Endless", e));
  EXPECT_EQ(e.remaining, -1);
}

TEST_F(TimerManagerTest, KillOfAnUnknownNameLeavesOthersRunning) {
  manager_->StartNamedTimer("Keep", 0, nullptr, 0, 2);
  EXPECT_FALSE(manager_->KillTimer("NeverUsedTimerName"));
  Run(3);
  EXPECT_EQ(FiredCount(manager_->GetNameId("Keep", false)), 3);
  EXPECT_TRUE(manager_->KillTimer("keep"));
  EXPECT_EQ(manager_->EntryCount(), 0u);
}

TEST_F(TimerManagerTest, CallbacksThatKillAndStartTimersTouchNoFreedEntry) {
  // A's callback kills A and B (B comes later in the list) and starts C; the walk must not
  // use the freed entries, B must not fire, and C must keep the ticking alive.
  std::vector<std::string> calls;
  auto callback = [&](const std::string& name) {
    calls.push_back(name);
    if (name == "A") {
      manager_->KillTimer("A");
      manager_->KillTimer("B");
      manager_->StartNamedTimer(
          "C", 4, [&](const std::string& n) { calls.push_back(n); }, 1, 0);
    }
  };
  manager_->StartNamedTimer("A", 2, callback, 0, 2);
  manager_->StartNamedTimer("B", 2, callback, 0, 2);
  Run(1);
  EXPECT_EQ(calls, (std::vector<std::string>{"A"}));
  EXPECT_TRUE(timer_->IsRunning());
  Run(3);
  EXPECT_EQ(calls, (std::vector<std::string>{"A", "C"}));
  EXPECT_FALSE(timer_->IsRunning());
}

TEST_F(TimerManagerTest, CallbackThatKillsEverythingAndRestartsItself) {
  int calls = 0;
  std::function<void(const std::string&)> again = [&](const std::string& name) {
    ++calls;
    manager_->KillAll();
    if (calls < 3) manager_->StartNamedTimer(name, 0, again, 1, 0);
  };
  manager_->StartNamedTimer("Self", 0, again, 1, 0);
  Run(10);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(manager_->EntryCount(), 0u);
}

TEST_F(TimerManagerTest, PausedTicksAdvanceButCallNothing) {
  manager_->StartNamedTimer("P", 0, nullptr, 3, 2);
  manager_->Pause();
  // A stop asked outside the tick is done by the next tick, on the timer's thread.
  EXPECT_TRUE(timer_->IsRunning());
  Run(1);
  EXPECT_FALSE(timer_->IsRunning());
  // A start while paused restarts the ticking; due timers advance silently.
  manager_->StartNamedTimer("Q", 0, nullptr, 1, 0);
  Run(5);
  EXPECT_TRUE(fired_.empty());
  manager_->Resume();
  Run(5);
  EXPECT_EQ(FiredCount(manager_->GetNameId("P", false)), 0);  // its firings went by
  EXPECT_TRUE(fired_.empty());
}

TEST_F(TimerManagerTest, TimerEventsRunWithTheManagerUnlocked) {
  // The engine's walk of a timer event takes presets' read locks; another thread that holds
  // one and starts a timer must not wait for the tick.
  bool otherThreadStarted = false;
  manager_->BindOnTimer([&](TTransTimerManager&, int32_t) {
    std::thread other([&] {
      manager_->StartNamedTimer("FromOther", 100, nullptr, 1, 0);
      otherThreadStarted = true;
    });
    other.join();
  });
  manager_->StartNamedTimer("Walk", 0, nullptr, 1, 0);
  Run(1);
  EXPECT_TRUE(otherThreadStarted);
  TTTManagerEntry e;
  EXPECT_TRUE(manager_->FindEntry("FromOther", e));
}

TEST_F(TimerManagerTest, NamesAreTrimmedAndIdsAreShared) {
  TTransTimerAction action(false);
  action.SetTimerName("  Fader  ");
  EXPECT_EQ(action.GetTimerName(), "Fader");
  EXPECT_EQ(action.GetNameId(), manager_->GetNameId("FADER", false));
  EXPECT_EQ(TimerNameId("fader", false), action.GetNameId());
}

TEST_F(TimerManagerTest, ActionCountFromAVariableAtOrBelowZeroStopsTheTimer) {
  TTransTimerAction action(false);
  ASSERT_GT(action.LoadFromText("Tim0TimS0003Var"
                                "ga:0:5"),
            0u);
  TGlobalVariables globals;
  globals.Set(10, 2);
  manager_->StartTimer(action, nullptr, &globals);
  TTTManagerEntry e;
  ASSERT_TRUE(manager_->FindEntry("Var", e));
  EXPECT_EQ(e.remaining, 2);
  globals.Set(10, 0);
  manager_->StartTimer(action, nullptr, &globals);
  EXPECT_FALSE(manager_->FindEntry("Var", e));
  manager_->StartTimer(action, nullptr, &globals);  // nothing runs: nothing is added
  EXPECT_EQ(manager_->EntryCount(), 0u);
  // The same value as a number runs endlessly.
  ASSERT_GT(action.LoadFromText("Tim0TimS0003Var0:0:5"), 0u);
  manager_->StartTimer(action, nullptr, &globals);
  ASSERT_TRUE(manager_->FindEntry("Var", e));
  EXPECT_EQ(e.remaining, -1);
}

TEST_F(TimerManagerTest, DestructionStopsTheTimer) {
  manager_->StartNamedTimer("D", 0, nullptr, 0, 2);
  manager_.reset();  // must not wait for anything with a lock held
  SUCCEED();
}

TEST(TimerAction, StoredFormsRoundTrip) {
  TTransTimerAction a(false);
  EXPECT_EQ(a.LoadFromText("Tim0TimS0003Abc1:100:0"), 22u);
  EXPECT_EQ(a.GetTimerName(), "Abc");
  EXPECT_EQ(a.GetCount(), TNumberOrVariable::Number(1));
  EXPECT_EQ(a.GetTimerDelay(), TNumberOrVariable::Number(100));
  EXPECT_EQ(a.GetPeriod(), TNumberOrVariable::Number(0));
  EXPECT_EQ(a.GetDescription(), "One-shot timer \"Abc\": 100 ms delay");
  EXPECT_EQ(a.SaveToText(), "Tim0TimS0003Abc1:100:0");

  EXPECT_EQ(a.LoadFromText("Tim0TimS0001Xga:pp:-5tail"), 21u);
  EXPECT_EQ(a.GetDescription(), "Timer ga times \"X\": -5 ms (initial delay: pp ms)");
  EXPECT_EQ(a.LoadFromText("Tim0TimS0001X0:10:20"), 20u);
  EXPECT_EQ(a.GetDescription(), "Periodic timer \"X\": 20 ms (initial delay: 10 ms)");

  EXPECT_EQ(a.LoadFromText(EncodeKillTimer("Abc")), 15u);
  EXPECT_EQ(a.GetMode(), TTransTimerAction::kKill);
  EXPECT_EQ(a.GetDescription(), "Kill timer \"Abc\"");
  EXPECT_EQ(a.SaveToText(), "Tim0TimK0003Abc");
  EXPECT_EQ(a.LoadFromText("Tim0TimT0003Abc"), 15u);
  EXPECT_EQ(a.GetDescription(), "On timer \"Abc\"");
  EXPECT_EQ(a.SaveToText(), EncodeTimerTrigger("Abc"));

  // The old form: counts as 4 hexadecimal digits each; written back in the new form.
  EXPECT_EQ(a.LoadFromText("Tim00002Ab000200640010"), 22u);
  EXPECT_EQ(a.GetMode(), TTransTimerAction::kStart);
  EXPECT_EQ(a.SaveToText(), "Tim0TimS0002Ab2:100:16");

  auto clone = a.Clone();
  EXPECT_EQ(clone->SaveToText(), a.SaveToText());
}

TEST(TimerAction, CorruptTextsRaise) {
  TTransTimerAction a(false);
  for (const char* text : {"Tim0TimS", "Tim1TimS0001A1:1:1", "Tim0TimS0001A1:1:",
                           "Tim0TimS0001A1:1", "Tim0TimS0001A:1:1", "Tim0TimS0009A1:1:1",
                           "Tim0TimK0005Abc", "Tim00001A00010002000", "Tim00001A0001000200GG"}) {
    try {
      a.LoadFromText(text);
      ADD_FAILURE() << text;
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Corrupt timer configuration.") << text;
    }
  }
}

TEST(TimerAction, MatchesTheEventOfItsTimer) {
  TTransTimerAction trigger(true);
  trigger.LoadFromText(EncodeTimerTrigger("Tick"));
  TIncomingEvent event;
  event.kind = kActionTimer;
  event.timerId = TimerNameId("TICK", false);
  EXPECT_TRUE(trigger.MatchIncoming(event));
  event.timerId = TimerNameId("Other", true);
  EXPECT_FALSE(trigger.MatchIncoming(event));
  EXPECT_EQ(trigger.GetExecutionLevel(), kLevelNotCallback);
  EXPECT_EQ(trigger.GetDirections(), kDirectionBoth);
}

TEST(TimerAction, ExecuteStartsAndKillsThroughTheProgramsManager) {
  auto timer = std::make_unique<TManualTimer>();
  ReplaceTimerManagerForTests(std::make_unique<TTTManager>(std::move(timer)));
  TTransTimerAction start(false);
  start.LoadFromText("Tim0TimS0002Ex0:10:10");
  TLocalVariables locals{};
  TExecutionContext context;
  context.locals = &locals;
  EXPECT_TRUE(start.ExecuteOutgoing(context));
  TTTManagerEntry e;
  EXPECT_TRUE(GetTimerManager().FindEntry("Ex", e));
  TTransTimerAction kill(false);
  kill.LoadFromText(EncodeKillTimer("Ex"));
  EXPECT_TRUE(kill.ExecuteOutgoing(context));
  EXPECT_FALSE(GetTimerManager().FindEntry("Ex", e));
  TTransTimerAction trigger(false);
  trigger.LoadFromText(EncodeTimerTrigger("Ex"));
  EXPECT_FALSE(trigger.ExecuteOutgoing(context));
  FreeTimerManager();
}

// The seam's contract, for the system's timer (the real multimedia timer under Wine, the
// ticker thread natively): a stop from another thread waits for the tick in progress, a stop
// from inside the tick returns at once, and no tick comes after a stop.
TEST(MultimediaTimerSeam, StopWaitsForTheTickExceptFromInsideIt) {
  // Declared before the timer, whose destruction waits for a tick still using them.
  TEvent inTick;
  TEvent stopped;
  std::atomic<bool> release{false};
  std::atomic<bool> tickDone{false};
  std::atomic<int> ticks{0};
  auto timer = CreateMultimediaTimer();
  ASSERT_TRUE(timer->Start(2, 2, [&] {
    if (++ticks != 1) return;
    inTick.Signal();
    while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    tickDone = true;
  }));
  ASSERT_EQ(inTick.WaitFor(5000), TWaitResult::Signaled);
  std::thread releaser([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    release = true;
  });
  timer->Stop();
  EXPECT_TRUE(tickDone.load());
  releaser.join();
  EXPECT_FALSE(timer->IsRunning());
  int after = ticks.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ticks.load(), after);

  ASSERT_TRUE(timer->Start(2, 2, [&] {
    timer->Stop();
    stopped.Signal();
  }));
  EXPECT_EQ(stopped.WaitFor(5000), TWaitResult::Signaled);
  EXPECT_FALSE(timer->IsRunning());
}

// A tick that stopped the timer from inside goes on running (the named timers run their
// events after the stop): a stop from another thread waits for it, and a start from another
// thread (a timer event on the dispatcher) begins the calls again without replacing the
// function that tick runs.
TEST(MultimediaTimerSeam, ATickThatStoppedTheTimerIsWaitedForAndKeepsItsFunction) {
  // Declared before the timers, whose destruction waits for a tick still using them.
  TEvent inTick;
  std::atomic<bool> release{false};
  std::atomic<bool> tickDone{false};
  std::atomic<int> ticks{0};
  auto sleepy = [&](TMultimediaTimer& timer) {
    return [&, stoppable = &timer] {
      if (++ticks != 1) return;
      stoppable->Stop();
      inTick.Signal();
      while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      tickDone = true;
    };
  };
  auto releaseSoon = [&] {
    return std::thread([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      release = true;
    });
  };
  auto waitedFor = CreateMultimediaTimer();
  ASSERT_TRUE(waitedFor->Start(2, 2, sleepy(*waitedFor)));
  ASSERT_EQ(inTick.WaitFor(5000), TWaitResult::Signaled);
  std::thread releaser = releaseSoon();
  waitedFor->Stop();
  EXPECT_TRUE(tickDone.load()) << "a stop from outside returned while the tick still ran";
  releaser.join();

  release = false;
  ticks = 0;
  auto restarted = CreateMultimediaTimer();
  auto owned = std::make_shared<int>(0);
  const std::weak_ptr<int> watch = owned;
  auto body = sleepy(*restarted);
  ASSERT_TRUE(restarted->Start(2, 2, [body, owned] { body(); }));
  owned.reset();  // the timer's copy of the function keeps it
  ASSERT_EQ(inTick.WaitFor(5000), TWaitResult::Signaled);
  ASSERT_TRUE(restarted->Start(2, 2, [] {}));
  EXPECT_FALSE(watch.expired()) << "the function of the running tick was freed";
  releaser = releaseSoon();
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (ticks.load() < 3 && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_GE(ticks.load(), 3) << "the calls did not begin again";
  restarted->Stop();
  releaser.join();
}

// The system's timer (the real multimedia timer under Wine, the ticker thread natively).
TEST(SystemTimer, FiresANamedTimer) {
  // Declared before the manager: its destruction waits for a callback still signalling.
  TEvent fired;
  TEvent killed;
  std::atomic<int> calls{0};
  TTTManager manager;
  manager.StartNamedTimer(
      "Sys", 5,
      [&](const std::string&) {
        if (++calls == 3) fired.Signal();
      },
      3, 3);
  EXPECT_EQ(fired.WaitFor(5000), TWaitResult::Signaled);
  // A callback that kills its own timer from the timer's thread.
  manager.StartNamedTimer(
      "Sys2", 1,
      [&](const std::string& name) {
        manager.KillTimer(name);
        killed.Signal();
      },
      0, 1);
  EXPECT_EQ(killed.WaitFor(5000), TWaitResult::Signaled);
}

}  // namespace
}  // namespace kv
