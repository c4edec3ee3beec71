#include "engine/actions/mouse_action.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "engine/system/mouse_system.h"

namespace kv {
namespace {

class MouseActionTest : public ::testing::Test {
 protected:
  using Action = std::unique_ptr<TTransMouseAction>;
  static Action Make(uint8_t type, TNumberOrVariable x = {}, TNumberOrVariable y = {},
                     TNumberOrVariable wheel = {}, int32_t button = 0) {
    auto action = std::make_unique<TTransMouseAction>(false);
    action->SetType(type);
    action->SetX(x);
    action->SetY(y);
    action->SetWheel(wheel);
    action->SetButton(button);
    return action;
  }
  static Action Reload(const Action& action) {
    auto back = std::make_unique<TTransMouseAction>(false);
    EXPECT_EQ(back->LoadFromText(action->SaveToText()), action->SaveToText().size());
    return back;
  }
  static std::string Error(std::string_view text) {
    TTransMouseAction action(false);
    try {
      action.LoadFromText(text);
    } catch (const Exception& e) {
      return e.Message();
    }
    return "(no error)";
  }
  std::vector<std::string> Run(const Action& action) {
    recorder.ClearRecord();
    EXPECT_TRUE(action->ExecuteOutgoing(context));
    return recorder.Lines();
  }

