#pragma once
// The "Default MIDI Ports" page's window: the input aliases on the left, the output aliases
// on the right, each with its check boxes and, for a preset, the choice of the project's
// default ports; a splitter between them keeps its share of the width.
#include <memory>

#include "editor/props/default_ports_frame.h"
#include "editor/props/win/page_view.h"
#include "ui/button.h"
#include "ui/graphics.h"
#include "ui/label.h"
#include "ui/list_view.h"

namespace kv {

class TPortsSplitter;

class TDefaultPortsView final : public TPageView {
 public:
  explicit TDefaultPortsView(TSetupDefaultPortsFrame& frame);
  ~TDefaultPortsView() override;

  void Load() override;
  ui::TSize MinSize() const override { return {316, 171}; }

  ui::TListView& List(bool input) { return *side_[input ? 0 : 1].list; }
  ui::TRadioButton& ProjectDefault(bool input) { return *side_[input ? 0 : 1].projectDefault; }
  ui::TRadioButton& Specific(bool input) { return *side_[input ? 0 : 1].specific; }
  ui::TButton& AliasesButton() { return *aliases_; }
  ui::TWindow& Splitter();

 protected:
  void Layout() override;

 private:
  struct TSideControls {
    ui::TRadioButton* projectDefault = nullptr;
    ui::TRadioButton* specific = nullptr;
    ui::TListView* list = nullptr;
  };
  static void AliasesChanged(void* view, TMidiAliasManager& sender);
  void BuildSide(TSideControls& side, bool input);
  void Render();
  void RenderSide(TSideControls& side, const TPortSide& model);

  TSetupDefaultPortsFrame& frame_;
  TSideControls side_[2];
  TPortsSplitter* splitter_ = nullptr;
  ui::TButton* aliases_ = nullptr;
  int rendering_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace kv
