#include "editor/win/edit_trans_window.h"

#include <algorithm>
#include <cstdlib>

#include "base/exception.h"
#include "engine/trans_engine.h"
#include "editor/win/rule_chooser_dialog.h"
#include "ui/application.h"
#include "ui/message_dialog.h"
#include "ui/placement.h"

namespace kv {

using ui::TRect;

namespace {

const char* const kPageCaptions[] = {"Options [F5]", "Incoming [F6]", "Rules [F7]",
                                     "Outgoing [F8]"};

}  // namespace

// The model's host: applied translators and moves go to the main window, errors to a box.
class TEditTransWindow::THostAdapter : public TEditTransHost {
 public:
  explicit THostAdapter(TEditTransWindow& window) : window_(window) {}
  void ReplaceTranslator(TEditItem item, TTransMsgPtr translator) override {
    window_.mainWindow_.ReplaceTranslator(item, std::move(translator));
  }
  void SelectNextTranslator() override { window_.mainWindow_.SelectNextTranslator(); }
  void SelectPreviousTranslator() override { window_.mainWindow_.SelectPreviousTranslator(); }
  void ShowErrors(const std::string& text) override { window_.ShowError(text); }

 private:
  TEditTransWindow& window_;
};

ui::TFormParams TEditTransWindow::WindowParams(ui::TWindow* owner) {
  ui::TFormParams p;
  p.caption = "Edit a Translator";
  p.bounds = TRect::FromBounds(80, 60, kClientWidth + 16, kClientHeight + 40);
  p.border = ui::TBorderStyle::Single;
  p.maximizeBox = false;
  p.owner = owner;
  return p;
}

TEditTransWindow::TEditTransWindow(TEditTransHost& mainWindow, TEditTrans::TSources sources,
                                   ui::TWindow* owner)
    : ui::TForm(WindowParams(owner)),
      mainWindow_(mainWindow),
      adapter_(std::make_unique<THostAdapter>(*this)),
      model_(*adapter_, std::move(sources), [this](bool onMainThread) {
        if (onMainThread) {
          ShowCaptured();
        } else {
          Post(kCaptureMessage);
        }
      }) {
  SetKeyPreview(true);
  viewHost_.setCapture = [this](bool on) { CaptureCommand(on); };
  viewHost_.params = [this] { return params_; };
  viewHost_.projectFolder = [this] { return projectFolder ? projectFolder() : std::string(); };
  viewHost_.message = [](const std::string& text, bool error) {
    ui::MessageDlg(text, error ? ui::TMsgDlgType::Error : ui::TMsgDlgType::Information, ui::mbOK);
  };
  viewHost_.changed = [this] { RefreshState(); };
  chooseRule = [this](uint8_t& code, bool& condition) {
    return ChooseRuleType(this, code, condition, false);
  };

  buttonPanel_ = &Add<ui::TPanel>(*this, TRect::FromBounds(0, kClientHeight - kButtonPanelHeight,
                                                           kClientWidth, kButtonPanelHeight));
  pages_ = &Add<ui::TPageControl>(*this, TRect::FromBounds(6, 6, kClientWidth - 12,
                                                          kClientHeight - kButtonPanelHeight - 6));
  for (const char* caption : kPageCaptions) pages_->AddPage(caption);
  OnResize = [this] {
    const TRect client = ClientRect();
    buttonPanel_->SetBounds(0, client.Height() - kButtonPanelHeight, client.Width(),
                            kButtonPanelHeight);
  };
  SetClientSize(kClientWidth, pages_->Top() + pages_->Height() + kButtonPanelHeight + 5);
  BuildOptionsPage(pages_->Page(kPageGeneral));
  BuildActions();
  BuildButtons();
  pages_->OnChange = [this] { ShowPage(static_cast<TEditPage>(pages_->ActivePageIndex())); };
  pages_->FocusTarget = [this](int page) { return FirstField(static_cast<TEditPage>(page)); };
  OnShow = [this] {
    everShown_ = true;
    if (help_) help_->ClearConverter();
    model_.Shown();
    RefreshAll();
  };
  OnHide = [this] {
    model_.Hidden();
    RefreshCapture();
  };
  pages_->SetActivePageIndex(model_.Page());
  RefreshAll();
}

TEditTransWindow::~TEditTransWindow() {
  // No captured message may reach the window once it starts going.
  model_.Capture().Detach();
  DestroyHandle();
}

void TEditTransWindow::BuildActions() {
  auto& next = Actions().Add("Next");
  next.SetShortCut(ui::MakeShortCut('N', false, true, false));
  next.OnExecute = [this] {
    model_.NextTranslator();
    RefreshAll();
  };
  auto& previous = Actions().Add("Previous");
  previous.SetShortCut(ui::MakeShortCut('P', false, true, false));
  previous.OnExecute = [this] {
    model_.PreviousTranslator();
    RefreshAll();
  };
  auto& apply = Actions().Add("Apply");
  apply.SetShortCut(ui::MakeShortCut('A', false, true, false));
  apply.SetHint("Apply changes to this Translator");
  apply.OnExecute = [this] { ApplyChanges(); };
  // The idle update follows every change the views make to the model: Apply, Revert and
  // the title.
  apply.OnUpdate = [this](ui::TAction& a) {
    a.SetEnabled(model_.ApplyEnabled());
    SetTextIfChanged(*this, model_.Title());
  };
  applyAction_ = &apply;
  auto& revert = Actions().Add("Revert");
  revert.SetHint("Revert to the translator as it was loaded");
  revert.SetShortCut(ui::MakeShortCut('R', false, true, false));
  revert.OnExecute = [this] {
    model_.Revert();
    RefreshAll();
  };
  revert.OnUpdate = [this](ui::TAction& a) { a.SetEnabled(model_.RevertEnabled()); };
  revertAction_ = &revert;
  for (int page = 0; page < 4; ++page) {
    auto& show = Actions().Add("F" + std::to_string(5 + page));
    show.SetShortCut(static_cast<ui::TShortCut>(VK_F5 + page));
    show.OnExecute = [this, page] { ShowPage(static_cast<TEditPage>(page)); };
  }
  captureAction_ = &Actions().Add("Capture MIDI");
  captureAction_->SetShortCut(ui::MakeShortCut('C', false, false, true));
  captureAction_->SetHint("Fill the field with any incoming MIDI message (Alt+C)");
  captureAction_->OnExecute = [this] { CaptureCommand(std::nullopt); };
}

void TEditTransWindow::BuildButtons() {
  ui::TPanel& panel = *buttonPanel_;
  const int y = 8;
  int x = 8;
  auto button = [&](const std::string& caption, int width, const std::string& hint) -> ui::TButton& {
    auto& b = panel.Add<ui::TButton>(panel, caption, TRect::FromBounds(x, y, width, 25));
    if (!hint.empty()) b.SetHint(hint);
    x += width + 6;
    return b;
  };
  helpButton_ = &button("Show Help", 76, "");
  helpButton_->OnClick = [this] { ToggleHelp(); };
  auto& previous = button("<-", 34, "Edit previous Translator");
  previous.OnClick = [this] {
    model_.PreviousTranslator();
    RefreshAll();
  };
  auto& next = button("->", 34, "Edit Next Translator");
  next.OnClick = [this] {
    model_.NextTranslator();
    RefreshAll();
  };
  x += 8;
  addButton_ = &button("Add", 64, "Add a new Translator");
  addButton_->OnClick = [this] {
    if (onAdd) onAdd();
  };
  duplicateButton_ = &button("Duplicate", 72, "Duplicate this Translator");
  duplicateButton_->OnClick = [this] {
    if (onDuplicate) onDuplicate();
  };
  x = kClientWidth - 3 * 86 - 2;
  revert_ = &button("Revert", 80, "");
  revert_->SetAction(revertAction_);
  close_ = &button("Close", 80, "Apply changes and close this window");
  close_->OnClick = [this] { Close(); };
  apply_ = &button("Apply", 80, "");
  apply_->SetAction(applyAction_);
  SetDefaultButton(apply_);
}

// --- the main window's calls ---------------------------------------------------------------------

HWND TEditTransWindow::FirstField(TEditPage page) {
  // The first field of the shown panel (the type chooser excepted), else of the page.
  TPanelView* view = page == kPageIncoming   ? ChosenView(true, true)
                     : page == kPageOutgoing ? ChosenView(false, true)
                                             : nullptr;
  if (HWND first = view ? ui::FirstTabStop(view->Content().Handle()) : nullptr) return first;
  const HWND chooser = page == kPageIncoming && inType_    ? inType_->Handle()
                       : page == kPageOutgoing && outType_ ? outType_->Handle()
                                                           : nullptr;
  return ui::FirstTabStop(pages_->Page(page).Handle(), chooser);
}

HWND TEditTransWindow::FirstFocus() {
  if (HWND first = model_.Enabled() ? FirstField(model_.Page()) : nullptr) return first;
  return TForm::FirstFocus();
}

bool TEditTransWindow::EditTranslator(TEditItem item, const TTransMsg* translator) {
  const HWND focus = GetFocus();
  const bool moved = model_.EditTranslator(item, translator);
  RefreshAll();
  if (!moved) return false;
  // The focus stays where the user had it while that control can still take it; else it
  // goes to the first field of the shown panel.
  const bool keep = focus && IsChild(Handle(), focus) && IsWindowVisible(focus) &&
                    IsWindowEnabled(focus);
  if (keep || GetActiveWindow() != Handle() || !model_.Enabled()) return true;
  if (HWND first = FirstField(model_.Page())) ::SetFocus(first);
  return true;
}

bool TEditTransWindow::EditBlankEntry(TEditItem item, const std::string& name, bool checked) {
  const bool moved = model_.EditBlankEntry(item, name, checked);
  RefreshAll();
  return moved;
}

void TEditTransWindow::UpdateActive(TEditItem item, bool checked) {
  model_.UpdateActive(item, checked);
  RefreshAll();
}

void TEditTransWindow::UpdateName(TEditItem item, const std::string& name) {
  model_.UpdateName(item, name);
  RefreshAll();
}

void TEditTransWindow::ReplaceItem(TEditItem oldItem, TEditItem newItem) {
  model_.ReplaceItem(oldItem, newItem);
}

void TEditTransWindow::ItemDeleted(TEditItem item) {
  model_.ItemDeleted(item);
  RefreshAll();
}

bool TEditTransWindow::ApplyIfModified() {
  // The main window asks before every change of the selection: with nothing pending there is
  // nothing to show again.
  if (!model_.Modified()) return model_.ApplyIfModified();
  const bool ok = model_.ApplyIfModified();
  RefreshAll();
  return ok;
}

bool TEditTransWindow::ApplyChanges() {
  const bool ok = model_.ApplyChanges();
  RefreshAll();
  return ok;
}

void TEditTransWindow::LetGoOfEngine() { model_.Capture().Detach(); }

void TEditTransWindow::AttachEngine(TTransEngine& engine) {
  params_ = &engine.Params();
  model_.AttachEngine(engine);
}

void TEditTransWindow::ReadPlacement(const TCustomIniFile& ini) {
  ui::LoadFormPlacement(*this, ini, kPlacementSection, ui::kPlacePosition);
}

void TEditTransWindow::WriteWindowPlacement(TCustomIniFile& ini) {
  ui::SaveFormPlacement(*this, ini, kPlacementSection, ui::kPlacePosition);
}

// --- pages, keys and closing ---------------------------------------------------------------------

void TEditTransWindow::ShowPage(TEditPage page) {
  model_.ShowPage(page);
  // The page is built first and then shown: the focus follows it into its first field.
  RefreshAll();
}

namespace {

// Enter in a field applies, as the default button of a dialog: not where the focused control
// takes Enter itself (the rules text, a push button, a combo's open list).
bool EnterReachesDefaultButton(HWND form) {
  const HWND focus = GetFocus();
  if (!focus || !IsChild(form, focus)) return false;
  MSG msg{};
  msg.hwnd = focus;
  msg.message = WM_KEYDOWN;
  msg.wParam = VK_RETURN;
  const LRESULT code =
      SendMessageW(focus, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&msg));
  if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
    return false;
  }
  for (HWND w = focus; w && w != form; w = GetParent(w)) {
    wchar_t name[32] = {};
    GetClassNameW(w, name, 32);
    if (lstrcmpiW(name, L"ComboBox") == 0 && SendMessageW(w, CB_GETDROPPEDSTATE, 0, 0)) {
      return false;
    }
  }
  return true;
}

}  // namespace