  TMouseRecorder recorder;
  TScopedMouseSystem scope{recorder};
  TLocalVariables locals{};
  TExecutionContext context{nullptr, 0, nullptr, 0, nullptr, &locals};
  static TNumberOrVariable N(int32_t n) { return TNumberOrVariable::Number(n); }
  static TNumberOrVariable V(int index) { return TNumberOrVariable::Variable(index); }
};

TEST_F(MouseActionTest, MovesUseTheOldFormWhenTheyFit) {
  const auto left = Make(kMouseMoveBy, N(-5), N(0));
  EXPECT_EQ(left->SaveToText(), "Mse100FFFB0000");
  EXPECT_EQ(left->GetDescription(), "Mouse move -5 (left) ");
  EXPECT_EQ(Reload(left)->X().value, -5);

  const auto diagonal = Make(kMouseMoveBy, N(3), N(-2));
  EXPECT_EQ(diagonal->GetDescription(), "Mouse move 3 (right),  -2 (up)");
  EXPECT_EQ(Make(kMouseMoveBy, N(0), N(7))->GetDescription(), "Mouse move  7 (down)");

  const auto toVariable = Make(kMouseMoveTo, V(0), N(100));
  EXPECT_EQ(toVariable->SaveToText(), "Mse201oo:100");
  EXPECT_EQ(toVariable->GetDescription(), "Mouse move to X=oo Y=100");
  EXPECT_EQ(Reload(toVariable)->X(), V(0));
  EXPECT_EQ(Make(kMouseMoveBy, V(10), V(1))->GetDescription(),
            "Mouse move ga horizontal pp vertical");
}

TEST_F(MouseActionTest, LargeCoordinatesKeepTheirValue) {
  const auto far = Make(kMouseMoveTo, N(70000), N(-40000));
  EXPECT_EQ(far->SaveToText(), "Mse20170000:-40000");
  auto back = Reload(far);
  EXPECT_EQ(back->X().value, 70000);
  EXPECT_EQ(back->Y().value, -40000);
  EXPECT_EQ(Make(kMouseMoveBy, N(32767), N(-32768))->SaveToText(), "Mse1007FFF8000");
}

TEST_F(MouseActionTest, ButtonsAndWheels) {
  const auto right = Make(kMouseClick, {}, {}, {}, kButtonRight);
  EXPECT_EQ(right->SaveToText(), "Mse10202");
  EXPECT_EQ(Reload(right)->Button(), kButtonRight);
  EXPECT_EQ(right->GetDescription(), "Right mouse button click");
  EXPECT_EQ(Make(kMouseButtonDown, {}, {}, {}, kButtonMiddle)->SaveToText(), "Mse10301");
  const auto fourth = Make(kMouseButtonDown, {}, {}, {}, 3);
  EXPECT_EQ(fourth->SaveToText(), "Mse20303");
  EXPECT_EQ(fourth->GetDescription(), "Button 4 mouse button down");

  EXPECT_EQ(Make(kMouseWheelTurn, {}, {}, N(10))->SaveToText(), "Mse1050078");
  EXPECT_EQ(Reload(Make(kMouseWheelTurn, {}, {}, N(-10)))->Wheel().value, -10);
  EXPECT_EQ(Make(kMouseWheelTurn, {}, {}, N(20))->SaveToText(), "Mse20520");
  EXPECT_EQ(Make(kMouseWheelTurn, {}, {}, N(-20))->GetDescription(),
            "mouse wheel: -20 ticks (backward)");
  EXPECT_EQ(Make(kMouseHWheelTurn, {}, {}, V(2))->GetDescription(), "mouse wheel 2: qq ticks");
  EXPECT_EQ(Make(kMouseHWheelTurn, {}, {}, N(0))->GetDescription(), "(no wheel movement)");
}

TEST_F(MouseActionTest, OneDigitWheelsReload) {
  const auto h = Make(kMouseHWheelTurn, {}, {}, N(5));
  EXPECT_EQ(h->SaveToText(), "Mse2065");
  EXPECT_EQ(Reload(h)->Wheel().value, 5);
  EXPECT_EQ(Reload(Make(kMouseWheelTurn, {}, {}, N(3)))->Wheel().value, 3);
}

TEST_F(MouseActionTest, CorruptTexts) {
  const char* corrupt = "corrupt mouse event";
  EXPECT_EQ(Error("Mse10"), corrupt);
  EXPECT_EQ(Error("mse10202"), corrupt);
  EXPECT_EQ(Error("Mse10602"), corrupt);  // Mse1 has no horizontal wheel
  EXPECT_EQ(Error("Mse20702"), corrupt);
  EXPECT_EQ(Error("Mse10203"), corrupt);
  EXPECT_EQ(Error("Mse20210"), corrupt);
  EXPECT_EQ(Error("Mse100FFFB00"), corrupt);  // too short for Y
  EXPECT_EQ(Error("Mse100FFFBZZZZ"), corrupt);
  EXPECT_EQ(Error("Mse20112"), corrupt);  // no colon
  EXPECT_EQ(Error("Mse2011:"), corrupt);  // nothing after it
  EXPECT_EQ(Error("Mse205::"), corrupt);
}

TEST_F(MouseActionTest, SendsTheEvents) {
  locals[0] = 7;
  EXPECT_EQ(Run(Make(kMouseMoveBy, V(0), N(-3))), (std::vector<std::string>{"mouse move 7 -3"}));
  recorder.screenWidth = 1000;
  recorder.screenHeight = 500;
  EXPECT_EQ(Run(Make(kMouseMoveTo, N(1000), N(500))),
            (std::vector<std::string>{"mouse moveto 65535 65535"}));
  EXPECT_EQ(Run(Make(kMouseMoveTo, N(500), N(-20))),
            (std::vector<std::string>{"mouse moveto 32768 0"}));
  EXPECT_EQ(Run(Make(kMouseClick, {}, {}, {}, kButtonMiddle)),
            (std::vector<std::string>{"mouse middledown", "mouse middleup"}));
  EXPECT_EQ(Run(Make(kMouseButtonDown, {}, {}, {}, 3)),
            (std::vector<std::string>{"mouse xdown 1"}));
  EXPECT_EQ(Run(Make(kMouseButtonUp, {}, {}, {}, 4)), (std::vector<std::string>{"mouse xup 2"}));
  EXPECT_EQ(Run(Make(kMouseWheelTurn, {}, {}, N(-10))),
            (std::vector<std::string>{"mouse wheel -120"}));
  EXPECT_EQ(Run(Make(kMouseHWheelTurn, {}, {}, N(5))),
            (std::vector<std::string>{"mouse hwheel 60"}));
}

TEST_F(MouseActionTest, AbsoluteCoordinatesRoundToEven) {
  EXPECT_EQ(MouseAbsoluteCoordinate(1, 2), 32768);   // 32767.5 rounds to even
  EXPECT_EQ(MouseAbsoluteCoordinate(3, 10), 19660);  // 19660.5
  EXPECT_EQ(MouseAbsoluteCoordinate(5000, 10), 65535);
  EXPECT_EQ(MouseAbsoluteCoordinate(5, 0), 0);
}

TEST_F(MouseActionTest, CopiesKeepEveryField) {
  auto source = Make(kMouseHWheelTurn, N(1), N(2), V(11), 4);
  auto copy = source->Clone();
  EXPECT_EQ(copy->SaveToText(), source->SaveToText());
  auto* mouse = dynamic_cast<TTransMouseAction*>(copy.get());
  ASSERT_NE(mouse, nullptr);
  EXPECT_EQ(mouse->Button(), 4);
  EXPECT_EQ(mouse->X().value, 1);
}

}  // namespace
}  // namespace kv
