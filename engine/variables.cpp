#include "engine/variables.h"

#include <limits>

#include "base/text.h"
#include "base/text_helpers.h"
#include "engine/event.h"
#include "engine/translate_params.h"

namespace kv {

namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int SecondCharValue(char c) {
  if (c >= 'a' && c <= 'z') return c - 'a';
  if (c >= '0' && c <= '9') return 26 + (c - '0');
  return -1;
}

bool IsDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

int32_t TGlobalVariables::Get(int index) const {
  if (index < kFirstGlobalVariable || index >= kVariableCount) return 0;
  return values_[index - kFirstGlobalVariable].load(std::memory_order_relaxed);
}

void TGlobalVariables::Set(int index, int32_t value) {
  if (index < kFirstGlobalVariable || index >= kVariableCount) return;
  values_[index - kFirstGlobalVariable].store(value, std::memory_order_relaxed);
}

void TGlobalVariables::Clear() {
  for (auto& v : values_) v.store(0, std::memory_order_relaxed);
}

int VariableIndexOf(std::string_view name) {
  if (name.size() != 2) return -1;
  const char a = LowerAscii(name[0]);
  const char b = LowerAscii(name[1]);
  if (a == b && a >= 'o' && a <= 'x') return a - 'o';
  if (a >= 'g' && a <= 'n') {
    const int second = SecondCharValue(b);
    if (second >= 0) return kFirstGlobalVariable + (a - 'g') * 36 + second;
  }
  return -1;
}

int VariableIndexAt(std::string_view text, size_t position) {
  if (position < 1 || position + 1 > text.size()) return -1;
  return VariableIndexOf(text.substr(position - 1, 2));
}

std::string VariableNameOf(int index) {
  if (IsLocalVariable(index)) return std::string(2, static_cast<char>('o' + index));
  if (index < kFirstGlobalVariable || index >= kVariableCount) return {};
  const int g = index - kFirstGlobalVariable;
  const int second = g % 36;
  std::string name(1, static_cast<char>('g' + g / 36));
  name += second < 26 ? static_cast<char>('a' + second) : static_cast<char>('0' + second - 26);
  return name;
}

void SetVariableValue(int index, int32_t value, TLocalVariables* locals,
                      TGlobalVariables* globals) {
  if (IsLocalVariable(index)) {
    if (locals) (*locals)[index] = value;
  } else if (globals) {
    globals->Set(index, value);
  }
}

int32_t GetVariableValue(int index, const TLocalVariables* locals,
                         const TGlobalVariables* globals) {
  if (IsLocalVariable(index)) return locals ? (*locals)[index] : 0;
  return globals ? globals->Get(index) : 0;
}

int32_t EvaluateNumberOrVariable(const TNumberOrVariable& field, const TLocalVariables* locals,
                                 const TGlobalVariables* globals) {
  switch (field.kind) {
    case TNumberOrVariable::kNumber:
      return field.value;
    case TNumberOrVariable::kVariable:
      return GetVariableValue(field.value, locals, globals);
    default:
      return 0;
  }
}

int32_t EvaluateNumberOrVariable(const TNumberOrVariable& field, const TExecutionContext& context) {
  return EvaluateNumberOrVariable(field, context.locals,
                                  context.params ? &context.params->Globals() : nullptr);
}

std::string NumberOrVariableToText(const TNumberOrVariable& field) {
  if (field.kind == TNumberOrVariable::kVariable) return VariableNameOf(field.value);
  return IntToStr(field.value);
}

std::string NumberOrVariableToText(const TNumberOrVariable& field,
                                   const TExecutionContext& context) {
  return IntToStr(EvaluateNumberOrVariable(field, context));
}

size_t ParseNumber(std::string_view text, size_t position, int32_t& value) {
  value = 0;
  if (position < 1 || position > text.size()) return 0;
  size_t i = position - 1;
  bool negative = false;
  bool signSeen = false;
  auto takeSign = [&]() {
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      negative = text[i] == '-';
      signSeen = true;
      ++i;
      return true;
    }
    return false;
  };
  takeSign();

  bool hex = false;
  bool zeroX = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && text[i + 1] == 'x') {
    hex = zeroX = true;
    i += 2;
  }
  if (hex && i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (signSeen) return 0;
    takeSign();
  }

  const size_t digitsStart = i;
  if (hex) {
    uint32_t acc = 0;
    while (i < text.size() && HexDigitValue(text[i]) >= 0) {
      acc = (acc << 4) | static_cast<uint32_t>(HexDigitValue(text[i]));
      ++i;
    }
    if (i == digitsStart) {
      // A bare "0x" is the number 0; anything else without digits is no number.
      if (zeroX && !signSeen) return 2;
      return 0;
    }
    int32_t v = static_cast<int32_t>(acc);
    if (negative && v >= 0) v = static_cast<int32_t>(0u - acc);
    value = v;
    return i - (position - 1);
  }

  // Decimal: the sign belongs to the number, so the whole signed 32-bit range reads back.
  int64_t acc = 0;
  bool overflow = false;
  while (i < text.size() && IsDecimalDigit(text[i])) {
    if (!overflow) {
      acc = acc * 10 + (text[i] - '0');
      if (acc > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) overflow = true;
    }
    ++i;
  }
  if (i == digitsStart) return 0;
  if (negative) acc = -acc;
  if (overflow || acc > std::numeric_limits<int32_t>::max() ||
      acc < std::numeric_limits<int32_t>::min()) {
    value = -1;
  } else {
    value = static_cast<int32_t>(acc);
  }
  return i - (position - 1);
}

