// The main window's start-up: the first-show message and the start-up continuation decide
// their steps (app/main_window/main_startup.h), and the window runs them one per message it
// posts to itself, so that its thread answers between them however long the project is.
#include <windows.h>

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/controller/autostart.h"
#include "app/controller/win/migration_registry_win.h"
#include "app/main_window/example_presets.h"
#include "app/main_window/win/main_form.h"
#include "app/main_window/win/main_form_parts.h"
#include "base/platform.h"
#include "base/utils.h"
#include "controls/win/history_menu.h"
#include "editor/win/edit_trans_window.h"
#include "engine/project.h"
#include "midi/manager/midi_manager.h"
#include "midi/model/alias.h"
#include "ui/application.h"
#include "ui/message_dialog.h"

namespace kv {

TStartupState TTransForm::StartupState() const {
  TStartupState state;
  state.closing = closing_;
  state.quitting = quitting_;
  state.terminating = ui::Application().Terminated();
  state.visible = Visible();
  state.projectHasPresets = Project() && Project()->GetPresetCount() > 0;
  state.projectRefused = controller_->ProjectRefused();
  return state;
}

void TTransForm::FirstShow(WPARAM wp) {
  // The keys have a home from the start: the preset list.
  if (Visible() && !ContainsFocus()) presetList_->SetFocus();
  startup_.FirstShow(static_cast<unsigned>(wp), StartupState(), settings_);
  RunStartupStepsSoon();
}

void TTransForm::ContinueStartup() {
  if (settings_.presetFolder.empty())
    settings_.presetFolder = DefaultPresetFolder(GetMyDocumentsFolder());
  startup_.QueueContinue();
  RunStartupStepsSoon();
}

// One step a message, so that the window's thread answers between them; posted messages come
// before the user's input, which therefore never meets a half-started window.
void TTransForm::RunStartupStepsSoon() {
  if (stepPosted_ || stepRunning_ || !startup_.StepsPending()) return;
  stepPosted_ = Post(kStartupStepMessage);
}

void TTransForm::RunNextStartupStep() {
  stepPosted_ = false;
  if (stepRunning_) return;
  if (closing_ || quitting_) {
    startup_.DropSteps();
    return;
  }
  if (const std::optional<TStartupStep> step =
          startup_.NextStep(StartupState(), settings_, pendingProject_)) {
    TFlagScope running(stepRunning_);
    // A step is a command of its own: what it asks (the pending project's open) is its own.
    TCommandScopes::TScope scope(scopes_, TCommandKind::Apart);
    try {
      RunStartupStep(*step);
    } catch (const std::exception& e) {
      // One step that fails does not keep the program from starting.
      controller_->LogException(e);
    }
  }
  if (startup_.StepsPending()) {
    RunStartupStepsSoon();
    return;
  }
  std::vector<TDeferredMessage> deferred;
  deferred.swap(deferred_);
  for (const TDeferredMessage& m : deferred) Post(m.msg, m.wp, m.lp);
}

bool TTransForm::DeferWhileStarting(UINT msg, WPARAM wp, LPARAM lp) {
  // Between two start-up steps what comes from outside (a close, the tray icon) waits for the
  // rest: it would act on a project not loaded yet, or save settings that do not hold it.
  // Inside a step (a dialog it shows) everything is handled as it comes.
  if (!startup_.StepsPending() || stepRunning_) return false;
  deferred_.push_back({msg, wp, lp});
  return true;
}

void TTransForm::RunStartupStep(TStartupStep step) {
  switch (step) {
    case TStartupStep::ReopenLogWindow:
      ShowLogWindow();
      break;
    case TStartupStep::ReopenEditor:
      CreateEditor();
      if (editor_) {
        EditorFollowSelection(true);
        editor_->Show();
      }
      break;
    case TStartupStep::Repaint:
      PaintPending();
      break;
    case TStartupStep::InstallHints:
      ui::Application().SetShowHints(true);
      break;
    case TStartupStep::ReevaluateLamps:
      ReevaluateLamps();
      break;
    case TStartupStep::ContinueAfterSplash: {
      const bool counting = settings_.showSplashScreen &&
                            hooks_.ShowStartupSplash([this] { Post(kStartupContinueMessage); });
      if (PostContinueAtOnce(counting)) Post(kStartupContinueMessage);
      break;
    }
    case TStartupStep::GiveEditorEngine:
      CreateEditorSoon();
      break;
    case TStartupStep::MakePortAliases:
      MakePortAliasesAtStart();
      break;
    case TStartupStep::LoadProject:
      // Every stage before the started one: the project is loaded (and its aliases bound).
      controller_->EnsureStage(5);
      break;
    case TStartupStep::GoLive:
      try {
        controller_->GoLive();
      } catch (const std::exception& e) {
        // A port that fails to open leaves the rest of the program to start.
        controller_->LogException(e);
      }
      goneLive_ = true;
      session_->ClearModified();
      RebuildPresetList();
      break;
    case TStartupStep::SelectFirstPreset:
      SelectFirstPresetWhenNone();
      break;
    default:
      RunContinuationStep(step);
      break;
  }
}

void TTransForm::RunContinuationStep(TStartupStep step) {
  switch (step) {
    case TStartupStep::PointRecentFilesForReading:
      history_->Loaded();
      break;
    case TStartupStep::MigrateRegistryProjects: {
      TWinMigrationRegistry registry;
      MigrateRegistryProjects(MigrationBaseKey(), settings_.migrationDone, registry, *this);
      break;
    }
    case TStartupStep::ApplyTrayIcon:
      ApplyTrayIcon();
      break;
    case TStartupStep::OpenPendingProject:
      if (!pendingProject_.empty()) {
        const std::string file = pendingProject_;
        pendingProject_.clear();
        OpenProject(file, false, true);
      }
      break;
    case TStartupStep::RefreshPresetChecks:
      for (int row = 0; row < presetList_->Count(); ++row) FillPresetRow(row);
      break;
    case TStartupStep::ReportFailedDevices:
      ReportFailedDevices();
      break;
    case TStartupStep::WatchAliasChanges:
      MidiAliasManager().AddChangeListener({&TTransForm::AliasesChanged, this});
      aliasesWatched_ = true;
      break;
    case TStartupStep::InstallExamplePresets:
      InstallPresets();
      break;
    default:
      // The continuation itself is decided by the model in its place; the preset folder is
      // read by the file dialogs themselves.
      break;
  }
}

void TTransForm::MakePortAliasesAtStart() {
  // An alias named after its own port that is gone for good goes before the ports present get
  // theirs, so it is neither shown nor saved back.
  controller_->RemoveStaleDeviceAliases();
  MakePortAliases();
  controller_->BindUsedAliases(false);
  settingsHost_->SetAutostart(StartupShortcutExists(GetProgramBaseName()));
  MidiManager().AddChangeListener({&TTransForm::DevicesChanged, this});
  devicesWatched_ = true;
}

void TTransForm::PaintPending() {
  // What the showing left to paint, before the project loads; a window at a time, so that
  // what is sent to this thread meanwhile is answered between them. The bound ends it should
  // a window not take its paint.
  MSG msg;
  for (int i = 0; i < 200 && PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) {
    DispatchMessageW(&msg);
  }
}

void TTransForm::ReportFailedDevices() {
  std::vector<std::string> inputs, outputs;
  if (MidiManagerExists()) {
    TMidiManager& midi = MidiManager();
    for (const bool isInput : {true, false}) {
      for (int i = 0; i < midi.GetDeviceCount(isInput); ++i) {
        TMMMidiDev* slot = midi.GetDevice(i, isInput);
        if (slot && slot->IsOpenRequested() && !slot->IsOpen())
          (isInput ? inputs : outputs).push_back(slot->GetName());
      }
    }
  }
  const std::string text = FailedDevicesText(inputs, outputs);
  if (!text.empty())
    ui::MessageDlgDelayed(text, ui::TMsgDlgType::Information, ui::mbOK, 1000);
}

void TTransForm::InstallPresets() {
  InstallExamplePresets(settings_, GetProgramBuildNumber(), quitting_, *this);
}

}  // namespace kv
