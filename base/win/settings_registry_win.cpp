// The settings key in the system's registry under HKEY_CURRENT_USER.
#include "base/settings_registry.h"
#include "base/win/registry_ini_file.h"

namespace kv {
namespace {

class TWinSettingsRegistry final : public TSettingsRegistry {
 public:
  std::unique_ptr<TCustomIniFile> Open(const std::string& keyPath, bool forWriting) override {
    auto ini = std::make_unique<TRegistryIniFile>(keyPath, forWriting);
    if (!forWriting && !ini->KeyExists()) return nullptr;
    return ini;
  }
};

}  // namespace

TSettingsRegistry& DefaultSettingsRegistry() {
  static TWinSettingsRegistry registry;
  return registry;
}

}  // namespace kv
