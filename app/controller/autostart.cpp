#include "app/controller/autostart.h"

#include "app/controller/controller.h"
#include "base/text.h"
#include "base/texts.h"
#include "base/utils.h"

namespace kv {

namespace {

std::string Formatted(std::string_view pattern, std::string_view value) {
  std::string text(pattern);
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, value);
  return text;
}

}  // namespace

bool TAutostartRecorder::OpenRunKey(RegRoot root, bool create) {
  TKey& key = root == RegRoot::LocalMachine ? machine : user;
  open_ = nullptr;
  if (!key.openable) return false;
  if (!key.exists) {
    if (!create) return false;
    key.exists = true;
  }
  open_ = &key;
  return true;
}

bool TAutostartRecorder::ValueExists(const std::string& name) {
  return open_ && open_->values.count(name) > 0;
}

bool TAutostartRecorder::WriteString(const std::string& name, const std::string& data) {
  if (!open_ || !open_->writable) return false;
  open_->values[name] = data;
  ++installs;
  return true;
}

bool TAutostartRecorder::DeleteValue(const std::string& name) {
  if (!open_ || !open_->writable || open_->values.erase(name) == 0) return false;
  ++removals;
  return true;
}

std::string AutostartCommand(const std::string& programPath) {
  return "\"" + programPath + "\" /start";
}

void TKVHighLevel::InstallAutostart() {
  TAutostartRegistry& registry = GetAutostartRegistry();
  const std::string title = GetProgramTitle();
  const std::string command = AutostartCommand(GetProgramPath());
  auto install = [&](RegRoot root) {
    if (!registry.OpenRunKey(root, true)) {
      Log(Formatted("Install: Could not open/create reg key: %s", kRunKeyPath), kLogInfo);
      return false;
    }
    const bool written = registry.WriteString(title, command);
    if (!written)
      Log(Formatted("Install: Could not add entry to reg key: %s", kRunKeyPath), kLogInfo);
    registry.CloseKey();
    return written;
  };
  if (install(RegRoot::LocalMachine)) {
    Log(Formatted("Successfully installed autostart of %s", title), kLogVerbose);
  } else if (install(RegRoot::CurrentUser)) {
    Log(Formatted("Successfully installed autostart of %s for this user", title), kLogVerbose);
  } else {
    Log(Formatted("Unable to install autostart for %s!", title), kLogError);
  }
}

void TKVHighLevel::RemoveAutostart() {
  TAutostartRegistry& registry = GetAutostartRegistry();
  const std::string title = GetProgramTitle();
  bool notInstalled = false;
  auto remove = [&](RegRoot root) {
    notInstalled = false;
    if (!registry.OpenRunKey(root, false)) {
      Log(Formatted("Uninstall: Could not open/create reg key: %s", kRunKeyPath), kLogInfo);
      return false;
    }
    bool deleted = false;
    if (!registry.ValueExists(title)) {
      Log("Uninstall: nothing to uninstall -- is not installed!", kLogInfo);
      notInstalled = true;
    } else {
      deleted = registry.DeleteValue(title);
      if (!deleted)
        Log(Formatted("Uninstall: Could not remove entry to reg key: %s", kRunKeyPath), kLogInfo);
    }
    registry.CloseKey();
    return deleted;
  };
  if (remove(RegRoot::LocalMachine)) {
    Log(Formatted("Successfully uninstalled %s globally", title), kLogVerbose);
  } else if (remove(RegRoot::CurrentUser)) {
    Log(Formatted("Successfully uninstalled %s for this user", title), kLogVerbose);
  } else if (notInstalled) {
    Log(Formatted("Could not uninstall %s, since it was not installed.", title), kLogVerbose);
  } else {
    Log(Formatted("Unable to uninstall %s!", title), kLogError);
  }
}

std::string LinkFileName(const std::string& name) {
  return LowerCase(ExtractFileExt(name)) == ".lnk" ? name : name + ".lnk";
}

bool CreateStartupShortcut(const std::string& target, const std::string& arguments,
                           const std::string& linkName, const std::string& folder) {
  const std::string startup = StartupFolder();
  if (startup.empty() || !DirExists(startup)) return false;
  TShellLink link;
  link.Target = target;
  link.Arguments = arguments;
  link.LinkFile = AddTrailingBackslash(startup) +
                  (linkName.empty() ? StripExtension(ExtractFileName(target)) : linkName);
  link.WorkingFolder = folder.empty() ? RemoveTrailingBackslash(ExtractFilePath(target)) : folder;
  try {
    link.Save();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool StartupShortcutExists(const std::string& linkName) {
  const std::string startup = StartupFolder();
  return !startup.empty() && FileExists(AddTrailingBackslash(startup) + LinkFileName(linkName));
}

bool DeleteStartupShortcut(const std::string& target, const std::string& linkName) {
  const std::string startup = StartupFolder();
  if (startup.empty()) return false;
  const std::string name =
      linkName.empty() ? StripExtension(ExtractFileName(target)) : linkName;
  return DeleteFileAt(AddTrailingBackslash(startup) + LinkFileName(name));
}

}  // namespace kv
