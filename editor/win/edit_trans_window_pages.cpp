// The translator editor's pages and panel views, each built the first time it is needed (see
// TEditTransWindow::BuildPage), and what the tests reach of them.
#include "editor/win/edit_trans_window.h"

#include "base/exception.h"

namespace kv {

using ui::TRect;

// --- building ------------------------------------------------------------------------------------

void TEditTransWindow::BuildOptionsPage(ui::TTabSheet& page) {
  AddLabel(page, "&Name:", 12, 19, 50);
  name_ = &page.Add<ui::TEdit>(page, TRect::FromBounds(66, 16, 360, 22));
  name_->OnChange = sync_.Guard([this] {
    // The project file holds names in the ANSI code page: a character it cannot hold would be
    // stored as "?", so it is refused where it is typed and the name stays as it was.
    std::string text, error;
    if (!name_->TextChecked(text, error, "The translator name")) {
      {
        TViewSync::TScope scope(sync_);
        name_->SetText(model_.Name());
      }
      ShowError(error);
      return;
    }
    model_.SetName(std::move(text));
    RefreshState();
  });
  active_ = &page.Add<ui::TCheckBox>(page, "Active", TRect::FromBounds(66, 50, 200, 20));
  active_->OnClick = sync_.Guard([this] {
    model_.SetActive(active_->Checked());
    RefreshState();
  });
  stop_ = &page.Add<ui::TCheckBox>(page, "Stop processing with this translator",
                                   TRect::FromBounds(66, 74, 300, 20));
  stop_->OnClick = sync_.Guard([this] {
    model_.SetStopProcessing(stop_->Checked());
    RefreshState();
  });
}

// Where a side's panels lie on its page: below the kind's list, above the summary (and the
// outgoing side's delay).
TRect TEditTransWindow::PanelArea(ui::TTabSheet& page, bool incoming) const {
  const TRect client = page.ClientRect();
  const int bottom = client.Height() - kSummaryHeight - (incoming ? 0 : kDelayHeight);
  return TRect::FromBounds(4, kPanelTop, client.Width() - 8, bottom - kPanelTop);
}

void TEditTransWindow::BuildSidePage(ui::TTabSheet& page, bool incoming) {
  const TRect client = page.ClientRect();
  const int w = client.Width();
  const int h = client.Height();
  AddLabel(page,
           incoming ? "Select the Incoming Trigger type:" : "Select the Outgoing Action type:", 8,
           kChooserTop + 4, 200);
  auto& chooser = page.Add<ui::TComboBox>(page, TRect::FromBounds(210, kChooserTop, 200, 22));
  chooser.OnChange = sync_.Guard([this, incoming, &chooser] {
    if (incoming) {
      model_.ChooseIncoming(chooser.ItemIndex());
    } else {
      model_.ChooseOutgoing(chooser.ItemIndex());
    }
    RefreshSide(incoming);
    RefreshCapture();
    RefreshState();
  });
  (incoming ? inType_ : outType_) = &chooser;

  const TRect area = PanelArea(page, incoming);
  ui::TPanel& unknown = page.Add<ui::TPanel>(page, area);
  AddLabel(unknown,
           incoming ? "Raw specification of the unsupported Incoming Action:"
                    : "Raw specification of the unsupported Outgoing Action:",
           8, 8, w - 24);
  ui::TEditOptions ro;
  ro.readOnly = true;
  auto& raw = unknown.Add<ui::TEdit>(unknown, TRect::FromBounds(8, 28, w - 32, 22), ro);
  (incoming ? inUnknown_ : outUnknown_) = &raw;
  unknown.Hide();
  unknown_[incoming ? 0 : 1] = &unknown;

  auto& monitor = page.Add<ui::TListBox>(page, TRect::FromBounds(0, 0, 10, 10));
  monitor.Hide();
  monitor.OnChange = [this, &monitor] {
    model_.MonitorLineClicked(monitor.ItemIndex());
    RefreshSide(model_.CaptureTarget() == kCaptureIncoming);
    RefreshState();
  };
  monitors_[incoming ? 0 : 1] = &monitor;

  if (!incoming) BuildDelayControls(page, area.bottom + 4);
  AddLabel(page, incoming ? "Outgoing:" : "Incoming:", 8, h - kSummaryHeight + 7, 60);
  auto& summary =
      page.Add<ui::TEdit>(page, TRect::FromBounds(70, h - kSummaryHeight + 4, w - 78, 22), ro);
  (incoming ? outSummary_ : inSummary_) = &summary;
}

void TEditTransWindow::BuildDelayControls(ui::TTabSheet& page, int y) {
  AddLabel(page, "Delay outgoing action:", 8, y + 2, 130);
  static const char* const kDelays[] = {"no delay", "delay in seconds:", "delay in milliseconds:"};
  const int xs[] = {140, 240, 240};
  const int ys[] = {y, y, y + 26};
  for (int i = 0; i < 3; ++i) {
    delayButtons_[i] = &page.Add<ui::TRadioButton>(
        page, kDelays[i], TRect::FromBounds(xs[i], ys[i], i == 0 ? 90 : 140, 20), i == 0);
    delayButtons_[i]->OnClick = sync_.Guard([this, i] {
      model_.SetDelay(static_cast<TDelayChoice>(i));
      RefreshAll();
    });
  }
  auto delayCombo = [&](TDelayChoice which, int top) -> TModelCombo& {
    auto& combo = page.Add<TModelCombo>(page, TRect::FromBounds(384, top - 1, 90, 22));
    combo.OnChange = sync_.Guard([this, which, &combo] {
      TComboModel typed = which == kDelayInSeconds ? model_.DelaySeconds() : model_.DelayMillis();
      combo.Read(typed);
      model_.DelayTyped(which, typed.text);
      if (which == kDelayInSeconds) {
        combo.Read(model_.DelaySeconds());
      } else {
        combo.Read(model_.DelayMillis());
      }
      RefreshAll();
    });
    return combo;
  };
  delaySeconds_ = &delayCombo(kDelayInSeconds, y);
  delayMillis_ = &delayCombo(kDelayInMillis, y + 26);
}

void TEditTransWindow::BuildRulesPage(ui::TTabSheet& page) {
  rules_ = std::make_unique<TRulesView>(page, model_.Rules(), [this](uint8_t& c, bool& cond) {
    return chooseRule && chooseRule(c, cond);
  });
  rules_->onChanged = [this] { RefreshState(); };
  rules_->Arrange(page.ClientRect().Width(), page.ClientRect().Height());
}

bool TEditTransWindow::PageBuilt(TEditPage page) const {
  switch (page) {
    case kPageIncoming:
      return inType_ != nullptr;
    case kPageOutgoing:
      return outType_ != nullptr;
    case kPageRules:
      return rules_ != nullptr;
    default:
      return true;
  }
}

void TEditTransWindow::BuildPage(TEditPage page) {
  if (PageBuilt(page)) return;
  ui::TTabSheet& sheet = pages_->Page(page);
  if (page == kPageRules) {
    BuildRulesPage(sheet);
  } else {
    BuildSidePage(sheet, page == kPageIncoming);
  }
  MatchEnabled(sheet, false);
}

void TEditTransWindow::MatchEnabled(ui::TWindow& built, bool itself) {
  if (enabledShown_) return;
  if (itself) EnableWindow(built.Handle(), FALSE);
  EnableControlTree(built, false);
}

std::unique_ptr<TPanelView> TEditTransWindow::NewView(const TEditPanel& panel) {
  const bool in = panel.IsIncoming();
  ui::TTabSheet& page = pages_->Page(in ? kPageIncoming : kPageOutgoing);
  const TRect area = PanelArea(page, in);
  TEditTrans& m = model_;
  TPanelViewHost& host = viewHost_;
  const void* p = &panel;
  if (p == &m.OutNone()) return std::make_unique<TNoneView>(page, area, host, m.OutNone());
  if (p == &m.InMidi() || p == &m.OutMidi()) {
    auto view = std::make_unique<TMidiPanelView>(
        page, area, host, in ? static_cast<TEPMidi&>(m.InMidi()) : m.OutMidi());
    (in ? inMidi_ : outMidi_) = view.get();
    return view;
  }
  if (p == &m.InKeystroke())
    return std::make_unique<TInKeystrokeView>(page, area, host, m.InKeystroke());
  if (p == &m.OutKeystroke())
    return std::make_unique<TOutKeystrokeView>(page, area, host, m.OutKeystroke());
  if (p == &m.OutMouse()) return std::make_unique<TMouseView>(page, area, host, m.OutMouse());
  if (p == &m.InTimer()) return std::make_unique<TInTimerView>(page, area, host, m.InTimer());
  if (p == &m.OutTimer()) return std::make_unique<TOutTimerView>(page, area, host, m.OutTimer());
  if (p == &m.OutPreset()) return std::make_unique<TPresetView>(page, area, host, m.OutPreset());
  if (p == &m.InPreset()) return std::make_unique<TPresetView>(page, area, host, m.InPreset());
  if (p == &m.InSpecial()) return std::make_unique<TInSpecialView>(page, area, host, m.InSpecial());
  if (p == &m.OutSpecial())
    return std::make_unique<TOutSpecialView>(page, area, host, m.OutSpecial());
  if (p == &m.OutMessage()) return std::make_unique<TMessageView>(page, area, host, m.OutMessage());
  if (p == &m.OutExecuteFile())
    return std::make_unique<TExecuteFileView>(page, area, host, m.OutExecuteFile());
  throw Exception("no view of the panel " + panel.Caption());
}

TPanelView* TEditTransWindow::FindView(const TEditPanel& panel) const {
  for (const auto& view : views_) {
    if (&view->Model() == &panel) return view.get();
  }
  return nullptr;
}

TPanelView& TEditTransWindow::ViewOf(const TEditPanel& panel) {
  if (TPanelView* view = FindView(panel)) return *view;
  BuildPage(panel.IsIncoming() ? kPageIncoming : kPageOutgoing);
  views_.push_back(NewView(panel));
  TPanelView& view = *views_.back();
  // Built after the page's delay and summary fields, it still comes right after the type
  // chooser in the Tab order, as it does on the page.
  if (ui::TComboBox* chooser = panel.IsIncoming() ? inType_ : outType_) {
    SetWindowPos(view.Content().Handle(), chooser->Handle(), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  SinkGroupBoxes(view.Content());
  MatchEnabled(view.Content(), true);
  {
    TViewSync::TScope scope(sync_);
    view.RefreshStored();
  }
  return view;
}

TPanelView* TEditTransWindow::ChosenView(bool incoming, bool build) {
  const TEditPanel* chosen =
      incoming ? model_.IncomingChooser().Chosen() : model_.OutgoingChooser().Chosen();
  if (!chosen) return nullptr;
  return build ? &ViewOf(*chosen) : FindView(*chosen);
}

}  // namespace kv
