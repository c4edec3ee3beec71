// The window-message action runs on MIDI, timer and dispatcher threads at once: its target's
// cached window must stay consistent while windows come and go.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "engine/actions/target_window.h"
#include "engine/system/target_window_system.h"

namespace kv {
namespace {

TEST(TargetWindowThreadsTest, ConcurrentLookupsSeeOnlyLiveOrNoWindows) {
  TWindowRecorder windows;
  TScopedWindowSystem scope(windows);
  TTargetWindow target;
  target.SetMatchMode(kMatchTitleContains);
  target.SetTitle("Synth");
  std::atomic<bool> stop{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> posters;
  for (int i = 0; i < 4; ++i) {
    posters.emplace_back([&] {
      while (!stop.load()) {
        const TWindowHandle found = target.Find();
        if (found != 0 && windows.GetWindowTitle(found).find("Synth") == std::string::npos &&
            windows.IsWindow(found))
          ++wrong;
      }
    });
  }
  for (int round = 0; round < 300; ++round) {
    const TWindowHandle w = windows.AddWindow("C", "Synth " + std::to_string(round));
    windows.AddWindow("C", "Other");
    std::this_thread::yield();
    windows.CloseWindow(w);
  }
  stop = true;
  for (std::thread& t : posters) t.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(target.Find(), 0u);
}

}  // namespace
}  // namespace kv
