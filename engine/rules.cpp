#include "engine/rules.h"

#include <climits>

#include "base/exception.h"
#include "base/text.h"
#include "base/text_helpers.h"
#include "engine/format.h"
#include "engine/translate_params.h"

namespace kv {

namespace {

const char* const kSkipNextText = "skip next rule";
const char* const kSkipNext2Text = "skip next 2 rules";
const char* const kExitExecuteText = "exit rules, execute Outgoing Action";
const char* const kExitSkipText = "exit rules, skip Outgoing Action";
const char* const kCorruptRule = "corrupt rule";

// Condition texts in the order the parser tries them; index = TStepCondition.
const char* const kConditionTexts[] = {"<=", "==", "!=", ">=", "<", ">"};

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) < '!';
}

// A position in a typed line (0-based) with the line grammar's token readers.
class LineCursor {
 public:
  explicit LineCursor(std::string_view line) : line_(line) {}

  void SkipBlanks() {
    while (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
  }
  bool AtEnd() const { return pos_ >= line_.size(); }
  size_t Pos() const { return pos_; }
  void Reset() { pos_ = 0; }
  char Peek() const { return AtEnd() ? '\0' : line_[pos_]; }

  // Case-insensitive keyword with no word boundary; blanks after it are skipped.
  bool Keyword(std::string_view word) {
    if (line_.size() - pos_ < word.size()) return false;
    if (!SameText(line_.substr(pos_, word.size()), word)) return false;
    pos_ += word.size();
    SkipBlanks();
    return true;
  }
  bool Char(char c) {
    if (Peek() != c || AtEnd()) return false;
    ++pos_;
    SkipBlanks();
    return true;
  }
  bool Operand(TNumberOrVariable& field) {
    const size_t used = ParseNumberOrVariableAt(line_, pos_ + 1, field);
    if (used == 0) return false;
    pos_ += used;
    SkipBlanks();
    return true;
  }
  // A double-quoted name; a quote after a backslash does not end it (both are kept).
  bool QuotedName(std::string& name, std::string& error) {
    if (Peek() != '"' || AtEnd()) {
      error = "double quote expected";
      return false;
    }
    size_t i = pos_ + 1;
    name.clear();
    while (i < line_.size()) {
      const char c = line_[i];
      if (c == '"' && !(i > pos_ + 1 && line_[i - 1] == '\\')) {
        pos_ = i + 1;
        SkipBlanks();
        return true;
      }
      name += c;
      ++i;
    }
    error = "unterminated string";
    return false;
  }

 private:
  std::string_view line_;
  size_t pos_ = 0;
};

int OperatorStep(char c) {
  switch (c) {
    case '+':
      return kStepAdd;
    case '-':
      return kStepSub;
    case '*':
      return kStepMul;
    case '/':
      return kStepDiv;
    case '|':
      return kStepOr;
    case '&':
      return kStepAnd;
    case '^':
      return kStepXor;
    default:
      return -1;
  }
}

std::string OperandText(const TNumberOrVariable& field) {
  return NumberOrVariableToText(field);
}

// A position in a stored text (0-based); every failure is "corrupt rule".
class StoredCursor {
 public:
  StoredCursor(std::string_view text, size_t pos) : text_(text), pos_(pos) {}
  size_t Pos() const { return pos_; }

  bool Literal(std::string_view word) {
    if (text_.size() - pos_ < word.size() || text_.substr(pos_, word.size()) != word) {
      return false;
    }
    pos_ += word.size();
    return true;
  }
  void Expect(std::string_view word) {
    if (!Literal(word)) throw Exception(kCorruptRule);
  }
  // The writer prints decimal numbers, so "0" followed by the variable xx is the number 0 and
  // the start of the next entry, not a bare "0x" prefix.
  void Operand(TNumberOrVariable& field) {
    if (text_.substr(pos_, 3) == "0xx") {
      field = TNumberOrVariable::Number(0);
      ++pos_;
      return;
    }
    const size_t used = ParseNumberOrVariableAt(text_, pos_ + 1, field);
    if (used == 0) throw Exception(kCorruptRule);
    pos_ += used;
  }
  uint8_t Condition() {
    for (uint8_t c = 0; c < kCondNone; ++c) {
      if (Literal(kConditionTexts[c])) return c;
    }
    throw Exception(kCorruptRule);
  }
  std::string LengthPrefixed() {
    std::string out;
    try {
      pos_ += DecodeLengthPrefixed(text_, pos_ + 1, out);
    } catch (const Exception&) {
      throw Exception(kCorruptRule);
    }
    return out;
  }
  char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  bool AtEnd() const { return pos_ >= text_.size(); }
  void Advance() { ++pos_; }

