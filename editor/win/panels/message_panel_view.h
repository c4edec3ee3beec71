#pragma once
// The view of the window-message panel.
#include "editor/panels/message_panel.h"
#include "editor/win/panels/edit_panel_view.h"

namespace kv {

class TMessageView : public TPanelView {
 public:
  TMessageView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host,
               TEPOutMessage& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  ui::TCheckBox& ByClass() { return *byClass_; }
  ui::TEdit& ClassEdit() { return *class_; }
  ui::TRadioButton& ByRegister() { return *byRegister_; }
  ui::TEdit& RegisterEdit() { return *register_; }
  TModelCombo& Number() { return *number_; }

 private:
  TEPOutMessage& model_;
  ui::TCheckBox* byClass_;
  ui::TEdit* class_;
  ui::TCheckBox* byTitle_;
  ui::TEdit* title_;
  ui::TRadioButton* titleModes_[4];
  ui::TRadioButton* numerical_;
  TModelCombo* number_;
  ui::TRadioButton* byRegister_;
  ui::TEdit* register_;
  TModelCombo* wParam_;
  TModelCombo* lParam_;
};

}  // namespace kv
