#pragma once
// The settings dialog's window: start-up and appearance options, the "MIDI Ports" page, the
// link to the project's router and the program's virtual ports, with Export and Import.
#include <functional>
#include <memory>

#include "editor/props/settings_form.h"
#include "editor/props/win/property_dialog.h"
#include "ui/radio_group.h"

namespace kv {

// The model comes first so that the window can be built over it.
struct TSettingsModelHolder {
  TSettingsModelHolder(TPropsMessages& messages, TSettingsHost& host, TPropertyPanel& ports,
                       std::string title)
      : settings(messages, host, ports, std::move(title)) {}
  TSettingsForm settings;
};

class TSettingsDialog final : private TSettingsModelHolder, public TPropertyDialog {
 public:
  TSettingsDialog(ui::TForm* owner, TSettingsHost& host, std::string programTitle);

  TSettingsForm& Settings() { return settings; }
  ui::TCheckBox& OptionBox(TSettingsOption option) {
    return *boxes_[static_cast<size_t>(option)];
  }
  ui::TCheckBox& UseVirtualBox() { return *useVirtual_; }
  ui::TRadioGroup& PortsGroup() { return *portsGroup_; }
  ui::TLabel& StatusLabel() { return *status_; }
  ui::TButton& ProjectButton() { return *projectButton_; }
  ui::TButton& ReturnButton() { return *returnButton_; }
  ui::TButton& ExportButton() { return *export_; }
  ui::TButton& ImportButton() { return *import_; }

  // The host's options changed while the dialog is open: the boxes show them again.
  void OptionsChanged();

  std::function<void()> OnExport;
  std::function<void()> OnImport;
  std::function<void()> OnProjectProperties;

 protected:
  TPageView* PageViewFor(int id) override;
  void LoadControls() override;
  void UpdateControls() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void BuildStartUp();
  void BuildAppearance();
  void BuildMidi();
  void BuildRouter();
  void BuildVirtualPorts();
  ui::TCheckBox& AddOption(ui::TWindow& page, TSettingsOption option, const std::string& caption,
                           int y);

  std::array<ui::TCheckBox*, kSettingsOptionCount> boxes_{};
  ui::TCheckBox* useVirtual_ = nullptr;
  ui::TRadioGroup* portsGroup_ = nullptr;
  ui::TLabel* status_ = nullptr;
  ui::TButton* projectButton_ = nullptr;
  ui::TButton* returnButton_ = nullptr;
  ui::TButton* export_ = nullptr;
  ui::TButton* import_ = nullptr;
  ui::TFont statusFont_;
  bool loading_ = false;
};

}  // namespace kv
