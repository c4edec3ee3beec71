#pragma once
// The registry under HKEY_CURRENT_USER as the migration of registry projects reads it.
#include "app/controller/registry_migration.h"

namespace kv {

class TWinMigrationRegistry final : public TMigrationRegistry {
 public:
  bool KeyExists(const std::string& path) override;
  std::optional<std::vector<std::string>> SubKeys(const std::string& path) override;
  std::optional<std::vector<TValue>> Values(const std::string& path) override;
  bool DeleteKeyTree(const std::string& path, const std::string& subKey) override;
};

}  // namespace kv
