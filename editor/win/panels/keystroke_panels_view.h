#pragma once
// The views of the incoming and outgoing keystroke panels.
#include <vector>

#include "editor/panels/keystroke_panels.h"
#include "editor/win/panels/edit_panel_view.h"
#include "ui/up_down.h"

namespace kv {

class TInKeystrokeView : public TPanelView {
 public:
  TInKeystrokeView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host,
                   TEPInKeystroke& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  TVKEdit& KeyEdit() { return *keys_; }

 private:
  TEPInKeystroke& model_;
  ui::TRadioButton* modes_[3];
  TVKEdit* keys_;
  ui::TCheckBox* enterTab_;
};

class TOutKeystrokeView : public TPanelView {
 public:
  TOutKeystrokeView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host,
                    TEPOutKeyStroke& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  TVKEdit& KeyEdit() { return *keys_; }
  ui::TRadioButton& ModeButton(int mode) { return *modes_[mode]; }
  ui::TGroupBox& RepeatGroup() { return *repeatGroup_; }
  ui::TButton& ClearButton() { return *clear_; }
  ui::TEdit& InitialDelayEdit() { return *delay_; }
  ui::TEdit& SpeedEdit() { return *speed_; }

 private:
  TEPOutKeyStroke& model_;
  TVKEdit* keys_;
  ui::TCheckBox* tabBack_;
  ui::TButton* clear_;
  ui::TRadioButton* modes_[3];
  ui::TGroupBox* repeatGroup_;
  ui::TCheckBox* repeat_;
  ui::TEdit* delay_;
  ui::TUpDown* delayUpDown_;
  ui::TEdit* speed_;
  ui::TUpDown* speedUpDown_;
  ui::TButton* defaultRepeat_;
  std::vector<ui::TWindow*> repeatFields_;
};

}  // namespace kv
