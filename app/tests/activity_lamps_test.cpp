// The lamps' afterglow over a test clock, the tray state they imply, the tray icon's calls to
// the shell, and the lamp thread's start and stop while the main thread serves its calls.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "app/shell/activity_lamps.h"
#include "app/shell/tray_animation.h"
#include "base/main_thread.h"

namespace kv {
namespace {

TEST(LampLogic, OneEventFallsThroughFourStepsToDark) {
  TLampLogic lamps;
  lamps.SetMaxPosition(4);
  EXPECT_EQ(lamps.Step(), 75u);
  ASSERT_TRUE(lamps.Stamp(0x0002, 1000));
  const std::pair<uint32_t, int32_t> expected[] = {{1000, 1}, {1074, 1}, {1075, 2}, {1149, 2},
                                                   {1150, 3}, {1225, 4}, {1299, 4}, {1300, 0}};
  for (const auto& [now, value] : expected) {
    lamps.Compute(now);
    EXPECT_EQ(lamps.Values()[1], value) << "at " << now;
    EXPECT_EQ(lamps.LitMask() != 0, value != 0) << "at " << now;
  }
  // A new event restarts the glow; an empty set is no event.
  EXPECT_FALSE(lamps.Stamp(0, 2000));
  EXPECT_FALSE(lamps.Compute(2000));
  lamps.Stamp(0x0002, 2000);
  EXPECT_TRUE(lamps.Compute(2010));
  EXPECT_EQ(lamps.Values()[1], 1);
  // Across the 32-bit wrap of the clock.
  lamps.Stamp(0x0001, 0xFFFFFFF0u);
  lamps.Compute(0x20);
  EXPECT_EQ(lamps.Values()[0], 1);
}

TEST(LampLogic, TrayStateFromTheLitLamps) {
  EXPECT_EQ(TrayIconIndex(TrayStateFromLit(0)), 0);
  EXPECT_EQ(TrayIconIndex(TrayStateFromLit(1u << 1)), 1);
  EXPECT_EQ(TrayIconIndex(TrayStateFromLit(1u << 9)), 1);   // mouse input is input
  EXPECT_EQ(TrayIconIndex(TrayStateFromLit(1u << 13)), 1);  // other incoming kinds
  EXPECT_EQ(TrayIconIndex(TrayStateFromLit(1u << 11)), 2);  // window messages out
  EXPECT_EQ(TrayIconIndex(TrayStateFromLit(1u << 12)), 2);  // MIDI through
  EXPECT_EQ(TrayIconIndex(TrayStateFromLit(1u << 0 | 1u << 5 | 1u << 14)), 7);
  EXPECT_EQ(TrayTooltip("T", "1.7"), "T V1.7");
  EXPECT_EQ(TrayTooltip(std::string(70, 'x'), "1").size(), 62u);
}

class TShellRecorder final : public ui::INotifyIconShell {
 public:
  bool Call(ui::TNotifyIconCall call, const ui::TNotifyIconData& data) override {
    static const char* const names[] = {"add", "modify", "remove"};
    std::lock_guard<std::mutex> guard(mutex);
    calls.push_back(std::string(names[static_cast<int>(call)]) + " " + std::to_string(data.icon));
    tip = data.tip;
    return true;
  }
  std::mutex mutex;  // guards calls and tip
  std::vector<std::string> calls;
  std::string tip;
};

ui::TNotifyIconData Record() { return {1, 1, 0x7E8, 0, ""}; }

TEST(TrayAnimation, ShowsChangesAndRemovesItsIcon) {
  TShellRecorder shell;
  ui::TTrayIconState icon(shell, Record());
  {
    TTrayAnimation tray(icon, {10, 11, 12, 13, 14, 15, 16, 17}, 99, "tip");
    EXPECT_TRUE(tray.Animated());
    tray.SetState({true, false, false});  // not shown yet: only remembered
    EXPECT_TRUE(shell.calls.empty());
    tray.SetVisible(true);
    tray.SetState({true, true, true});
    tray.SetState({true, true, true});  // same icon: the shell is not asked again
    tray.Reshow();
  }
  EXPECT_EQ(shell.calls,
            (std::vector<std::string>{"add 11", "modify 17", "modify 17", "remove 17"}));
  EXPECT_EQ(shell.tip, "tip");
}

TEST(TrayAnimation, AMissingIconKeepsTheIdleOne) {
  TShellRecorder shell;
  ui::TTrayIconState icon(shell, Record());
  TTrayAnimation tray(icon, {0, 11, 12, 13, 14, 0, 16, 17}, 99, "tip");
  EXPECT_FALSE(tray.Animated());
  EXPECT_EQ(tray.CurrentIcon(), 99u);  // the program's icon stands in for the idle one
  tray.SetVisible(true);
  tray.SetState({true, true, true});
  EXPECT_EQ(tray.CurrentIcon(), 99u);
}

class TLampRecorder final : public TLampTarget {
 public:
  void ShowLamps(const TLampValues& values) override {
    EXPECT_TRUE(TMainThreadCalls::Instance().IsMainThread());
    shown.push_back(values);
  }
  void SetTrayState(const TTrayState& state) override {
    std::lock_guard<std::mutex> guard(mutex);
    trays.push_back(state);
  }
  std::vector<TLampValues> shown;  // main thread only
  std::mutex mutex;                // guards trays
  std::vector<TTrayState> trays;
};

template <typename Condition>
bool ServeUntil(Condition condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    TMainThreadCalls::Instance().Serve(5);
  }
  return true;
}

TEST(ShowEvents, LampsLightAndGoDarkThenTheThreadSleeps) {
  TMainThreadCalls::Instance().SetMainThread();
  std::atomic<uint32_t> now{5000};
  TLampRecorder target;
  TShowEvents events(target, 4, [&] { return now.load(); });
  events.SetLampsEnabled(true);
  events.SetTrayEnabled(true);
  events.Trigger(0x0004);  // MIDI out
  ASSERT_TRUE(ServeUntil([&] { return !target.shown.empty(); }));
  EXPECT_EQ(target.shown.back()[2], 1);
  now = 5400;  // past the glow
  ASSERT_TRUE(ServeUntil([&] { return target.shown.back()[2] == 0; }));
  ASSERT_TRUE(ServeUntil([&] {
    std::lock_guard<std::mutex> guard(target.mutex);
    return target.trays.size() >= 2 && target.trays.back() == TTrayState{};
  }));
  {
    std::lock_guard<std::mutex> guard(target.mutex);
    EXPECT_TRUE(target.trays.front().out);
    EXPECT_EQ(target.trays.back(), TTrayState{});
  }
  // Switching the lamps off shows them dark at once.
  events.Trigger(0x0001);
  ASSERT_TRUE(ServeUntil([&] { return target.shown.back()[0] == 1; }));
  events.SetLampsEnabled(false);
  EXPECT_EQ(target.shown.back(), TLampValues{});
}

TEST(ShowEvents, ManyStartsTriggerStormsAndStopsNeverDeadlock) {
  TMainThreadCalls::Instance().SetMainThread();
  std::atomic<uint32_t> now{1};
  TLampRecorder target;
  for (int round = 0; round < 1000; ++round) {
    auto events = std::make_unique<TShowEvents>(target, 4, [&] { return now.fetch_add(7); });
    events->SetLampsEnabled(true);
    events->SetTrayEnabled(true);
    std::thread storm([&] {
      for (int i = 0; i < 50; ++i) events->Trigger(static_cast<uint16_t>(1u << (i % 15)));
    });
    TMainThreadCalls::Instance().Serve(0);
    storm.join();
    events.reset();  // stops while the thread may wait in a call onto this thread
  }
  EXPECT_EQ(target.shown.back(), TLampValues{});
}

TEST(ActivityRelay, EngineThreadsReportWhileTheLampThreadComesAndGoes) {
  TMainThreadCalls::Instance().SetMainThread();
  std::atomic<uint32_t> now{1};
  TLampRecorder target;
  TActivityRelay relay;
  relay.Trigger(0x0002);  // no lamp thread yet: nothing to wake
  std::atomic<bool> stop{false};
  std::atomic<int> reports{0};
  std::vector<std::thread> engine;
  for (int t = 0; t < 2; ++t)
    engine.emplace_back([&, t] {
      for (int i = 0; !stop.load() || i < 100; ++i) {
        relay.Trigger(static_cast<uint16_t>(1u << ((i + t) % 15)));
        reports.fetch_add(1);
      }
    });
  for (int round = 0; round < 300; ++round) {
    TShowEvents& events = relay.Make(target, 4, [&] { return now.fetch_add(3); });
    EXPECT_EQ(&relay.Make(target, 4, [] { return 0u; }), &events);  // kept, not made again
    events.SetLampsEnabled(true);
    events.SetTrayEnabled(round % 2 == 0);
    TMainThreadCalls::Instance().Serve(0);
    relay.Free();
    EXPECT_EQ(relay.Events(), nullptr);
  }
  stop = true;
  for (std::thread& thread : engine) thread.join();
  EXPECT_GE(reports.load(), 200);
  EXPECT_EQ(target.shown.back(), TLampValues{});  // freed: every lamp dark
}

}  // namespace
}  // namespace kv