void TEditTransWindow::KeyDown(WORD& key, ui::TShiftState shift) {
  // The form's controls carry no distinct ids, so the dialog navigation cannot find the
  // default button by its id: Enter is handled here.
  if (key == VK_RETURN && !(shift & (ui::ssShift | ui::ssCtrl | ui::ssAlt)) &&
      EnterReachesDefaultButton(Handle())) {
    applyAction_->Execute();
    key = 0;
    return;
  }
  const bool ctrl = (shift & ui::ssCtrl) != 0;
  const bool plainCtrl = ctrl && !(shift & (ui::ssShift | ui::ssAlt));
  if (plainCtrl && (key == VK_PRIOR || key == VK_NEXT)) {
    if (key == VK_NEXT) {
      model_.NextPage();
    } else {
      model_.PreviousPage();
    }
    ShowPage(model_.Page());
    key = 0;
    return;
  }
  const ui::TShortCut sc = ui::MakeShortCut(static_cast<uint8_t>(key), shift & ui::ssShift, ctrl,
                                            shift & ui::ssAlt);
  for (const auto& action : Actions().Actions()) {
    if (action->ShortCut() == sc) {
      action->Execute();
      key = 0;
      return;
    }
  }
  TForm::KeyDown(key, shift);
}

namespace {

TCloseAnswer AskApplyQuestion() {
  switch (ui::MessageDlgDelayed("Do you want to apply your changes to the translator entry?",
                                ui::TMsgDlgType::Confirmation, ui::mbYesNoCancel, 250)) {
    case ui::mrYes:
      return kCloseYes;
    case ui::mrNo:
      return kCloseNo;
    default:
      return kCloseCancel;
  }
}

}  // namespace

