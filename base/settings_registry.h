#pragma once
// Where the settings registry key is opened: the system's registry under HKEY_CURRENT_USER on
// Windows, a store in memory elsewhere and in tests. GetSettingsRegistry is the process-wide
// one (main thread); TScopedSettingsRegistry replaces it for one test or tool run.
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "base/seam.h"

namespace kv {

class TCustomIniFile;
class TMemIniFile;

// Null when the key cannot be opened (or, for reading, does not exist).
class TSettingsRegistry {
 public:
  virtual ~TSettingsRegistry() = default;
  virtual std::unique_ptr<TCustomIniFile> Open(const std::string& keyPath, bool forWriting) = 0;
};
// The build's own: the registry on Windows, a store in memory natively.
TSettingsRegistry& DefaultSettingsRegistry();
using TSettingsRegistrySeam = TSeam<TSettingsRegistry, DefaultSettingsRegistry>;
inline TSettingsRegistry& GetSettingsRegistry() { return TSettingsRegistrySeam::Get(); }
// Replaces the settings registry for one test or tool run; restores the previous on exit.
using TScopedSettingsRegistry = TSettingsRegistrySeam::TScope;

// A settings registry kept in memory: the stand-in natively, and what tests and the check
// tool give the controller so that nothing reaches this machine's registry.

class TMemorySettingsRegistry final : public TSettingsRegistry {
 public:
  std::unique_ptr<TCustomIniFile> Open(const std::string& keyPath, bool forWriting) override;
  // The store under that key (made when missing), for tests to fill or look at.
  std::shared_ptr<TMemIniFile> Key(const std::string& keyPath);
  bool HasKey(const std::string& keyPath) const;

 private:
  mutable std::mutex mutex_;  // guards keys_
  std::map<std::string, std::shared_ptr<TMemIniFile>> keys_;  // by lower-case path
};

}  // namespace kv
