#include "editor/props/router_page.h"

namespace kv {

TSetupRouterFrame::TSetupRouterFrame(TMidiAliasManager& aliases, TMidiRouter& router,
                                     TPropsMessages& messages)
    : editor_(aliases, router, messages) {
  editor_.SetRowHeight(kIconSize + 4);
  editor_.SetIconWidth(kIconSize);
  editor_.OnChange = [this] { EditorChanged(); };
  editor_.OnSelectionChange = [this] { UpdateDeleteButton(); };
  UpdateDeleteButton();
}

void TSetupRouterFrame::LoadValues() {
  changed_ = false;
  aliasesVisible_ = !SettingsVisible();
  editor_.RequestRebuild();
  editor_.LoadFromRouter();
  UpdateDeleteButton();
}

void TSetupRouterFrame::Revert() { editor_.LoadFromRouter(); }

void TSetupRouterFrame::Apply(bool showErrors) {
  if (!changed_) return;
  changed_ = false;
  try {
    editor_.ApplyToRouter(showErrors);
  } catch (...) {
    changed_ = true;  // the edits are still the page's: a later apply tries again
    throw;
  }
  UpdateDeleteButton();
}

void TSetupRouterFrame::EditorChanged() {
  // Only the first change after a load or an apply is reported.
  if (changed_) return;
  changed_ = true;
  PanelChanged();
}

void TSetupRouterFrame::DeleteClick(bool shiftHeld) {
  editor_.DeleteRoute(editor_.Selected(), !shiftHeld);
}

void TSetupRouterFrame::AliasesClick() {
  if (!SettingsVisible() && ShowPortAliasSettings) ShowPortAliasSettings();
}

}  // namespace kv
