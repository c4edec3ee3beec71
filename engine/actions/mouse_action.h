#pragma once
// TTransMouseAction: the mouse kind (id 3, tags "Mse1" and "Mse2", outgoing only, execution
// level 1): relative and absolute moves, button clicks, presses and releases, and turns of
// the vertical and horizontal wheel. Coordinates and wheel amounts may be variables, read
// when the action runs. Input goes through the mouse seam (engine/mouse_system.h).
#include <cstdint>
#include <memory>
#include <string>

#include "engine/action.h"

namespace kv {

enum TMouseActionType : uint8_t {
  kMouseMoveBy = 0,
  kMouseMoveTo = 1,
  kMouseClick = 2,
  kMouseButtonDown = 3,
  kMouseButtonUp = 4,
  kMouseWheelTurn = 5,
  kMouseHWheelTurn = 6,
};

enum TMouseButton : int32_t { kButtonLeft = 0, kButtonRight = 1, kButtonMiddle = 2 };

class TTransMouseAction : public TTransAction {
 public:
  static constexpr int kMaxButton = 15;
  // One wheel notch is 10 tenths of 120 units.
  static constexpr int kWheelUnitsPerTenth = 12;

  explicit TTransMouseAction(bool incoming) : TTransAction(incoming) {}

  void Assign(const TTransAction& source) override;
  std::unique_ptr<TTransAction> Clone() const override;
  // "Mse1" when the old form can hold the action, else "Mse2".
  std::string SaveToText() const override;
  // Throws kv::Exception "corrupt mouse event".
  size_t LoadFromText(std::string_view text) override;
  std::string GetDescription() const override;
  std::string GetShortDescription() const override { return GetDescription(); }
  // Sends the event and, with logging on, logs the description with the values used; true.
  bool ExecuteOutgoing(TExecutionContext& context) override;
  int GetActionType() const override { return kActionMouse; }
  int GetExecutionLevel() const override { return kLevelNotCallback; }
  int GetDirections() const override { return kDirectionOutgoing; }

  // Variables shown with their values when a context is given, else by name.
  std::string Describe(const TExecutionContext* context) const;
  void SendMouseEvent(const TExecutionContext& context) const;

  uint8_t Type() const { return type_; }
  void SetType(uint8_t type) { type_ = type; }
  const TNumberOrVariable& X() const { return x_; }
  void SetX(const TNumberOrVariable& x) { x_ = x; }
  const TNumberOrVariable& Y() const { return y_; }
  void SetY(const TNumberOrVariable& y) { y_ = y; }
  const TNumberOrVariable& Wheel() const { return wheel_; }
  void SetWheel(const TNumberOrVariable& wheel) { wheel_ = wheel; }
  int32_t Button() const { return button_; }
  void SetButton(int32_t button) { button_ = button; }

 private:
  bool NeedsMse2() const;

  uint8_t type_ = kMouseMoveBy;
  TNumberOrVariable x_;
  TNumberOrVariable y_;
  TNumberOrVariable wheel_;  // tenths of a notch
  int32_t button_ = kButtonLeft;
};

// "Left", "Right", "Middle", else "Button " + (button + 1).
std::string MouseButtonName(int32_t button);
// X (or Y) in pixels as the 0..65535 of an absolute move over a screen of size pixels:
// rounded to nearest (ties to even), clamped.
int32_t MouseAbsoluteCoordinate(int32_t pixels, int32_t size);

// Registers "Mse1" and "Mse2".
void RegisterMouseActions();

}  // namespace kv
