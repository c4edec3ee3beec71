// kvcheck action in|out TEXT...: each text through the action registry and back.
#include <iostream>

#include "engine/action.h"
#include "engine/translator.h"
#include "tools/kvcheck/kvcheck.h"

namespace kv::kvcheck {

namespace {

int RunAction(const std::vector<std::string>& args, std::ostream& out) {
  if (args.empty() || (args[0] != "in" && args[0] != "out")) {
    std::cerr << "usage: kvcheck action in|out TEXT...\n";
    return kExitUsage;
  }
  const bool incoming = args[0] == "in";
  for (size_t i = 1; i < args.size(); ++i) {
    size_t used = 0;
    auto action = CreateActionFromText(
        args[i], incoming,
        [&out](const std::string& message) { out << "error=" << Escaped(message) << "\n"; }, &used);
    out << "kind=" << action->GetActionType() << " used=" << used << "\n";
    out << "text=" << Escaped(action->SaveToText()) << "\n";
    out << "desc=" << Escaped(action->GetDescription()) << "\n";
    out << "short=" << Escaped(action->GetShortDescription()) << "\n";
    out << "\n";
  }
  return kExitOk;
}

}  // namespace

KVCHECK_SUBCOMMAND(action, "in|out TEXT...", RunAction);

}  // namespace kv::kvcheck
