#include "editor/props/win/default_ports_view.h"

#include <algorithm>

#include "ui/application.h"
#include "ui/button.h"

namespace kv {

namespace {
constexpr int kTop = 94;            // below the title and the help text
constexpr int kRadioHeight = 44;    // the two radio buttons of a preset's side
constexpr int kSplitterWidth = 5;
constexpr int kBottomHeight = 33;
}  // namespace

// The bar between the two sides; dragging it gives the input side another width.
class TPortsSplitter final : public ui::TCustomControl {
 public:
  explicit TPortsSplitter(ui::TWindow& parent) {
    Create(parent, ui::TRect::FromBounds(0, 0, kSplitterWidth, 100));
    SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
  }
  std::function<void(int x)> OnMoved;  // the bar's new left edge, parent coordinates

 protected:
  void MouseDown(ui::TMouseButton button, ui::TShiftState, int x, int) override {
    if (button != ui::TMouseButton::Left) return;
    grab_ = x;
    SetMouseCapture();
  }
  void MouseMove(ui::TShiftState, int x, int) override {
    if (grab_ < 0 || !HasMouseCapture()) return;
    if (OnMoved) OnMoved(Left() + x - grab_);
  }
  void MouseUp(ui::TMouseButton, ui::TShiftState, int, int) override {
    grab_ = -1;
    ReleaseMouseCapture();
  }
  void CaptureLost() override { grab_ = -1; }

 private:
  int grab_ = -1;
};

TDefaultPortsView::TDefaultPortsView(TSetupDefaultPortsFrame& frame)
    : TPageView(frame), frame_(frame) {
  AddTitle("Default MIDI Ports", "", 60);
  BuildSide(side_[0], true);
  splitter_ = &Add<TPortsSplitter>(*this);
  splitter_->OnMoved = [this](int x) {
    frame_.SplitterMoved(std::max(0, x - kMargin));
    Layout();
  };
  BuildSide(side_[1], false);
  aliases_ = &Add<ui::TButton>(*this, "Aliases...", ui::TRect::FromBounds(kMargin, 0, 75, 25));
  aliases_->SetHint("Scan for new devices");
  aliases_->OnClick = [this] { frame_.AliasesClick(); };
  MidiAliasManager().AddChangeListener({&TDefaultPortsView::AliasesChanged, this});
  Layout();
}

TDefaultPortsView::~TDefaultPortsView() {
  MidiAliasManager().RemoveChangeListener({&TDefaultPortsView::AliasesChanged, this});
}

ui::TWindow& TDefaultPortsView::Splitter() { return *splitter_; }

// The frame rebuilds its lists first (it listens too); the window follows.
void TDefaultPortsView::AliasesChanged(void* view, TMidiAliasManager&) {
  auto* self = static_cast<TDefaultPortsView*>(view);
  std::weak_ptr<bool> alive = self->alive_;
  ui::Application().Post([self, alive] {
    if (!alive.expired() && self->HandleAllocated()) self->Render();
  });
}

void TDefaultPortsView::BuildSide(TSideControls& side, bool input) {
  side.projectDefault = &Add<ui::TRadioButton>(*this, "Project Default Ports",
                                               ui::TRect::FromBounds(0, 0, 150, 19), true);
  side.specific = &Add<ui::TRadioButton>(*this, "Specific Ports:",
                                         ui::TRect::FromBounds(0, 0, 150, 19), false);
  ui::TListViewOptions options;
  options.checkBoxes = true;
  side.list = &Add<ui::TListView>(*this, ui::TRect::FromBounds(0, 0, 100, 100), options);
  side.list->AddColumn(input ? "Input Port Aliases" : "Output Port Aliases", 100);
  side.projectDefault->OnClick = [this, input] {
    if (rendering_) return;
    frame_.ChooseSide(input, true);
    Render();
    Edited();
  };
  side.specific->OnClick = [this, input] {
    if (rendering_) return;
    frame_.ChooseSide(input, false);
    Render();
    Edited();
  };
  side.list->OnItemChecked = [this, input](int index, bool checked) {
    if (rendering_) return;
    frame_.CheckRow(input, index, checked);
    Edited();
  };
}

void TDefaultPortsView::Load() {
  Layout();
  Render();
}

void TDefaultPortsView::RenderSide(TSideControls& side, const TPortSide& model) {
  const bool radios = frame_.RadioButtonsVisible();
  side.projectDefault->SetVisible(radios);
  side.specific->SetVisible(radios);
  side.projectDefault->SetChecked(model.projectDefault);
  side.specific->SetChecked(!model.projectDefault);
  ui::TListView& list = *side.list;
  list.BeginUpdate();
  const int rows = static_cast<int>(model.rows.size());
  while (list.Count() > rows) list.DeleteItem(list.Count() - 1);
  while (list.Count() < rows) list.AddItem("");
  for (int i = 0; i < rows; ++i) {
    const TPortRow& row = model.rows[static_cast<size_t>(i)];
    const std::string name = row.alias ? row.alias->GetName() : std::string();
    if (list.ItemText(i) != name) list.SetItemText(i, 0, name);
    if (list.Checked(i) != row.checked) list.SetChecked(i, row.checked);
  }
  list.EndUpdate();
  list.SetEnabled(model.enabled);
}

void TDefaultPortsView::Render() {
  ++rendering_;
  Help().SetText(frame_.HelpText());
  RenderSide(side_[0], frame_.InSide());
  RenderSide(side_[1], frame_.OutSide());
  aliases_->SetVisible(frame_.AliasesVisible());
  --rendering_;
  Layout();
}

void TDefaultPortsView::Layout() {
  if (!aliases_) return;
  const ui::TRect r = ClientRect();
  const int width = ContentWidth();
  frame_.Resize(width);
  const int leftWidth = std::clamp(frame_.LeftWidth(), 30, width - 30 - kSplitterWidth);
  const int radios = frame_.RadioButtonsVisible() ? kRadioHeight : 0;
  const int listTop = kTop + radios;
  const int listHeight = std::max(30, r.Height() - listTop - kBottomHeight);
  const int lefts[2] = {kMargin, kMargin + leftWidth + kSplitterWidth};
  const int widths[2] = {leftWidth, width - leftWidth - kSplitterWidth};
  for (int i = 0; i < 2; ++i) {
    TSideControls& side = side_[i];
    side.projectDefault->SetBounds(lefts[i], kTop, std::max(20, widths[i]), 19);
    side.specific->SetBounds(lefts[i], kTop + 21, std::max(20, widths[i]), 19);
    side.list->SetBounds(lefts[i], listTop, widths[i], listHeight);
    side.list->SetColumnWidth(0, std::max(30, widths[i] - ::GetSystemMetrics(SM_CXVSCROLL) - 6));
  }
  splitter_->SetBounds(kMargin + leftWidth, listTop, kSplitterWidth, listHeight);
  aliases_->SetBounds(kMargin, listTop + listHeight + 5, 75, 25);
}

}  // namespace kv
