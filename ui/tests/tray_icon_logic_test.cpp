#include "ui/tray_icon_logic.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kv::ui {
namespace {

// A shell that keeps one icon like the real one: it refuses a second add, and a modify or a
// delete of an icon it does not have. Calls are recorded as "add 7 tip" etc.
class TFakeShell : public INotifyIconShell {
 public:
  bool Call(TNotifyIconCall call, const TNotifyIconData& d) override {
    std::lock_guard lock(mutex_);
    const char* names[] = {"add", "modify", "delete"};
    calls_.push_back(std::string(names[static_cast<int>(call)]) + " " + std::to_string(d.icon) +
                     " " + d.tip);
    if (lost_) {  // the shell restarted and forgot the icon
      present_ = false;
      lost_ = false;
    }
    bool ok = call == TNotifyIconCall::Add ? !present_ : present_;
    if (!ok) ++refused_;
    if (ok && !down_) present_ = call != TNotifyIconCall::Delete;
    return ok && !down_;
  }
  std::vector<std::string> Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(calls_, {});
  }
  void Lose() { lost_ = true; }
  void SetDown(bool down) { down_ = down; }
  int Refused() const { return refused_; }
  bool Present() const { return present_; }

 private:
  std::mutex mutex_;
  std::vector<std::string> calls_;
  bool present_ = false, lost_ = false, down_ = false;
  int refused_ = 0;
};

TNotifyIconData Record() {
  TNotifyIconData d;
  d.owner = 0x100;
  d.id = 1;
  d.callbackMessage = 0x7E8;
  d.icon = 7;
  d.tip = "Korvanta";
  return d;
}

using Calls = std::vector<std::string>;

TEST(TrayIconLogicTest, ShowingAndHidingAddsModifiesAndDeletes) {
  TFakeShell shell;
  TTrayIconState tray(shell, Record());
  tray.SetVisible(false);  // hidden already: nothing
  tray.Refresh();          // nothing while hidden
  tray.SetVisible(true);
  tray.SetVisible(true);  // shown again (after a hide to the tray): modify
  tray.SetVisible(false);
  tray.SetVisible(false);
  EXPECT_EQ(shell.Take(), (Calls{"add 7 Korvanta", "modify 7 Korvanta", "delete 7 Korvanta"}));
  EXPECT_FALSE(tray.Shown());
  EXPECT_EQ(shell.Refused(), 0);
}

TEST(TrayIconLogicTest, AnIconTheShellLostOrRefusedIsAddedByTheNextRefresh) {
  for (bool refusedAtFirst : {false, true}) {
    TFakeShell shell;
    TTrayIconState tray(shell, Record());
    shell.SetDown(refusedAtFirst);  // no notification area yet
    tray.SetVisible(true);
    EXPECT_TRUE(tray.Shown());  // so that the next refresh tries again
    shell.SetDown(false);
    if (!refusedAtFirst) shell.Lose();  // the notification area restarted
    tray.Refresh();
    EXPECT_EQ(shell.Take(), (Calls{"add 7 Korvanta", "modify 7 Korvanta", "add 7 Korvanta"}));
    EXPECT_TRUE(shell.Present());
  }
}

TEST(TrayIconLogicTest, IconAndTipChangesReachAShownIconOnly) {
  TFakeShell shell;
  TTrayIconState tray(shell, Record());
  tray.SetIcon(8);  // stored for later
  tray.SetTip("Korvanta V1");
  EXPECT_TRUE(shell.Take().empty());
  tray.SetVisible(true);
  tray.SetIcon(0);  // no icon: ignored
  tray.SetIcon(9);
  tray.SetIcon(9);  // the same icon again: the shell is not asked
  tray.SetTip("Korvanta V2");
  EXPECT_EQ(shell.Take(),
            (Calls{"add 8 Korvanta V1", "modify 9 Korvanta V1", "modify 9 Korvanta V2"}));
  EXPECT_EQ(tray.Data().callbackMessage, 0x7E8u);
}

TEST(TrayIconLogicTest, TheLampThreadChangesTheIconWhileTheMainThreadShowsAndHides) {
  TFakeShell shell;
  TTrayIconState tray(shell, Record());
  std::atomic<bool> stop{false};
  std::thread lamps([&] {
    for (uintptr_t i = 0; !stop.load(); ++i) tray.SetIcon(1 + i % 8);
  });
  for (int i = 0; i < 2000; ++i) tray.SetVisible(i % 3 != 0);
  stop = true;
  lamps.join();
  tray.SetVisible(false);
  EXPECT_EQ(shell.Refused(), 0);  // never a second add, never a change of a missing icon
  EXPECT_FALSE(shell.Present());
}

}  // namespace
}  // namespace kv::ui
