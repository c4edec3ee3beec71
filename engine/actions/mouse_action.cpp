#include "engine/actions/mouse_action.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/exception.h"
#include "base/text.h"
#include "base/text_helpers.h"
#include "engine/action_registry.h"
#include "engine/format.h"
#include "engine/system/mouse_system.h"
#include "engine/translate_params.h"

namespace kv {

namespace {

constexpr const char* kCorruptMouseEvent = "corrupt mouse event";
constexpr size_t kTagLength = 4;
constexpr size_t kHeaderLength = 6;  // tag and type

[[noreturn]] void Corrupt() {
  throw Exception(kCorruptMouseEvent);
}

bool FitsInt16(const TNumberOrVariable& field) {
  return !field.IsVariable() && field.value >= std::numeric_limits<int16_t>::min() &&
         field.value <= std::numeric_limits<int16_t>::max();
}

// Mse1 stores buttons as 0 left, 1 middle, 2 right.
int32_t ButtonToMse1Code(int32_t button) {
  return button == kButtonRight ? 2 : button == kButtonMiddle ? 1 : 0;
}
int32_t Mse1CodeToButton(int32_t code) {
  return code == 2 ? kButtonRight : code == 1 ? kButtonMiddle : kButtonLeft;
}

// The 4 hexadecimal digits at the 1-based position as a signed 16-bit value.
int32_t ReadInt16At(std::string_view text, size_t position) {
  const int32_t raw = HexToIntAt(text, position, 4);
  if (raw < 0) Corrupt();
  return static_cast<int16_t>(static_cast<uint16_t>(raw));
}

std::string Hex16(int32_t value) {
  return IntToHex(static_cast<uint32_t>(value) & 0xFFFF, 4);
}

// A value at the 1-based position; throws when nothing is there.
size_t ReadValueAt(std::string_view text, size_t position, TNumberOrVariable& field) {
  if (position > text.size()) Corrupt();
  const size_t used = ParseNumberOrVariableAt(text, position, field);
  if (used == 0) Corrupt();
  return used;
}

struct TDownUpFlags {
  uint32_t down;
  uint32_t up;
  int32_t data;
};

TDownUpFlags ButtonFlags(int32_t button) {
  switch (button) {
    case kButtonLeft:
      return {kMouseLeftDown, kMouseLeftUp, 0};
    case kButtonRight:
      return {kMouseRightDown, kMouseRightUp, 0};
    case kButtonMiddle:
      return {kMouseMiddleDown, kMouseMiddleUp, 0};
    default:
      return {kMouseXDown, kMouseXUp, static_cast<int32_t>(1u << ((button - 3) & 31))};
  }
}

}  // namespace

std::string MouseButtonName(int32_t button) {
  switch (button) {
    case kButtonLeft:
      return "Left";
    case kButtonRight:
      return "Right";
    case kButtonMiddle:
      return "Middle";
    default:
      return "Button " + IntToStr(static_cast<int64_t>(button) + 1);
  }
}

int32_t MouseAbsoluteCoordinate(int32_t pixels, int32_t size) {
  if (size <= 0) return 0;
  const double scaled = std::nearbyint(static_cast<double>(pixels) / size * 65535.0);
  return static_cast<int32_t>(std::clamp(scaled, 0.0, 65535.0));
}

void TTransMouseAction::Assign(const TTransAction& source) {
  const auto* other = dynamic_cast<const TTransMouseAction*>(&source);
  if (other == nullptr || other == this) return;
  type_ = other->type_;
  x_ = other->x_;
  y_ = other->y_;
  wheel_ = other->wheel_;
  button_ = other->button_;
}

std::unique_ptr<TTransAction> TTransMouseAction::Clone() const {
  auto copy = std::make_unique<TTransMouseAction>(IsIncoming());
  copy->Assign(*this);
  return copy;
}

bool TTransMouseAction::NeedsMse2() const {
  switch (type_) {
    case kMouseMoveBy:
    case kMouseMoveTo:
      // The old form keeps 16 bits: a larger number would come back as another one.
      return !FitsInt16(x_) || !FitsInt16(y_);
    case kMouseClick:
    case kMouseButtonDown:
    case kMouseButtonUp:
      return button_ < 0 || button_ > kButtonMiddle;
    case kMouseWheelTurn:
      return wheel_.IsVariable() || (wheel_.value != 10 && wheel_.value != -10);
    default:
      return true;
  }
}

std::string TTransMouseAction::SaveToText() const {
  const std::string type = IntToHex(type_, 2);
  if (!NeedsMse2()) {
    std::string text = "Mse1" + type;
    switch (type_) {
      case kMouseMoveBy:
      case kMouseMoveTo:
        return text + Hex16(x_.value) + Hex16(y_.value);
      case kMouseWheelTurn:
        return text + Hex16(wheel_.value * kWheelUnitsPerTenth);
      default:
        return text + IntToHex(static_cast<uint32_t>(ButtonToMse1Code(button_)), 2);
    }
  }
  std::string text = "Mse2" + type;
  switch (type_) {
    case kMouseMoveBy:
    case kMouseMoveTo:
      return text + NumberOrVariableToText(x_) + ":" + NumberOrVariableToText(y_);
    case kMouseClick:
    case kMouseButtonDown:
    case kMouseButtonUp:
      return text + IntToHex(static_cast<uint32_t>(std::clamp(button_, 0, kMaxButton)), 2);
    default:
      return text + NumberOrVariableToText(wheel_);
  }
}

size_t TTransMouseAction::LoadFromText(std::string_view text) {
  // The shortest valid text is a tag, a type and a one-digit wheel value ("Mse2065").
  if (text.size() < kHeaderLength + 1) Corrupt();
  const std::string_view tag = text.substr(0, kTagLength);
  const bool mse1 = tag == "Mse1";
  if (!mse1 && tag != "Mse2") Corrupt();
  const int32_t type = HexToIntAt(text, 5, 2);
  if (type < 0 || type > (mse1 ? kMouseWheelTurn : kMouseHWheelTurn)) Corrupt();

  TNumberOrVariable x = x_, y = y_, wheel = wheel_;
  int32_t button = button_;
  size_t used = kHeaderLength;
  if (mse1) {
    switch (type) {
      case kMouseMoveBy:
      case kMouseMoveTo:
        x = TNumberOrVariable::Number(ReadInt16At(text, 7));
        y = TNumberOrVariable::Number(ReadInt16At(text, 11));
        used = 14;
        break;
      case kMouseWheelTurn:
        wheel = TNumberOrVariable::Number(ReadInt16At(text, 7) / kWheelUnitsPerTenth);
        used = 10;
        break;
      default: {
        const int32_t code = HexToIntAt(text, 7, 2);
        if (code < 0 || code > 2) Corrupt();
        button = Mse1CodeToButton(code);
        used = 8;
        break;
      }
    }
  } else {
    switch (type) {
      case kMouseMoveBy:
      case kMouseMoveTo: {
        const size_t xLength = ReadValueAt(text, 7, x);
        const size_t colon = 7 + xLength;  // 1-based
        if (colon > text.size() || text[colon - 1] != ':') Corrupt();
        const size_t yLength = ReadValueAt(text, colon + 1, y);
        used = 7 + xLength + yLength;
        break;
      }
      case kMouseClick:
      case kMouseButtonDown:
      case kMouseButtonUp: {
        const int32_t code = HexToIntAt(text, 7, 2);
        if (code < 0 || code > kMaxButton) Corrupt();
        button = code;
        used = 8;
        break;
      }
      default:
        used = kHeaderLength + ReadValueAt(text, 7, wheel);
        break;
    }
  }
  type_ = static_cast<uint8_t>(type);
  x_ = x;
  y_ = y;
  wheel_ = wheel;
  button_ = button;
  return used;
}

namespace {

// A value for a description: with a context a variable's current value, else its name.
struct TShownValue {
  bool byName;
  int32_t value;
  std::string name;
};

TShownValue Show(const TNumberOrVariable& field, const TExecutionContext* context) {
  if (field.IsVariable() && context == nullptr) return {true, 0, NumberOrVariableToText(field)};
  const int32_t value =
      context != nullptr ? EvaluateNumberOrVariable(field, *context) : field.value;
  return {false, value, {}};
}

std::string Directional(const TShownValue& v, const char* variableFormat,
                        const char* negativeFormat, const char* positiveFormat) {
  if (v.byName) return FormatText(variableFormat, {v.name});
  if (v.value < 0) return FormatText(negativeFormat, {v.value});
  if (v.value > 0) return FormatText(positiveFormat, {v.value});
  return {};
}

}  // namespace

std::string TTransMouseAction::Describe(const TExecutionContext* context) const {
  switch (type_) {
    case kMouseMoveBy: {
      const TShownValue x = Show(x_, context);
      const TShownValue y = Show(y_, context);
      std::string horizontal = Directional(x, "%s horizontal", "%d (left)", "%d (right)");
      if (!horizontal.empty() && !y.byName && y.value != 0) horizontal += ", ";
      const std::string vertical = Directional(y, "%s vertical", "%d (up)", "%d (down)");
      return FormatText("Mouse move %s %s", {horizontal, vertical});
    }
    case kMouseMoveTo: {
      const std::string x =
          context != nullptr ? NumberOrVariableToText(x_, *context) : NumberOrVariableToText(x_);
      const std::string y =
          context != nullptr ? NumberOrVariableToText(y_, *context) : NumberOrVariableToText(y_);
      return FormatText("Mouse move to X=%s Y=%s", {x, y});
    }
    case kMouseClick:
      return FormatText("%s mouse button click", {MouseButtonName(button_)});
    case kMouseButtonDown:
      return FormatText("%s mouse button down", {MouseButtonName(button_)});
    case kMouseButtonUp:
      return FormatText("%s mouse button up", {MouseButtonName(button_)});
    case kMouseWheelTurn:
    case kMouseHWheelTurn: {
      const bool vertical = type_ == kMouseWheelTurn;
      const TShownValue w = Show(wheel_, context);
      if (w.byName)
        return FormatText(vertical ? "mouse wheel: %s ticks" : "mouse wheel 2: %s ticks", {w.name});
      if (w.value < 0)
        return FormatText(
            vertical ? "mouse wheel: %d ticks (backward)" : "mouse wheel 2: %d ticks (left)",
            {w.value});
      if (w.value > 0)
        return FormatText(
            vertical ? "mouse wheel: %d ticks (forward)" : "mouse wheel 2: %d ticks (right)",
            {w.value});
      return "(no wheel movement)";
    }
    default:
      return {};
  }
}

std::string TTransMouseAction::GetDescription() const {
  return Describe(nullptr);
}

void TTransMouseAction::SendMouseEvent(const TExecutionContext& context) const {
  IMouseSystem& mouse = GetMouseSystem();
  switch (type_) {
    case kMouseMoveBy:
      mouse.SendMouse(kMouseMove, EvaluateNumberOrVariable(x_, context),
                      EvaluateNumberOrVariable(y_, context), 0);
      break;
    case kMouseMoveTo: {
      int32_t width = 0, height = 0;
      mouse.GetScreenSize(width, height);
      mouse.SendMouse(kMouseMove | kMouseAbsolute,
                      MouseAbsoluteCoordinate(EvaluateNumberOrVariable(x_, context), width),
                      MouseAbsoluteCoordinate(EvaluateNumberOrVariable(y_, context), height), 0);
      break;
    }
    case kMouseClick:
    case kMouseButtonDown:
    case kMouseButtonUp: {
      const TDownUpFlags flags = ButtonFlags(button_);
      if (type_ != kMouseButtonUp) mouse.SendMouse(flags.down, 0, 0, flags.data);
      if (type_ != kMouseButtonDown) mouse.SendMouse(flags.up, 0, 0, flags.data);
      break;
    }
    case kMouseWheelTurn:
    case kMouseHWheelTurn: {
      const int64_t amount =
          static_cast<int64_t>(EvaluateNumberOrVariable(wheel_, context)) * kWheelUnitsPerTenth;
      mouse.SendMouse(
          type_ == kMouseWheelTurn ? kMouseWheel : kMouseHWheel, 0, 0,
          static_cast<int32_t>(std::clamp<int64_t>(amount, std::numeric_limits<int32_t>::min(),
                                                   std::numeric_limits<int32_t>::max())));
      break;
    }
    default:
      break;
  }
}

bool TTransMouseAction::ExecuteOutgoing(TExecutionContext& context) {
  SendMouseEvent(context);
  if (context.params != nullptr && context.params->IsLogging())
    context.params->LogOutgoing(Describe(&context), context);
  return true;
}

void RegisterMouseActions() {
  RegisterTransActionClass<TTransMouseAction>("Mse1");
  RegisterTransActionClass<TTransMouseAction>("Mse2");
}

}  // namespace kv
