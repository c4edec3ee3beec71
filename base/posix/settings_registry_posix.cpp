// Natively there is no registry: the settings live in memory.
#include "base/settings_registry.h"

namespace kv {

TSettingsRegistry& DefaultSettingsRegistry() {
  static TMemorySettingsRegistry registry;
  return registry;
}

}  // namespace kv
