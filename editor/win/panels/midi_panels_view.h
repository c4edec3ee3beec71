#pragma once
// The view of both MIDI panels.
#include "editor/panels/midi_panels.h"
#include "editor/win/panels/edit_panel_view.h"
#include "ui/list_view.h"

namespace kv {

// Both MIDI panels: message, reading, capture box, description, ports.
class TMidiPanelView : public TPanelView {
 public:
  TMidiPanelView(ui::TWindow& page, const ui::TRect& area, TPanelViewHost& host, TEPMidi& model);
  ~TMidiPanelView() override;
  TEditPanel& Model() override { return model_; }
  void Refresh() override;
  // The field captured MIDI goes into.
  ui::TEdit& MessageEdit() { return *message_; }
  ui::TCheckBox& CaptureBox() { return *capture_; }
  ui::TCheckBox& DescriptionBox() { return *describe_; }
  ui::TEdit& DescriptionEdit() { return *description_; }
  ui::TRadioButton& DefaultPortsButton() { return *defaultPorts_; }
  ui::TRadioButton& SpecificPortsButton() { return *specificPorts_; }
  ui::TListView& PortList() { return *ports_; }
  ui::TLabel& Reading() { return *reading_; }
  ui::TCheckBox* SwallowBox() { return swallow_; }

 private:
  TEPMidi& model_;
  ui::TEdit* message_;
  ui::TLabel* reading_;
  ui::TCheckBox* capture_;
  ui::TCheckBox* describe_;
  ui::TEdit* description_;
  ui::TRadioButton* defaultPorts_;
  ui::TRadioButton* specificPorts_;
  ui::TListView* ports_;
  ui::TButton* editPorts_;
  ui::TCheckBox* swallow_ = nullptr;  // incoming only
};

}  // namespace kv
