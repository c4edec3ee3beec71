// Without a window system there are no key messages to hook; the subscriber list still
// works and tests feed keys through TKeyboardHook::DispatchKey.
#include "controls/keyboard_hook.h"

namespace kv {

bool InstallThreadKeyboardHook() {
  return true;
}

void RemoveThreadKeyboardHook() {}

}  // namespace kv
