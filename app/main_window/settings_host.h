#pragma once
// The settings dialog's host in the program: the seven options as the main window keeps them
// (its TMainSettings, and whether the shortcut in the user's Startup folder exists), each
// applied as the window's own option changes are, and the program's virtual MIDI ports. What
// an option does to the window sits behind TMainOptionsWindow. Main thread only.
#include "app/main_window/main_settings.h"
#include "editor/props/settings_form.h"

namespace kv {

// What changing an option does to the main window.
// Lifecycle: the main window; it outlives the host.
class TMainOptionsWindow {
 public:
  virtual ~TMainOptionsWindow() = default;
  // Makes or removes the program's shortcut in the user's Startup folder; true when it now is
  // as asked.
  virtual bool SetStartupShortcut(bool on) = 0;
  // The notification-area icon, and what hangs on it, follow the settings' ShowTrayIcon.
  virtual void TrayIconOptionChanged() = 0;
  // The lamps and the tray animation follow the settings.
  virtual void TrayAnimationOptionChanged() = 0;
  // The translator list shows its descriptions in the form the settings ask for.
  virtual void DescriptionsOptionChanged() = 0;
  // The main window is hidden (in the notification area).
  virtual bool MainWindowHidden() = 0;
  virtual void ShowMainWindow() = 0;
  virtual bool ProjectPropertiesVisible() = 0;
  // The program's own virtual ports changed in number.
  virtual void VirtualPortsChanged() = 0;
};

// The program's own virtual ports.
// Lifecycle: SystemVirtualPortControl is process-wide; tests give their own.
class TVirtualPortControl {
 public:
  virtual ~TVirtualPortControl() = default;
  virtual bool BusAvailable() = 0;
  virtual int Count() = 0;
  // kVirtualPortsAsWanted or kVirtualPortsFailed.
  virtual int SetCount(int count) = 0;
};
// Over TSystemVirtualPorts.
TVirtualPortControl& SystemVirtualPortControl();

class TMainSettingsHost final : public TSettingsHost {
 public:
  // settings and window outlive the host.
  TMainSettingsHost(TMainSettings& settings, TMainOptionsWindow& window,
                    TVirtualPortControl& ports = SystemVirtualPortControl());

  // What the window found at its first showing: whether the Startup shortcut exists.
  void SetAutostart(bool on) { autostart_ = on; }
  bool Autostart() const { return autostart_; }

  TSettingsOptions ReadOptions() override;
  // Only a value that differs from the present one does anything.
  void ApplyOption(TSettingsOption option, bool value) override;
  bool IsProjectPropertiesVisible() override;
  bool IsVirtualMidiBusAvailable() override;
  int GetVirtualPortCount() override;
  int SetVirtualPortCount(int count) override;

 private:
  TMainSettings& settings_;
  TMainOptionsWindow& window_;
  TVirtualPortControl& ports_;
  bool autostart_ = false;
};

}  // namespace kv
