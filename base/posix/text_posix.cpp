#include "base/text.h"

namespace kv {

// Off Windows there is no user locale to ask: names compare as ASCII.
int AnsiCompareText(std::string_view a, std::string_view b) {
  return CompareText(a, b);
}

}  // namespace kv