bool TEditTransWindow::AskToApply() {
  if (!model_.Modified()) return true;
  // The question is about what the window shows: it is seen first.
  if (!Visible()) Show();
  BringToFront();
  const bool goOn = model_.AskToApply(AskApplyQuestion);
  RefreshAll();
  return goOn;
}

bool TEditTransWindow::CloseQuery() {
  if (!TForm::CloseQuery()) return false;
  const auto query = [this] { return model_.CloseQuery(AskApplyQuestion); };
  const bool close = runOwnClose ? runOwnClose(query) : query();
  RefreshAll();
  if (close) {
    model_.SetCapture(false);
    RefreshCapture();
  }
  return close;
}

LRESULT TEditTransWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kCaptureMessage) {
    ShowCaptured();
    return 0;
  }
  return TForm::WndProc(msg, wp, lp);
}

// --- capture ---------------------------------------------------------------------------------------

void TEditTransWindow::CaptureCommand(std::optional<bool> on) {
  const bool active = GetActiveWindow() == Handle();
  const TEditPanel* inChosen = model_.IncomingChooser().Chosen();
  const TEditPanel* outChosen = model_.OutgoingChooser().Chosen();
  const bool midiShown = (model_.Page() == kPageIncoming && inChosen == &model_.InMidi()) ||
                         (model_.Page() == kPageOutgoing && outChosen == &model_.OutMidi());
  if (active && midiShown) {
    model_.SetCapture(on.value_or(model_.CaptureTarget() == kCaptureOff));
  }
  RefreshCapture();
}

