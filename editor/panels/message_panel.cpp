#include "editor/panels/message_panel.h"

#include "base/exception.h"
#include "base/text_helpers.h"

namespace kv {
namespace {

constexpr size_t kMinRegisteredName = 5;

TNumberOrVariable ParseOrThrow(const TComboModel& combo, const char* message) {
  TNumberOrVariable value;
  if (!ParseNumberOrVariable(combo, value)) throw Exception(message);
  return value;
}

bool IsTitleMode(uint8_t mode) {
  return mode >= kMatchTitleExact && mode <= kMatchTitleEndsWith;
}

}  // namespace

TEPOutMessage::TEPOutMessage() : TEditPanel("WM_ Messages", false, kActionWindowMessage) {
  Clear();
}

void TEPOutMessage::Clear() {
  OfferVariableNames({&number_, &wParam_, &lParam_});
  byClass_ = false;
  className_.clear();
  byTitle_ = false;
  title_.clear();
  titleMode_ = kMatchTitleExact;
  numerical_ = true;
  for (TComboModel* combo : {&number_, &wParam_, &lParam_}) {
    combo->itemIndex = -1;
    combo->text = '0';
  }
  registerName_.clear();
  comment_.clear();
  keptTitleMatch_.reset();
  UpdateControls();
}

void TEPOutMessage::UpdateControls() {
  if (!IsTitleMode(titleMode_)) titleMode_ = kMatchTitleExact;
}

void TEPOutMessage::LoadAction(const TTransAction* action) {
  const auto* message = dynamic_cast<const TTransMessageAction*>(action);
  if (message == nullptr) {
    Clear();
    return;
  }
  const TTargetWindow& target = message->TargetWindow();
  className_ = target.WindowClass();
  byClass_ = !className_.empty();
  title_ = target.Title();
  byTitle_ = !title_.empty() && target.MatchMode() != kMatchClassOnly;
  titleMode_ = IsTitleMode(target.MatchMode()) && target.MatchMode() != kMatchTitleExact
                   ? target.MatchMode()
                   : static_cast<uint8_t>(kMatchTitleExact);
  numerical_ = message->RegisteredMessage().empty();
  registerName_ = message->RegisteredMessage();
  ShowNumberOrVariable(number_, message->Message());
  ShowNumberOrVariable(wParam_, message->WParam());
  ShowNumberOrVariable(lParam_, message->LParam());
  comment_ = message->Comment();
  keptTitleMatch_ = TKeptTitleMatch{target.MatchMode(), target.Title()};
  UpdateControls();
}

std::unique_ptr<TTransMessageAction> TEPOutMessage::BuildAction() {
  auto action = std::make_unique<TTransMessageAction>(false);
  TTargetWindow& target = action->TargetWindow();
  target.SetWindowClass(byClass_ ? className_ : std::string());
  if (keptTitleMatch_ && keptTitleMatch_->title == title_) {
    target.SetTitle(title_);
    target.SetMatchMode(keptTitleMatch_->mode);
  } else if (byTitle_) {
    target.SetTitle(title_);
    target.SetMatchMode(IsTitleMode(titleMode_) ? titleMode_ : static_cast<uint8_t>(kMatchTitleExact));
  } else {
    target.SetMatchMode(kMatchClassOnly);
  }
  if (numerical_) {
    action->SetMessage(ParseOrThrow(number_, "Illegal Message by number!"));
  } else {
    if (registerName_.size() < kMinRegisteredName) {
      throw Exception("Illegal string for Message by Register (at least 5 characters)!");
    }
    action->SetRegisteredMessage(registerName_);
    number_.itemIndex = -1;
    number_.text = "0x" + IntToHexFixed(static_cast<uint32_t>(action->Message().value), 8, 0);
  }
  action->SetWParam(ParseOrThrow(wParam_, "Illegal value for WParam!"));
  action->SetLParam(ParseOrThrow(lParam_, "Illegal value for LPram!"));
  action->SetComment(comment_);
  if (!byClass_ && !byTitle_) {
    throw Exception("Please specify how to identify the window either by title or by class name");
  }
  return action;
}

TEPOutMessage::TCheckResult TEPOutMessage::Test(TGlobalTranslateParams* params) {
  try {
    std::unique_ptr<TTransMessageAction> action = BuildAction();
    if (!action->TargetWindow().Locate()) return {true, "Target Window not found!"};
    if (!RunActionNow(*action, params)) {
      return {true, "Error sending message! Use the log to find out more."};
    }
    return {false, {}};
  } catch (const std::exception& e) {
    return {true, e.what()};
  }
}

TEPOutMessage::TCheckResult TEPOutMessage::Verify() {
  try {
    if (!BuildAction()->TargetWindow().Locate()) return {true, "Target Window not found!"};
    return {false, "All parameters are OK"};
  } catch (const std::exception& e) {
    return {true, e.what()};
  }
}

std::string TEPOutMessage::GetActionText() {
  return BuildAction()->SaveToText();
}

void TEPOutMessage::SetMatchByClass(bool checked) {
  byClass_ = checked;
  UpdateControls();
  Changed();
}

void TEPOutMessage::SetMatchByTitle(bool checked) {
  byTitle_ = checked;
  keptTitleMatch_.reset();
  UpdateControls();
  Changed();
}

void TEPOutMessage::SetTitleMode(uint8_t mode) {
  titleMode_ = mode;
  keptTitleMatch_.reset();
  UpdateControls();
  Changed();
}

void TEPOutMessage::SetNumerical(bool numerical) {
  numerical_ = numerical;
  UpdateControls();
  Changed();
}

}  // namespace kv
