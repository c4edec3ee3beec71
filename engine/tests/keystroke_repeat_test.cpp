// Auto-repeat on the timer manager's own thread, with the portable ticker.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/system/key_system.h"
#include "engine/actions/keystroke_action.h"
#include "engine/timer_manager.h"

namespace kv {
namespace {

size_t Downs(const TKeyRecorder& keys) {
  size_t n = 0;
  for (const auto& sent : keys.Events())
    if ((sent.flags & kKeyFlagUp) == 0) ++n;
  return n;
}

bool WaitFor(const std::function<bool()>& done) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

TEST(KeystrokeRepeatTest, RepeatsOnTheTimerThreadUntilTheKeyUp) {
  TKeyRecorder keys;
  TScopedKeySystem scope(keys);
  SetApplicationActive(false);
  {
    TTTManager timers;
    SetKeyRepeatTimerManager(&timers);
    TTransKeyAction down(false), up(false);
    down.LoadFromText("KAM211C80000KSQ10001041");  // 200 per second, no delay
    up.LoadFromText("KAM12000KSQ10001041");
    TExecutionContext context;
    ASSERT_TRUE(down.ExecuteOutgoing(context));
    EXPECT_TRUE(WaitFor([&] { return Downs(keys) >= 4; }));
    ASSERT_TRUE(up.ExecuteOutgoing(context));
    // Repeats run under the manager's lock, which the key-up's kill took: none is left.
    const size_t after = Downs(keys);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(Downs(keys), after);
    EXPECT_EQ(keys.Lines().back(), "key up 65");

    // Freeing a repeating action ends its repeat too.
    auto again = std::make_unique<TTransKeyAction>(false);
    again->LoadFromText("KAM211C80000KSQ10001042");
    ASSERT_TRUE(again->ExecuteOutgoing(context));
    EXPECT_TRUE(WaitFor([&] { return Downs(keys) >= after + 3; }));
    again.reset();
    const size_t freed = Downs(keys);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(Downs(keys), freed);
    SetKeyRepeatTimerManager(nullptr);
  }
}

}  // namespace
}  // namespace kv
