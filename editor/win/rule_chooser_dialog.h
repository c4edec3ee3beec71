#pragma once
// The rule chooser: a small modal dialog that asks which kind of rule the rules page adds.
#include <cstdint>

#include "ui/window.h"

namespace kv {

// Shows the dialog centred over owner. With preselect the item of stepCode is chosen. On OK
// the step code (or, for the conditional item, the condition flag) is set; false on Cancel.
bool ChooseRuleType(ui::TWindow* owner, uint8_t& stepCode, bool& condition, bool preselect);

}  // namespace kv