void TEditTransWindow::ShowCaptured() {
  model_.ShowCapturedMessage();
  const TCaptureTarget target = model_.CaptureTarget();
  if (target == kCaptureIncoming && inMidi_) inMidi_->Refresh();
  if (target == kCaptureOutgoing && outMidi_) outMidi_->Refresh();
  RefreshCapture();
  RefreshState();
}

void TEditTransWindow::RefreshCapture() {
  TViewSync::TScope scope(sync_);
  const TCaptureTarget target = model_.CaptureTarget();
  for (TMidiPanelView* view : {inMidi_, outMidi_}) {
    if (view) SetCheckedIfChanged(view->CaptureBox(), target != kCaptureOff);
  }
  captureAction_->SetChecked(target != kCaptureOff);
  const auto lines = model_.Capture().MonitorLines();
  for (int side = 0; side < 2; ++side) {
    if (!monitors_[side]) continue;
    ui::TListBox& monitor = *monitors_[side];
    TMidiPanelView* view = side == 0 ? inMidi_ : outMidi_;
    const bool shown = view && target == (side == 0 ? kCaptureIncoming : kCaptureOutgoing);
    if (shown) {
      // Directly under the captured field, as wide as it, down to the panel area's bottom.
      const TRect field = view->MessageEdit().BoundsRect();
      const TRect content = view->Content().BoundsRect();
      const int top = content.top + field.bottom + 2;
      monitor.SetBounds(content.left + field.left, top, field.Width(), content.bottom - top);
      std::vector<std::string> items(lines.begin(), lines.end());
      bool same = monitor.Count() == static_cast<int>(items.size());
      for (int i = 0; same && i < monitor.Count(); ++i) same = monitor.Item(i) == items[static_cast<size_t>(i)];
      if (!same) monitor.SetItems(items);
      monitor.SetItemIndex(-1);
      SetWindowPos(monitor.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    monitor.SetVisible(shown);
  }
}

// --- refreshing ------------------------------------------------------------------------------------

void TEditTransWindow::RefreshSide(bool incoming) {
  const TEditPage page = incoming ? kPageIncoming : kPageOutgoing;
  if (!PageBuilt(page)) return;
  TViewSync::TScope scope(sync_);
  const TPanelChooser& chooser = incoming ? model_.IncomingChooser() : model_.OutgoingChooser();
  ui::TComboBox& combo = incoming ? *inType_ : *outType_;
  const std::vector<std::string> items = chooser.Items();
  bool same = combo.Count() == static_cast<int>(items.size());
  for (int i = 0; same && i < combo.Count(); ++i) same = combo.Item(i) == items[static_cast<size_t>(i)];
  if (!same) combo.SetItems(items);
  if (combo.ItemIndex() != chooser.ItemIndex()) combo.SetItemIndex(chooser.ItemIndex());
  // A page out of sight gets the view of a newly chosen kind when it is shown.
  TPanelView* shown = ChosenView(incoming, model_.Page() == page);
  for (auto& view : views_) {
    if (view->Model().IsIncoming() != incoming) continue;
    // Never while the user types into a view (its own handlers refresh it): every field
    // shows the model's value, the one Apply stored included.
    if (view.get() == shown) view->RefreshStored();
    view->Content().SetVisible(view.get() == shown);
  }
  const bool unknown = chooser.Chosen() == nullptr;
  unknown_[incoming ? 0 : 1]->SetVisible(unknown);
  SetTextIfChanged(incoming ? *inUnknown_ : *outUnknown_,
                   incoming ? model_.IncomingRawText() : model_.OutgoingRawText());
}

void TEditTransWindow::RefreshState() {
  Actions().UpdateAll();
  close_->SetEnabled(model_.Enabled());
  addButton_->SetEnabled(static_cast<bool>(onAdd));
  duplicateButton_->SetEnabled(static_cast<bool>(onDuplicate) && model_.Enabled());
}

void TEditTransWindow::EnableEditing(bool enabled) {
  for (int page = 0; page < pages_->PageCount(); ++page) {
    EnableControlTree(pages_->Page(page), enabled);
  }
}

void TEditTransWindow::RefreshAll() {
  viewHost_.editPortAliases = onEditPortAliases;  // the main window may set it at any time
  if (enabledShown_ != model_.Enabled()) {
    enabledShown_ = model_.Enabled();
    EnableEditing(enabledShown_);
  }
  if (everShown_) BuildPage(model_.Page());
  {
    TViewSync::TScope scope(sync_);
    SetTextIfChanged(*name_, model_.Name());
    SetCheckedIfChanged(*active_, model_.Active());
    SetCheckedIfChanged(*stop_, model_.StopProcessing());
    if (inSummary_) SetTextIfChanged(*inSummary_, model_.IncomingSummary());
    if (outSummary_) SetTextIfChanged(*outSummary_, model_.OutgoingSummary());
    if (PageBuilt(kPageOutgoing)) {
      for (int i = 0; i < 3; ++i) SetCheckedIfChanged(*delayButtons_[i], model_.Delay() == i);
      delaySeconds_->Show(model_.DelaySeconds());
      delayMillis_->Show(model_.DelayMillis());
    }
  }
  RefreshSide(true);
  RefreshSide(false);
  if (rules_) rules_->Refresh();
  if (pages_->ActivePageIndex() != model_.Page()) pages_->SetActivePageIndex(model_.Page());
  RefreshCapture();
  RefreshState();
}

void TEditTransWindow::ToggleHelp() {
  if (!help_) {
    help_ = std::make_unique<THelpPages>(
        *this,
        TRect::FromBounds(6, pages_->BoundsRect().bottom + 4, kClientWidth - 12, kHelpHeight));
  }
  ui::TPageControl& help = help_->Control();
  if (help.Top() + help.Height() > ClientRect().Height() - kButtonPanelHeight) {
    AnimateClientHeight(help.Top() + help.Height() + kButtonPanelHeight + 9);
    help.Show();
    help_->SetConverterTabStops(true);
    helpButton_->SetText("Hide Help");
  } else {
    help.Hide();
    help_->SetConverterTabStops(false);
    AnimateClientHeight(pages_->Top() + pages_->Height() + kButtonPanelHeight + 5);
    helpButton_->SetText("Show Help");
  }
}

void TEditTransWindow::AnimateClientHeight(int target) {
  const int width = ClientRect().Width();
  int height = ClientRect().Height();
  int step = 10;
  while (height != target) {
    const int remaining = std::abs(target - height);
    if (remaining / 10 < step - 1 && step > 1) --step;
    height += (target > height ? 1 : -1) * std::min(step, remaining);
    SetClientSize(width, height);
    Sleep(7);
    ui::Application().ProcessMessages();
  }
  // The buttons moved with every step; what they left behind is drawn anew.
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TEditTransWindow::ShowError(const std::string& text) {
  ui::MessageDlg(text, ui::TMsgDlgType::Error, ui::mbOK);
}

}  // namespace kv
