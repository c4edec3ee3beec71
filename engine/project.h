#pragma once
// TPresetHandler: the project. It holds the ordered presets, the project's descriptive texts,
// its default MIDI ports and the names of the timers it uses; it switches presets when
// preset-change actions ask, tells the user interface what changed, and reads and writes the
// project file (".kvxp": section "Project", one section "Preset.<n>" per preset, and the MIDI
// router's section "MIDI.routes").
//
// Lifecycle: made and owned by the engine on the main thread; every operation runs on the
// main thread, except GetPresets and the port snapshots, which event producers and queued
// actions take on their own threads.
//
// Locks: structural changes (presets added, moved, deleted, cleared, sorted, read, written)
// run between OnLock and OnUnlock, the engine's lock and then the dispatcher's. Event
// producers never take those: they take a snapshot of the preset list (GetPresets) and walk
// each preset under its read lock. presetsMutex_ guards only the published snapshot and is
// held just long enough to copy or replace it; it is innermost. A preset stays alive while a
// snapshot holds it, so a walk never uses a freed preset. No receiver or listener is called
// with presetsMutex_ held. The default port lists are published the same way
// (TSharedPortList, a leaf lock each).
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "base/exception.h"
#include "engine/preset.h"
#include "engine/shared_port_list.h"
#include "midi/model/alias.h"

namespace kv {

class TCascadedErrorMessageHandler;
class TCustomIniFile;
class TMemIniFile;
class TGlobalTranslateParams;
class TMidiRouter;
class TTransAction;
class TTransTimerManager;

inline constexpr int kProjectFileVersion = 2;
inline constexpr const char* kProjectSection = "Project";
inline constexpr const char* kPresetSectionPrefix = "Preset.";
// The product name the too-new-file message names.
inline constexpr const char* kProjectProductName = "Zarn's Korvanta";

// A file the project reader will not read: one of a newer version, or one in which it finds
// nothing it knows (empty, binary, another program's INI file). The open project stays as it
// was.
class EProjectRefused : public Exception {
 public:
  using Exception::Exception;
};

using TPresetRef = std::shared_ptr<TLockableTransList>;
using TPresetSnapshot = std::shared_ptr<const std::vector<TPresetRef>>;

class TPresetHandler final {
 public:
  using TProcedure = std::function<void()>;
  using TPresetNotify = std::function<void(TTransList* preset)>;
  using TPresetActivated =
      std::function<void(TPresetHandler& project, TTransList& preset, int index)>;
  // A program-wide listener: called after every notification of every project.
  using TProjectListener = void (*)(TPresetHandler& project);

  // The router's routes are project data: a change of them fires project changed. Registers
  // AddTimerName as the program-wide receiver of timer-name registrations.
  TPresetHandler(TGlobalTranslateParams* params, TProcedure onProjectOpened,
                 TPresetActivated onPresetActivated, TProcedure onUnlock, TProcedure onLock,
                 TMidiRouter* router = nullptr);
  ~TPresetHandler();
  TPresetHandler(const TPresetHandler&) = delete;
  TPresetHandler& operator=(const TPresetHandler&) = delete;

  TGlobalTranslateParams* Params() const { return params_; }
  TMidiRouter& Router() const { return router_; }
  // The timer manager that clearing and opening a project kill all timers of; none: no timers.
  void SetTimerManager(TTransTimerManager* timers) { timers_ = timers; }

  void Lock();
  void Unlock();

  // --- presets ---------------------------------------------------------------------------
  // Any thread: the presets as they are now; the snapshot keeps them alive while held.
  TPresetSnapshot GetPresets() const;
  int GetPresetCount() const;
  TLockableTransList* GetPreset(int index) const;  // none outside the list
  int IndexOfPreset(const TTransList* preset) const;
  int FindPreset(std::string_view name) const;  // ignoring case; -1 when none

  TLockableTransList& NewPreset();
  TLockableTransList& AddPresetCopy(const TTransList& preset);
  bool AddPresetNamed(std::string_view name);
  bool MovePreset(int from, int to, bool notify);
  void DeletePreset(int index);
  void SortPresets();
  void ClearProject();
  bool IsLoading() const { return loading_; }
  // What each preset it holds sees of it.
  const TPresetOwner& PresetOwner() const { return presetOwner_; }

  // --- preset switching ------------------------------------------------------------------
  void SwitchToPreset(int index, TCascadedErrorMessageHandler* errors);
  void ActivateNextPreset();
  void ActivatePreviousPreset();
  // Modes: 0 next, 1 previous, 2 switch to named, 3 switch to number, 4 activate named,
  // 5 activate number, 6 deactivate named, 7 deactivate number.
  void ExecutePresetChange(int mode, int32_t number, const std::string& name);
  bool SwitchIgnoreTarget() const { return switchIgnoreTarget_; }

  // --- descriptive texts and ports -------------------------------------------------------
  const std::string& GetAuthor() const { return author_; }
  const std::string& GetAuthorContact() const { return authorContact_; }
  const std::string& GetComments() const { return comments_; }
  const std::string& GetFileName() const { return fileName_; }
  void SetAuthor(std::string text);
  void SetAuthorContact(std::string text);
  void SetComments(std::string text);
  void SetFileName(std::string fileName);
  // Main thread. Other threads (walks, queued actions) take a snapshot: the main thread may
  // change the lists at any time, without the engine lock that only edits take.
  const TMidiAliasList& GetDefaultInPorts() const { return defaultInPorts_.Current(); }
  const TMidiAliasList& GetDefaultOutPorts() const { return defaultOutPorts_.Current(); }
  // Any thread: the list as it is now, unchanged while it is held.
  std::shared_ptr<const TMidiAliasList> DefaultInPortsSnapshot() const {
    return defaultInPorts_.Snapshot();
  }
  std::shared_ptr<const TMidiAliasList> DefaultOutPortsSnapshot() const {
    return defaultOutPorts_.Snapshot();
  }
  void SetDefaultInPorts(const TMidiAliasList* ports);
  void SetDefaultOutPorts(const TMidiAliasList* ports);

