#pragma once
// The controller: the one object that drives the program's life. It owns the translation
// engine, walks the program through its stages (created, engine running, settings loaded,
// project loaded, started, ended), loads and saves the settings, loads the project, runs the
// command line, binds the project's port aliases to devices and is the single entry point for
// the shell's log lines.
//
// Threads: everything runs on the main thread except `Log`, which the engine's log handler and
// the dispatcher's message handler may reach from other threads; what `Log` hands to `OnLog` is
// always delivered on the main thread (posted, the caller never waits).
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/product.h"
#include "base/settings_registry.h"
#include "editor/props/project_ports.h"

namespace kv {

class TCustomIniFile;
class TTransEngine;
class TMidiAliasList;

inline constexpr const char* kDefaultVirtualPortAliasBase = "Zarn Virtual Port";
inline constexpr const char* kProjectExtension = ".kvxp";
inline constexpr const char* kSettingsExtension = ".kvxs";

enum : int { kLogInfo = 0, kLogVerbose = 1, kLogError = 2 };

// Files the command line names before the stage that loads them; that stage takes and clears
// them.
class TCommandLineParams {
 public:
  virtual ~TCommandLineParams() = default;
  std::string ProjectFile;
  std::string SettingsFile;
};

// The questions the controller asks and the documents it opens. The main window installs one
// that shows its dialogs; without one every question is answered No and nothing is opened.
// Lifecycle: set with SetDialogs, kept alive by the caller while the controller lives.
class TControllerDialogs {
 public:
  virtual ~TControllerDialogs() = default;
  // A Yes/No confirmation whose buttons stay disabled for delayMs; true for Yes.
  virtual bool AskYesNo(const std::string& text, uint32_t delayMs) = 0;
  // Opens a document with the shell.
  virtual void OpenDocument(const std::string& file) = 0;
};

class TKVHighLevel : public TProjectPorts {
 public:
  using TOnLog = std::function<void(const std::string& message, int level)>;
  using TOnSettings = std::function<void(TCustomIniFile& ini)>;
  using TOnMissingAliases = std::function<void(TMidiAliasList& aliases)>;

  TKVHighLevel();
  virtual ~TKVHighLevel();
  TKVHighLevel(const TKVHighLevel&) = delete;
  TKVHighLevel& operator=(const TKVHighLevel&) = delete;

  virtual std::unique_ptr<TCommandLineParams> CreateParams();
  virtual void StartEngine();
  virtual void GoLive();
  virtual void Shutdown();
  // Removes every argument it understands (with its value); true when an autostart option was
  // among them.
  virtual bool ParseCommandLine(std::vector<std::string>& list);
  virtual void Log(const std::string& message, int level);
  virtual bool LoadProject(bool add, bool offerDocuments);
  virtual bool LoadSettings(bool fromRegistry, bool fromFile);
  virtual void ReadSettings(TCustomIniFile& ini);

  void EnsureStage(uint8_t target);
  // Import Settings: ReadSettings, except that the file's aliases replace the current set.
  // Those the open project names and the file lacks stay, unbound, so the project's next save
  // loses no port; the ports present keep their own aliases.
  void ImportSettings(TCustomIniFile& ini);
  void WriteSettings(TCustomIniFile& ini);
  bool SaveSettings(bool toRegistry, bool toFile);
  // The save at exit: where the last load read from; after a first run the registry, or the
  // settings file named on the command line, which is then created. A refused settings file
  // is never written over, and a named one keeps the registry untouched.
  bool SaveSettingsWhereLoaded();
  // Why the last SaveSettings failed, a line per store it could not write (each naming the
  // key or file); empty when it wrote every store it was asked to.
  const std::string& LastSaveError() const { return saveError_; }
  void OfferProjectDocuments();
  void SetDebug(bool debug);
  void SetVerbose(bool verbose);
  void LogRuntimeError(const std::string& text);
  void LogException(const std::exception& error);
  void CollectUsedAliases(TMidiAliasList& list) override;
  void BindUsedAliases(bool report) override;
  bool OpenUsedPorts(bool ask) override;
  void RemoveStaleDeviceAliases();
  void MakeDeviceAliases();
  void MakeVirtualPortAliases(bool create);
  // Every present port gets an alias of its own name, each of the program's virtual ports its
  // numbered one, and those of virtual ports gone are dropped.
  void MakePortAliases();
  // A scan now and a forced one 10 s later. Unforced (the system's device-change report), the
  // scan matches ports anew only when their count changed; the user's rescan is forced, since
  // a device swapped for another leaves the count as it was.
  void RescanDevices(bool force = false);
  // Runs the program's own arguments (or the given ones): parse, then report what is left.
  void RunCommandLine();
  void RunCommandLine(const std::vector<std::string>& arguments);
  void InstallAutostart();
  void RemoveAutostart();

