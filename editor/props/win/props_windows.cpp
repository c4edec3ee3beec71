#include "editor/props/win/props_windows.h"

#include <memory>

#include "editor/props/alias_page.h"
#include "editor/props/router_page.h"
#include "editor/props/settings_form.h"
#include "editor/props/win/alias_page_view.h"
#include "editor/props/win/properties_dialogs.h"
#include "editor/props/win/props_messages_win.h"
#include "editor/props/win/router_view.h"
#include "editor/props/win/settings_dialog.h"
#include "midi/model/router.h"

namespace kv {

namespace {

TPropsEnvironment& Environment() {
  static TPropsEnvironment environment;
  return environment;
}

struct TSinglePages {
  std::unique_ptr<TSetupAliasFrame> aliasPage;
  std::unique_ptr<TAliasPageView> aliasView;
  std::unique_ptr<TSetupRouterFrame> routerPage;
  std::unique_ptr<TRouterPageView> routerView;
};

TSinglePages& Pages() {
  static TSinglePages pages;
  return pages;
}

std::unique_ptr<TSettingsDialog>& SettingsDialog() {
  static std::unique_ptr<TSettingsDialog> dialog;
  return dialog;
}

std::unique_ptr<TProjectPropertiesDialog>& ProjectDialog() {
  static std::unique_ptr<TProjectPropertiesDialog> dialog;
  return dialog;
}

std::unique_ptr<TPresetPropertiesDialog>& PresetDialog() {
  static std::unique_ptr<TPresetPropertiesDialog> dialog;
  return dialog;
}

// The settings host of the program, except that this unit knows best whether the project
// properties are showing.
class TDialogSettingsHost final : public TSettingsHost {
 public:
  explicit TDialogSettingsHost(TSettingsHost& host) : host_(host) {}
  TSettingsOptions ReadOptions() override { return host_.ReadOptions(); }
  void ApplyOption(TSettingsOption option, bool value) override {
    host_.ApplyOption(option, value);
  }
  bool IsProjectPropertiesVisible() override { return kv::IsProjectPropertiesVisible(); }
  bool IsVirtualMidiBusAvailable() override { return host_.IsVirtualMidiBusAvailable(); }
  int GetVirtualPortCount() override { return host_.GetVirtualPortCount(); }
  int SetVirtualPortCount(int count) override { return host_.SetVirtualPortCount(count); }