  // --- timer names -----------------------------------------------------------------------
  struct TTimerName {
    std::string name;
    int32_t id;
  };
  std::vector<TTimerName> GetTimerNames() const { return timerNames_; }
  // Adds the name unless an entry with that id is listed.
  void AddTimerName(const std::string& name, int32_t id);

  // --- notifications ---------------------------------------------------------------------
  void BeginUpdate();
  void EndUpdate();
  void SetOnProjectChanged(TProcedure receiver) { onProjectChanged_ = std::move(receiver); }
  void SetOnPresetsChanged(TProcedure receiver) { onPresetsChanged_ = std::move(receiver); }
  void SetOnPresetChanged(TPresetNotify receiver) { onPresetChanged_ = std::move(receiver); }
  void SetOnTranslatorsChanged(TPresetNotify receiver) {
    onTranslatorsChanged_ = std::move(receiver);
  }
  static void AddProjectListener(TProjectListener listener);
  static void RemoveProjectListener(TProjectListener listener);
  void ProjectChanged();
  void PresetsChanged();
  void PresetChanged(TTransList* preset);
  void TranslatorsChanged(TTransList* preset);
  // Called by a preset whose active flag changed (not while loading).
  void PresetActivated(TTransList& preset);
  // Kills all timers, zeroes the global variables, tells the engine the project opened and
  // reports every active preset's activation in order.
  void NotifyProjectOpened();

  // --- project file ----------------------------------------------------------------------
  // Throws kv::Exception "Error: Cannot load file: <name>" when the file does not exist or
  // cannot be read, and EProjectRefused (the project untouched) when it is no file this
  // program reads; every error inside the file goes to errors and the load goes on or stops
  // as the file allows, keeping what was read.
  void LoadFromFile(const std::string& fileName, bool append, bool notify,
                    TCascadedErrorMessageHandler* errors);
  // The file read into memory and checked as LoadFromFile does, before anything of the open
  // project changes.
  static std::unique_ptr<TMemIniFile> OpenProjectFile(const std::string& fileName);
  // Why the text cannot be read as a project (a newer version, nothing the reader knows);
  // empty when it can.
  static std::string RefusalOf(const TCustomIniFile& ini, const std::string& fileName);
  // False when the text was refused: its reason went to errors and the project is unchanged.
  bool ReadProject(const TCustomIniFile& ini, const std::string& fileName, bool notify, bool append,
                   TCascadedErrorMessageHandler* errors);
  // Writes a complete new file beside the old one and then replaces it, so a failed save
  // leaves the old file whole. Throws kv::EFileError when the file cannot be written; the
  // remembered file name changes only on success.
  void SaveToFile(const std::string& fileName);
  // Returns the number of presets that could not be written (0 when all were).
  int WriteProject(TCustomIniFile& ini);

 private:
  static void RoutesChanged(void* project, TMidiRouter& sender);
  static void TimerNameRegistered(TPresetHandler* project, const TTransAction* action,
                                  const std::string& name, int32_t id);
  static std::vector<TProjectListener>& Listeners();
  void CallListeners();

  std::vector<TPresetRef> CopyPresets() const;
  void Publish(std::vector<TPresetRef> presets);
  void BindPreset(TLockableTransList& preset);
  void UnbindPreset(TLockableTransList& preset);
  TPresetRef MakePreset();
  void KillAllTimers();
  void SetDefaultPorts(TSharedPortList& ports, const TMidiAliasList* list);

  void ReadProjectTexts(const TCustomIniFile& ini, const std::string& fileName);
  // False when the preset could not be read (it is removed again and the load stops).
  void ReportIncompleteRoutes(const TCustomIniFile& ini, int version,
                              TCascadedErrorMessageHandler* errors);
  bool ReadPresetSection(const TCustomIniFile& ini, const std::string& section, int version,
                         bool nameAfterSection, TCascadedErrorMessageHandler* errors);
  int FindSwitchTarget(bool forward) const;
  bool SetPresetActiveByName(const std::string& name, bool active);
  bool SetPresetActiveByNumber(int32_t number, bool active);
  void LogLine(const std::string& line) const;

  TGlobalTranslateParams* params_;
  TProcedure onLock_;
  TProcedure onUnlock_;
  TProcedure onProjectOpened_;
  TPresetActivated onPresetActivated_;
  TPresetOwner presetOwner_;  // set once at construction; its calls reach this project
  TMidiRouter& router_;
  TTransTimerManager* timers_ = nullptr;

  mutable std::mutex presetsMutex_;  // guards presets_ (the pointer, not the presets)
  TPresetSnapshot presets_;

  // Main thread only.
  std::string fileName_;
  int updateCount_ = 0;
  bool switchIgnoreTarget_ = false;
  bool loading_ = false;
  TProcedure onProjectChanged_;
  TProcedure onPresetsChanged_;
  TPresetNotify onPresetChanged_;
  TPresetNotify onTranslatorsChanged_;
  std::string author_;
  std::string authorContact_;
  std::string comments_;
  TSharedPortList defaultInPorts_;
  TSharedPortList defaultOutPorts_;
  std::vector<TTimerName> timerNames_;
};

}  // namespace kv
