#pragma once
// The views of the incoming and outgoing timer panels.
#include "editor/panels/timer_panels.h"
#include "editor/win/panels/edit_panel_view.h"
#include "ui/up_down.h"

namespace kv {

class TInTimerView : public TPanelView {
 public:
  TInTimerView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host, TEPInTimer& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  TModelCombo& NameCombo() { return *name_; }

 private:
  TEPInTimer& model_;
  TModelCombo* name_;
};

class TOutTimerView : public TPanelView {
 public:
  TOutTimerView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host,
                TEPOutTimer& model);
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  TModelCombo& NameCombo() { return *name_; }
  ui::TRadioButton& TriggerButton(int trigger) { return *triggers_[trigger]; }
  ui::TPanel& StartSettings() { return *start_; }
  TModelCombo& CountCombo() { return *count_; }

 private:
  TEPOutTimer& model_;
  TModelCombo* name_;
  ui::TRadioButton* activate_;
  ui::TRadioButton* kill_;
  ui::TPanel* start_;
  TModelCombo* initialDelay_;
  ui::TRadioButton* triggers_[3];
  TModelCombo* count_;
  ui::TUpDown* countUpDown_;
  ui::TPanel* periodic_;
  TModelCombo* periodicDelay_;
  ui::TButton* startTest_;
  ui::TButton* stopTest_;
};

}  // namespace kv
