#pragma once
// The settings dialog without its window: the main window's start-up and appearance options,
// the hosted "MIDI Ports" page, the link to the project's router, and the number of the
// program's own virtual MIDI ports, applied in a fixed order after the pages. Main thread.
#include <array>
#include <string>

#include "editor/props/property_form.h"

namespace kv {

// The seven options, in the order they are applied.
enum class TSettingsOption {
  StartMinimized,
  Autostart,
  ShowSplashScreen,
  ShowTrayIcon,
  AnimateTray,
  MinimizeToTray,
  FriendlyDescriptions,
  kCount
};
inline constexpr size_t kSettingsOptionCount = static_cast<size_t>(TSettingsOption::kCount);
using TSettingsOptions = std::array<bool, kSettingsOptionCount>;

// The main window's options and the program's virtual ports, as the dialog reaches them.
// Lifecycle: kept alive by the caller as long as the dialog.
class TSettingsHost {
 public:
  virtual ~TSettingsHost() = default;
  virtual TSettingsOptions ReadOptions() = 0;
  virtual void ApplyOption(TSettingsOption option, bool value) = 0;
  virtual bool IsProjectPropertiesVisible() = 0;
  virtual bool IsVirtualMidiBusAvailable() = 0;
  virtual int GetVirtualPortCount() = 0;
  // Makes count pairs exist, asking first; kVirtualPortsAsWanted or kVirtualPortsFailed.
  virtual int SetVirtualPortCount(int count) = 0;
};

// The virtual-port part of the host over the program's own virtual-port functions.
class TSystemVirtualPorts {
 public:
  static bool BusAvailable();
  static int Count();
  static int SetCount(int count);
};

inline constexpr int kSettingsPortsPageId = 102;
inline constexpr int kVirtualPortItems = 5;
inline constexpr const char* kNoBusStatus =
    "Virtual MIDI bus driver is not installed. Please (re)run the installation program for "
    "virtual MIDI port support.";

class TSettingsForm final : public TPropertyForm {
 public:
  // The "MIDI Ports" page is the controller's single one; it outlives the dialog.
  TSettingsForm(TPropsMessages& messages, TSettingsHost& host, TPropertyPanel& portsPage,
                std::string programTitle);

  const std::string& Caption() const { return caption_; }

  // The check boxes and the radio group.
  void EditOption(TSettingsOption option, bool checked);
  bool Option(TSettingsOption option) const { return options_[static_cast<size_t>(option)]; }
  bool OptionEnabled(TSettingsOption option) const;
  void UseVirtualPortsClick(bool checked);
  void ChooseVirtualPorts(int item);
  bool UseVirtualPorts() const { return useVirtual_; }
  bool UseVirtualPortsEnabled() const { return useVirtualEnabled_; }
  int VirtualPortsItem() const { return portsItem_; }
  bool VirtualPortsEnabled() const { return useVirtual_; }
  const std::string& VirtualPortStatus() const { return status_; }
  bool ProjectPropertiesButtonVisible() const { return projectButtonVisible_; }
  bool ReturnButtonVisible() const { return !projectButtonVisible_; }

  // The system reported that its devices changed.
  void DevicesChanged();
  // The host's options changed under the open dialog (settings were imported): the boxes take
  // them again, so that applying does not put the old values back.
  void ReloadOptions();

 protected:
  void InitPages() override;
  void AfterClose() override;
  void ApplyValues() override;
  void LoadValues() override;
  void CancelValues() override {}
  void UpdateControls() override {}
  TPropertyPanel* GetPanel(int id) override;
  int NotebookPageCount() const override { return 6; }

 private:
  void UpdateVirtualPorts();

  TSettingsHost& host_;
  TPropertyPanel& portsPage_;
  std::string caption_;
  TSettingsOptions options_{};
  bool useVirtual_ = false;
  bool useVirtualEnabled_ = false;
  int portsItem_ = -1;
  bool portsEdited_ = false;  // the user changed the port count and has not applied it
  std::string status_;
  bool projectButtonVisible_ = true;
};

}  // namespace kv
