// The main window's side of the property dialogs and the settings dialog: what they work on,
// the commands that open them, what the window shows after they close, and the options the
// settings dialog changes (decided by TMainSettingsHost, carried out here).
#include <windows.h>

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "app/controller/autostart.h"
#include "app/main_window/project_editor.h"
#include "app/main_window/win/main_form.h"
#include "app/main_window/win/main_form_parts.h"
#include "app/shell/win/settings_transfer_host.h"
#include "base/platform.h"
#include "base/text.h"
#include "base/utils.h"
#include "editor/props/alias_page.h"
#include "editor/props/properties_forms.h"
#include "editor/props/win/alias_dialogs_win.h"
#include "editor/props/win/properties_dialogs.h"
#include "editor/props/win/props_messages_win.h"
#include "editor/props/win/props_windows.h"
#include "editor/props/win/settings_dialog.h"
#include "editor/win/edit_trans_window.h"
#include "engine/project.h"
#include "midi/model/alias.h"
#include "ui/application.h"
#include "ui/message_dialog.h"

namespace kv {

namespace {

// Export and import show their windows over whichever of the program's windows is in front
// when they run: the settings dialog, which calls them.
class TFrontTransferHost final : public TSettingsTransferHost {
 public:
  explicit TFrontTransferHost(std::function<ui::TWindow*()> owner) : owner_(std::move(owner)) {}
  std::optional<bool> ShowHelp(TPage page, bool dontShowAgain) override {
    return Host().ShowHelp(page, dontShowAgain);
  }
  bool ChooseFile(bool save, const std::string& title, std::string& fileName,
                  const std::string& initialDir) override {
    return Host().ChooseFile(save, title, fileName, initialDir);
  }
  void Information(const std::string& text) override { Host().Information(text); }
  void Error(const std::string& text) override { Host().Error(text); }

 private:
  TWinSettingsTransferHost Host() { return TWinSettingsTransferHost(owner_()); }

