#pragma once
// The view of both preset change panels.
#include <cstdint>
#include <vector>

#include "editor/panels/preset_panels.h"
#include "editor/win/panels/edit_panel_view.h"

namespace kv {

// Both preset change panels: the choice radios, the name and number combos and, outgoing,
// the deactivate-others box.
class TPresetView : public TPanelView {
 public:
  TPresetView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host, TEPPreset& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  ui::TRadioButton& ChoiceButton(uint8_t code);
  TModelCombo& NameCombo() { return *name_; }
  TModelCombo& NumberCombo() { return *number_; }
  ui::TCheckBox* DeactivateOthers() { return others_; }
  // Shown instead of the real box where the choice decides it.
  ui::TCheckBox* DeactivateOthersStandIn() { return othersCopy_; }

 private:
  struct TChoice {
    uint8_t code;
    ui::TRadioButton* button;
  };
  TEPPreset& model_;
  TEPOutPreset* out_;  // the outgoing model, else null
  std::vector<TChoice> choices_;
  TModelCombo* name_;
  TModelCombo* number_;
  ui::TCheckBox* others_ = nullptr;
  ui::TCheckBox* othersCopy_ = nullptr;  // the disabled stand-in
};

}  // namespace kv
