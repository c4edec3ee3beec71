// The views of the special panels and of the None panel.
#include "editor/win/panels/special_panels_view.h"

namespace kv {

using ui::TRect;

TInSpecialView::TInSpecialView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                               TEPInSpecial& model)
    : TPanelView(page, area, host), model_(model) {
  const int w = area.Width() - 16;
  AddLabel(*content_, "This special event is triggered when...", 8, 8, w);
  struct TItem {
    uint8_t value;
    const char* caption;
    const char* note;
  };
  static const TItem kItems[] = {
      {kProjectOpened, "the project file is opened",
       "The project is opened: use it to set up variables or send initial MIDI messages."},
      {kDisableProcessing, "processing is disabled",
       "The panic button is pressed, or a Disable Processing action is run."},
      {kEnableProcessing, "processing is enabled",
       "The panic button is released, or an Enable Processing action is run."},
  };
  int y = 32;
  for (const TItem& item : kItems) {
    auto& button = Make<ui::TRadioButton>(item.caption, TRect::FromBounds(8, y, w, 20), y == 32);
    button.OnClick = OnUser([this, value = item.value] { model_.SetValue(value); });
    values_[item.value] = &button;
    AddLabel(*content_, item.note, 26, y + 20, w - 18);
    y += 48;
  }
}

void TInSpecialView::Refresh() {
  TViewSync::TScope scope(sync_);
  for (int v = 0; v < 3; ++v) SetCheckedIfChanged(*values_[v], model_.Value() == v);
}

TOutSpecialView::TOutSpecialView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                                 TEPOutSpecial& model)
    : TPanelView(page, area, host), model_(model) {
  const int w = area.Width() - 16;
  disable_ = &Make<ui::TRadioButton>(
      "Disable processing (after that, only the Enable processing action will work)",
      TRect::FromBounds(8, 8, w, 20), true);
  enable_ = &Make<ui::TRadioButton>(
      "Enable processing (when it was disabled with the action above)",
      TRect::FromBounds(8, 34, w, 20), false);
  disable_->OnClick = OnUser([this] { model_.SetDisableProcessing(true); });
  enable_->OnClick = OnUser([this] { model_.SetDisableProcessing(false); });
}

void TOutSpecialView::Refresh() {
  TViewSync::TScope scope(sync_);
  SetCheckedIfChanged(*disable_, model_.DisableProcessing());
  SetCheckedIfChanged(*enable_, !model_.DisableProcessing());
}

TNoneView::TNoneView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                     TEPOutNone& model)
    : TPanelView(page, area, host), model_(model) {
  const int w = area.Width() - 16;
  Make<ui::TLabel>("This outgoing action does nothing. Use it to stop processing of an event "
                   "(together with the option \"Stop processing with this translator\"), or to "
                   "test incoming triggers.",
                   TRect::FromBounds(8, 8, w, 48));
}

}  // namespace kv
