#pragma once
// The property dialogs as the program opens them: each dialog exists at most once, is shown
// modally over its owner and is released when it closes; the "MIDI Ports" and "MIDI Router"
// pages, with their windows, are single objects kept for the whole run. The program tells
// this unit once at start-up what the dialogs work on.
#include <cstdint>
#include <functional>
#include <string>

#include "ui/form.h"

namespace kv {

class TPageView;
class TPresetHandler;
class TProjectPorts;
class TSettingsHost;
class TSetupAliasFrame;
class TSetupRouterFrame;
class TTransList;

struct TPropsEnvironment {
  TProjectPorts* controller = nullptr;  // the controller
  TSettingsHost* settingsHost = nullptr;  // the main window's options and the virtual ports
  std::string programTitle;
  std::function<void()> exportSettings;
  std::function<void()> importSettings;
  std::function<TPresetHandler*()> project;  // the project the main window shows
};

void SetPropsEnvironment(TPropsEnvironment environment);
const TPropsEnvironment& PropsEnvironment();
// Frees the single pages and their windows (program end, or the end of a test).
void FreePropsPages();

TSetupAliasFrame& GetAliasFrame();
TPageView& GetAliasPageView();
TSetupRouterFrame& GetRouterFrame();
TPageView& GetRouterPageView();

void ShowSettings(ui::TForm* owner, int pageId);
void ShowPortAliasSettings(ui::TForm* owner);
bool IsSettingsVisible();

void ShowProjectPropertiesPage(ui::TForm* owner, TPresetHandler* project, int pageId);
void ShowProjectProperties(ui::TForm* owner, TPresetHandler* project);
void ShowProjectDefaultPorts(ui::TForm* owner, TPresetHandler* project);
void ShowProjectRouter(ui::TForm* owner, TPresetHandler* project);
bool IsProjectPropertiesVisible();

void ShowPresetPropertiesPage(ui::TForm* owner, TTransList* preset, int pageId);
void ShowPresetProperties(ui::TForm* owner, TTransList* preset);
void ShowPresetDefaultPorts(ui::TForm* owner, TTransList* preset);

// The open dialogs, for the tests and the main window; null when not open.
class TSettingsDialog;
class TProjectPropertiesDialog;
class TPresetPropertiesDialog;
TSettingsDialog* OpenSettingsDialog();
TProjectPropertiesDialog* OpenProjectPropertiesDialog();
TPresetPropertiesDialog* OpenPresetPropertiesDialog();

// The form that holds a window, to own the dialogs a page opens.
ui::TForm* FormOf(ui::TWindow& window);

}  // namespace kv
