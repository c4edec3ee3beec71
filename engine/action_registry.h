#pragma once
// The program-wide table that maps action tags to kinds, so a translator can be rebuilt from
// its stored texts. Each action kind registers its tags once at start-up; the first
// registration of a tag wins. Tags compare case-sensitively ("Key " needs its blank).
//
// Lock: an internal mutex guards the table; registration and creation may come from any
// thread (in the program both happen on the main thread).
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/action.h"

namespace kv {

inline constexpr size_t kActionTagLength = 4;

using TTransActionFactory = std::function<std::unique_ptr<TTransAction>(bool incoming)>;

// Appends the tag (exactly 4 characters; others are refused) to the table; false when the tag
// was registered already (the first registration stays) or is not 4 characters long.
bool RegisterTransActionClass(std::string_view tag, TTransActionFactory factory);

template <class T>
bool RegisterTransActionClass(std::string_view tag) {
  return RegisterTransActionClass(tag, [](bool incoming) -> std::unique_ptr<TTransAction> {
    return std::make_unique<T>(incoming);
  });
}

// A new, cleared action of the kind whose tag equals the text's first 4 characters, with the
// direction given; none when the text is shorter than a tag or no tag matches. The text is
// not parsed: the caller calls LoadFromText.
std::unique_ptr<TTransAction> CreateTransActionFromText(std::string_view text, bool incoming);

// The registered tags in registration order.
std::vector<std::string> RegisteredTransActionTags();

// Registers every action kind the program has, in the program's registration order. Safe to
// call more than once. Defined in engine/standard_actions.cpp: each kind adds its line there.
void RegisterStandardTransActions();

// Tests only: forgets every registration (RegisterStandardTransActions may run again).
void ResetTransActionRegistryForTests();

}  // namespace kv
