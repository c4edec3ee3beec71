#pragma once
// The mouse action panel: a relative move, a move to a position, a button click, press or
// release, or a wheel turn; every number may be a variable.
#include <optional>
#include <string>

#include "editor/panels/edit_panel.h"
#include "editor/value_fields.h"
#include "engine/actions/mouse_action.h"

namespace kv {

class TEPOutMouse : public TEditPanel {
 public:
  enum TKind { kMovement, kClicks, kPosition, kWheel };
  // Button radio order: Left, Middle, Right, Button 4, 5, 6.
  enum TButtonChoice { kLeft, kMiddle, kRight, kButton4, kButton5, kButton6 };

  TEPOutMouse();

  void Clear() override;
  void Activate() override;
  void LoadAction(const TTransAction* action) override;
  std::string GetActionText() override;

  TKind Kind() const { return kind_; }
  void SetKind(TKind kind);
  TButtonChoice Button() const { return button_; }
  void SetButton(TButtonChoice button);
  bool OnlyDown() const { return onlyDown_; }
  bool OnlyUp() const { return onlyUp_; }
  // Checking one of the two boxes unchecks the other.
  void SetOnlyDown(bool checked);
  void SetOnlyUp(bool checked);
  bool SecondWheel() const { return secondWheel_; }
  void SetSecondWheel(bool second);
  TComboModel& MoveX() { return moveX_; }
  TComboModel& MoveY() { return moveY_; }
  TComboModel& PosX() { return posX_; }
  TComboModel& PosY() { return posY_; }
  TComboModel& WheelDelta() { return wheelDelta_; }
  void FieldChanged() { Changed(); }

 private:
  TKind kind_ = kMovement;
  TButtonChoice button_ = kLeft;
  bool onlyDown_ = false;
  bool onlyUp_ = false;
  bool secondWheel_ = false;
  TComboModel moveX_, moveY_, posX_, posY_, wheelDelta_;
  // A loaded button code no radio shows (an extra button past the sixth): built as loaded
  // until the user picks a button or another kind.
  std::optional<int32_t> keptButton_;
};

}  // namespace kv
