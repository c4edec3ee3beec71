#include "app/main_window/settings_host.h"

#include "midi/manager/virtual_port_setup.h"

namespace kv {

namespace {

class TSystemVirtualPortControl final : public TVirtualPortControl {
 public:
  bool BusAvailable() override { return TSystemVirtualPorts::BusAvailable(); }
  int Count() override { return TSystemVirtualPorts::Count(); }
  int SetCount(int count) override { return TSystemVirtualPorts::SetCount(count); }
};

// The option's field in the settings the window keeps, or null for the one kept elsewhere.
bool* SettingOf(TMainSettings& settings, TSettingsOption option) {
  switch (option) {
    case TSettingsOption::StartMinimized:
      return &settings.startMinimized;
    case TSettingsOption::ShowSplashScreen:
      return &settings.showSplashScreen;
    case TSettingsOption::ShowTrayIcon:
      return &settings.showTrayIcon;
    case TSettingsOption::AnimateTray:
      return &settings.trayAnimation;
    case TSettingsOption::MinimizeToTray:
      return &settings.minimizeToTray;
    case TSettingsOption::FriendlyDescriptions:
      return &settings.friendlyDescriptions;
    case TSettingsOption::Autostart:
    case TSettingsOption::kCount:
      break;
  }
  return nullptr;
}

}  // namespace

TVirtualPortControl& SystemVirtualPortControl() {
  static TSystemVirtualPortControl control;
  return control;
}

TMainSettingsHost::TMainSettingsHost(TMainSettings& settings, TMainOptionsWindow& window,
                                     TVirtualPortControl& ports)
    : settings_(settings), window_(window), ports_(ports) {}

TSettingsOptions TMainSettingsHost::ReadOptions() {
  TSettingsOptions options{};
  for (size_t i = 0; i < kSettingsOptionCount; ++i) {
    const auto option = static_cast<TSettingsOption>(i);
    const bool* value = SettingOf(settings_, option);
    options[i] = value ? *value : autostart_;
  }
  return options;
}

void TMainSettingsHost::ApplyOption(TSettingsOption option, bool value) {
  if (option == TSettingsOption::Autostart) {
    // A shortcut that could not be made or removed leaves the option as the folder has it.
    if (value != autostart_ && window_.SetStartupShortcut(value)) autostart_ = value;
    return;
  }
  bool* setting = SettingOf(settings_, option);
  if (!setting || *setting == value) return;
  *setting = value;
  switch (option) {
    case TSettingsOption::ShowTrayIcon:
      window_.TrayIconOptionChanged();
      // Without the icon a window hidden in the notification area could never come back.
      if (!value && window_.MainWindowHidden()) window_.ShowMainWindow();
      break;
    case TSettingsOption::AnimateTray:
      window_.TrayAnimationOptionChanged();
      break;
    case TSettingsOption::FriendlyDescriptions:
      window_.DescriptionsOptionChanged();
      break;
    default:
      break;  // read when they are needed
  }
}

bool TMainSettingsHost::IsProjectPropertiesVisible() { return window_.ProjectPropertiesVisible(); }

bool TMainSettingsHost::IsVirtualMidiBusAvailable() { return ports_.BusAvailable(); }

int TMainSettingsHost::GetVirtualPortCount() { return ports_.Count(); }

int TMainSettingsHost::SetVirtualPortCount(int count) {
  // The dialog asks on every apply; the ports are only looked for again after a real change.
  const int before = ports_.BusAvailable() ? ports_.Count() : 0;
  const int result = ports_.SetCount(count);
  if (result == kVirtualPortsAsWanted && count != before) window_.VirtualPortsChanged();
  return result;
}

}  // namespace kv
