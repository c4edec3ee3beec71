#pragma once
// The "MIDI Router" page of the project properties: the router editor, its Delete and
// "Aliases..." buttons, and the changed flag that tells the dialog to enable Apply. A single
// page object lives for the whole run and is hosted by whichever dialog shows it.
#include <functional>

#include "editor/props/property_panel.h"
#include "editor/props/router_editor.h"

namespace kv {

class TSetupRouterFrame final : public TPropertyPanel {
 public:
  static constexpr int kIconSize = 32;

  TSetupRouterFrame(TMidiAliasManager& aliases, TMidiRouter& router, TPropsMessages& messages);

  void LoadValues() override;
  void Revert() override;
  void Apply(bool showErrors) override;

  void DeleteClick(bool shiftHeld);
  void AliasesClick();

  TRouterEditor& Editor() { return editor_; }
  bool Changed() const { return changed_; }
  bool DeleteEnabled() const { return deleteEnabled_; }
  bool AliasesVisible() const { return aliasesVisible_; }

  // Links to the settings dialog, set by the program.
  std::function<bool()> IsSettingsVisible;
  std::function<void()> ShowPortAliasSettings;

 private:
  void EditorChanged();
  void UpdateDeleteButton() { deleteEnabled_ = editor_.Selected() != nullptr; }
  bool SettingsVisible() const { return IsSettingsVisible && IsSettingsVisible(); }

  TRouterEditor editor_;
  bool changed_ = false;
  bool deleteEnabled_ = false;
  bool aliasesVisible_ = true;
};

}  // namespace kv
