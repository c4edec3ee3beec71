// The start-up messages: what creation does with the window, the first show and the start-up
// continuation, each one-time step once, and the failed-device warning.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window/main_settings.h"
#include "app/main_window/main_messages.h"
#include "app/main_window/main_startup.h"

namespace kv::test {
namespace {

using S = TStartupStep;

bool Has(const std::vector<S>& steps, S step) {
  return std::find(steps.begin(), steps.end(), step) != steps.end();
}

// The queued steps as the window runs them, one a message, until none is left.
std::vector<S> RunQueued(TMainStartup& startup, const TStartupState& state,
                         const TMainSettings& s) {
  std::vector<S> ran;
  while (const std::optional<S> step = startup.NextStep(state, s, "")) ran.push_back(*step);
  return ran;
}

TEST(MainStartupTest, AHiddenWindowIsShownAnywayWithoutTheTrayIcon) {
  TMainSettings s;
  s.mainVisible = false;
  TCreateDecision d = DecideMainWindowCreate(s, false);
  EXPECT_FALSE(d.showMainForm);
  EXPECT_TRUE(d.hideApplicationWindow);
  EXPECT_TRUE(d.postFirstShow);
  EXPECT_STREQ(d.trayCaption, "&Show");

  s.showTrayIcon = false;  // nothing would be left to bring it back
  d = DecideMainWindowCreate(s, false);
  EXPECT_TRUE(d.showMainForm);
  EXPECT_FALSE(d.hideApplicationWindow);
  EXPECT_FALSE(d.postFirstShow);
  EXPECT_STREQ(d.trayCaption, "&Minimize");

  // Started minimised: still shown, the tray item offers to show it.
  d = DecideMainWindowCreate(s, true);
  EXPECT_TRUE(d.showMainForm);
  EXPECT_TRUE(d.showMinimized);
  EXPECT_FALSE(d.hideApplicationWindow);
  EXPECT_FALSE(d.postFirstShow);  // its showing reports itself
  EXPECT_STREQ(d.trayCaption, "&Show");
}

TEST(MainStartupTest, StartMinimizedWaitsOnTheTaskBarOrInTheTray) {
  TMainSettings s;
  s.startMinimized = true;
  TCreateDecision d = DecideMainWindowCreate(s, false);
  EXPECT_TRUE(d.showMainForm);
  EXPECT_TRUE(d.showMinimized);
  EXPECT_FALSE(d.postFirstShow);
  EXPECT_STREQ(d.trayCaption, "&Show");

  s.minimizeToTray = true;
  d = DecideMainWindowCreate(s, false);
  EXPECT_FALSE(d.showMainForm);
  EXPECT_FALSE(d.showMinimized);
  EXPECT_TRUE(d.hideApplicationWindow);
  EXPECT_TRUE(d.postFirstShow);
  EXPECT_STREQ(d.trayCaption, "&Show");

  s.startMinimized = false;  // minimising to the tray alone starts the window as usual
  d = DecideMainWindowCreate(s, false);
  EXPECT_TRUE(d.showMainForm);
  EXPECT_FALSE(d.showMinimized);
  EXPECT_FALSE(d.postFirstShow);
  EXPECT_STREQ(d.trayCaption, "&Minimize");
}

// Every placement the settings can hold, with the project named on the command line or the
// last one open: the first show comes once (the window's show report when it is shown, however
// it is shown, else creation's), and the start-up loads the project.
TEST(MainStartupTest, EveryPlacementStartsOnceAndLoadsItsProject) {
  struct TPlacement {
    const char* name;
    bool mainVisible, startMinimized, minimizeToTray, startedMinimized;
  };
  const TPlacement placements[] = {
      {"normal or maximised", true, false, false, false},
      {"minimised (placement or show command)", true, false, false, true},
      {"Start Minimized", true, true, false, false},
      {"to the tray", true, true, true, false},
      {"hidden", false, false, false, false}};
  for (const TPlacement& p : placements) {
    for (const bool named : {true, false}) {
      SCOPED_TRACE(std::string(p.name) + (named ? ", named" : ", last project"));
      TMainSettings s;
      s.migrationDone = true;
      s.mainVisible = p.mainVisible;
      s.startMinimized = p.startMinimized;
      s.minimizeToTray = p.minimizeToTray;
      const TCreateDecision d = DecideMainWindowCreate(s, p.startedMinimized);
      TMainStartup startup;
      TStartupState state;
      state.visible = d.showMainForm;
      if (d.showMainForm) startup.FirstShow(startup.FirstShowParam(), state, s);  // reported
      if (d.postFirstShow) startup.FirstShow(0, state, s);
      std::vector<S> ran;
      bool loaded = false;
      while (const std::optional<S> step = startup.NextStep(state, s, named ? "" : "last.kvxp")) {
        ran.push_back(*step);
        if (*step == S::ContinueAfterSplash) startup.QueueContinue();  // no splash counting
        if ((*step == S::LoadProject && named) || *step == S::OpenPendingProject) loaded = true;
        state.projectHasPresets = loaded;
      }
      EXPECT_TRUE(loaded);
      EXPECT_EQ(std::count(ran.begin(), ran.end(), S::ContinueAfterSplash), 1);
      EXPECT_EQ(std::count(ran.begin(), ran.end(), S::GoLive), 1);
    }
  }
}

TEST(MainStartupTest, FirstShowGoesLiveOnceAndStartsTheSplash) {
  TMainStartup startup;
  TMainSettings s;
  s.showLoggerForm = true;
  TStartupState state;
  state.visible = true;
  EXPECT_EQ(startup.FirstShowParam(), 0u);
  startup.FirstShow(0, state, s);
  EXPECT_EQ(RunQueued(startup, state, s),
            (std::vector<S>{S::ReopenLogWindow, S::Repaint, S::MakePortAliases, S::LoadProject,
                            S::GoLive, S::SelectFirstPreset, S::InstallHints, S::ReevaluateLamps,
                            S::ContinueAfterSplash, S::GiveEditorEngine}));
  // Shown again: nothing one-time repeats.
  startup.FirstShow(0, state, s);
  EXPECT_EQ(RunQueued(startup, state, s),
            (std::vector<S>{S::Repaint, S::InstallHints, S::ReevaluateLamps, S::ContinueAfterSplash,
                            S::GiveEditorEngine}));

  state.closing = true;
  startup.FirstShow(0, state, s);
  EXPECT_FALSE(startup.StepsPending());
}

TEST(MainStartupTest, AHiddenStartStillGoesLiveAndContinuesOnce) {
  TMainStartup startup;
  TMainSettings s;
  s.showEditWindow = true;
  TStartupState state;  // not visible: the editor waits for the window
  startup.FirstShow(0, state, s);
  std::vector<S> steps = RunQueued(startup, state, s);
  EXPECT_TRUE(Has(steps, S::GoLive));
  EXPECT_FALSE(Has(steps, S::ReopenEditor));
  EXPECT_FALSE(Has(steps, S::Repaint));

  steps = startup.Continue(state, s, "");
  EXPECT_FALSE(Has(steps, S::GoLive));
  EXPECT_TRUE(Has(steps, S::MigrateRegistryProjects));
  EXPECT_FALSE(Has(steps, S::OpenPendingProject));
  EXPECT_TRUE(Has(steps, S::InstallExamplePresets));
  EXPECT_TRUE(startup.Continue(state, s, "").empty());
  EXPECT_EQ(startup.FirstShowParam(), 1u);

  // After continuing, a later first show does not start the splash again.
  state.visible = true;
  startup.FirstShow(1, state, s);
  EXPECT_EQ(RunQueued(startup, state, s),
            (std::vector<S>{S::ReopenEditor, S::InstallHints, S::GiveEditorEngine}));
}

TEST(MainStartupTest, ContinuationGoesLiveItselfAndOpensThePendingProjectOnlyIntoAnEmptyOne) {
  TMainSettings s;
  s.migrationDone = true;
  TStartupState state;
  const std::vector<S> continued{S::PointRecentFilesForReading, S::ApplyTrayIcon,
                                 S::OpenPendingProject,         S::RefreshPresetChecks,
                                 S::ReportFailedDevices,        S::WatchAliasChanges,
                                 S::InstallExamplePresets,      S::GivePresetFolder};
  {
    TMainStartup startup;
    // Not live yet: the start-up first, and the continuation decided again once it has run.
    EXPECT_EQ(startup.Continue(state, s, "last.kvxp"),
              (std::vector<S>{S::MakePortAliases, S::LoadProject, S::GoLive,
                              S::SelectFirstPreset, S::Continue}));
    EXPECT_EQ(startup.Continue(state, s, "last.kvxp"), continued);
  }
  {
    TMainStartup startup;
    startup.Continue(state, s, "last.kvxp");
    state.projectHasPresets = true;  // the command line's project stays
    EXPECT_FALSE(Has(startup.Continue(state, s, "last.kvxp"), S::OpenPendingProject));
  }
  {
    TMainStartup startup;
    startup.Continue(state, s, "last.kvxp");
    state.projectHasPresets = false;
    state.projectRefused = true;  // the file asked for was refused: no other opens instead
    EXPECT_FALSE(Has(startup.Continue(state, s, "last.kvxp"), S::OpenPendingProject));
  }
  {
    TMainStartup startup;
    state.quitting = true;
    EXPECT_TRUE(startup.Continue(state, s, "last.kvxp").empty());
  }
}

// The window runs the steps one per message; a continuation queued before the first show's
// steps is reached after them and decided on the project they loaded.
TEST(MainStartupTest, QueuedStepsRunInOrderAndTheContinuationIsDecidedWhenReached) {
  TMainSettings s;
  s.migrationDone = true;
  TStartupState state;
  state.visible = true;
  TMainStartup startup;
  startup.QueueContinue();
  startup.FirstShow(0, state, s);
  std::vector<S> ran;
  while (const std::optional<S> step = startup.NextStep(state, s, "last.kvxp")) {
    ran.push_back(*step);
    if (*step == S::LoadProject) state.projectHasPresets = true;
  }
  EXPECT_FALSE(startup.StepsPending());
  const std::vector<S> expected{
      S::Repaint, S::MakePortAliases, S::LoadProject, S::GoLive, S::SelectFirstPreset,
      S::InstallHints, S::ReevaluateLamps, S::ContinueAfterSplash, S::GiveEditorEngine,
      S::PointRecentFilesForReading, S::ApplyTrayIcon, S::RefreshPresetChecks,
      S::ReportFailedDevices, S::WatchAliasChanges, S::InstallExamplePresets, S::GivePresetFolder};
  EXPECT_EQ(ran, expected);

  // A window that closes drops what is left.
  TMainStartup closing;
  closing.FirstShow(0, state, s);
  closing.DropSteps();
  EXPECT_FALSE(closing.NextStep(state, s, "").has_value());
}

TEST(MainStartupTest, FailedDevicesMakeOneWarning) {
  EXPECT_EQ(FailedDevicesText({}, {}), "");
  EXPECT_EQ(FailedDevicesText({"Keys"}, {"Synth"}),
            "Failed to open MIDI IN device \"Keys\".\r\n"
            "Failed to open MIDI OUT device \"Synth\".\r\n"
            "Please connect the device(s) or select another one in the MIDI setup.");
}

}  // namespace
}  // namespace kv::test

