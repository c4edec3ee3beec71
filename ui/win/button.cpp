#include "ui/button.h"

#include "ui/action.h"
#include "ui/form.h"

namespace kv::ui {
namespace {
TCreateParams ButtonParams(TWindow& parent, const std::string& caption, const TRect& bounds, int id,
                           DWORD style) {
  TCreateParams p;
  p.className = L"BUTTON";
  p.caption = caption;
  p.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style;
  p.bounds = bounds;
  p.parent = parent.Handle();
  p.id = id;
  return p;
}
}  // namespace

TButton::TButton(TWindow& parent, const std::string& caption, const TRect& bounds, int id) {
  Create(parent, caption, bounds, id);
}

TButton::~TButton() {
  SetAction(nullptr);
}

void TButton::Create(TWindow& parent, const std::string& caption, const TRect& bounds, int id) {
  CreateHandle(ButtonParams(parent, caption, bounds, id, WS_TABSTOP | BS_PUSHBUTTON));
}

void TButton::SetDefault(bool isDefault) {
  Perform(BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::SetAction(TAction* action) {
  if (action_) action_->RemoveClient(actionClient_);
  action_ = action;
  actionClient_ = 0;
  if (action_) {
    actionClient_ = action_->AddClient([this] { ActionChanged(); });
    ActionChanged();
  }
}

void TButton::ActionChanged() {
  SetText(action_->Caption());
  SetEnabled(action_->Enabled());
  SetVisible(action_->Visible());
  SetHint(action_->Hint());
}

void TButton::Click() {
  OnClick();
  if (action_) action_->Execute();
  if (modalResult_ != mrNone) {
    if (TForm* form = FindParentForm(*this)) form->SetModalResult(modalResult_);
  }
}

bool TButton::CommandNotify(WORD code, WORD) {
  if (code != BN_CLICKED) return false;
  // A click message sent to a disabled button (BM_CLICK) must not answer for the user.
  if (Enabled()) Click();
  return true;
}

TCheckBox::TCheckBox(TWindow& parent, const std::string& caption, const TRect& bounds, int id) {
  Create(parent, caption, bounds, id);
}

void TCheckBox::Create(TWindow& parent, const std::string& caption, const TRect& bounds, int id) {
  CreateHandle(ButtonParams(parent, caption, bounds, id, WS_TABSTOP | BS_AUTOCHECKBOX));
}

bool TCheckBox::Checked() const {
  return Perform(BM_GETCHECK) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked) {
  Perform(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool TCheckBox::CommandNotify(WORD code, WORD) {
  if (code != BN_CLICKED) return false;
  OnClick();
  return true;
}

TRadioButton::TRadioButton(TWindow& parent, const std::string& caption, const TRect& bounds,
                           bool firstOfGroup, int id) {
  Create(parent, caption, bounds, firstOfGroup, id);
}

void TRadioButton::Create(TWindow& parent, const std::string& caption, const TRect& bounds,
                          bool firstOfGroup, int id) {
  DWORD style = BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP | WS_TABSTOP : 0);
  CreateHandle(ButtonParams(parent, caption, bounds, id, style));
}

TGroupBox::TGroupBox(TWindow& parent, const std::string& caption, const TRect& bounds) {
  Create(parent, caption, bounds);
}

void TGroupBox::Create(TWindow& parent, const std::string& caption, const TRect& bounds) {
  CreateHandle(ButtonParams(parent, caption, bounds, 0, BS_GROUPBOX));
}

}  // namespace kv::ui
