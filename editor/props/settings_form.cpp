#include "editor/props/settings_form.h"

#include <algorithm>

#include "base/product.h"
#include "midi/system/port_text.h"
#include "midi/virtual/virtual_port.h"
#include "midi/manager/virtual_port_setup.h"

namespace kv {

bool TSystemVirtualPorts::BusAvailable() { return IsVirtualMidiBusAvailable(); }

int TSystemVirtualPorts::Count() { return GetVirtualPortCount(VirtualPortNameBase()); }

int TSystemVirtualPorts::SetCount(int count) {
  return SetVirtualPortCount(NarrowFromUtf16(VirtualPortNameBase()), kProductName, count, true, true);
}

TSettingsForm::TSettingsForm(TPropsMessages& messages, TSettingsHost& host,
                             TPropertyPanel& portsPage, std::string programTitle)
    : TPropertyForm(messages),
      host_(host),
      portsPage_(portsPage),
      caption_("Settings - " + std::move(programTitle)) {}

void TSettingsForm::InitPages() {
  AddPage("Start-Up", 0, -1);
  AddPage("Appearance", 2, -1);
  AddPage("MIDI", 1, -1);
  AddPage("MIDI Ports", kSettingsPortsPageId, 1);
  AddPage("MIDI Router", 4, 1);
  AddPage("Virtual Ports", 5, 1);
  SetRegKey("SettingsWindow");
}

TPropertyPanel* TSettingsForm::GetPanel(int id) {
  return id == kSettingsPortsPageId ? &portsPage_ : nullptr;
}

void TSettingsForm::AfterClose() {}

void TSettingsForm::LoadValues() {
  options_ = host_.ReadOptions();
  projectButtonVisible_ = !host_.IsProjectPropertiesVisible();
  portsEdited_ = false;
  UpdateVirtualPorts();
  UpdateControls();
}

bool TSettingsForm::OptionEnabled(TSettingsOption option) const {
  if (option == TSettingsOption::AnimateTray || option == TSettingsOption::MinimizeToTray)
    return Option(TSettingsOption::ShowTrayIcon);
  return true;
}

void TSettingsForm::EditOption(TSettingsOption option, bool checked) {
  options_[static_cast<size_t>(option)] = checked;
  SomethingChanged();
}

void TSettingsForm::UseVirtualPortsClick(bool checked) {
  useVirtual_ = checked;
  portsEdited_ = true;
  UpdateControls();
  SomethingChanged();
}

void TSettingsForm::ChooseVirtualPorts(int item) {
  if (item < 0 || item >= kVirtualPortItems) return;
  portsItem_ = item;
  portsEdited_ = true;
  SomethingChanged();
}

void TSettingsForm::DevicesChanged() { UpdateVirtualPorts(); }

void TSettingsForm::ReloadOptions() { options_ = host_.ReadOptions(); }

void TSettingsForm::UpdateVirtualPorts() {
  if (!host_.IsVirtualMidiBusAvailable()) {
    useVirtual_ = false;
    useVirtualEnabled_ = false;
    portsItem_ = -1;
    status_ = kNoBusStatus;
    return;
  }
  status_.clear();
  useVirtualEnabled_ = true;
  // A device change while the user is choosing must not take the choice back.
  if (portsEdited_ && portsItem_ >= 0) return;
  const bool applyWasEnabled = ApplyEnabled();
  const int count = host_.GetVirtualPortCount();
  useVirtual_ = count > 0;
  portsItem_ = count > 0 ? std::min(count, kVirtualPortItems) - 1 : 0;
  portsEdited_ = false;
  UpdateControls();
  RestoreApplyEnabled(applyWasEnabled);  // reading the ports is no change of the user's
}

void TSettingsForm::ApplyValues() {
  for (size_t i = 0; i < kSettingsOptionCount; ++i)
    host_.ApplyOption(static_cast<TSettingsOption>(i), options_[i]);
  const int count = useVirtual_ ? portsItem_ + 1 : 0;
  if (host_.SetVirtualPortCount(count) == kVirtualPortsAsWanted) {
    portsEdited_ = false;
    UpdateVirtualPorts();
  }
}

}  // namespace kv