namespace kv::test {
namespace {

TEST(MainMessagesTest, DeviceChangesAndTrayClicks) {
  EXPECT_EQ(DeviceChangeText(7, -1), "WMDeviceChange wparam=0x00000007 lparam=0xFFFFFFFF");
  EXPECT_TRUE(RescansOnDeviceChange(7));
  EXPECT_FALSE(RescansOnDeviceChange(0x8000));

  EXPECT_EQ(DecideTrayClick(515, true, false, false), TTrayAction::BringToFront);
  EXPECT_EQ(DecideTrayClick(515, true, false, true), TTrayAction::ToggleShowMinimize);
  EXPECT_EQ(DecideTrayClick(515, false, false, false), TTrayAction::ToggleShowMinimize);
  EXPECT_EQ(DecideTrayClick(516, false, true, false), TTrayAction::OpenMenu);
  EXPECT_EQ(DecideTrayClick(512, true, false, false), TTrayAction::None);
  EXPECT_TRUE(ShowMinimizeMinimizes(true, false));
  EXPECT_FALSE(ShowMinimizeMinimizes(true, true));
}

TEST(MainMessagesTest, TheLampsThreadRunsWhileLampsOrAnimationAreWanted) {
  TMainSettings s;
  EXPECT_TRUE(DecideActivityDisplay(s, true, true, true, true).lamps);
  EXPECT_FALSE(DecideActivityDisplay(s, false, true, true, true).lamps);
  EXPECT_TRUE(DecideActivityDisplay(s, false, true, true, true).ThreadNeeded());
  // An icon that failed to load stops the animation, not the lamps.
  const TActivityDisplay unloaded = DecideActivityDisplay(s, true, true, false, true);
  EXPECT_TRUE(unloaded.lamps);
  EXPECT_FALSE(unloaded.trayAnimation);
  EXPECT_FALSE(DecideActivityDisplay(s, false, true, false, true).ThreadNeeded());
  s.eventMonitor = false;
  s.trayAnimation = false;
  EXPECT_FALSE(DecideActivityDisplay(s, true, true, true, true).ThreadNeeded());
  s.minimizeToTray = true;
  EXPECT_TRUE(HidesToTray(s));
  s.showTrayIcon = false;
  EXPECT_FALSE(HidesToTray(s));
}

}  // namespace
}  // namespace kv::test