size_t ParseNumberOrVariableAt(std::string_view text, size_t position, TNumberOrVariable& field) {
  const int index = VariableIndexAt(text, position);
  if (index >= 0) {
    field = TNumberOrVariable::Variable(index);
    return 2;
  }
  int32_t value = 0;
  const size_t used = ParseNumber(text, position, value);
  field = TNumberOrVariable::Number(value);
  return used;
}

void ClearLocalVariables(TLocalVariables& locals) {
  locals.fill(0);
}

}  // namespace kv

namespace kv {

namespace {

void Report(std::vector<std::string>* errors, std::string line) {
  if (errors) errors->push_back(std::move(line));
}

std::string HexText(int32_t value, bool upper) {
  static const char* kLower = "0123456789abcdef";
  static const char* kUpper = "0123456789ABCDEF";
  const char* digits = upper ? kUpper : kLower;
  uint32_t v = static_cast<uint32_t>(value);
  std::string out;
  do {
    out.insert(out.begin(), digits[v & 15]);
    v >>= 4;
  } while (v != 0);
  return out;
}

// Applies the width part of a format ("04x", "4X") to a produced text.
std::string ApplyWidth(const std::string& format, std::string produced,
                       std::vector<std::string>* errors) {
  size_t i = 0;
  size_t zeros = 0;
  while (i < format.size() && format[i] == '0') {
    ++zeros;
    ++i;
  }
  const size_t digitsStart = i;
  while (i < format.size() && IsDecimalDigit(format[i])) ++i;
  const size_t digits = i - digitsStart;
  if (zeros > 0 && digits == 0) {
    Report(errors, "Warning: malformed format: length 0 is ignored.");
    return produced;
  }
  if (i + 1 != format.size()) {
    Report(errors, "Unknown extra format specifiers: " + format);
    return produced;
  }
  if (digits == 0) return produced;
  const std::string widthText = format.substr(digitsStart, digits);
  const size_t width = widthText.size() > 4 ? 9999 : std::stoul(widthText);
  if (produced.size() < width) {
    produced.insert(0, width - produced.size(), zeros > 0 ? '0' : ' ');
  }
  return produced;
}

std::string FormatValue(const std::string& format, const std::string& name, int32_t value,
                        std::vector<std::string>* errors) {
  if (format.empty() || format == "d") return IntToStr(value);
  if (format == "c") {
    if (value < 1 || value > 255) {
      Report(errors, "ANSI value out of range: " + name + "=" + IntToStr(value) + ". Using ?.");
      return "?";
    }
    return std::string(1, static_cast<char>(static_cast<unsigned char>(value)));
  }
  std::string produced;
  switch (format.back()) {
    case 'x':
      produced = HexText(value, false);
      break;
    case 'X':
      produced = HexText(value, true);
      break;
    case 'd':
      produced = IntToStr(value);
      break;
    default:
      Report(errors, "Unknown format specifier: " + format);
      return {};
  }
  if (format.size() > 1) produced = ApplyWidth(format, std::move(produced), errors);
  return produced;
}

// One "%...%" section's inside: format and name words, then the formatted value.
std::string ExpandSection(std::string_view section, const TLocalVariables* locals,
                          const TGlobalVariables* globals, std::vector<std::string>* errors) {
  std::string format, name, word;
  bool haveFormat = false, haveName = false, error = false;
  for (char c : section) {
    if (static_cast<unsigned char>(c) < '!') {
      if (word.empty()) continue;
      if (!haveFormat) {
        format = word;
        haveFormat = true;
      } else if (!haveName) {
        name = word;
        haveName = true;
      }
      word.clear();
      continue;
    }
    if (haveFormat && haveName) error = true;
    word += c;
  }
  if (error) {
    Report(errors, "syntax error: \"" + word + "\"");
  } else if (!word.empty() && !haveName) {
    name = word;
  }
  TNumberOrVariable field;
  int32_t value = 0;
  if (ParseNumberOrVariableAt(name, 1, field) == 0) {
    Report(errors, "not a variable: \"" + name + "\"");
  } else {
    value = EvaluateNumberOrVariable(field, locals, globals);
  }
  return FormatValue(format, name, value, errors);
}

}  // namespace

void ExpandVariables(std::string_view text, const TLocalVariables* locals,
                     const TGlobalVariables* globals, std::string& result,
                     std::vector<std::string>* errors) {
  static const char* kUnterminated =
      "unterminated % section. Specify %% for a single percent character.";
  result.clear();
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c != '%') {
      result += c;
      ++i;
      continue;
    }
    if (i + 1 >= text.size()) {
      Report(errors, kUnterminated);
      return;
    }
    if (text[i + 1] == '%') {
      result += '%';
      i += 2;
      continue;
    }
    const size_t close = text.find('%', i + 1);
    if (close == std::string_view::npos) {
      Report(errors, kUnterminated);
      return;
    }
    result += ExpandSection(text.substr(i + 1, close - i - 1), locals, globals, errors);
    i = close + 1;
  }
}

}  // namespace kv
