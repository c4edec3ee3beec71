#pragma once
// The view of the mouse panel.
#include "editor/panels/mouse_panel.h"
#include "editor/win/panels/edit_panel_view.h"

namespace kv {

class TMouseView : public TPanelView {
 public:
  TMouseView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host, TEPOutMouse& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  ui::TRadioButton& KindButton(int kind) { return *kinds_[kind]; }
  ui::TPanel& SubPanel(int kind) { return *subs_[kind]; }
  TModelCombo& MoveX() { return *moveX_; }
  ui::TCheckBox& OnlyDown() { return *onlyDown_; }
  ui::TCheckBox& OnlyUp() { return *onlyUp_; }

 private:
  TEPOutMouse& model_;
  ui::TRadioButton* kinds_[4];
  ui::TPanel* subs_[4];
  TModelCombo* moveX_;
  TModelCombo* moveY_;
  TModelCombo* posX_;
  TModelCombo* posY_;
  ui::TRadioButton* buttons_[6];
  ui::TCheckBox* onlyDown_;
  ui::TCheckBox* onlyUp_;
  ui::TRadioButton* wheels_[2];
  TModelCombo* delta_;
};

}  // namespace kv
