// kvcheck rules FILE [name=value ...]: parse a file's lines as rules, store them, run them
// once with the given variables.
#include <iostream>

#include "engine/rules.h"
#include "engine/translate_params.h"
#include "engine/variables.h"
#include "tools/kvcheck/kvcheck.h"

namespace kv::kvcheck {

namespace {

// "name=value" into the event's locals or the globals; false when it is not one.
bool SetVariable(const std::string& assignment, TIncomingEvent& event,
                 TGlobalTranslateParams& params) {
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos) return false;
  const int index = VariableIndexOf(std::string_view(assignment).substr(0, eq));
  const std::string valueText = assignment.substr(eq + 1);
  int32_t value = 0;
  if (index < 0 || valueText.empty() || ParseNumber(valueText, 1, value) != valueText.size()) {
    return false;
  }
  SetVariableValue(index, value, &event.locals, &params.Globals());
  return true;
}

int RunRules(const std::vector<std::string>& args, std::ostream& out) {
  if (args.empty()) {
    std::cerr << "usage: kvcheck rules FILE [name=value ...]\n";
    return kExitUsage;
  }
  TGlobalTranslateParams params;
  TIncomingEvent event;
  event.params = &params;
  for (size_t i = 1; i < args.size(); ++i) {
    if (!SetVariable(args[i], event, params)) {
      std::cerr << "kvcheck: not a variable assignment: " << args[i] << "\n";
      return kExitUsage;
    }
  }
  const std::vector<std::string> lines = ReadLines(args[0]);
  TTransStepMath rules;
  std::vector<std::string> errors;
  rules.ParseLines(lines, errors);
  for (const std::string& e : errors) out << "error=" << Escaped(e) << "\n";
  out << "stored=" << Escaped(rules.SaveToText()) << "\n";
  bool runs = false;
  try {
    runs = !rules.Execute(event);
  } catch (const std::exception& e) {
    // An error in the rules ends the event: the outgoing action does not run.
    out << "error=" << Escaped(e.what()) << "\n";
  }
  out << "result=" << (runs ? 1 : 0) << "\n";
  for (int index = 0; index < kVariableCount; ++index) {
    const int32_t value = GetVariableValue(index, &event.locals, &params.Globals());
    if (value != 0) out << VariableNameOf(index) << "=" << value << "\n";
  }
  return kExitOk;
}

}  // namespace

KVCHECK_SUBCOMMAND(rules, "FILE [name=value ...]", RunRules);

}  // namespace kv::kvcheck
