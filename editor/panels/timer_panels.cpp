#include "editor/panels/timer_panels.h"

#include <algorithm>

#include "base/exception.h"
#include "base/text.h"
#include "engine/timer_manager.h"

namespace kv {
namespace {

constexpr const char* kInvalidNumber = "invalid number or variable";

bool HasItem(const TComboModel& combo, std::string_view name) {
  return std::any_of(combo.items.begin(), combo.items.end(),
                     [&](const std::string& item) { return AnsiSameText(item, name); });
}

bool NameBefore(const std::string& a, const std::string& b) {
  return AnsiCompareText(a, b) < 0;
}

// The name combos are sorted lists; the chosen item stays chosen.
void InsertSorted(TComboModel& combo, const std::string& name) {
  const auto at = std::lower_bound(combo.items.begin(), combo.items.end(), name, NameBefore);
  const int index = static_cast<int>(at - combo.items.begin());
  combo.items.insert(at, name);
  combo.objects.insert(combo.objects.begin() + index, 0);
  if (combo.itemIndex >= index) ++combo.itemIndex;
}

TNumberOrVariable ParseOrThrow(const TComboModel& combo) {
  TNumberOrVariable value;
  if (!ParseNumberOrVariable(combo, value)) throw Exception(kInvalidNumber);
  return value;
}

}  // namespace

TEditorTimerNames& TEditorTimerNames::Instance() {
  static TEditorTimerNames names;
  return names;
}

void TEditorTimerNames::RegisterCombo(TComboModel* combo) {
  combos_.push_back(combo);
}

void TEditorTimerNames::UnregisterCombo(TComboModel* combo) {
  std::erase(combos_, combo);
}

void TEditorTimerNames::AddName(std::string_view name) {
  const std::string trimmed = Trim(name);
  if (trimmed.empty()) return;
  const bool listed = std::any_of(names_.begin(), names_.end(), [&](const std::string& n) {
    return AnsiSameText(n, trimmed);
  });
  if (!listed) names_.push_back(trimmed);
  for (TComboModel* combo : combos_) {
    if (!HasItem(*combo, trimmed)) InsertSorted(*combo, trimmed);
  }
}

void FillTimerNames(TComboModel& combo, const std::string& name, const TTimerNameSource& source) {
  combo.Clear();
  if (source) {
    for (auto& projectName : source()) combo.AddItem(projectName);
  }
  for (const auto& typed : TEditorTimerNames::Instance().Names()) {
    if (!HasItem(combo, typed)) combo.AddItem(typed);
  }
  std::sort(combo.items.begin(), combo.items.end(), NameBefore);
  combo.objects.assign(combo.items.size(), 0);
  for (size_t i = 0; i < combo.items.size(); ++i) {
    if (AnsiSameText(combo.items[i], name)) {
      combo.itemIndex = static_cast<int>(i);
      break;
    }
  }
  combo.text = name;
}

TEPInTimer::TEPInTimer(TTimerNameSource source)
    : TEditPanel("Timer", true, kActionTimer), source_(std::move(source)) {
  TEditorTimerNames::Instance().RegisterCombo(&name_);
}

TEPInTimer::~TEPInTimer() {
  TEditorTimerNames::Instance().UnregisterCombo(&name_);
}

void TEPInTimer::Activate() {
  FillTimerNames(name_, std::string(), source_);
}

void TEPInTimer::LoadAction(const TTransAction* action) {
  const auto* timer = dynamic_cast<const TTransTimerAction*>(action);
  if (timer == nullptr) return;
  FillTimerNames(name_, timer->GetTimerName(), source_);
}

std::string TEPInTimer::GetActionText() {
  const std::string name = Trim(name_.text);
  TEditorTimerNames::Instance().AddName(name);
  return EncodeTimerTrigger(name);
}

TEPOutTimer::TEPOutTimer(TTimerNameSource source)
    : TEditPanel("Timer", false, kActionTimer), source_(std::move(source)) {
  TEditorTimerNames::Instance().RegisterCombo(&name_);
  Clear();
}

TEPOutTimer::~TEPOutTimer() {
  if (test_) GetTimerManager().KillTimer(test_->GetTimerName());
  TEditorTimerNames::Instance().UnregisterCombo(&name_);
}

void TEPOutTimer::StartTest(TGlobalTranslateParams* params) {
  if (test_) {
    GetTimerManager().KillTimer(test_->GetTimerName());
    test_.reset();
  }
  std::unique_ptr<TTransTimerAction> action = BuildAction();
  if (action->GetMode() == TTransTimerAction::kKill) return;
  RunActionNow(*action, params);
  test_ = std::move(action);
}

void TEPOutTimer::StopTest(TGlobalTranslateParams* /*params*/) {
  GetTimerManager().KillTimer(BuildAction()->GetTimerName());
}

void TEPOutTimer::Clear() {
  name_.itemIndex = -1;
  name_.text.clear();
  initialDelay_.itemIndex = -1;
  initialDelay_.text = "1000";
  periodicDelay_.itemIndex = -1;
  periodicDelay_.text = "1000";
  count_.itemIndex = -1;
  count_.text = '2';
  spinner_ = kMinCount;
}

void TEPOutTimer::Activate() {
  FillTimerNames(name_, name_.text, source_);
  name_.itemIndex = -1;
  OfferVariableNames({&initialDelay_, &periodicDelay_, &count_});
}

void TEPOutTimer::LoadAction(const TTransAction* action) {
  const auto* timer = dynamic_cast<const TTransTimerAction*>(action);
  if (timer == nullptr) {
    Clear();
    return;
  }
  kill_ = timer->GetMode() == TTransTimerAction::kKill;
  if (!kill_) {
    const TNumberOrVariable& count = timer->GetCount();
    if (!count.IsVariable() && count.value == 1) {
      trigger_ = kOnce;
    } else if (count.IsVariable() || count.value > 1) {
      trigger_ = kMultiple;
    } else {
      trigger_ = kInfinitely;
    }
    if (trigger_ == kMultiple) {
      spinner_ = count.IsVariable() ? kMinCount : std::clamp(count.value, kMinCount, kMaxCount);
      ShowNumberOrVariable(count_, count);
    } else {
      spinner_ = kMinCount;
      count_.itemIndex = -1;
      count_.text = '2';
    }
    ShowNumberOrVariable(initialDelay_, timer->GetTimerDelay());
    ShowNumberOrVariable(periodicDelay_, timer->GetPeriod());
  }
  FillTimerNames(name_, timer->GetTimerName(), source_);
}

std::unique_ptr<TTransTimerAction> TEPOutTimer::BuildAction() {
  auto action = std::make_unique<TTransTimerAction>(false);
  const std::string name = Trim(name_.text);
  action->SetMode(kill_ ? TTransTimerAction::kKill : TTransTimerAction::kStart);
  action->SetTimerDelay(ParseOrThrow(initialDelay_));
  action->SetPeriod(ParseOrThrow(periodicDelay_));
  switch (trigger_) {
    case kOnce:
      action->SetCount(TNumberOrVariable::Number(1));
      break;
    case kMultiple:
      action->SetCount(ParseOrThrow(count_));
      break;
    case kInfinitely:
      action->SetCount(TNumberOrVariable::Number(0));
      break;
  }
  action->SetTimerName(name);
  TEditorTimerNames::Instance().AddName(name);
  return action;
}

std::string TEPOutTimer::GetActionText() {
  return BuildAction()->SaveToText();
}

void TEPOutTimer::NameChanged() {
  Changed();
}

void TEPOutTimer::SetKill(bool kill) {
  kill_ = kill;
  Changed();
}

void TEPOutTimer::SetTrigger(TTrigger trigger) {
  trigger_ = trigger;
  Changed();
}

void TEPOutTimer::SetSpinner(int position) {
  spinner_ = std::clamp(position, kMinCount, kMaxCount);
  count_.itemIndex = -1;
  count_.text = std::to_string(spinner_);
  Changed();
}

void TEPOutTimer::CountTyped(std::string text) {
  count_.text = std::move(text);
  count_.itemIndex = -1;
  const std::string typed = Trim(count_.text);
  const bool plain = !typed.empty() && std::all_of(typed.begin(), typed.end(), [](char c) {
    return c >= '0' && c <= '9';
  });
  if (plain && typed.size() <= 9) spinner_ = std::clamp(std::stoi(typed), kMinCount, kMaxCount);
  Changed();
}

bool TEPOutTimer::StartSettingsEnabled() const {
  return !Trim(name_.text).empty();
}

}  // namespace kv
