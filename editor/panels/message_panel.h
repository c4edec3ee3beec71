#pragma once
// The window-message action panel: the target window (by class and/or title), the message
// (a number or variable, or a name registered with the system) and its two parameters.
#include <memory>
#include <optional>
#include <string>

#include "editor/panels/edit_panel.h"
#include "editor/value_fields.h"
#include "engine/actions/window_message_action.h"

namespace kv {

class TEPOutMessage : public TEditPanel {
 public:
  TEPOutMessage();

  void Clear() override;
  void UpdateControls() override;
  void LoadAction(const TTransAction* action) override;
  std::string GetActionText() override;

  // The action the controls describe. Throws kv::Exception with the user's message for a
  // field that does not parse whole, a registered name under 5 characters, or a target that
  // names neither class nor title. With a registered name the numerical combo shows its
  // number.
  std::unique_ptr<TTransMessageAction> BuildAction();

  // What "Test" and "Verify" tell the user: an error box, or an information box.
  struct TCheckResult {
    bool error;
    std::string text;
  };
  // Builds the action and, when its window is found, sends the message now.
  TCheckResult Test(TGlobalTranslateParams* params);
  // Builds the action and looks for its window.
  TCheckResult Verify();

  bool MatchByClass() const { return byClass_; }
  void SetMatchByClass(bool checked);
  std::string& ClassName() { return className_; }
  bool MatchByTitle() const { return byTitle_; }
  void SetMatchByTitle(bool checked);
  std::string& Title() { return title_; }
  // The title radio as a match mode: 2 equal, 3 substring, 4 beginning, 5 end.
  uint8_t TitleMode() const { return titleMode_; }
  void SetTitleMode(uint8_t mode);
  bool Numerical() const { return numerical_; }
  void SetNumerical(bool numerical);
  TComboModel& MessageNumber() { return number_; }
  std::string& RegisterString() { return registerName_; }
  TComboModel& WParam() { return wParam_; }
  TComboModel& LParam() { return lParam_; }
  void FieldChanged() { Changed(); }

  bool ClassEnabled() const { return byClass_; }
  bool TitleEnabled() const { return byTitle_; }
  bool NumberEnabled() const { return numerical_; }
  bool RegisterEnabled() const { return !numerical_; }

 private:
  bool byClass_ = false;
  std::string className_;
  bool byTitle_ = false;
  std::string title_;
  uint8_t titleMode_ = kMatchTitleExact;
  bool numerical_ = true;
  TComboModel number_;
  std::string registerName_;
  TComboModel wParam_;
  TComboModel lParam_;
  // The loaded action's comment: no control shows it, so a build keeps it.
  std::string comment_;
  // The loaded target's title match, which the controls cannot always show (a given handle's
  // mode, a title kept in class-only mode, a mode without a title): built as loaded while the
  // title reads as loaded and the user has neither clicked the title box nor a title radio.
  struct TKeptTitleMatch {
    uint8_t mode;
    std::string title;
  };
  std::optional<TKeptTitleMatch> keptTitleMatch_;
};

}  // namespace kv
