#include "editor/props/win/settings_dialog.h"

#include <dbt.h>

#include "editor/props/alias_page.h"
#include "editor/props/win/props_messages_win.h"
#include "editor/props/win/props_windows.h"

namespace kv {

namespace {
constexpr int kLeft = 12;
constexpr int kBoxWidth = 360;
constexpr int kBoxHeight = 19;
constexpr int kRowStep = 24;
}  // namespace

TSettingsDialog::TSettingsDialog(ui::TForm* owner, TSettingsHost& host, std::string programTitle)
    : TSettingsModelHolder(WinPropsMessages(), host, GetAliasFrame(), std::move(programTitle)),
      TPropertyDialog(settings, owner, settings.Caption()) {
  settings.Create();
  for (int id = 0; id < 6; ++id)
    if (id != 3) AddNotebookPage(id);
  BuildStartUp();
  BuildAppearance();
  BuildMidi();
  BuildRouter();
  BuildVirtualPorts();
  export_ = &BottomPanel().Add<ui::TButton>(BottomPanel(), "Export...",
                                            ui::TRect::FromBounds(6, 4, 75, 25));
  export_->SetHint("Export all your settings to a file");
  export_->OnClick = [this] {
    if (OnExport) OnExport();
  };
  import_ = &BottomPanel().Add<ui::TButton>(BottomPanel(), "Import...",
                                            ui::TRect::FromBounds(87, 4, 75, 25));
  import_->SetHint("Import your settings from a file previously saved with Export...");
  import_->OnClick = [this] {
    if (OnImport) OnImport();
  };
  BuildTree();
}

ui::TCheckBox& TSettingsDialog::AddOption(ui::TWindow& page, TSettingsOption option,
                                          const std::string& caption, int y) {
  ui::TCheckBox& box = page.Add<ui::TCheckBox>(
      page, caption, ui::TRect::FromBounds(kLeft, y, kBoxWidth, kBoxHeight));
  boxes_[static_cast<size_t>(option)] = &box;
  box.OnClick = [this, option, &box] {
    if (loading_) return;
    settings.EditOption(option, box.Checked());
    Sync();
  };
  return box;
}

void TSettingsDialog::BuildStartUp() {
  ui::TPanel& page = *NotebookPage(0);
  int y = AddHeading(page, "Start Up Behavior") + 12;
  AddOption(page, TSettingsOption::StartMinimized, "Start Minimized", y);
  AddOption(page, TSettingsOption::Autostart, "Autostart with Windows", y += kRowStep);
  AddOption(page, TSettingsOption::ShowSplashScreen, "Show Splash Screen", y += kRowStep);
}

void TSettingsDialog::BuildAppearance() {
  ui::TPanel& page = *NotebookPage(2);
  int y = AddHeading(page, "Apperance") + 12;
  AddOption(page, TSettingsOption::ShowTrayIcon, "Show Tray Icon", y);
  AddOption(page, TSettingsOption::AnimateTray, "Animate Tray Icon", y += kRowStep);
  AddOption(page, TSettingsOption::MinimizeToTray, "Minimize to Tray", y += kRowStep);
  AddOption(page, TSettingsOption::FriendlyDescriptions, "Friendly Descriptions", y += kRowStep);
}

void TSettingsDialog::BuildMidi() {
  ui::TPanel& page = *NotebookPage(1);
  const int y = AddHeading(page, "MIDI") + 12;
  page.Add<ui::TLabel>(page, "Please choose one of the MIDI sub-categories on the left.",
                       ui::TRect::FromBounds(kLeft, y, kBoxWidth, 30));
}

void TSettingsDialog::BuildRouter() {
  ui::TPanel& page = *NotebookPage(4);
  int y = AddHeading(page, "MIDI Router") + 12;
  page.Add<ui::TLabel>(page, "The MIDI Router is part of the project properties.",
                       ui::TRect::FromBounds(kLeft, y, kBoxWidth, 16));
  y += 28;
  projectButton_ = &page.Add<ui::TButton>(page, "Open Project Properties",
                                          ui::TRect::FromBounds(kLeft, y, 170, 25));
  projectButton_->OnClick = [this] {
    if (!IsProjectPropertiesVisible() && OnProjectProperties) OnProjectProperties();
  };
  returnButton_ = &page.Add<ui::TButton>(page, "Return to Project Properties",
                                         ui::TRect::FromBounds(kLeft, y, 170, 25));
  // Closing this way counts as Cancel: the project properties underneath take over again.
  returnButton_->OnClick = [this] { CancelButton().Click(); };
}

void TSettingsDialog::BuildVirtualPorts() {
  ui::TPanel& page = *NotebookPage(5);
  int y = AddHeading(page, "Virtual MIDI Ports") + 10;
  page.Add<ui::TLabel>(
      page,
      "Here you can create virtual MIDI ports that you can use to send MIDI messages directly "
      "to other MIDI applications, and receive MIDI messages from other applications. Select "
      "the number of virtual MIDI ports you need.",
      ui::TRect::FromBounds(kLeft, y, 380, 56));
  y += 60;
  status_ = &page.Add<ui::TLabel>(page, "", ui::TRect::FromBounds(kLeft, y, 380, 42));
  ui::TFontSpec statusSpec;
  statusSpec.bold = true;
  statusFont_.Create(statusSpec);
  status_->SetFont(statusFont_.Handle());
  y += 46;
  useVirtual_ = &page.Add<ui::TCheckBox>(page, "Use virtual MIDI ports",
                                         ui::TRect::FromBounds(kLeft, y, 250, kBoxHeight));
  useVirtual_->OnClick = [this] {
    if (loading_) return;
    settings.UseVirtualPortsClick(useVirtual_->Checked());
    Sync();
  };
  y += kRowStep + 4;
  portsGroup_ = &page.Add<ui::TRadioGroup>(page, "Number of virtual MIDI ports",
                                           ui::TRect::FromBounds(kLeft, y, 250, 130));
  portsGroup_->SetItems({"1 port", "2 ports", "3 ports", "4 ports", "5 ports"});
  portsGroup_->OnChange = [this] {
    if (loading_) return;
    settings.ChooseVirtualPorts(portsGroup_->ItemIndex());
    Sync();
  };
}

TPageView* TSettingsDialog::PageViewFor(int id) {
  return id == kSettingsPortsPageId ? &GetAliasPageView() : nullptr;
}

void TSettingsDialog::LoadControls() {
  loading_ = true;
  for (size_t i = 0; i < kSettingsOptionCount; ++i)
    boxes_[i]->SetChecked(settings.Option(static_cast<TSettingsOption>(i)));
  useVirtual_->SetChecked(settings.UseVirtualPorts());
  portsGroup_->SetItemIndex(settings.VirtualPortsItem());
  status_->SetText(settings.VirtualPortStatus());
  loading_ = false;
  UpdateControls();
}

void TSettingsDialog::OptionsChanged() {
  settings.ReloadOptions();
  LoadControls();
  Sync();
}

void TSettingsDialog::UpdateControls() {
  for (size_t i = 0; i < kSettingsOptionCount; ++i)
    boxes_[i]->SetEnabled(settings.OptionEnabled(static_cast<TSettingsOption>(i)));
  useVirtual_->SetEnabled(settings.UseVirtualPortsEnabled());
  portsGroup_->SetEnabled(settings.VirtualPortsEnabled());
  projectButton_->SetVisible(settings.ProjectPropertiesButtonVisible());
  returnButton_->SetVisible(settings.ReturnButtonVisible());
}

LRESULT TSettingsDialog::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DEVICECHANGE && wp == DBT_DEVNODES_CHANGED && Executing()) {
    settings.DevicesChanged();
    LoadControls();
    Sync();
  }
  return TPropertyDialog::WndProc(msg, wp, lp);
}

}  // namespace kv
