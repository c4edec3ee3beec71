#pragma once
// The timer trigger and timer action panels. Their name combos offer the project's timer
// names and every name built into a timer panel's action text during this run
// (TEditorTimerNames), so a name typed in one panel is offered by the others.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/panels/edit_panel.h"
#include "editor/value_fields.h"
#include "engine/actions/timer_action.h"

namespace kv {

// The project's timer names, as the panels are activated; none without a project.
using TTimerNameSource = std::function<std::vector<std::string>()>;

// The names typed into timer panels during this run, and the name combos that offer them.
// Process-wide; main thread only.
class TEditorTimerNames {
 public:
  static TEditorTimerNames& Instance();

  void RegisterCombo(TComboModel* combo);
  void UnregisterCombo(TComboModel* combo);
  // Adds a trimmed, non-empty name that is not listed yet (user locale, case-insensitive)
  // to the list and to every registered combo whose items lack it.
  void AddName(std::string_view name);
  const std::vector<std::string>& Names() const { return names_; }
  // Tests only.
  void ResetForTests() { names_.clear(); }

 private:
  std::vector<std::string> names_;
  std::vector<TComboModel*> combos_;
};

// Items: the project's names, then the editor's names the combo lacks; the item equal to name
// is chosen (else none) and the text is name.
void FillTimerNames(TComboModel& combo, const std::string& name, const TTimerNameSource& source);

class TEPInTimer : public TEditPanel {
 public:
  explicit TEPInTimer(TTimerNameSource source = {});
  ~TEPInTimer() override;

  void Activate() override;
  void LoadAction(const TTransAction* action) override;
  std::string GetActionText() override;

  TComboModel& NameCombo() { return name_; }
  void NameChanged() { Changed(); }

 private:
  TTimerNameSource source_;
  TComboModel name_;
};

class TEPOutTimer : public TEditPanel {
 public:
  enum TTrigger { kOnce, kMultiple, kInfinitely };
  static constexpr int kMinCount = 2;
  static constexpr int kMaxCount = 10000;

  explicit TEPOutTimer(TTimerNameSource source = {});
  ~TEPOutTimer() override;

  void Clear() override;
  void Activate() override;
  void LoadAction(const TTransAction* action) override;
  std::string GetActionText() override;

  // The action the controls describe; throws kv::Exception "invalid number or variable"
  // for a number combo that does not parse whole. The name joins the editor's names.
  std::unique_ptr<TTransTimerAction> BuildAction();

  // "&Start": kills the previous test timer, then starts the one the controls describe (a
  // kill action only kills). "S&top": kills the timer the controls name. Destroying the
  // panel kills a test timer it started. Both may throw as BuildAction.
  void StartTest(TGlobalTranslateParams* params);
  void StopTest(TGlobalTranslateParams* params);

  TComboModel& NameCombo() { return name_; }
  void NameChanged();
  bool Kill() const { return kill_; }
  void SetKill(bool kill);
  TTrigger Trigger() const { return trigger_; }
  void SetTrigger(TTrigger trigger);
  TComboModel& InitialDelay() { return initialDelay_; }
  TComboModel& PeriodicDelay() { return periodicDelay_; }
  TComboModel& Count() { return count_; }
  int Spinner() const { return spinner_; }
  // A spinner click writes its position into the count combo.
  void SetSpinner(int position);
  // Typing into the count combo: a plain number moves the spinner.
  void CountTyped(std::string text);
  void FieldChanged() { Changed(); }

  // Shown and enabled controls.
  bool StartSettingsVisible() const { return !kill_; }
  bool StartSettingsEnabled() const;
  bool CountEnabled() const { return StartSettingsEnabled() && trigger_ == kMultiple; }
  bool PeriodicDelayVisible() const { return trigger_ != kOnce; }

 private:
  TTimerNameSource source_;
  TComboModel name_;
  bool kill_ = false;
  TTrigger trigger_ = kOnce;
  TComboModel initialDelay_;
  TComboModel periodicDelay_;
  TComboModel count_;
  int spinner_ = kMinCount;
  std::unique_ptr<TTransTimerAction> test_;  // the timer the last "&Start" ran
};

}  // namespace kv
