#pragma once
// Turning projects that older versions kept in the registry into project files: each instance
// key with a "Presets" subkey becomes a file of the user's choice, and its registry presets may
// then be deleted. Main thread only.
#include <optional>
#include <string>
#include <vector>

namespace kv {

// The registry under HKEY_CURRENT_USER as the migration reads it; paths start with "\".
class TMigrationRegistry {
 public:
  struct TValue {
    std::string name;
    std::optional<std::string> text;  // none when the value is not text
  };
  virtual ~TMigrationRegistry() = default;
  virtual bool KeyExists(const std::string& path) = 0;
  // None when the key cannot be opened.
  virtual std::optional<std::vector<std::string>> SubKeys(const std::string& path) = 0;
  virtual std::optional<std::vector<TValue>> Values(const std::string& path) = 0;
  // Deletes subKey of path with everything under it; false when either fails.
  virtual bool DeleteKeyTree(const std::string& path, const std::string& subKey) = 0;
};

// The messages and the file dialog.
class TMigrationHost {
 public:
  virtual ~TMigrationHost() = default;
  virtual void Information(const std::string& text) = 0;
  virtual void Error(const std::string& text) = 0;
  virtual bool AskYesNo(const std::string& text) = 0;
  // The project save dialog (asks before overwriting); fileName in: proposed, out: chosen.
  virtual bool ChooseProjectFile(std::string& fileName) = 0;
};

// "\Software\" + the company the settings are read from + "\" + the program title.
std::string MigrationBaseKey();

// Runs the migration below baseKey; migrationDone is the "MigrationDone" setting, set when
// projects were found and cleared by a cancel or an error.
void MigrateRegistryProjects(const std::string& baseKey, bool& migrationDone,
                             TMigrationRegistry& registry, TMigrationHost& host);

}  // namespace kv
