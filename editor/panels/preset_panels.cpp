#include "editor/panels/preset_panels.h"

#include "base/text.h"

namespace kv {

void FillPresetNames(TComboModel& combo, const std::string& name,
                     const TPresetNameSource& source) {
  combo.Clear();
  if (source) {
    for (auto& preset : source()) combo.AddItem(preset);
  } else {
    combo.AddItem(name);
  }
  combo.text = name;
  for (size_t i = 0; i < combo.items.size(); ++i) {
    if (AnsiSameText(combo.items[i], name)) {
      combo.Select(static_cast<int>(i));
      return;
    }
  }
}

TEPPreset::TEPPreset(bool incoming, uint8_t defaultChoice, TPresetNameSource source)
    : TEditPanel("Preset Change", incoming, kActionPresetChange),
      choice_(defaultChoice),
      source_(std::move(source)) {}

void TEPPreset::Clear() {
  keptCode_.reset();
  name_.itemIndex = -1;
  name_.text.clear();
  number_.itemIndex = -1;
  number_.text.clear();
}

void TEPPreset::Activate() {
  FillPresetNames(name_, name_.text, source_);
  OfferVariableNames({&number_});
}

void TEPPreset::LoadAction(const TTransAction* action) {
  const auto* preset = dynamic_cast<const TTransPresetChangeAction*>(action);
  if (preset == nullptr) {
    Clear();
    return;
  }
  choice_ = ChoiceOf(preset->Code());
  LoadExtra(preset->Code());
  keptCode_.reset();
  if (BuildCode() != preset->Code()) keptCode_ = preset->Code();
  FillPresetNames(name_, preset->Name(), source_);
  if (TTransPresetChangeAction::IsByNumber(preset->Code())) {
    ShowNumberOrVariable(number_, preset->Number());
  } else {
    number_.itemIndex = -1;
    number_.text.clear();
  }
}

std::string TEPPreset::GetActionText() {
  const uint8_t code = keptCode_.value_or(BuildCode());
  TNumberOrVariable number;
  if (TTransPresetChangeAction::IsByNumber(code) && !ParseNumberOrVariable(number_, number)) {
    number = TNumberOrVariable::Number(0);
  }
  return TTransPresetChangeAction(IsIncoming(), code, name_.text, number).SaveToText();
}

void TEPPreset::SetChoice(uint8_t choice) {
  choice_ = choice;
  keptCode_.reset();
  Changed();
}

TEPOutPreset::TEPOutPreset(TPresetNameSource source)
    : TEPPreset(false, kPresetNext, std::move(source)) {}

void TEPOutPreset::Clear() {
  TEPPreset::Clear();
  deactivateOthers_ = false;
}

void TEPOutPreset::SetDeactivateOthers(bool checked) {
  deactivateOthers_ = checked;
  keptCode_.reset();
  Changed();
}

bool TEPOutPreset::DeactivateOthersShownChecked() const {
  if (IsActivation()) return deactivateOthers_;
  return choice_ == kPresetNext || choice_ == kPresetPrevious;
}

uint8_t TEPOutPreset::BuildCode() const {
  if (deactivateOthers_ && choice_ == kPresetActivateNamed) return kPresetSwitchNamed;
  if (deactivateOthers_ && choice_ == kPresetActivateNumber) return kPresetSwitchNumber;
  return choice_;
}

uint8_t TEPOutPreset::ChoiceOf(uint8_t code) const {
  if (code == kPresetSwitchNamed) return kPresetActivateNamed;
  if (code == kPresetSwitchNumber) return kPresetActivateNumber;
  return code <= kPresetDeactivateNumber ? code : static_cast<uint8_t>(kPresetNext);
}

void TEPOutPreset::LoadExtra(uint8_t code) {
  deactivateOthers_ = code <= kPresetSwitchNumber;
}

TEPInPreset::TEPInPreset(TPresetNameSource source)
    : TEPPreset(true, kPresetThisActivated, std::move(source)) {}

}  // namespace kv