  uint8_t Stage() const { return stage_; }
  TTransEngine* Engine() const { return engine_.get(); }
  bool Debug() const { return debug_; }
  bool Verbose() const { return verbose_; }
  bool DebugOutput() const { return debugOutput_; }
  const std::string& ProjectFile() const { return projectFile_; }
  void SetProjectFile(std::string file) { projectFile_ = std::move(file); }
  const std::string& SettingsFile() const { return settingsFile_; }
  void SetSettingsFile(std::string file) { settingsFile_ = std::move(file); }
  uint8_t LoadedFrom() const { return loadedFrom_; }
  // True when the last project load found a file that is no project this program reads and
  // left the open project as it was.
  bool ProjectRefused() const { return projectRefused_; }
  // True once the command line named the settings file: the registry is then left alone.
  bool SettingsFileNamed() const { return settingsFileNamed_; }
  TCommandLineParams& Params() { return *params_; }
  const std::string& VirtualPortAliasBase() const { return virtualPortAliasBase_; }
  void SetDialogs(TControllerDialogs* dialogs) { dialogs_ = dialogs; }

  // Where the last settings load succeeded.
  static constexpr uint8_t kLoadedFromRegistry = 1;
  static constexpr uint8_t kLoadedFromFile = 2;

  // Set by the main window. OnLog is always called on the main thread.
  void SetOnLog(TOnLog onLog);
  TOnSettings OnReadSettings;
  // Where the debugger output goes; the system's debugger output unless a test records it.
  std::function<void(const std::string& text)> DebugWriter;
  TOnSettings OnWriteSettings;
  TOnMissingAliases OnMissingAliases;

 private:
  // What Log hands on, shared with calls posted to the main thread so that a call posted just
  // before the controller goes finds the receiver gone instead of a freed controller.
  struct TLogSink {
    std::mutex mutex;  // guards onLog
    TOnLog onLog;
  };

  void SetStage(uint8_t stage);
  void ReadStore(TCustomIniFile& ini, const TMidiAliasList* keepUnbound);
  void ApplyEngineLogging();
  bool AskYesNo(const std::string& text, uint32_t delayMs);
  void ReadRegistrySettings(bool& defaultsSet, bool& result);
  void ReadFileSettings(bool defaultsSet, bool& result);
  bool SettingsFileNameUsable() const;
  void SetVirtualPorts(const std::string& option, const std::string& value, bool atLeast,
                       bool silent);
  void OpenPortOption(const std::string& name, bool isInput);

  uint8_t stage_ = 0;
  std::unique_ptr<TTransEngine> engine_;
  bool debugOutput_ = false;
  bool debug_ = false;
  bool verbose_ = false;
  std::string projectFile_;
  std::string settingsFile_;
  uint8_t loadedFrom_ = 0;
  bool projectRefused_ = false;
  bool settingsFileNamed_ = false;    // the command line named the settings file
  bool settingsFileRefused_ = false;  // the last load refused the settings file
  std::string saveError_;             // see LastSaveError
  std::unique_ptr<TCommandLineParams> params_;
  std::shared_ptr<TLogSink> logSink_;
  std::string virtualPortAliasBase_;
  TControllerDialogs* dialogs_ = nullptr;
};

// The program's arguments after its name, as the process got them (tests may set them).
std::vector<std::string> ProgramArguments();
void SetProgramArgumentsForTests(std::vector<std::string> arguments);
// True when "/close" is among the program's arguments; looked for once, then remembered (the
// parse of "/close" remembers it too).
bool IsCloseRequested();
void ResetCloseRequestForTests();
// True when a parse met "/close" (the check tool reports it without looking at its own
// arguments).
bool IsCloseRequestedByParse();

}  // namespace kv
