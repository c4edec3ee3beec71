#pragma once
// Starting the program when the user logs on: the Run-key entry (the command line installs and
// removes it) and the shortcut in the user's Startup folder (the settings dialog's option).
#include <map>
#include <string>

#include "base/platform.h"
#include "base/seam.h"

namespace kv {

inline constexpr const char* kRunKeyPath = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Run key of one root. Windows: the registry; tests and the check tool: a recorder.
// Lifecycle (base/seam.h): process-wide, replaced for a test or a tool run by
// TScopedAutostartRegistry; one key is open at a time, on the main thread.
class TAutostartRegistry {
 public:
  virtual ~TAutostartRegistry() = default;
  // Opens the Run key under root with full access, creating it when create is set.
  virtual bool OpenRunKey(RegRoot root, bool create) = 0;
  virtual bool ValueExists(const std::string& name) = 0;
  virtual bool WriteString(const std::string& name, const std::string& data) = 0;
  virtual bool DeleteValue(const std::string& name) = 0;
  virtual void CloseKey() = 0;
};
// The build's own: the registry on Windows, a recorder natively.
TAutostartRegistry& DefaultAutostartRegistry();
using TAutostartRegistrySeam = TSeam<TAutostartRegistry, DefaultAutostartRegistry>;
inline TAutostartRegistry& GetAutostartRegistry() { return TAutostartRegistrySeam::Get(); }
using TScopedAutostartRegistry = TAutostartRegistrySeam::TScope;

// Keeps the two Run keys in memory; a root can be made unwritable or unopenable.
class TAutostartRecorder final : public TAutostartRegistry {
 public:
  bool OpenRunKey(RegRoot root, bool create) override;
  bool ValueExists(const std::string& name) override;
  bool WriteString(const std::string& name, const std::string& data) override;
  bool DeleteValue(const std::string& name) override;
  void CloseKey() override { open_ = nullptr; }

  struct TKey {
    bool exists = true;
    bool openable = true;
    bool writable = true;
    std::map<std::string, std::string> values;
  };
  TKey machine, user;
  int installs = 0, removals = 0;  // values written and deleted

 private:
  TKey* open_ = nullptr;
};

// The Run-key value the program writes: the program's path in double quotes, then " /start".
std::string AutostartCommand(const std::string& programPath);

// A shell link writer. Only target, arguments, link file name and working folder are set by
// the program; the rest keep their defaults.
class TShellLink {
 public:
  std::string Arguments;
  std::string Description;
  std::string IconFile;
  uint16_t HotKey = 0;
  std::string Target;
  std::string LinkFile;
  std::string WorkingFolder;  // the target's folder when empty
  int32_t IconIndex = 0;
  uint8_t ShowMode = 0;  // 0 normal, 1 minimised, 2 maximised

  // Writes the link (".lnk" appended unless present); throws Exception "Error creating
  // shortcut <name>." on any failure.
  void Save() const;
};

// The link file name the shortcut writer uses: ".lnk" appended unless the name already ends in
// it (in any letter case).
std::string LinkFileName(const std::string& name);

// Shortcut in the user's Startup folder. linkName empty: the target's file name without
// extension; folder empty: the target's folder.
bool CreateStartupShortcut(const std::string& target, const std::string& arguments,
                           const std::string& linkName, const std::string& folder);
bool StartupShortcutExists(const std::string& linkName);
bool DeleteStartupShortcut(const std::string& target, const std::string& linkName);
// The user's Startup folder; empty when the shell cannot give it.
std::string StartupFolder();

}  // namespace kv
