#pragma once
// How the main window starts the program: what creation does with the window, the first-show
// message and the start-up continuation message (posted when the splash hides). The model
// says which steps run; the window runs them one per message, in the order decided, so its
// thread answers between them. Each one-time step runs once however often the messages
// arrive. Main thread only.
#include <deque>
#include <optional>
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
  // The one-time start-up, in four steps: the automatic aliases and their rebinding, the
  // start-with-Windows shortcut read and the device-change subscription; the project loaded;
  // the controller started (MIDI ports opened) with the modified mark cleared; the first
  // preset's translators shown.
  MakePortAliases,
  LoadProject,
  GoLive,
  SelectFirstPreset,
  // start-up continuation: decided when it is reached, after the steps queued before it
  Continue,
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

// What creation does with the window once the settings are read. The first-show message comes
// from the window's show report (once per showing, whichever message tells it; a window shown
// maximised or minimised reports too), and from creation only for a window not shown, which
// reports nothing: every start gets it exactly once.
struct TCreateDecision {
  bool showMainForm = true;
  bool showMinimized = false;  // shown iconic, on the task bar
  bool hideApplicationWindow = false;
  bool postFirstShow = false;
  const char* trayCaption = kTrayMinimizeCaption;
};
// startedMinimized: the process was started with a minimised show command, or the placement
// read holds the window minimised. A minimised start (that, or "StartMinimized") waits in the
// tray when minimising hides the window there, else on the task bar.
TCreateDecision DecideMainWindowCreate(const TMainSettings& settings, bool startedMinimized);

class TMainStartup {
 public:
  // Message 0x52C; wParam 1 when start-up had already continued. Queues the steps decided.
  void FirstShow(unsigned wParam, const TStartupState& state, const TMainSettings& settings);
  // Message 0x47D: the continuation is queued behind what is queued already (the one-time
  // start-up above all) and decided when it is reached.
  void QueueContinue();
  // The continuation's steps. Before the one-time start-up has run they are that start-up
  // and the continuation once more, so that what follows is decided on the loaded project.
  // The pending project (from "CurrentProject") is opened only when the loaded project is
  // empty and was not refused; the window clears the pending name when it opens it.
  std::vector<TStartupStep> Continue(const TStartupState& state, const TMainSettings& settings,
                                     const std::string& pendingProject);
  // The next queued step, a continuation reached being decided in its place with the window
  // as it is now; nothing when none is left.
  std::optional<TStartupStep> NextStep(const TStartupState& state, const TMainSettings& settings,
                                       const std::string& pendingProject);
  bool StepsPending() const { return !queue_.empty(); }
  // The window closes: what is left would act on a window going away.
  void DropSteps() { queue_.clear(); }
  // The wParam FormShow posts 0x52C with.
  unsigned FirstShowParam() const { return continued_ ? 1u : 0u; }

 private:
  void GoLiveOnce(std::vector<TStartupStep>& steps);

  bool logReopened_ = false;
  bool editorReopened_ = false;
  bool goneLive_ = false;  // its steps are decided
  bool continued_ = false;
  std::deque<TStartupStep> queue_;
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
