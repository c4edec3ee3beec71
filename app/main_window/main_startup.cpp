#include "app/main_window/main_startup.h"

#include <algorithm>

#include "app/main_window/main_messages.h"
#include "app/main_window/main_settings.h"
#include "engine/format.h"

namespace kv {

TCreateDecision DecideMainWindowCreate(const TMainSettings& settings, bool startedMinimized) {
  TCreateDecision d;
  // Without the tray icon a hidden window could never be reached again: it is shown anyway.
  d.showMainForm = settings.mainVisible || !settings.showTrayIcon;
  const bool minimized = settings.startMinimized || startedMinimized;
  if (d.showMainForm && minimized) {
    if (HidesToTray(settings))
      d.showMainForm = false;
    else
      d.showMinimized = true;
  }
  if (!d.showMainForm || minimized) {
    d.hideApplicationWindow = !d.showMainForm;
    d.trayCaption = kTrayShowCaption;
  }
  // A window shown (normal, maximised or minimised) starts from its show report; one that is
  // not shown would never give one.
  d.postFirstShow = !d.showMainForm;
  return d;
}

void TMainStartup::GoLiveOnce(std::vector<TStartupStep>& steps) {
  if (goneLive_) return;
  goneLive_ = true;
  for (TStartupStep step : {TStartupStep::MakePortAliases, TStartupStep::LoadProject,
                            TStartupStep::GoLive, TStartupStep::SelectFirstPreset})
    steps.push_back(step);
}

void TMainStartup::FirstShow(unsigned wParam, const TStartupState& state,
                             const TMainSettings& settings) {
  if (state.closing || state.quitting) return;
  std::vector<TStartupStep> steps;
  if (state.visible && settings.showLoggerForm && !logReopened_) {
    logReopened_ = true;
    steps.push_back(TStartupStep::ReopenLogWindow);
  }
  if (state.visible && settings.showEditWindow && !editorReopened_) {
    editorReopened_ = true;
    steps.push_back(TStartupStep::ReopenEditor);
  }
  if (wParam == 0 && !state.terminating) {
    if (state.visible) steps.push_back(TStartupStep::Repaint);
    GoLiveOnce(steps);
  }
  steps.push_back(TStartupStep::InstallHints);
  if (wParam == 0) {
    steps.push_back(TStartupStep::ReevaluateLamps);
    steps.push_back(TStartupStep::ContinueAfterSplash);
  }
  steps.push_back(TStartupStep::GiveEditorEngine);
  // Ahead of a continuation already queued: the window shows before it continues.
  queue_.insert(std::find(queue_.begin(), queue_.end(), TStartupStep::Continue), steps.begin(),
                steps.end());
}

void TMainStartup::QueueContinue() { queue_.push_back(TStartupStep::Continue); }

std::vector<TStartupStep> TMainStartup::Continue(const TStartupState& state,
                                                 const TMainSettings& settings,
                                                 const std::string& pendingProject) {
  std::vector<TStartupStep> steps;
  if (continued_ || state.terminating || state.closing || state.quitting) return steps;
  GoLiveOnce(steps);
  if (!steps.empty()) {
    steps.push_back(TStartupStep::Continue);
    return steps;
  }
  continued_ = true;
  steps.push_back(TStartupStep::PointRecentFilesForReading);
  if (!settings.migrationDone) steps.push_back(TStartupStep::MigrateRegistryProjects);
  steps.push_back(TStartupStep::ApplyTrayIcon);
  if (!pendingProject.empty() && !state.projectHasPresets && !state.projectRefused)
    steps.push_back(TStartupStep::OpenPendingProject);
  steps.push_back(TStartupStep::RefreshPresetChecks);
  steps.push_back(TStartupStep::ReportFailedDevices);
  steps.push_back(TStartupStep::WatchAliasChanges);
  steps.push_back(TStartupStep::InstallExamplePresets);
  steps.push_back(TStartupStep::GivePresetFolder);
  return steps;
}

std::optional<TStartupStep> TMainStartup::NextStep(const TStartupState& state,
                                                   const TMainSettings& settings,
                                                   const std::string& pendingProject) {
  while (!queue_.empty()) {
    const TStartupStep step = queue_.front();
    queue_.pop_front();
    if (step != TStartupStep::Continue) return step;
    const std::vector<TStartupStep> steps = Continue(state, settings, pendingProject);
    queue_.insert(queue_.begin(), steps.begin(), steps.end());
  }
  return std::nullopt;
}

bool PostContinueAtOnce(bool startupSplashCounting) { return !startupSplashCounting; }

std::string FailedDevicesText(const std::vector<std::string>& failedInputs,
                              const std::vector<std::string>& failedOutputs) {
  std::string text;
  for (const auto& name : failedInputs)
    text += FormatText("Failed to open MIDI IN device \"%s\".", {name}) + "\r\n";
  for (const auto& name : failedOutputs)
    text += FormatText("Failed to open MIDI OUT device \"%s\".", {name}) + "\r\n";
  if (!text.empty()) text += "Please connect the device(s) or select another one in the MIDI setup.";
  return text;
}

std::string DefaultPresetFolder(const std::string& documentsFolder) {
  return documentsFolder + "\\" + "Zarn's Korvanta";
}

}  // namespace kv
