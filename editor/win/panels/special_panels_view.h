#pragma once
// The views of the special panels and of the None panel.
#include "editor/panels/special_panels.h"
#include "editor/win/panels/edit_panel_view.h"

namespace kv {

class TInSpecialView : public TPanelView {
 public:
  TInSpecialView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host,
                 TEPInSpecial& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  ui::TRadioButton& ValueButton(int value) { return *values_[value]; }

 private:
  TEPInSpecial& model_;
  ui::TRadioButton* values_[3];
};

class TOutSpecialView : public TPanelView {
 public:
  TOutSpecialView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host,
                  TEPOutSpecial& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  ui::TRadioButton& DisableButton() { return *disable_; }
  ui::TRadioButton& EnableButton() { return *enable_; }

 private:
  TEPOutSpecial& model_;
  ui::TRadioButton* disable_;
  ui::TRadioButton* enable_;
};

class TNoneView : public TPanelView {
 public:
  TNoneView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host, TEPOutNone& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override {}

 private:
  TEPOutNone& model_;
};

}  // namespace kv
