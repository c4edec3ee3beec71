// Natively there is no registry, shell or Startup folder: settings live in memory, autostart
// entries are recorded, and shortcuts cannot be written.
#include "app/controller/autostart.h"
#include "app/controller/settings_registry.h"
#include "base/exception.h"

namespace kv {

std::vector<std::string> SystemProgramArguments() {
  return {};
}

TSettingsRegistry& DefaultSettingsRegistry() {
  static TMemorySettingsRegistry registry;
  return registry;
}

TAutostartRegistry& DefaultAutostartRegistry() {
  static TAutostartRecorder recorder;
  return recorder;
}

std::string StartupFolder() {
  return {};
}

void TShellLink::Save() const {
  throw Exception("Error creating shortcut " + LinkFileName(LinkFile) + ".");
}

}  // namespace kv
