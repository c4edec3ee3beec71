// Feeds arbitrary text to the rules language: as typed lines (the editor's rules page) and
// as a stored form (a translator's options in a project file). Whatever parses must store,
// reload to the same text and run to an end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/exception.h"
#include "engine/rules.h"
#include "engine/translate_params.h"

namespace {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i)
    if (i == text.size() || text[i] == '\n' || text[i] == '\r') {
      lines.emplace_back(text.substr(start, i - start));
      start = i + 1;
    }
  return lines;
}

void Run(const kv::TTransStepMath& rules, kv::TGlobalTranslateParams& params) {
  kv::TIncomingEvent event;
  event.params = &params;
  for (int i = 0; i < kv::kLocalVariableCount; ++i) event.locals[i] = i - 3;
  try {
    rules.Execute(event);
  } catch (const kv::Exception&) {
    // division by zero and INT_MIN / -1 end the rules with an error: allowed
  }
}

void RoundTrip(const kv::TTransStepMath& rules) {
  const std::string stored = rules.SaveToText();
  kv::TTransStepMath again;
  if (rules.Count() == 0 && stored.size() <= 8) return;
  const size_t used = again.LoadFromText(stored);  // what we wrote must read back
  if (used != stored.size() || again.SaveToText() != stored) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  static kv::TGlobalTranslateParams params;

  kv::TTransStepMath typed;
  std::vector<std::string> errors;
  typed.ParseLines(SplitLines(text), errors);
  std::vector<std::string> listed;
  typed.ListRules(listed, true);
  RoundTrip(typed);
  Run(typed, params);

  kv::TTransStepMath stored;
  try {
    stored.LoadFromText(text);
  } catch (const kv::Exception&) {
    // a corrupt stored form is reported as "corrupt rule"; the entries before it stay
  }
  stored.ListRules(listed, false);
  RoundTrip(stored);
  Run(stored, params);
  return 0;
}
