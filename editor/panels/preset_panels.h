#pragma once
// The preset change trigger and action panels. Both build a preset change action from a code,
// a preset name and a preset number (value or variable).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/panels/edit_panel.h"
#include "editor/value_fields.h"
#include "engine/actions/preset_change_action.h"

namespace kv {

// The display names of the project's presets in order; none without a project.
using TPresetNameSource = std::function<std::vector<std::string>()>;

// Items: the project's preset names; the item equal to name (user locale, case-insensitive)
// is chosen, else none and the text is name. Without a source the list holds only name.
void FillPresetNames(TComboModel& combo, const std::string& name, const TPresetNameSource& source);

class TEPPreset : public TEditPanel {
 public:
  void Clear() override;
  void Activate() override;
  void LoadAction(const TTransAction* action) override;
  std::string GetActionText() override;

  // The chosen radio button, as the code it writes (for activations by name or number the
  // code without the deactivate-others box, 4 or 5).
  uint8_t Choice() const { return choice_; }
  void SetChoice(uint8_t choice);
  TComboModel& NameCombo() { return name_; }
  TComboModel& NumberCombo() { return number_; }
  void FieldChanged() { Changed(); }

  bool NameEnabled() const {
    return choice_ == kPresetActivateNamed || choice_ == kPresetDeactivateNamed;
  }
  bool NumberEnabled() const {
    return choice_ == kPresetActivateNumber || choice_ == kPresetDeactivateNumber;
  }

 protected:
  TEPPreset(bool incoming, uint8_t defaultChoice, TPresetNameSource source);
  // The code the controls stand for.
  virtual uint8_t BuildCode() const { return choice_; }
  // The radio button of a loaded code.
  virtual uint8_t ChoiceOf(uint8_t code) const { return code; }
  virtual void LoadExtra(uint8_t /*code*/) {}

  uint8_t choice_;
  // A loaded code no radio button stands for (the outgoing side shows codes above 7 as the
  // next preset, the incoming side codes 0 to 3 as "the current preset is activated"): built
  // as loaded, with the loaded name or number, until the user chooses in the panel.
  std::optional<uint8_t> keptCode_;

 private:
  TPresetNameSource source_;
  TComboModel name_;
  TComboModel number_;
};

class TEPOutPreset : public TEPPreset {
 public:
  explicit TEPOutPreset(TPresetNameSource source = {});
  void Clear() override;

  bool DeactivateOthers() const { return deactivateOthers_; }
  void SetDeactivateOthers(bool checked);
  // The box is real only for activations by name or number; otherwise a disabled copy shows
  // checked for next and previous, unchecked for deactivations.
  bool DeactivateOthersEnabled() const { return IsActivation(); }
  // What the box shows: the real box's state, or the disabled copy's.
  bool DeactivateOthersShownChecked() const;

 private:
  bool IsActivation() const {
    return choice_ == kPresetActivateNamed || choice_ == kPresetActivateNumber;
  }
  uint8_t BuildCode() const override;
  uint8_t ChoiceOf(uint8_t code) const override;
  void LoadExtra(uint8_t code) override;

  bool deactivateOthers_ = false;
};

class TEPInPreset : public TEPPreset {
 public:
  explicit TEPInPreset(TPresetNameSource source = {});

 private:
  uint8_t ChoiceOf(uint8_t code) const override {
    return code >= kPresetActivateNamed ? code : static_cast<uint8_t>(kPresetThisActivated);
  }
};

}  // namespace kv
