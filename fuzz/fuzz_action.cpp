// Feeds arbitrary text to the action registry in both directions, as a translator does when
// it is read from a project file: every kind that accepts the text must save a text that
// reads back to itself, and describe itself without failing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "base/exception.h"
#include "engine/action_registry.h"

namespace {

void Exercise(std::string_view text, bool incoming) {
  std::unique_ptr<kv::TTransAction> action = kv::CreateTransActionFromText(text, incoming);
  if (!action) return;
  try {
    // A text the kind reads nothing from is not loaded either.
    if (action->LoadFromText(text) == 0) return;
  } catch (const kv::Exception&) {
    return;  // a corrupt text: the translator keeps it as an unknown action
  }
  action->GetDescription();
  action->GetShortDescription();
  action->GetActionType();
  action->GetExecutionLevel();
  const std::string saved = action->SaveToText();
  std::unique_ptr<kv::TTransAction> again = kv::CreateTransActionFromText(saved, incoming);
  if (!again) std::abort();
  try {
    if (again->LoadFromText(saved) == 0) std::abort();
  } catch (const kv::Exception&) {
    std::abort();  // what an action wrote must read back
  }
  if (again->SaveToText() != saved) std::abort();
  std::unique_ptr<kv::TTransAction> copy = action->Clone();
  if (!copy || copy->SaveToText() != saved) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = (kv::RegisterStandardTransActions(), true);
  (void)registered;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Exercise(text, true);
  Exercise(text, false);
  return 0;
}
