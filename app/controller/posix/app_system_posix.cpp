// Natively there is no registry, shell or Startup folder: autostart entries are recorded, and
// shortcuts cannot be written.
#include <string>
#include <vector>

#include "app/controller/autostart.h"
#include "base/exception.h"

namespace kv {

std::vector<std::string> SystemProgramArguments() {
  return {};
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
