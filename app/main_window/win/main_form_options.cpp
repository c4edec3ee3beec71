// The main window's menus, the panic button, the options, the tray menu and help.
#include <windows.h>

#include "app/main_window/win/main_form.h"
#include "app/main_window/win/main_form_parts.h"
#include "base/platform.h"
#include "base/utils.h"
#include "engine/actions/keystroke_action.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "engine/timer_manager.h"
#include "engine/trans_engine.h"
#include "engine/translate_params.h"
#include "midi/manager/midi_manager.h"
#include "ui/application.h"
#include "ui/message_dialog.h"
#include "ui/status_bar.h"

namespace kv {

namespace {

constexpr const char* kLoggerWarning =
    "The log window can use a lot of processor resources of your\r\n"
    "computer, especially when using rules. Since this can affect\r\n"
    "real-time performance of Korvanta, you should use the\r\n"
    "log window only during development of your presets.";

void AddItems(ui::TMenuItem& menu, std::initializer_list<ui::TAction*> actions) {
  for (ui::TAction* action : actions) {
    if (!action) {
      menu.AddSeparator();
      continue;
    }
    menu.Add("").SetAction(action);
  }
}

void AddMoveMenu(ui::TMenuItem& menu, ui::TAction* up, ui::TAction* down, ui::TAction* top,
                 ui::TAction* bottom) {
  ui::TMenuItem& move = menu.Add("&Move");
  AddItems(move, {up, down, top, bottom});
}

}  // namespace

void TTransForm::BuildOptionCommands() {
  TActions& a = *actions_;
  // The dialogs' commands are connected in main_form_props.cpp.
  a.midiPorts = &MakeCommand(TMainCommand::MidiPorts, "MIDI Ports...",
                             "Opens and closes MIDI ports, sets up aliases");
  a.deviceAliases = &MakeCommand(TMainCommand::DeviceAliases, "Device Aliases...",
                                 "Sets up the MIDI port aliases");
  a.deviceAliases->SetVisible(false);
  a.projectDefaultPorts =
      &MakeCommand(TMainCommand::ProjectDefaultPorts, "Project Default Ports...",
                   "The MIDI ports the project uses unless told otherwise");
  a.routing = &MakeCommand(TMainCommand::Routing, "Routing (MIDI Thru)...",
                           "Passes MIDI from inputs on to outputs");
  a.presetDefaultPorts = &MakeCommand(TMainCommand::PresetDefaultPorts, "Preset Default Ports...",
                                      "The MIDI ports the current preset uses");
  a.openUsedDevices = &MakeCommand(TMainCommand::OpenUsedDevices, "Open Used Devices",
                                   "Opens the MIDI ports the project uses and closes the others");
  a.rescanMidi =
      &MakeCommand(TMainCommand::RescanMidi, "Rescan MIDI devices", "Looks for MIDI devices again");
  a.rescanMidi->OnExecute = [this] { controller_->RescanDevices(true); };

  a.logWindow = &MakeCommand(TMainCommand::LogWindow, "Log Window",
                             "Log Window|Shows what the program does", imgLog);
  a.logWindow->OnExecute = [this] { ShowLogWindow(); };
  a.logWindow->OnUpdate = [this](ui::TAction& action) {
    action.SetEnabled(hooks_.HasLogWindow());
    action.SetChecked(hooks_.LogWindowOpen());
  };
  a.eventMonitor =
      &MakeCommand(TMainCommand::EventMonitor, "Event Monitor", "Shows the activity lamps");
  a.eventMonitor->OnExecute = [this] {
    settings_.eventMonitor = !settings_.eventMonitor;
    actions_->eventMonitor->SetChecked(settings_.eventMonitor);
    ReevaluateLamps();
  };
  a.suppressKeys =
      &MakeCommand(TMainCommand::SuppressKeys, "Suppress outgoing keystroke when active",
                   "Sends no keystrokes while this window is the active one");
  a.suppressKeys->OnExecute = [this] {
    settings_.suppressKeysWhenActive = !settings_.suppressKeysWhenActive;
    ApplySettingsToView();
  };
  a.ignoreKeyIn =
      &MakeCommand(TMainCommand::IgnoreKeyIn, "Ignore keystroke as Incoming Action when active",
                   "Ignores keystroke triggers while this window is the active one");
  a.ignoreKeyIn->OnExecute = [this] {
    settings_.suppressKeyInWhenActive = !settings_.suppressKeyInWhenActive;
    ApplySettingsToView();
  };
  a.settingsDialog =
      &MakeCommand(TMainCommand::SettingsDialog, "Settings...", "The program's settings");
  a.confirmExit = &MakeCommand(TMainCommand::ConfirmExit, "Confirm Program Exit",
                               "Asks before the program ends");
  a.confirmExit->SetChecked(true);
  a.confirmExit->OnExecute = [this] {
    settings_.confirmProgramExit = !settings_.confirmProgramExit;
    actions_->confirmExit->SetChecked(settings_.confirmProgramExit);
  };
  a.minimizeToTray = &MakeCommand(TMainCommand::MinimizeToTray, "&Minimize to Tray",
                                  "Hides the window in the tray");
  a.minimizeToTray->SetVisible(false);
  a.minimizeToTray->OnExecute = [this] {
    settings_.minimizeToTray = true;
    HideToTray();
  };

  a.helpOverview = &MakeCommand(TMainCommand::HelpOverview, "Help Overview", "Opens the manual", -1,
                                ui::MakeShortCut(VK_F1, false, false, false));
  a.helpOverview->OnExecute = [this] { HelpOverview(); };
  a.otherProducts =
      &MakeCommand(TMainCommand::OtherProducts, "Other Zarn products...", "Other programs of ours");
  a.otherProducts->OnExecute = [this] { hooks_.ShowOtherPrograms(); };
  a.otherProducts->OnUpdate = [this](ui::TAction& action) {
    action.SetEnabled(hooks_.HasOtherProgramsWindow());
  };
  a.about = &MakeCommand(TMainCommand::About, "&About", "About this program");
  a.about->OnExecute = [this] { hooks_.ShowAbout(); };
  a.about->OnUpdate = [this](ui::TAction& action) { action.SetEnabled(hooks_.HasAboutWindow()); };
  a.panic = &MakeCommand(TMainCommand::Panic, "Panic!",
                         "Panic!|Silences every MIDI output and stops processing; press again to "
                         "resume",
                         imgPanic, ui::MakeShortCut(VK_ESCAPE, true, false, false));
  a.panic->OnExecute = [this] { Panic(); };
}

void TTransForm::BuildMenus() {
  TActions& a = *actions_;
  TMenus& m = *menus_;
  ui::TMenuItem& file = m.bar.Add("&File");
  AddItems(file, {a.fileNew, a.fileOpen, a.fileOpenMerge, a.fileSave, a.fileSaveAs, a.fileClose,
                  nullptr, a.projectAsText, a.projectProperties, nullptr});
  m.recent = &file.Add("Recent &Files");
  file.AddSeparator();
  AddItems(file, {a.exit});

  ui::TMenuItem& preset = m.bar.Add("&Preset");
  for (ui::TMenuItem* menu : {&preset, static_cast<ui::TMenuItem*>(&m.presetPopup)}) {
    AddItems(*menu, {a.presetNew, a.presetRename, a.presetDelete, a.presetDuplicate});
    AddMoveMenu(*menu, a.presetUp, a.presetDown, a.presetTop, a.presetBottom);
    AddItems(*menu, {nullptr, a.presetAsText, a.presetProperties});
  }
  ui::TMenuItem& translator = m.bar.Add("&Translator");
  for (ui::TMenuItem* menu : {&translator, static_cast<ui::TMenuItem*>(&m.translatorPopup)}) {
    AddItems(*menu, {a.addTrans, a.editTrans, a.renameTrans, a.duplicateTrans, nullptr,
                     a.activateTrans, a.deactivateTrans});
    AddMoveMenu(*menu, a.transUp, a.transDown, a.transTop, a.transBottom);
    AddItems(*menu, {nullptr, a.cutTrans, a.copyTrans, a.pasteTrans, nullptr, a.deleteTrans});
  }
  ui::TMenuItem& midi = m.bar.Add("&MIDI");
  AddItems(midi, {a.midiPorts, a.deviceAliases, a.projectDefaultPorts, a.routing,
                  a.presetDefaultPorts, nullptr, a.openUsedDevices, a.rescanMidi});
  ui::TMenuItem& view = m.bar.Add("&View");
  AddItems(view, {a.logWindow, a.eventMonitor});
  ui::TMenuItem& options = m.bar.Add("O&ptions");
  AddItems(options, {a.suppressKeys, a.ignoreKeyIn, a.minimizeToTray, nullptr, a.settingsDialog});
  ui::TMenuItem& help = m.bar.Add("&Help");
  AddItems(help, {a.helpOverview, a.otherProducts, nullptr, a.about});

  // The tray menu: its MIDI entry offers the same commands as the main menu's.
  AddItems(m.tray, {a.exit, nullptr});
  ui::TMenuItem& trayMidi = m.tray.Add("MIDI");
  AddItems(trayMidi, {a.midiPorts, a.projectDefaultPorts, a.routing, nullptr, a.openUsedDevices,
                      a.rescanMidi});
  m.tray.AddSeparator();
  m.trayPresets = &m.tray.Add("&Presets");
  m.trayShow = &m.tray.Add(kTrayMinimizeCaption);
  m.trayShow->SetDefault(true);
  m.trayShow->OnClick = [this] {
    RunCommand(TMainCommand::TrayShowMinimize, [this] { TrayShowMinimize(); });
  };
}

void TTransForm::ApplySettingsToView() {
  TActions& a = *actions_;
  edits_->SetFriendlyDescriptions(settings_.friendlyDescriptions);
  a.eventMonitor->SetChecked(settings_.eventMonitor);
  a.suppressKeys->SetChecked(settings_.suppressKeysWhenActive);
  a.ignoreKeyIn->SetChecked(settings_.suppressKeyInWhenActive);
  a.confirmExit->SetChecked(settings_.confirmProgramExit);
  SetSuppressKeysWhenActive(settings_.suppressKeysWhenActive);
  SetSuppressKeyInWhenActive(settings_.suppressKeyInWhenActive);
  if (settings_.presetListWidth > 40)
    presetList_->SetBounds(presetList_->Left(), presetList_->Top(), settings_.presetListWidth,
                           presetList_->Height());
  for (size_t c = 0; c < settings_.columnWidths.size(); ++c) {
    const int column = static_cast<int>(c);
    if (column < translatorList_->ColumnCount() && settings_.columnWidths[c] > 0)
      translatorList_->SetColumnWidth(column, settings_.columnWidths[c]);
  }
  // The lamps' row as it will be once the window shows: showing it then moves no list.
  if (lampRow_ && !Visible()) lampRow_->SetVisible(settings_.eventMonitor);
  Realign();
}

// --- panic ---------------------------------------------------------------------------------

void TTransForm::Panic() {
  {
    ui::TWaitCursor wait;
    panic_.Press(*this);
  }
  actions_->panic->SetChecked(panic_.Stopped());
}

void TTransForm::StopProcessing() {
  actions_->panic->SetChecked(true);
  if (TTransEngine* engine = controller_->Engine()) engine->Params().SetEnabled(false);
  GetTimerManager().KillAll();
  GetTimerManager().Pause();
}

void TTransForm::ResumeProcessing() {
  GetTimerManager().Resume();
  if (TTransEngine* engine = controller_->Engine()) engine->Params().SetEnabled(true);
}

void TTransForm::SendToOpenOutputs(uint32_t message) {
  if (MidiManagerExists()) MidiManager().SendShortToAll(message);
}

void TTransForm::Status(const std::string& text) {
  statusBar_->SetSimplePanel(false);
  statusBar_->SetPanelText(0, text);
  statusBar_->Update();
}

void TTransForm::Pause(uint32_t ms) { Sleep(ms); }

// --- tray menu, help, log ------------------------------------------------------------------

void TTransForm::RebuildTrayPresets() {
  ui::TMenuItem& presets = *menus_->trayPresets;
  presets.Clear();
  TPresetHandler* project = Project();
  const int count = project ? project->GetPresetCount() : 0;
  for (int row = 0; row < count; ++row) {
    TTransList* preset = project->GetPreset(row);
    if (!preset) continue;
    ui::TMenuItem& item = presets.Add(preset->GetDisplayName());
    item.SetChecked(preset->Active());
    item.OnClick = [this, row] {
      RunCommand(TMainCommand::TrayPresets, [this, row] {
        if (row >= edits_->PresetCount()) return;
        TRefreshScope scope(refreshing_);
        edits_->SetPresetActive(row, !edits_->PresetChecked(row));
      });
    };
  }
  TCommandState state = CommandState();
  presets.SetEnabled(CommandEnabled(TMainCommand::TrayPresets, state));
}

void TTransForm::HelpOverview() {
  const std::string manual = GetProgramFolder() + "\\manual.pdf";
  if (!ShellOpen(reinterpret_cast<uintptr_t>(Handle()), manual, {}, {}))
    ui::MessageDlg("Error showing the following file:\r\n" + manual, ui::TMsgDlgType::Error,
                   ui::mbOK);
}

void TTransForm::ShowLogWindow() {
  TTransEngine* engine = controller_->Engine();
  if (!engine || !hooks_.HasLogWindow()) return;
  if (!hooks_.LogWindowOpen() && !settings_.doNotShowLoggerWarning) {
    bool dontShow = false;
    ui::MessageDlgWithCheckBox(kLoggerWarning, ui::TMsgDlgType::Warning, ui::mbOK, dontShow,
                               "Do not show this warning again");
    settings_.doNotShowLoggerWarning = dontShow;
  }
  hooks_.ShowLogWindow(*engine, std::string("Log Window - ") + kProgramTitle, [this] {
    if (TTransEngine* e = controller_->Engine()) e->Params().SetOnLog(nullptr);
    actions_->logWindow->SetChecked(false);
  });
  actions_->logWindow->SetChecked(true);
}

}  // namespace kv