  std::function<ui::TWindow*()> owner_;
};

// The property dialog the user works in: while one runs modally it is the only one of them
// that takes input.
TPropertyDialog* FrontDialog() {
  TPropertyDialog* dialogs[] = {OpenPresetPropertiesDialog(), OpenSettingsDialog(),
                                OpenProjectPropertiesDialog()};
  for (TPropertyDialog* dialog : dialogs)
    if (dialog && dialog->Executing() && dialog->HandleAllocated() &&
        IsWindowEnabled(dialog->Handle()))
      return dialog;
  return nullptr;
}

}  // namespace

void TTransForm::SetUpPropsDialogs() {
  settingsHost_ = std::make_unique<TMainSettingsHost>(settings_, *this);
  transferHost_ = std::make_unique<TFrontTransferHost>([this]() -> ui::TWindow* {
    return DialogOwner();
  });
  transfer_ = std::make_unique<TSettingsTransfer>(*controller_, *transferHost_);
  TPropsEnvironment environment;
  environment.controller = controller_.get();
  environment.settingsHost = settingsHost_.get();
  environment.programTitle = kProgramTitle;
  environment.exportSettings = [this] { ExportSettings(); };
  environment.importSettings = [this] { ImportSettings(); };
  environment.project = [this] { return Project(); };
  SetPropsEnvironment(std::move(environment));
  controller_->OnMissingAliases = [this](TMidiAliasList& missing) { DefineMissingAliases(missing); };
}

void TTransForm::DefineMissingAliases(const TMidiAliasList& missing) {
  // Every load reports, mostly nothing: only aliases just bound give ports to open.
  if (missing.IsEmpty()) return;
  // Names first: a definition may replace the alias objects the list points to.
  std::vector<std::string> names;
  for (const TMidiAlias* alias : missing.Items()) {
    const std::string& name = alias->GetName();
    if (std::none_of(names.begin(), names.end(),
                     [&](const std::string& n) { return AnsiSameText(n, name); }))
      names.push_back(name);
  }
  for (const std::string& name : names) DefineMidiAliasDialog(DialogOwner(), name);
  controller_->OpenUsedPorts(true);
}

void TTransForm::FreePropsDialogs() {
  if (!settingsHost_) return;
  controller_->OnMissingAliases = nullptr;
  // The pages hold the controller: they go first.
  FreePropsPages();
  SetPropsEnvironment(TPropsEnvironment{});
  transfer_.reset();
  transferHost_.reset();
  settingsHost_.reset();
}

ui::TForm* TTransForm::DialogOwner() {
  if (TPropertyDialog* dialog = FrontDialog()) return dialog;
  return this;
}

void TTransForm::ConnectPropsCommands() {
  TActions& a = *actions_;
  auto always = [this](ui::TAction& action) { action.SetEnabled(!closing_); };
  auto settingsOn = [this](ui::TAction* action, int pageId) {
    action->OnExecute = [this, pageId] {
      RunPropsDialog([this, pageId] { ShowSettings(DialogOwner(), pageId); });
    };
  };
  settingsOn(a.midiPorts, kSettingsPortsPageId);
  settingsOn(a.deviceAliases, kSettingsPortsPageId);
  settingsOn(a.settingsDialog, 0);
  auto projectOn = [this](ui::TAction* action, int pageId) {
    action->OnExecute = [this, pageId] {
      RunPropsDialog([this, pageId] { ShowProjectPropertiesPage(DialogOwner(), Project(), pageId); });
    };
  };
  projectOn(a.projectProperties, 0);
  projectOn(a.projectDefaultPorts, kDefaultPortsPageId);
  projectOn(a.routing, kRouterPageId);
  for (ui::TAction* action : {a.midiPorts, a.deviceAliases, a.settingsDialog,
                              a.projectProperties, a.projectDefaultPorts, a.routing})
    action->OnUpdate = always;
  a.presetProperties->OnExecute = [this] { ShowPresetDialog(0); };
  Enable(*a.presetProperties, TMainCommand::PresetProperties);
  a.presetDefaultPorts->OnExecute = [this] { ShowPresetDialog(kDefaultPortsPageId); };
  Enable(*a.presetDefaultPorts, TMainCommand::PresetDefaultPorts);
  a.openUsedDevices->OnExecute = [this] { OpenUsedDevices(); };
}

void TTransForm::RunPropsDialog(const std::function<void()>& show) {
  if (closing_ || !settingsHost_) return;
  try {
    show();
  } catch (const std::exception& e) {
    ui::MessageDlg(e.what(), ui::TMsgDlgType::Error, ui::mbOK);
  }
  AfterPropsDialog();
}

void TTransForm::ShowPresetDialog(int pageId) {
  TTransList* preset = CurrentPreset();
  if (!preset) return;
  // The preset's own change notice also comes with activation: only a comparison tells
  // whether the dialog changed what the project file keeps.
  const TPresetEditWatch watch(*preset);
  RunPropsDialog([this, preset, pageId] {
    ShowPresetPropertiesPage(DialogOwner(), preset, pageId);
  });
  if (Project() && watch.Changed(*Project())) {
    MarkModified();
    UpdateTitle();
  }
}

void TTransForm::AfterPropsDialog() {
  if (closing_) return;
  // The project's notices marked it changed; rows show alias names and preset options.
  UpdateTitle();
  for (int row = 0; row < presetList_->Count(); ++row) FillPresetRow(row);
  for (int row = 0; row < translatorList_->Count(); ++row) FillTranslatorRow(row);
  PostCommandRefresh();
}

void TTransForm::OpenUsedDevices() {
  if (closing_) return;
  try {
    OpenProjectPorts(*controller_, WinPropsMessages());
  } catch (const std::exception& e) {
    controller_->LogException(e);
  }
}

// --- settings export and import ------------------------------------------------------------

void TTransForm::ExportSettings() {
  if (transfer_) transfer_->Export(settings_.transfer);
}

void TTransForm::ImportSettings() {
  // The import replaces the aliases the editor's ports offer: the settings dialog it runs in
  // took the editor's change in first.
  if (!transfer_ || !transfer_->Import(settings_.transfer)) return;
  // What was read takes effect as the options' own changes do.
  ApplyTrayIcon();
  DescriptionsOptionChanged();
  if (TSettingsDialog* dialog = OpenSettingsDialog(); dialog && dialog->Executing())
    dialog->OptionsChanged();
}

// --- the options the settings dialog changes -----------------------------------------------

bool TTransForm::SetStartupShortcut(bool on) {
  const std::string program = GetProgramPath();
  return on ? CreateStartupShortcut(program, "", GetProgramBaseName(), "")
            : DeleteStartupShortcut(program, GetProgramBaseName());
}

void TTransForm::TrayIconOptionChanged() { ApplyTrayIcon(); }

void TTransForm::TrayAnimationOptionChanged() { ReevaluateLamps(); }

void TTransForm::DescriptionsOptionChanged() {
  edits_->SetFriendlyDescriptions(settings_.friendlyDescriptions);
  for (int row = 0; row < translatorList_->Count(); ++row) FillTranslatorRow(row);
}

bool TTransForm::MainWindowHidden() { return !Visible(); }

void TTransForm::ShowMainWindow() {
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  Show();
  ShowFromTray();
}

bool TTransForm::ProjectPropertiesVisible() { return IsProjectPropertiesVisible(); }

void TTransForm::VirtualPortsChanged() {
  // The ports page of the open dialog follows the manager's slots at once.
  if (goneLive_) controller_->RescanDevices();
}

}  // namespace kv
