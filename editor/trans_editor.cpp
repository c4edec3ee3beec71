#include "editor/trans_editor.h"

#include "base/exception.h"
#include "engine/actions/midi_action.h"
#include "engine/actions/unknown_action.h"

namespace kv {
namespace {

constexpr int kTypeMask = 0x7F;
constexpr int kPageCount = 4;

bool IncomingHasPanel(int code) {
  return code == kActionMidi || code == kActionKeystroke || code == kActionTimer ||
         code == kActionPresetChange || code == kActionSpecial;
}

bool OutgoingHasPanel(int code) {
  return (code >= kActionMidi && code <= kActionWindowMessage) || code == kActionExecuteFile;
}

// An empty side is stored as an unknown action without text: it stands for no action.
const TTransAction* RealAction(const TTransAction* action) {
  const auto* unknown = dynamic_cast<const TTransUnknownAction*>(action);
  return unknown != nullptr && unknown->Text().empty() ? nullptr : action;
}

void ResetDelayCombo(TComboModel& combo) {
  combo.itemIndex = -1;
  combo.text = '0';
}

}  // namespace

std::vector<std::string> TPanelChooser::Items() const {
  std::vector<std::string> items;
  for (const TEditPanel* panel : panels) items.push_back(panel->Caption());
  if (unknownListed) items.push_back(kUnknownPanelCaption);
  return items;
}

int TPanelChooser::ItemIndex() const {
  return chosen >= 0 ? chosen : (unknownListed ? static_cast<int>(panels.size()) : -1);
}

TEditPanel* TPanelChooser::PanelOfKind(int code) const {
  for (TEditPanel* panel : panels) {
    if (panel->Kind() == code) return panel;
  }
  return nullptr;
}

TEditTrans::TEditTrans(TEditTransHost& host, TSources sources, TMidiCapture::TNotifier notifier)
    : host_(host),
      inTimer_(sources.timers),
      outTimer_(sources.timers),
      outPreset_(sources.presets),
      inPreset_(sources.presets),
      capture_(std::make_shared<TMidiCapture>(std::move(notifier))) {
  ++loading_;
  RegisterPanels();
  rules_.SetOnModified([this] { MarkModified(); });
  ResetDelayCombo(delaySeconds_);
  ResetDelayCombo(delayMillis_);
  LoadTranslator(nullptr);
  --loading_;
  modified_ = false;
}

TEditTrans::~TEditTrans() {
  // An event thread may be inside the capture's notification; it must be out before the
  // window and this model go.
  capture_->Detach();
}

void TEditTrans::RegisterPanels() {
  in_.panels = {&inMidi_, &inKey_, &inTimer_, &inPreset_, &inSpecial_};
  out_.panels = {&outNone_,   &outMidi_,    &outKey_,     &outMouse_,  &outTimer_,
                 &outPreset_, &outSpecial_, &outMessage_, &outExecute_};
  for (TPanelChooser* chooser : {&in_, &out_}) {
    for (TEditPanel* panel : chooser->panels) panel->SetOnChange([this] { MarkModified(); });
  }
}

void TEditTrans::MarkModified() {
  if (loading_ == 0) modified_ = true;
}

std::string TEditTrans::Title() const {
  if (!kept_ && name_.empty()) return "Edit Translator Entry";
  return "Edit Translator Entry " + name_;
}

void TEditTrans::SelectPanel(TPanelChooser& chooser, int chosen) {
  TEditPanel* previous = chooser.Chosen();
  chooser.chosen = chosen;
  TEditPanel* panel = chooser.Chosen();
  if (panel != nullptr) panel->Activate();
  if (previous != nullptr && previous != panel) previous->Deactivate();
  if (panel == nullptr) chooser.unknownListed = true;
}

void TEditTrans::DropUnknownItem(TPanelChooser& chooser) {
  if (chooser.chosen >= 0) chooser.unknownListed = false;
}

void TEditTrans::LoadTranslator(const TTransMsg* translator, bool keepCapture) {
  // Revert loads the kept copy itself: hold it while it is read.
  const TTransMsgPtr hold = kept_;
  ++loading_;
  active_ = true;
  stop_ = true;
  for (TPanelChooser* chooser : {&in_, &out_}) {
    for (TEditPanel* panel : chooser->panels) panel->Clear();
  }
  if (!keepCapture) SetCapture(false);
  inSummary_.clear();
  outSummary_.clear();
  inRaw_.clear();
  outRaw_.clear();
  delay_ = kNoDelay;
  ResetDelayCombo(delaySeconds_);
  ResetDelayCombo(delayMillis_);
  std::vector<std::string> lines;
  std::string description;
  if (translator != nullptr) {
    if (translator->HasRules()) {
      description = translator->Rules()->Description();
      for (size_t i = 0; i < translator->Rules()->Count(); ++i) {
        lines.push_back(translator->Rules()->GetEntry(i).GetText());
      }
    }
    rules_.Load(std::move(lines), std::move(description));
    kept_ = translator->Clone();
    LoadIncoming(*translator);
    LoadOutgoing(*translator);
    name_ = translator->Name();
    active_ = translator->Active();
    stop_ = translator->Stop();
  } else {
    rules_.Load({}, {});
    name_.clear();
    kept_.reset();
    SelectPanel(in_, 0);
    SelectPanel(out_, 0);
  }
  DropUnknownItem(in_);
  DropUnknownItem(out_);
  UpdateSummaryHints();
  --loading_;
  modified_ = false;
}

void TEditTrans::LoadIncoming(const TTransMsg& translator) {
  const TTransAction* action = RealAction(translator.Incoming());
  const int code = action != nullptr ? (action->GetActionType() & kTypeMask) : kActionMidi;
  TEditPanel* panel = IncomingHasPanel(code) ? in_.PanelOfKind(code) : nullptr;
  if (panel == nullptr) {
    SelectPanel(in_, -1);
    inRaw_ = action->SaveToText();
    return;
  }
  SelectPanel(in_, static_cast<int>(std::find(in_.panels.begin(), in_.panels.end(), panel) -
                                    in_.panels.begin()));
  panel->LoadAction(action);
  if (code == kActionMidi) inMidi_.SetSwallowLoaded(!translator.OutputOriginal());
}

void TEditTrans::LoadOutgoing(const TTransMsg& translator) {
  const TTransAction* action = RealAction(translator.Outgoing());
  int code = action != nullptr ? (action->GetActionType() & kTypeMask) : kActionNone;
  if (const auto* midi = dynamic_cast<const TTransMidiAction*>(action);
      midi != nullptr && midi->GetMidiText().empty() && midi->GetMidiDescription().empty()) {
    code = kActionNone;
  }
  TEditPanel* panel = OutgoingHasPanel(code) ? out_.PanelOfKind(code) : nullptr;
  if (panel == nullptr) {
    SelectPanel(out_, -1);
    outRaw_ = action->SaveToText();
  } else {
    SelectPanel(out_, static_cast<int>(std::find(out_.panels.begin(), out_.panels.end(), panel) -
                                       out_.panels.begin()));
    panel->LoadAction(action);
  }
  if (action == nullptr) return;
  if (action->GetDelayUnit() == kDelaySeconds) {
    delay_ = kDelayInSeconds;
    ShowNumberOrVariable(delaySeconds_, action->GetDelay());
  } else if (action->GetDelayUnit() == kDelayMillis) {
    delay_ = kDelayInMillis;
    ShowNumberOrVariable(delayMillis_, action->GetDelay());
  }
}

TTransMsgPtr TEditTrans::BuildTranslator(int inCode, int outCode, std::vector<std::string>& errors,
                                         std::vector<std::string>& ruleErrors) {
  TEditPanel* inPanel = IncomingHasPanel(inCode) ? in_.PanelOfKind(inCode) : nullptr;
  TEditPanel* outPanel = OutgoingHasPanel(outCode) ? out_.PanelOfKind(outCode) : nullptr;
  const std::string inText = inPanel ? inPanel->GetActionText() : inRaw_;
  const std::string outText = outPanel ? outPanel->GetActionText() : outRaw_;
  TTransMsgPtr translator = TTransMsg::CreateFromText(
      inText, outText, nullptr,
      [&errors](TTransMsg&, const std::string& text) { errors.push_back(text); });
  if (TTransAction* outgoing = translator->Outgoing()) {
    TNumberOrVariable delay = TNumberOrVariable::Number(0);
    if (delay_ == kDelayInSeconds) {
      outgoing->SetDelayUnit(kDelaySeconds);
      if (!ParseNumberOrVariable(delaySeconds_, delay)) delay = TNumberOrVariable::Number(0);
    } else if (delay_ == kDelayInMillis) {
      outgoing->SetDelayUnit(kDelayMillis);
      if (!ParseNumberOrVariable(delayMillis_, delay)) delay = TNumberOrVariable::Number(0);
    } else {
      outgoing->SetDelayUnit(kDelayNone);
    }
    outgoing->SetDelay(delay);
  }
  TTransStepMath rules = rules_.BuildRules(ruleErrors);
  translator->SetRules(&rules);
  translator->SetName(name_);
  translator->SetActive(active_);
  translator->SetStop(stop_);
  translator->SetOutputOriginal(!inMidi_.Swallow());
  return translator;
}

bool TEditTrans::ApplyChanges() {
  if (item_ == nullptr) return true;
  errorText_.clear();
  bool ok = false;
  try {
    std::vector<std::string> errors;
    std::vector<std::string> ruleErrors;
    TTransMsgPtr translator = BuildTranslator(in_.Code(), out_.Code(), errors, ruleErrors);
    // A project file could not hold them: refused here rather than at the next save.
    if (translator->HasRules() && translator->Rules()->Count() > kMaxStoredRules) {
      ruleErrors.push_back(TooManyRulesText(translator->Rules()->Count()));
    }
    errors.insert(errors.end(), ruleErrors.begin(), ruleErrors.end());
    for (const auto& error : errors) errorText_ += (errorText_.empty() ? "" : "\r\n") + error;
    // A rule line that does not parse would be lost with the old translator: keep both.
    if (ruleErrors.empty()) {
      host_.ReplaceTranslator(item_, translator);
      kept_ = translator->Clone();
      // Every field shows what was stored: a text that is no number shows the number it
      // became, a half-typed value the value it was clamped to.
      const TCaptureTarget capturing = capture_->Target();
      LoadTranslator(kept_.get(), true);
      if (capturing != CaptureTargetFor(true)) SetCapture(false);
      ok = true;
    }
  } catch (const std::exception& e) {
    errorText_ += (errorText_.empty() ? "" : "\r\n") + std::string(e.what());
  }
  if (!errorText_.empty()) host_.ShowErrors(errorText_);
  return ok;
}

bool TEditTrans::ApplyIfModified() {
  if (item_ != nullptr && modified_) return ApplyChanges();
  return true;
}

void TEditTrans::Revert() {
  if (!modified_) return;
  LoadTranslator(kept_.get());
}

bool TEditTrans::EditTranslator(TEditItem item, const TTransMsg* translator) {
  if (!ApplyIfModified()) return false;
  ++loading_;
  if (item != item_ || (item == nullptr && ApplyEnabled())) {
    enabled_ = item != nullptr;
    LoadTranslator(item != nullptr ? translator : nullptr);
    item_ = item;
  }
  --loading_;
  modified_ = false;
  return true;
}

bool TEditTrans::EditBlankEntry(TEditItem item, const std::string& name, bool checked) {
  if (!ApplyIfModified()) return false;
  ++loading_;
  LoadTranslator(nullptr);
  item_ = item;
  enabled_ = item != nullptr;
  name_ = name;
  active_ = checked;
  --loading_;
  modified_ = false;
  return true;
}

void TEditTrans::UpdateActive(TEditItem item, bool checked) {
  if (item == nullptr || item != item_) return;
  ++loading_;
  active_ = checked;
  --loading_;
}

void TEditTrans::UpdateName(TEditItem item, const std::string& name) {
  if (item == nullptr || item != item_) return;
  ++loading_;
  name_ = name;
  --loading_;
}

void TEditTrans::ReplaceItem(TEditItem oldItem, TEditItem newItem) {
  if (oldItem != nullptr && oldItem == item_) item_ = newItem;
}

void TEditTrans::ItemDeleted(TEditItem item) {
  if (item == nullptr || item != item_) return;
  Empty();
}

void TEditTrans::Empty() {
  item_ = nullptr;
  enabled_ = false;
  LoadTranslator(nullptr);
}

void TEditTrans::SetName(std::string name) {
  name_ = std::move(name);
  MarkModified();
}

void TEditTrans::SetActive(bool active) {
  active_ = active;
  MarkModified();
}

void TEditTrans::SetStopProcessing(bool stop) {
  stop_ = stop;
  MarkModified();
}

void TEditTrans::ChooseIncoming(int itemIndex) {
  if (itemIndex < 0 || itemIndex >= static_cast<int>(in_.Items().size())) return;
  SetCapture(false);
  SelectPanel(in_, itemIndex < static_cast<int>(in_.panels.size()) ? itemIndex : -1);
  MarkModified();
}

void TEditTrans::ChooseOutgoing(int itemIndex) {
  if (itemIndex < 0 || itemIndex >= static_cast<int>(out_.Items().size())) return;
  SetCapture(false);
  SelectPanel(out_, itemIndex < static_cast<int>(out_.panels.size()) ? itemIndex : -1);
  MarkModified();
}

void TEditTrans::SetDelay(TDelayChoice delay) {
  delay_ = delay;
  MarkModified();
}

void TEditTrans::DelayTyped(TDelayChoice which, std::string text) {
  TComboModel& combo = which == kDelayInSeconds ? delaySeconds_ : delayMillis_;
  combo.text = std::move(text);
  combo.itemIndex = -1;
  if (which != kNoDelay) delay_ = which;
  MarkModified();
}

void TEditTrans::UpdateSummaryHints() {
  inSummary_.clear();
  outSummary_.clear();
  if (!kept_) return;
  std::vector<std::string> errors;
  std::vector<std::string> ruleErrors;  // the rules do not show in a summary
  try {
    if (page_ == kPageIncoming) {
      TTransMsgPtr built = BuildTranslator(0, out_.Code(), errors, ruleErrors);
      if (errors.empty()) outSummary_ = built->GetOutgoingDescription();
    } else if (page_ == kPageOutgoing) {
      TTransMsgPtr built = BuildTranslator(in_.Code(), 0, errors, ruleErrors);
      if (errors.empty()) inSummary_ = built->GetIncomingDescription();
    }
  } catch (const std::exception&) {
    // A panel that cannot build yet leaves its summary empty.
  }
}

void TEditTrans::ShowPage(TEditPage page) {
  SetCapture(false);
  page_ = page;
  UpdateSummaryHints();
}

void TEditTrans::NextPage() {
  ShowPage(static_cast<TEditPage>((page_ + 1) % kPageCount));
}

void TEditTrans::PreviousPage() {
  ShowPage(static_cast<TEditPage>((page_ + kPageCount - 1) % kPageCount));
}

void TEditTrans::AttachEngine(TTransEngine& engine) {
  TMidiCapture::BindEngine(engine, capture_);
  engineKnown_ = true;
}

TCaptureTarget TEditTrans::CaptureTargetFor(bool on) const {
  TCaptureTarget target = kCaptureOff;
  if (on && engineKnown_) {
    if (page_ == kPageIncoming && in_.Chosen() == &inMidi_) target = kCaptureIncoming;
    if (page_ == kPageOutgoing && out_.Chosen() == &outMidi_) target = kCaptureOutgoing;
  }
  return target;
}

void TEditTrans::SetCapture(bool on) {
  capture_->SetTarget(CaptureTargetFor(on));
}

void TEditTrans::ShowCapturedMessage() {
  const TCaptureTarget target = capture_->Target();
  if (auto text = capture_->ShowNewest()) {
    if (target == kCaptureIncoming) inMidi_.SetMessageText(*text);
    if (target == kCaptureOutgoing) outMidi_.SetMessageText(*text);
  }
}

void TEditTrans::MonitorLineClicked(int index) {
  const TCaptureTarget target = capture_->Target();
  if (auto text = capture_->MonitorLineText(index)) {
    if (target == kCaptureIncoming) inMidi_.SetMessageText(*text);
    if (target == kCaptureOutgoing) outMidi_.SetMessageText(*text);
  }
}

bool TEditTrans::AskToApply(const std::function<TCloseAnswer()>& ask) {
  if (!modified_) return true;
  const TCloseAnswer answer = ask ? ask() : kCloseCancel;
  if (answer == kCloseCancel) return false;
  if (answer == kCloseYes) return ApplyChanges();
  return true;
}

bool TEditTrans::CloseQuery(const std::function<TCloseAnswer()>& ask) {
  if (modified_) {
    const TCloseAnswer answer = ask ? ask() : kCloseCancel;
    if (answer == kCloseCancel) return false;
    if (answer == kCloseYes && !ApplyChanges()) return false;
  }
  SetCapture(false);
  item_ = nullptr;
  modified_ = false;
  return true;
}

void TEditTrans::Shown() {
  SetCapture(false);
  OfferVariableNames({&delaySeconds_, &delayMillis_});
}

}  // namespace kv
