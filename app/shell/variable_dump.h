#pragma once
// The log window's dump of the global variables that are not zero.
#include <string>
#include <vector>

namespace kv {

class TGlobalVariables;

// An empty line, the heading, the non-zero globals as "name=value  " (7 on the first line, 8
// on each further one), the pending line, and "(none)" when every global is zero.
std::vector<std::string> DumpGlobalVariables(const TGlobalVariables& globals);

}  // namespace kv