 private:
  std::string_view text_;
  size_t pos_;
};

int32_t Compute(uint8_t step, int32_t a, int32_t b) {
  const uint32_t ua = static_cast<uint32_t>(a);
  const uint32_t ub = static_cast<uint32_t>(b);
  switch (step) {
    case kStepAssign:
      return a;
    case kStepAdd:
      return static_cast<int32_t>(ua + ub);
    case kStepSub:
      return static_cast<int32_t>(ua - ub);
    case kStepMul:
      return static_cast<int32_t>(ua * ub);
    case kStepDiv:
      if (b == 0) throw Exception("Division by zero");
      if (a == INT32_MIN && b == -1) throw Exception("Integer overflow in division");
      return a / b;
    case kStepOr:
      return a | b;
    case kStepAnd:
      return a & b;
    case kStepXor:
      return a ^ b;
    default:
      return a;
  }
}

}  // namespace

// ---- typed lines ------------------------------------------------------------------------

bool TTransStepMathEntry::ParseText(std::string_view line) {
  *this = TTransStepMathEntry();
  LineCursor cur(line);
  cur.SkipBlanks();

  // Optional condition; "if=" is an assignment to the global variable `if`.
  const size_t lineStart = cur.Pos();
  if (cur.Keyword("if")) {
    if (cur.Peek() == '=') {
      cur.Reset();
      cur.SkipBlanks();
    } else {
      if (!cur.Operand(conditionFirst)) parseError = "variable or number expected";
      uint8_t cond = kCondNone;
      if (parseError.empty()) {
        for (uint8_t c = 0; c < kCondNone; ++c) {
          if (cur.Keyword(kConditionTexts[c])) {
            cond = c;
            break;
          }
        }
      }
      if (parseError.empty() && cond != kCondNone && !cur.Operand(conditionSecond)) {
        parseError = "variable or number expected";
      }
      if (parseError.empty() && (cond == kCondNone || !cur.Keyword("then"))) {
        parseError = "erronous \"if\" statement.";
      }
      if (!parseError.empty()) return false;
      condition = cond;
    }
  }
  (void)lineStart;

  // Statement.
  if (cur.Keyword("goto")) {
    stepType = kStepGoto;
    if (!cur.QuotedName(labelName, parseError)) return false;
  } else if (cur.Keyword("label")) {
    stepType = kStepLabel;
    if (!cur.QuotedName(labelName, parseError)) return false;
  } else if (cur.Keyword(kSkipNextText)) {
    stepType = kStepSkipNext;
  } else if (cur.Keyword(kSkipNext2Text)) {
    stepType = kStepSkipNext2;
  } else if (cur.Keyword(kExitExecuteText)) {
    stepType = kStepExitExecute;
  } else if (cur.Keyword(kExitSkipText)) {
    stepType = kStepExitSkip;
  } else {
    // A number as the target would assign nothing: it is refused here.
    const int index = VariableIndexAt(line, cur.Pos() + 1);
    if (index < 0 || !cur.Operand(target) || !cur.Char('=') || !cur.Operand(first)) {
      parseError = "syntax error";
      return false;
    }
    stepType = kStepAssign;
    const int op = OperatorStep(cur.Peek());
    if (op >= 0 && !cur.AtEnd()) {
      cur.Char(cur.Peek());
      if (!cur.Operand(second)) {
        parseError = "second operand expected";
        return false;
      }
      stepType = static_cast<uint8_t>(op);
    }
  }
  if (!cur.AtEnd()) {
    parseError = "unknown text at end of line";
    return false;
  }
  return true;
}

std::string TTransStepMathEntry::GetConditionText() const {
  if (!HasCondition()) return {};
  return OperandText(conditionFirst) + kConditionTexts[condition] + OperandText(conditionSecond);
}

std::string TTransStepMathEntry::GetActionText() const {
  switch (stepType) {
    case kStepGoto:
      return FormatText("Goto \"%s\"", {labelName});
    case kStepLabel:
      return FormatText("Label \"%s\"", {labelName});
    case kStepSkipNext:
      return kSkipNextText;
    case kStepSkipNext2:
      return kSkipNext2Text;
    case kStepExitExecute:
      return kExitExecuteText;
    case kStepExitSkip:
      return kExitSkipText;
    default:
      break;
  }
  std::string text = OperandText(target) + "=" + OperandText(first);
  if (stepType >= kStepAdd && stepType <= kStepXor) {
    text += kStepOperatorChars[stepType];
    text += OperandText(second);
  }
  return text;
}

std::string TTransStepMathEntry::GetText() const {
  if (!HasCondition()) return GetActionText();
  return FormatText("if %s then %s", {GetConditionText(), GetActionText()});
}

