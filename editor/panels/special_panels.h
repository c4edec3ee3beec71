#pragma once
// The panels without numbers: the special trigger (processing disabled or enabled, project
// opened), the processing switch action and the None action. Clearing keeps their choice.
#include <optional>
#include <string>

#include "editor/panels/edit_panel.h"
#include "engine/actions/special_action.h"

namespace kv {

class TEPInSpecial : public TEditPanel {
 public:
  TEPInSpecial() : TEditPanel("Special", true, kActionSpecial) {}
  void LoadAction(const TTransAction* action) override;
  std::string GetActionText() override;
  uint8_t Value() const { return value_; }
  void SetValue(uint8_t value);

 private:
  uint8_t value_ = kProjectOpened;
};

class TEPOutSpecial : public TEditPanel {
 public:
  TEPOutSpecial() : TEditPanel("Special", false, kActionSpecial) {}
  // Keeps the choice; only a kept value goes.
  void Clear() override { keptValue_.reset(); }
  void LoadAction(const TTransAction* action) override;
  std::string GetActionText() override;
  bool DisableProcessing() const { return disable_; }
  void SetDisableProcessing(bool disable);

 private:
  bool disable_ = true;
  // A loaded value neither radio button stands for (the project-opened code): built as loaded
  // until the user chooses a radio button.
  std::optional<uint8_t> keptValue_;
};

class TEPOutNone : public TEditPanel {
 public:
  TEPOutNone() : TEditPanel("None", false, kActionNone) {}
  std::string GetActionText() override { return TTransNoneAction(false).SaveToText(); }
};

}  // namespace kv
