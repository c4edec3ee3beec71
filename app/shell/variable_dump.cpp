#include "app/shell/variable_dump.h"

#include "engine/variables.h"

namespace kv {

std::vector<std::string> DumpGlobalVariables(const TGlobalVariables& globals) {
  std::vector<std::string> lines{"", "List of all global non-zero variables:"};
  std::string line;
  int count = 0;
  for (int index = kFirstGlobalVariable; index < kFirstGlobalVariable + kGlobalVariableCount;
       ++index) {
    const int32_t value = globals.Get(index);
    if (value == 0) continue;
    line += VariableNameOf(index) + "=" + std::to_string(value) + "  ";
    ++count;
    if (count % 8 == 7) {
      lines.push_back(line);
      line.clear();
    }
  }
  lines.push_back(line);
  if (count == 0) lines.push_back("(none)");
  return lines;
}

}  // namespace kv