bool TTransStepMathEntry::TestCondition(const TLocalVariables* locals,
                                        const TGlobalVariables* globals) const {
  if (!HasCondition()) return true;
  const int32_t a = EvaluateNumberOrVariable(conditionFirst, locals, globals);
  const int32_t b = EvaluateNumberOrVariable(conditionSecond, locals, globals);
  switch (condition) {
    case kCondLessEqual:
      return a <= b;
    case kCondEqual:
      return a == b;
    case kCondNotEqual:
      return a != b;
    case kCondGreaterEqual:
      return a >= b;
    case kCondLess:
      return a < b;
    case kCondGreater:
      return a > b;
    default:
      return true;
  }
}

// ---- stored form ------------------------------------------------------------------------

std::string TTransStepMathEntry::SaveToText() const {
  std::string text;
  if (HasCondition()) {
    text = "if(" + OperandText(conditionFirst) + kConditionTexts[condition] +
           OperandText(conditionSecond) + ")";
  } else if (IsAssignment() && !target.IsVariable()) {
    // Entries follow each other without separators, so a number as the target would run
    // into the number that ends the entry before it ("ga=1" "5=1" is "ga=15=1"). Such an
    // entry assigns nothing; an always-true condition marks where it begins.
    text = "if(0==0)";
  }
  switch (stepType) {
    case kStepGoto:
      return text + "goto" + EncodeLengthPrefixed(labelName);
    case kStepLabel:
      return text + "label" + EncodeLengthPrefixed(labelName);
    case kStepSkipNext:
      return text + "skip";
    case kStepSkipNext2:
      return text + "sk2ip";
    case kStepExitExecute:
      return text + "execute";
    case kStepExitSkip:
      return text + "noexecute";
    default:
      break;
  }
  text += OperandText(target) + "=" + OperandText(first);
  if (stepType >= kStepAdd && stepType <= kStepXor) {
    text += kStepOperatorChars[stepType];
    text += OperandText(second);
  }
  return text;
}

size_t TTransStepMathEntry::LoadFromText(std::string_view text, size_t position) {
  if (position < 1 || position > text.size()) throw Exception(kCorruptRule);
  *this = TTransStepMathEntry();
  StoredCursor cur(text, position - 1);
  const size_t start = cur.Pos();

  if (cur.Literal("if(")) {
    cur.Operand(conditionFirst);
    condition = cur.Condition();
    cur.Operand(conditionSecond);
    cur.Expect(")");
  } else if (text.substr(cur.Pos(), 3) != "if=" && cur.Literal("if")) {
    // The older form: a condition directly followed by its whole action.
    cur.Operand(conditionFirst);
    condition = cur.Condition();
    cur.Operand(conditionSecond);
    if (cur.Literal("sn")) {
      stepType = kStepSkipNext;
    } else if (cur.Literal("ex")) {
      stepType = kStepExitExecute;
    } else if (cur.Literal("no")) {
      stepType = kStepExitSkip;
    } else {
      throw Exception(kCorruptRule);
    }
    return cur.Pos() - start;
  }

  if (cur.Literal("goto")) {
    stepType = kStepGoto;
    labelName = cur.LengthPrefixed();
  } else if (cur.Literal("label")) {
    stepType = kStepLabel;
    labelName = cur.LengthPrefixed();
  } else if (cur.Literal("skip")) {
    stepType = kStepSkipNext;
  } else if (cur.Literal("sk2ip")) {
    stepType = kStepSkipNext2;
  } else if (cur.Literal("execute")) {
    stepType = kStepExitExecute;
  } else if (cur.Literal("noexecute")) {
    stepType = kStepExitSkip;
  } else {
    cur.Operand(target);
    cur.Expect("=");
    cur.Operand(first);
    stepType = kStepAssign;
    const int op = OperatorStep(cur.Peek());
    if (op >= 0 && !cur.AtEnd()) {
      cur.Advance();
      cur.Operand(second);
      stepType = static_cast<uint8_t>(op);
    }
  }
  return cur.Pos() - start;
}

// ---- the rules --------------------------------------------------------------------------

bool TTransStepMath::ParseLines(const std::vector<std::string>& lines,
                                std::vector<std::string>& errors) {
  errors.clear();
  entries_.clear();
  bool allParsed = true;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string line = Trim(lines[i]);
    if (line.empty()) continue;
    TTransStepMathEntry entry;
    if (entry.ParseText(line)) {
      entries_.push_back(std::move(entry));
    } else {
      allParsed = false;
      errors.push_back(
          FormatText("Line %d: parse error: %s", {static_cast<int64_t>(i + 1), entry.parseError}));
    }
  }
  return allParsed;
}

