#include "editor/panels/mouse_panel.h"

#include <string>
#include <utility>

namespace kv {
namespace {

// Button codes of the action by radio order.
constexpr int32_t kButtonCodes[] = {kButtonLeft, kButtonMiddle, kButtonRight, 3, 4, 5};

void SetText(TComboModel& combo, std::string text) {
  combo.itemIndex = -1;
  combo.text = std::move(text);
}

// A field that does not parse keeps the action's default.
void ReadField(const TComboModel& combo, TNumberOrVariable& field) {
  ParseNumberOrVariable(combo, field);
}

}  // namespace

TEPOutMouse::TEPOutMouse() : TEditPanel("Mouse", false, kActionMouse) {
  Clear();
}

void TEPOutMouse::Clear() {
  for (TComboModel* combo : {&moveX_, &moveY_, &posX_, &posY_}) SetText(*combo, "0");
  SetText(wheelDelta_, "10");
  keptButton_.reset();
}

void TEPOutMouse::Activate() {
  OfferVariableNames({&moveX_, &moveY_, &posX_, &posY_, &wheelDelta_});
}

void TEPOutMouse::LoadAction(const TTransAction* action) {
  const auto* mouse = dynamic_cast<const TTransMouseAction*>(action);
  if (mouse == nullptr) {
    Clear();
    return;
  }
  switch (mouse->Type()) {
    case kMouseMoveBy:
      kind_ = kMovement;
      break;
    case kMouseMoveTo:
      kind_ = kPosition;
      break;
    case kMouseClick:
    case kMouseButtonDown:
    case kMouseButtonUp:
      kind_ = kClicks;
      break;
    default:
      kind_ = kWheel;
      break;
  }
  onlyDown_ = mouse->Type() == kMouseButtonDown;
  onlyUp_ = mouse->Type() == kMouseButtonUp;
  ShowNumberOrVariable(posX_, mouse->X());
  ShowNumberOrVariable(moveX_, mouse->X());
  ShowNumberOrVariable(posY_, mouse->Y());
  ShowNumberOrVariable(moveY_, mouse->Y());
  button_ = kLeft;
  keptButton_ = mouse->Button();
  for (int i = 0; i < 6; ++i) {
    if (kButtonCodes[i] == mouse->Button()) {
      button_ = static_cast<TButtonChoice>(i);
      keptButton_.reset();
    }
  }
  secondWheel_ = mouse->Type() == kMouseHWheelTurn;
  ShowNumberOrVariable(wheelDelta_, mouse->Wheel());
}

std::string TEPOutMouse::GetActionText() {
  TTransMouseAction action(false);
  TNumberOrVariable x = action.X();
  TNumberOrVariable y = action.Y();
  TNumberOrVariable wheel = action.Wheel();
  switch (kind_) {
    case kMovement:
      action.SetType(kMouseMoveBy);
      ReadField(moveX_, x);
      ReadField(moveY_, y);
      break;
    case kPosition:
      action.SetType(kMouseMoveTo);
      ReadField(posX_, x);
      ReadField(posY_, y);
      break;
    case kClicks:
      action.SetType(onlyDown_ ? kMouseButtonDown : onlyUp_ ? kMouseButtonUp : kMouseClick);
      action.SetButton(keptButton_.value_or(kButtonCodes[button_]));
      break;
    case kWheel:
      action.SetType(secondWheel_ ? kMouseHWheelTurn : kMouseWheelTurn);
      ReadField(wheelDelta_, wheel);
      break;
  }
  action.SetX(x);
  action.SetY(y);
  action.SetWheel(wheel);
  return action.SaveToText();
}

void TEPOutMouse::SetKind(TKind kind) {
  if (kind != kind_) keptButton_.reset();
  kind_ = kind;
  Changed();
}

void TEPOutMouse::SetButton(TButtonChoice button) {
  button_ = button;
  keptButton_.reset();
  Changed();
}

void TEPOutMouse::SetOnlyDown(bool checked) {
  onlyDown_ = checked;
  if (checked) onlyUp_ = false;
  Changed();
}

void TEPOutMouse::SetOnlyUp(bool checked) {
  onlyUp_ = checked;
  if (checked) onlyDown_ = false;
  Changed();
}

void TEPOutMouse::SetSecondWheel(bool second) {
  secondWheel_ = second;
  Changed();
}

}  // namespace kv