 private:
  TSettingsHost& host_;
};

std::unique_ptr<TDialogSettingsHost>& SettingsHost() {
  static std::unique_ptr<TDialogSettingsHost> host;
  return host;
}

// The dialog the user works in, to own what a page opens.
ui::TForm* ActiveDialog(ui::TForm* fallback) {
  if (PresetDialog() && PresetDialog()->Executing()) return PresetDialog().get();
  if (SettingsDialog() && SettingsDialog()->Executing()) return SettingsDialog().get();
  if (ProjectDialog() && ProjectDialog()->Executing()) return ProjectDialog().get();
  return fallback;
}

// The default-ports page's "Aliases..." opens the settings on their "MIDI Ports" page.
void LinkToSettings(TSetupDefaultPortsFrame& frame) {
  frame.IsSettingsVisible = [] { return IsSettingsVisible(); };
  frame.ShowPortAliasSettings = [] { ShowPortAliasSettings(ActiveDialog(nullptr)); };
}

TPresetHandler* MainProject() {
  return Environment().project ? Environment().project() : nullptr;
}

}  // namespace

void SetPropsEnvironment(TPropsEnvironment environment) {
  Environment() = std::move(environment);
  SettingsHost().reset();
}

const TPropsEnvironment& PropsEnvironment() { return Environment(); }

void FreePropsPages() {
  SettingsDialog().reset();
  ProjectDialog().reset();
  PresetDialog().reset();
  TSinglePages& pages = Pages();
  pages.aliasView.reset();
  pages.aliasPage.reset();
  pages.routerView.reset();
  pages.routerPage.reset();
  SettingsHost().reset();
  FreePageParking();
}

ui::TForm* FormOf(ui::TWindow& window) {
  if (ui::TForm* form = ui::FindParentForm(window); form && form->Visible()) return form;
  return ActiveDialog(nullptr);
}

TSetupAliasFrame& GetAliasFrame() {
  TSinglePages& pages = Pages();
  if (!pages.aliasPage) {
    if (!Environment().controller) throw Exception("The property dialogs have no controller");
    pages.aliasPage =
        std::make_unique<TSetupAliasFrame>(*Environment().controller, WinPropsMessages());
  }
  return *pages.aliasPage;
}

TPageView& GetAliasPageView() {
  TSinglePages& pages = Pages();
  if (!pages.aliasView) pages.aliasView = std::make_unique<TAliasPageView>(GetAliasFrame());
  return *pages.aliasView;
}

TSetupRouterFrame& GetRouterFrame() {
  TSinglePages& pages = Pages();
  if (!pages.routerPage) {
    pages.routerPage =
        std::make_unique<TSetupRouterFrame>(MidiAliasManager(), MidiRouter(), WinPropsMessages());
    pages.routerPage->IsSettingsVisible = [] { return IsSettingsVisible(); };
    pages.routerPage->ShowPortAliasSettings = [] { ShowPortAliasSettings(ActiveDialog(nullptr)); };
  }
  return *pages.routerPage;
}

TPageView& GetRouterPageView() {
  TSinglePages& pages = Pages();
  if (!pages.routerView) pages.routerView = std::make_unique<TRouterPageView>(GetRouterFrame());
  return *pages.routerView;
}

void ShowSettings(ui::TForm* owner, int pageId) {
  std::unique_ptr<TSettingsDialog>& dialog = SettingsDialog();
  if (!dialog) {
    if (!Environment().settingsHost) throw Exception("The settings dialog has no host");
    if (!SettingsHost()) SettingsHost() = std::make_unique<TDialogSettingsHost>(*Environment().settingsHost);
    dialog = std::make_unique<TSettingsDialog>(owner, *SettingsHost(), Environment().programTitle);
    dialog->OnExport = Environment().exportSettings;
    dialog->OnImport = Environment().importSettings;
    TSettingsDialog* self = dialog.get();
    dialog->OnProjectProperties = [self] { ShowProjectRouter(self, MainProject()); };
  }
  dialog->SelectPage(pageId);
  if (dialog->Executing()) return;
  dialog->Execute();
  dialog.reset();
}

void ShowPortAliasSettings(ui::TForm* owner) { ShowSettings(owner, kSettingsPortsPageId); }

bool IsSettingsVisible() { return SettingsDialog() && SettingsDialog()->Executing(); }

TSettingsDialog* OpenSettingsDialog() { return SettingsDialog().get(); }
TProjectPropertiesDialog* OpenProjectPropertiesDialog() { return ProjectDialog().get(); }
TPresetPropertiesDialog* OpenPresetPropertiesDialog() { return PresetDialog().get(); }

namespace {

// The one properties dialog of its kind, made on first use and dropped once it closes;
// prepare gives it its object and page, also while it already shows.
template <class TDialog, class TPrepare>
void RunPropertiesDialog(std::unique_ptr<TDialog>& dialog, ui::TForm* owner, TPrepare prepare) {
  if (!dialog) {
    dialog = std::make_unique<TDialog>(owner);
    LinkToSettings(dialog->Properties().GetDefaultPortsFrame());
  }
  prepare(*dialog);
  if (dialog->Executing()) return;
  dialog->Execute();
  dialog.reset();
}

}  // namespace

void ShowProjectPropertiesPage(ui::TForm* owner, TPresetHandler* project, int pageId) {
  RunPropertiesDialog(ProjectDialog(), owner, [&](TProjectPropertiesDialog& dialog) {
    dialog.SetProject(project);
    dialog.SelectPage(pageId);
  });
}

void ShowProjectProperties(ui::TForm* owner, TPresetHandler* project) {
  ShowProjectPropertiesPage(owner, project, 0);
}
void ShowProjectDefaultPorts(ui::TForm* owner, TPresetHandler* project) {
  ShowProjectPropertiesPage(owner, project, kDefaultPortsPageId);
}
void ShowProjectRouter(ui::TForm* owner, TPresetHandler* project) {
  ShowProjectPropertiesPage(owner, project, kRouterPageId);
}
bool IsProjectPropertiesVisible() { return ProjectDialog() && ProjectDialog()->Executing(); }

void ShowPresetPropertiesPage(ui::TForm* owner, TTransList* preset, int pageId) {
  RunPropertiesDialog(PresetDialog(), owner, [&](TPresetPropertiesDialog& dialog) {
    dialog.SelectPage(pageId);
    dialog.SetPreset(preset);
  });
}

void ShowPresetProperties(ui::TForm* owner, TTransList* preset) {
  ShowPresetPropertiesPage(owner, preset, 0);
}
void ShowPresetDefaultPorts(ui::TForm* owner, TTransList* preset) {
  ShowPresetPropertiesPage(owner, preset, kDefaultPortsPageId);
}

}  // namespace kv