bool TTransStepMath::Execute(TIncomingEvent& event) const {
  TGlobalTranslateParams* params = event.params;
  TGlobalVariables* globals = params ? &params->Globals() : nullptr;
  TLocalVariables* locals = &event.locals;
  const bool logging = params && params->IsLogging();
  const size_t n = entries_.size();
  int jumps = 0;
  size_t k = 0;
  while (k < n) {
    const TTransStepMathEntry& e = entries_[k];
    if (!e.TestCondition(locals, globals)) {
      ++k;
      continue;
    }
    if (e.HasCondition() && logging) {
      params->Log(FormatText("condition satisfied: %s", {e.GetText()}));
    }
    if (e.IsAssignment()) {
      // A number as the target (possible only in a stored text) assigns nothing.
      if (e.target.IsVariable() && IsValidVariable(e.target.value)) {
        const int32_t a = EvaluateNumberOrVariable(e.first, locals, globals);
        const int32_t b = EvaluateNumberOrVariable(e.second, locals, globals);
        const int32_t result = Compute(e.stepType, a, b);
        SetVariableValue(e.target.value, result, locals, globals);
        if (logging) {
          params->Log(FormatText("assignment: (%s) = %d", {e.GetText(), result}));
        }
      }
      ++k;
      continue;
    }
    if (!e.HasCondition() && logging && e.stepType != kStepLabel) params->Log(e.GetActionText());
    switch (e.stepType) {
      case kStepGoto: {
        size_t destination = n;
        for (size_t j = 0; j < n; ++j) {
          if (entries_[j].stepType == kStepLabel && SameText(entries_[j].labelName, e.labelName)) {
            ++jumps;
            destination = j;
          }
        }
        if (destination == n) {
          if (logging) {
            params->Log(FormatText("Error: Cannot find jump destination: \"%s\"", {e.labelName}));
          }
          return false;
        }
        if (jumps > kMaxRuleJumps) {
          if (logging) params->Log("Infinite Loop detected!");
          return false;
        }
        k = destination + 1;
        break;
      }
      case kStepSkipNext:
        k += 2;
        break;
      case kStepSkipNext2:
        k += 3;
        break;
      case kStepExitExecute:
        return false;
      case kStepExitSkip:
        return true;
      default:  // label
        ++k;
        break;
    }
  }
  return false;
}

std::string TooManyRulesText(size_t count) {
  return "A translator can hold at most " + std::to_string(kMaxStoredRules) + " rules; these are " +
         std::to_string(count) + ".";
}

std::string TTransStepMath::SaveToText() const {
  const size_t count = entries_.size();
  if (count > kMaxStoredRules) throw Exception(TooManyRulesText(count));
  std::string text = kRulesTag;
  text += EncodeLengthPrefixed(description_);
  text += IntToHexFixed(static_cast<int64_t>(count), 4, 4);
  for (size_t i = 0; i < count; ++i) text += entries_[i].SaveToText();
  return text;
}

size_t TTransStepMath::LoadFromText(std::string_view text) {
  entries_.clear();
  description_.clear();
  if (text.size() <= 7 || text.substr(0, 4) != kRulesTag) throw Exception(kCorruptRule);
  size_t pos = 5;  // 1-based, after the tag
  try {
    pos += DecodeLengthPrefixed(text, pos, description_);
  } catch (const Exception&) {
    throw Exception(kCorruptRule);
  }
  const int32_t count = HexToIntAt(text, pos, 4);
  if (count < 0) throw Exception(kCorruptRule);
  pos += 4;
  for (int32_t i = 0; i < count; ++i) {
    TTransStepMathEntry entry;
    pos += entry.LoadFromText(text, pos);
    entries_.push_back(std::move(entry));
  }
  return pos - 1;
}

void TTransStepMath::Assign(const TTransStepMath* other) {
  if (other == this) return;
  if (!other) {
    Clear();
    return;
  }
  description_ = other->description_;
  entries_ = other->entries_;
}

void TTransStepMath::Clear() {
  description_.clear();
  entries_.clear();
}

void TTransStepMath::Add(TTransStepMathEntry entry) {
  entries_.push_back(std::move(entry));
}

const TTransStepMathEntry& TTransStepMath::GetEntry(size_t index) const {
  if (index >= entries_.size()) throw Exception("TTransStepMath index out of bounds!");
  return entries_[index];
}

std::string TTransStepMath::GetDescription() const {
  if (!description_.empty()) return description_;
  return FormatText("%d rules", {static_cast<int64_t>(entries_.size())});
}

void TTransStepMath::ListRules(std::vector<std::string>& list, bool withHeading) const {
  if (withHeading) list.push_back(FormatText("Rules: %s", {GetDescription()}));
  for (const TTransStepMathEntry& e : entries_) {
    list.push_back(withHeading ? "  " + e.GetText() : e.GetText());
  }
}

}  // namespace kv
