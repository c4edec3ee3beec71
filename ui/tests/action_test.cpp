#include "ui/action.h"

#include <gtest/gtest.h>

namespace kv::ui {
namespace {

TEST(ActionTest, ExecuteRunsUpdateFirstAndHonoursEnabled) {
  TAction a("&Copy");
  int executed = 0;
  bool allow = false;
  a.OnExecute = [&] { ++executed; };
  a.OnUpdate = [&](TAction& self) { self.SetEnabled(allow); };
  EXPECT_FALSE(a.Execute());
  EXPECT_EQ(executed, 0);
  allow = true;
  EXPECT_TRUE(a.Execute());
  EXPECT_EQ(executed, 1);
  TAction none;
  EXPECT_FALSE(none.Execute());  // no handler is not success
}

TEST(ActionTest, ClientsFollowChangesAndMayUnlinkWhileTold) {
  TAction a;
  int first = 0, second = 0;
  int secondId = 0;
  int firstId = a.AddClient([&] {
    ++first;
    a.RemoveClient(secondId);  // the second is not told any more
  });
  secondId = a.AddClient([&] { ++second; });
  a.SetChecked(true);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 0);
  a.SetChecked(true);  // unchanged: nobody is told
  EXPECT_EQ(first, 1);
  a.RemoveClient(firstId);
  a.SetCaption("x");
  EXPECT_EQ(first, 1);
}

TEST(ActionTest, ListRunsShortcutsOfVisibleActionsOnly) {
  TActionList list;
  TAction& hidden = list.Add("Hidden");
  TAction& shown = list.Add("Shown");
  TShortCut ctrlD = MakeShortCut('D', false, true, false);
  int hiddenRuns = 0, shownRuns = 0;
  hidden.SetShortCut(ctrlD);
  hidden.SetVisible(false);
  hidden.OnExecute = [&] { ++hiddenRuns; };
  shown.SetShortCut(ctrlD);
  shown.OnExecute = [&] { ++shownRuns; };
  EXPECT_TRUE(list.ExecuteShortCut(ctrlD));
  EXPECT_EQ(hiddenRuns, 0);
  EXPECT_EQ(shownRuns, 1);
  EXPECT_FALSE(list.ExecuteShortCut(kScNone));
  int updates = 0;
  shown.OnUpdate = [&](TAction&) { ++updates; };
  list.UpdateAll();
  EXPECT_EQ(updates, 1);
}

}  // namespace
}  // namespace kv::ui
