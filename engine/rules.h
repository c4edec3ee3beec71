#pragma once
// The rules language: a short program of one-line statements (TTransStepMath) that runs after
// a translator's trigger matched and before its outgoing action. Rules compute with the
// event's local and the global variables, may jump, and may decide that the outgoing action
// is skipped.
//
// Two text forms: the lines a user types (ParseLines / GetText), and the compact stored form
// inside a translator's options, which begins with "StMa" (SaveToText / LoadFromText).
//
// A rules object belongs to one translator; it is read by event producers under the owning
// preset's read lock and changed only by building a new translator.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/event.h"
#include "engine/variables.h"

namespace kv {

enum TStepType : uint8_t {
  kStepAssign = 0,  // V = A
  kStepAdd = 1,     // V = A + B
  kStepSub = 2,
  kStepMul = 3,
  kStepDiv = 4,
  kStepOr = 5,
  kStepAnd = 6,
  kStepXor = 7,
  kStepGoto = 8,
  kStepLabel = 9,
  kStepSkipNext = 10,
  kStepSkipNext2 = 11,
  kStepExitExecute = 12,
  kStepExitSkip = 13,
};

enum TStepCondition : uint8_t {
  kCondLessEqual = 0,
  kCondEqual = 1,
  kCondNotEqual = 2,
  kCondGreaterEqual = 3,
  kCondLess = 4,
  kCondGreater = 5,
  kCondNone = 6,
};

// Stored-form operator character of each step type.
inline constexpr char kStepOperatorChars[] = "=+-*/|&^gls2xn";

class TTransStepMathEntry {
 public:
  uint8_t stepType = kStepAssign;
  TNumberOrVariable target;  // V; a number here (only from a stored text) assigns nothing
  TNumberOrVariable first;   // A
  TNumberOrVariable second;  // B
  std::string labelName;     // goto and label
  uint8_t condition = kCondNone;
  TNumberOrVariable conditionFirst;
  TNumberOrVariable conditionSecond;
  std::string parseError;  // set by ParseText

  // Parses one typed line; false with parseError set when it is not a statement.
  bool ParseText(std::string_view line);
  // The display text: "if <condition> then <action>" or the action alone.
  std::string GetText() const;
  std::string GetActionText() const;
  std::string GetConditionText() const;
  bool HasCondition() const { return condition != kCondNone; }
  bool IsAssignment() const { return stepType <= kStepXor; }

  std::string SaveToText() const;
  // Reads one stored entry at the 1-based position; returns the characters used. Throws
  // kv::Exception "corrupt rule".
  size_t LoadFromText(std::string_view text, size_t position);

  bool TestCondition(const TLocalVariables* locals, const TGlobalVariables* globals) const;
};

class TTransStepMath {
 public:
  // Replaces the rules with the parsed lines. Each failing line adds "Line %d: parse error:
  // %s" to errors (cleared first) and is left out. True when every non-blank line parsed.
  bool ParseLines(const std::vector<std::string>& lines, std::vector<std::string>& errors);
  // Runs the rules for the event; true when the outgoing action is to be skipped. Throws
  // kv::Exception on a division by zero or the overflowing INT_MIN / -1.
  bool Execute(TIncomingEvent& event) const;

  // The stored count has four hexadecimal digits: more entries than kMaxStoredRules cannot
  // be stored, and SaveToText throws kv::Exception (TooManyRulesText) rather than drop some.
  std::string SaveToText() const;
  // Replaces the rules with the stored ones; returns the characters used, counted from the
  // "StMa" tag. Throws kv::Exception "corrupt rule"; the entries read before the failure stay.
  size_t LoadFromText(std::string_view text);

  void Assign(const TTransStepMath* other);
  void Clear();
  void Add(TTransStepMathEntry entry);
  size_t Count() const { return entries_.size(); }
  // Throws kv::Exception "TTransStepMath index out of bounds!".
  const TTransStepMathEntry& GetEntry(size_t index) const;

  const std::string& Description() const { return description_; }
  void SetDescription(std::string description) { description_ = std::move(description); }
  // The description, or "%d rules" when it is empty.
  std::string GetDescription() const;
  // Each entry's display text; with heading, "Rules: <description>" first and the entries
  // indented by two blanks.
  void ListRules(std::vector<std::string>& list, bool withHeading) const;

 private:
  std::string description_;
  std::vector<TTransStepMathEntry> entries_;
};

inline constexpr const char* kRulesTag = "StMa";
inline constexpr int kMaxRuleJumps = 100000;
inline constexpr size_t kMaxStoredRules = 0xFFFF;
// "A translator can hold at most 65535 rules; these are %d."
std::string TooManyRulesText(size_t count);

}  // namespace kv
