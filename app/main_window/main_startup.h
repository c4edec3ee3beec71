#pragma once
// How the main window starts the program: what creation does with the window, the first-show
// message and the start-up continuation message (posted when the splash hides). The model
// says which steps run; the window runs them. Each one-time step runs once however often the
// messages arrive. Main thread only.
#include <string>
#include <vector>

namespace kv {

struct TMainSettings;

inline constexpr unsigned kFirstShowMessage = 0x52C;
inline constexpr unsigned kStartupContinueMessage = 0x47D;
inline constexpr unsigned kCommandRefreshMessage = 0x40D;
inline constexpr unsigned kTrayCallbackMessage = 0x7E8;
inline constexpr unsigned kCloseRequestMessage = 0x69A;  // wParam 0x69A too

inline constexpr const char* kTrayShowCaption = "&Show";
inline constexpr const char* kTrayMinimizeCaption = "&Minimize";

enum class TStartupStep {
  // first show
  ReopenLogWindow,
  ReopenEditor,
  Repaint,
  InstallHints,
  ReevaluateLamps,
  ContinueAfterSplash,  // see PostContinueAtOnce
  GiveEditorEngine,
  // the one-time start-up: automatic aliases and rebinding, device-change subscription, the
  // interface utilities get the engine, the controller goes live, modified cleared, the
  // start-with-Windows shortcut read
  GoLive,
  // start-up continuation
  PointRecentFilesForReading,
  MigrateRegistryProjects,
  ApplyTrayIcon,
  OpenPendingProject,
  RefreshPresetChecks,
  ReportFailedDevices,
  WatchAliasChanges,
  InstallExamplePresets,  // its own decision: see example_presets.h
  GivePresetFolder,
};

// What the window is at the moment a message arrives.
struct TStartupState {
  bool closing = false;
  bool quitting = false;     // the command line asked to close
  bool terminating = false;  // the application is ending
  bool visible = false;
  bool projectHasPresets = false;
  // The project named for this start (command line) was no project and was refused: the
  // user asked for that file, so the last one does not open silently in its place.
  bool projectRefused = false;
};

// What creation does with the window once the settings are read.
struct TCreateDecision {
  bool showMainForm = true;
  bool showMinimized = false;  // shown iconic, on the task bar
  bool hideApplicationWindow = false;
  bool postFirstShow = false;
  const char* trayCaption = kTrayMinimizeCaption;
};
// startedMinimized: the process was started with a minimised show command. A minimised start
// (that, or "StartMinimized") waits in the tray when minimising hides the window there, else
// on the task bar.
TCreateDecision DecideMainWindowCreate(const TMainSettings& settings, bool startedMinimized);

class TMainStartup {
 public:
  // Message 0x52C; wParam 1 when start-up had already continued.
  std::vector<TStartupStep> FirstShow(unsigned wParam, const TStartupState& state,
                                      const TMainSettings& settings);
  // Message 0x47D. The pending project (from "CurrentProject") is opened only when the loaded
  // project is empty and was not refused; the window clears the pending name when it opens it.
  std::vector<TStartupStep> Continue(const TStartupState& state, const TMainSettings& settings,
                                     const std::string& pendingProject);
  // The wParam FormShow posts 0x52C with.
  unsigned FirstShowParam() const { return continued_ ? 1u : 0u; }
  bool GoneLive() const { return goneLive_; }

 private:
  void GoLiveOnce(const TStartupState& state, std::vector<TStartupStep>& steps);

  bool logReopened_ = false;
  bool editorReopened_ = false;
  bool goneLive_ = false;
  bool continued_ = false;
};

// After the first show: 0x47D is posted at once, unless a start-up splash is counting down (its
// hiding posts it). With the splash off the start-up still continues.
bool PostContinueAtOnce(bool startupSplashCounting);

// The failed-device warning: one line per input, then per output, then the advice; empty when
// nothing failed.
std::string FailedDevicesText(const std::vector<std::string>& failedInputs,
                              const std::vector<std::string>& failedOutputs);
// The user's data folder when none is set: documents folder + "\Zarn's Korvanta".
std::string DefaultPresetFolder(const std::string& documentsFolder);

}  // namespace kv
