#pragma once
// The 32-bit integer variables that rules, timers, MIDI actions, delays and text formatting
// compute with, and the value-or-variable fields of actions.
//
// Numbering: 0..9 are the ten local variables of an event, named oo, pp, qq, rr, ss, tt, uu,
// vv, ww, xx; 10..297 are the 288 global variables, named by a letter g..n and a letter or
// digit (ga = 10, gz = 35, g0 = 36, g9 = 45, ha = 46, ..., n9 = 297). Names are
// case-insensitive; printed names are lower case.
//
// Positions in texts are 1-based, as in the stored forms; a position outside the text reads
// nothing.
//
// The globals are shared by every thread that processes events (MIDI callbacks, the timer
// thread, the dispatcher, the main thread) without a lock: each value is a relaxed atomic, so
// concurrent rules never tear a value (their order between threads is not defined).
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

struct TExecutionContext;

inline constexpr int kLocalVariableCount = 10;
inline constexpr int kGlobalVariableCount = 288;
inline constexpr int kFirstGlobalVariable = 10;
inline constexpr int kVariableCount = kLocalVariableCount + kGlobalVariableCount;  // 298

using TLocalVariables = std::array<int32_t, kLocalVariableCount>;

class TGlobalVariables {
 public:
  TGlobalVariables() { Clear(); }
  TGlobalVariables(const TGlobalVariables&) = delete;
  TGlobalVariables& operator=(const TGlobalVariables&) = delete;

  // index is a variable index 10..297; any other index reads 0 and writes nothing.
  int32_t Get(int index) const;
  void Set(int index, int32_t value);
  void Clear();

 private:
  std::array<std::atomic<int32_t>, kGlobalVariableCount> values_;
};

// A field that holds either a number or the index of a variable.
struct TNumberOrVariable {
  static constexpr uint8_t kNumber = 0;
  static constexpr uint8_t kVariable = 1;

  uint8_t kind = kNumber;
  int32_t value = 0;  // the number, or the variable index 0..297

  static TNumberOrVariable Number(int32_t n) { return {kNumber, n}; }
  static TNumberOrVariable Variable(int index) { return {kVariable, index}; }
  bool IsVariable() const { return kind == kVariable; }
  bool operator==(const TNumberOrVariable&) const = default;
};

// 0..297 for a two-character name, -1 for any other text.
int VariableIndexOf(std::string_view name);
// The name formed by the characters at the 1-based position and the next one; -1 when the
// text is too short there or they form no name.
int VariableIndexAt(std::string_view text, size_t position);
// The lower-case name; empty outside 0..297.
std::string VariableNameOf(int index);
inline bool IsLocalVariable(int index) {
  return index >= 0 && index < kLocalVariableCount;
}
inline bool IsValidVariable(int index) {
  return index >= 0 && index < kVariableCount;
}

// 0..9 address the locals, 10..297 the globals. An index outside 0..297, or a missing store,
// reads 0 and writes nothing.
void SetVariableValue(int index, int32_t value, TLocalVariables* locals, TGlobalVariables* globals);
int32_t GetVariableValue(int index, const TLocalVariables* locals, const TGlobalVariables* globals);

// The number, or the variable's current value; 0 for any other kind.
int32_t EvaluateNumberOrVariable(const TNumberOrVariable& field, const TLocalVariables* locals,
                                 const TGlobalVariables* globals);
// The same with the context's local variables and its params' globals.
int32_t EvaluateNumberOrVariable(const TNumberOrVariable& field, const TExecutionContext& context);

// The decimal number or the variable's name.
std::string NumberOrVariableToText(const TNumberOrVariable& field);
// The decimal number, or the variable's current value in decimal.
std::string NumberOrVariableToText(const TNumberOrVariable& field,
                                   const TExecutionContext& context);

// A number at the 1-based position: an optional sign, an optional "$" or "0x" hexadecimal
// prefix (after which one sign may follow when none came before), then digits. Returns the
// characters used (0 when no number is there) and the value. Decimal texts outside the
// signed 32-bit range give -1; hexadecimal digits wrap into 32 bits.
size_t ParseNumber(std::string_view text, size_t position, int32_t& value);
// A variable name (2 characters) or a number at the position; returns the characters used.
size_t ParseNumberOrVariableAt(std::string_view text, size_t position, TNumberOrVariable& field);

void ClearLocalVariables(TLocalVariables& locals);

// Replaces every "%[format ]name%" section of the text with the variable's (or number's)
// value, "%%" with "%". Every problem is added as a line to errors (when given) and the
// expansion goes on.
void ExpandVariables(std::string_view text, const TLocalVariables* locals,
                     const TGlobalVariables* globals, std::string& result,
                     std::vector<std::string>* errors);

}  // namespace kv
