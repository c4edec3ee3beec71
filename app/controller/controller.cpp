#include "app/controller/controller.h"

#include <exception>

#include "base/exception.h"
#include "base/ini_file.h"
#include "base/main_thread.h"
#include "base/platform.h"
#include "base/settings_key.h"
#include "base/text.h"
#include "base/texts.h"
#include "base/utils.h"
#include "engine/actions/keystroke_action.h"
#include "engine/actions/midi_action.h"
#include "engine/dispatcher.h"
#include "engine/keys/key_hook_manager.h"
#include "engine/project.h"
#include "engine/timer_manager.h"
#include "engine/trans_engine.h"
#include "engine/translate_params.h"
#include "engine/translator.h"
#include "midi/model/alias.h"
#include "midi/manager/midi_manager.h"
#include "midi/model/router.h"
#include "midi/system/port_text.h"
#include "midi/virtual/virtual_port.h"
#include "midi/manager/virtual_port_setup.h"

namespace kv {

namespace {

// The program file's path with another extension, made absolute against the program's folder.
std::string BesideProgram(const char* extension) {
  std::string path = ChangeFileExt(GetProgramPath(), extension);
  ResolveToProgramFolder(path);
  return path;
}

std::string FormatText(std::string_view pattern, std::string_view value) {
  std::string text(pattern);
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, value);
  return text;
}

}  // namespace

TKVHighLevel::TKVHighLevel() : logSink_(std::make_shared<TLogSink>()) {
  projectFile_ = BesideProgram(kProjectExtension);
  if (!FileExists(projectFile_)) projectFile_.clear();
  settingsFile_ = BesideProgram(kSettingsExtension);
  SetVirtualPortNameFilter(kProductName);
  SetVirtualPortNameBase(Utf16FromNarrow(kProductName));
  SetRuntimeMessageHandler(
      [this](void*, int, const std::string& message) { LogRuntimeError(message); });
  stage_ = 1;
  debugOutput_ = true;
  params_ = CreateParams();
  virtualPortAliasBase_ = kDefaultVirtualPortAliasBase;
}

TKVHighLevel::~TKVHighLevel() {
  Shutdown();
  SetRuntimeMessageHandler({});
  SetVirtualPortNameBase({});
  // Calls already posted to the main thread find no receiver any more.
  std::lock_guard<std::mutex> guard(logSink_->mutex);
  logSink_->onLog = nullptr;
}

std::unique_ptr<TCommandLineParams> TKVHighLevel::CreateParams() {
  return std::make_unique<TCommandLineParams>();
}

void TKVHighLevel::SetStage(uint8_t stage) {
  // Loading settings or a project again after the program started must not take it back.
  if (stage > stage_) stage_ = stage;
}

void TKVHighLevel::EnsureStage(uint8_t target) {
  if (target > 2 && stage_ < 2) StartEngine();
  if (target > 3 && stage_ < 3) LoadSettings(true, true);
  if (target > 4 && stage_ < 4) LoadProject(false, false);
}

void TKVHighLevel::StartEngine() {
  if (stage_ > 1) return;
  Log("Process started", kLogInfo);
  engine_ = std::make_unique<TTransEngine>(
      TEngineBindings{&GetTimerManager(), &MidiManager(), &GetHookManager()});
  ApplyEngineLogging();
  SetSuppressKeysWhenActive(false);
  SetStage(2);
}

void TKVHighLevel::GoLive() {
  if (stage_ > 4) return;
  EnsureStage(5);
  MidiManager().SetSuspended(false);
  SetStage(5);
}

void TKVHighLevel::Shutdown() {
  if (stage_ > 5) return;
  GetTimerManager().KillAll();
  if (MidiManagerExists()) CloseAllMidiPorts();
  const bool hadEngine = static_cast<bool>(engine_);
  engine_.reset();
  params_.reset();
  if (hadEngine) Log("ended.", kLogInfo);
  stage_ = 6;
}

void TKVHighLevel::SetOnLog(TOnLog onLog) {
  std::lock_guard<std::mutex> guard(logSink_->mutex);
  logSink_->onLog = std::move(onLog);
}

void TKVHighLevel::Log(const std::string& message, int level) {
  if (debugOutput_ && (level != kLogVerbose || verbose_)) {
    const std::string line = GetProgramTitle() + ": " + message;
    if (DebugWriter)
      DebugWriter(line);
    else
      kv::DebugOutput(line);
  }
  TMainThreadCalls& calls = TMainThreadCalls::Instance();
  if (calls.IsMainThread()) {
    TOnLog onLog;
    {
      std::lock_guard<std::mutex> guard(logSink_->mutex);
      onLog = logSink_->onLog;
    }
    if (onLog) onLog(message, level);
    return;
  }
  // A MIDI, timer or dispatcher thread: the receiver feeds windows, so it runs on the main
  // thread; the caller never waits for it.
  std::weak_ptr<TLogSink> sink = logSink_;
  calls.Queue([sink, message, level] {
    const std::shared_ptr<TLogSink> alive = sink.lock();
    if (!alive) return;
    TOnLog onLog;
    {
      std::lock_guard<std::mutex> guard(alive->mutex);
      onLog = alive->onLog;
    }
    if (onLog) onLog(message, level);
  });
}

void TKVHighLevel::SetDebug(bool debug) {
  debug_ = debug;
  ApplyEngineLogging();
}

void TKVHighLevel::SetVerbose(bool verbose) {
  verbose_ = verbose;
  ApplyEngineLogging();
}

void TKVHighLevel::ApplyEngineLogging() {
  if (!engine_) return;
  if (debug_ || verbose_)
    engine_->Params().SetOnLog([this](const std::string& line) { Log(line, kLogInfo); });
  else
    engine_->Params().SetOnLog({});
}

void TKVHighLevel::LogRuntimeError(const std::string& text) {
  Log("ERROR:\r\n" + text, kLogError);
}

void TKVHighLevel::LogException(const std::exception& error) {
  Log(error.what(), kLogError);
}

bool TKVHighLevel::AskYesNo(const std::string& text, uint32_t delayMs) {
  return dialogs_ && dialogs_->AskYesNo(text, delayMs);
}

// --- settings --------------------------------------------------------------------------------

void TKVHighLevel::ReadSettings(TCustomIniFile& ini) {
  ReadStore(ini, nullptr);
}

void TKVHighLevel::ImportSettings(TCustomIniFile& ini) {
  TMidiAliasList used;
  CollectUsedAliases(used);
  ReadStore(ini, &used);
  // Whatever the file held, this machine's ports keep their own aliases.
  MakePortAliases();
}

void TKVHighLevel::MakePortAliases() {
  MakeDeviceAliases();
  MakeVirtualPortAliases(true);
}

void TKVHighLevel::ReadStore(TCustomIniFile& ini, const TMidiAliasList* keepUnbound) {
  EnsureStage(3);
  SetStage(3);
  if (!ini.SectionExists("Current"))
    throw Exception(FormatText("This is not a file with %s settings !", GetProgramTitle()));
  if (OnReadSettings) OnReadSettings(ini);
  MidiManager().LoadFromIni(ini);
  if (keepUnbound)
    MidiAliasManager().ReplaceFromIni(ini, *keepUnbound);
  else
    MidiAliasManager().LoadFromIni(ini);
}

void TKVHighLevel::WriteSettings(TCustomIniFile& ini) {
  MidiManager().SaveToIni(ini);
  MidiAliasManager().SaveToIni(ini);
  if (OnWriteSettings) OnWriteSettings(ini);
}

void TKVHighLevel::ReadRegistrySettings(bool& defaultsSet, bool& result) {
  std::unique_ptr<TCustomIniFile> ini =
      GetSettingsRegistry().Open(GetSettingsRegKey(true), false);
  if (ini && ini->SectionExists("Current")) {
    ReadSettings(*ini);
    result = true;
    loadedFrom_ |= kLoadedFromRegistry;
    Log(FormatText("Settings loaded successfully from %s.", "<registry>"), kLogInfo);
    return;
  }
  // No settings yet: the main window sets its defaults from an empty store.
  TMemIniFile empty;
  if (OnReadSettings) OnReadSettings(ini ? *ini : empty);
  defaultsSet = true;
}

void TKVHighLevel::ReadFileSettings(bool defaultsSet, bool& result) {
  if (!FileExists(settingsFile_)) return;  // created by the next save
  TMemIniFile ini(settingsFile_);
  if (!ini.SectionExists("Current")) {
    // Refused: what the registry gave stays; defaults only when nothing else was read.
    if (!defaultsSet && (loadedFrom_ & kLoadedFromRegistry) == 0 && OnReadSettings)
      OnReadSettings(ini);
    settingsFileRefused_ = true;
  }
  ReadSettings(ini);
  result = true;
  Log(FormatText("Settings loaded successfully from %s.", settingsFile_), kLogInfo);
  loadedFrom_ |= kLoadedFromFile;
}

bool TKVHighLevel::LoadSettings(bool fromRegistry, bool fromFile) {
  EnsureStage(3);
  SetStage(3);
  if (params_ && !params_->SettingsFile.empty()) {
    settingsFile_ = params_->SettingsFile;
    params_->SettingsFile.clear();
    settingsFileNamed_ = true;
    fromFile = true;
    fromRegistry = false;
  }
  loadedFrom_ = 0;
  settingsFileRefused_ = false;
  bool result = false;
  bool defaultsSet = false;
  try {
    if (fromRegistry) ReadRegistrySettings(defaultsSet, result);
    if (fromFile && settingsFileNamed_ && !SettingsFileNameUsable()) {
      // The code page cannot hold the name the user gave: another file, or none, would be read
      // and written in its place. (The file beside the program is simply not there then.)
      settingsFileRefused_ = true;
      Log(FormatText("The settings file name \"%s\" has characters this program cannot store: "
                     "the settings are neither read from nor saved to it.",
                     settingsFile_),
          kLogError);
    } else if (fromFile) {
      ReadFileSettings(defaultsSet, result);
    }
  } catch (const std::exception& error) {
    result = false;
    LogException(error);
  }
  return result;
}

bool TKVHighLevel::SettingsFileNameUsable() const {
  // Characters outside the ANSI code page arrive as "?", which no file name may hold.
  return settingsFile_.find_first_of("?*") == std::string::npos;
}

bool TKVHighLevel::SaveSettingsWhereLoaded() {
  saveError_.clear();
  bool toRegistry = (loadedFrom_ & kLoadedFromRegistry) != 0;
  bool toFile = (loadedFrom_ & kLoadedFromFile) != 0;
  if (loadedFrom_ == 0) {
    // Nothing was read. A named settings file that was missing is created; one that was
    // refused is neither overwritten nor replaced by the registry. Otherwise this is a first
    // run, saved to the registry.
    if (settingsFileNamed_)
      toFile = !settingsFileRefused_ && !FileExists(settingsFile_);
    else
      toRegistry = true;
  }
  if (!toRegistry && !toFile) return false;
  return SaveSettings(toRegistry, toFile);
}

bool TKVHighLevel::SaveSettings(bool toRegistry, bool toFile) {
  bool result = false;
  saveError_.clear();
  auto failed = [this](const std::exception& error) {
    if (!saveError_.empty()) saveError_ += "\r\n";
    saveError_ += error.what();
    LogException(error);
  };
  if (toRegistry) {
    try {
      std::unique_ptr<TCustomIniFile> ini =
          GetSettingsRegistry().Open(GetSettingsRegKey(false), true);
      if (!ini) throw Exception("Cannot open the settings key " + GetSettingsRegKey(false));
      WriteSettings(*ini);
      ini->UpdateFile();
      result = true;
      Log(FormatText("Settings saved successfully to %s.", "<registry>"), kLogInfo);
    } catch (const std::exception& error) {
      result = false;
      failed(error);
    }
  }
  if (toFile) {
    try {
      TMemIniFile ini(settingsFile_);
      WriteSettings(ini);
      ini.UpdateFile();
      result = true;
      Log(FormatText("Settings saved successfully to %s.", settingsFile_), kLogInfo);
    } catch (const std::exception& error) {
      result = false;
      failed(error);
    }
  }
  return result;
}

// --- project ---------------------------------------------------------------------------------

bool TKVHighLevel::LoadProject(bool add, bool offerDocuments) {
  EnsureStage(4);
  SetStage(4);
  projectRefused_ = false;
  if (params_ && !params_->ProjectFile.empty()) {
    projectFile_ = params_->ProjectFile;
    params_->ProjectFile.clear();
  }
  if (projectFile_.empty() || !engine_) return false;
  if (projectFile_.find_first_of("?*") != std::string::npos) {
    // Characters outside the ANSI code page arrive as "?": the file is not missing, its name
    // cannot be held.
    Log(FormatText("ERROR: The project file name has characters this program cannot store: "
                   "\r\n%s",
                   projectFile_),
        kLogError);
    return false;
  }
  if (!FileExists(projectFile_)) {
    Log(FormatText("ERROR: Project file does not exist: \r\n%s", projectFile_), kLogError);
    return false;
  }
  try {
    // A file that is no project is refused before anything of the running project changes.
    const std::unique_ptr<TMemIniFile> ini = TPresetHandler::OpenProjectFile(projectFile_);
    engine_->ResetRuntime();
    TCascadedErrorMessageHandler errors(
        [this](int, const std::string& text) { LogRuntimeError(text); });
    TPresetHandler& project = engine_->Project();
    // Opened once, below, after the aliases are bound: the project's opening runs actions.
    project.ReadProject(*ini, projectFile_, false, add, &errors);
    Log("Loaded Project file.", kLogInfo);
    BindUsedAliases(true);
    project.NotifyProjectOpened();
    if (project.GetPresetCount() > 0 && offerDocuments) OfferProjectDocuments();
    return true;
  } catch (const EProjectRefused& error) {
    projectRefused_ = true;
    LogException(error);
    return false;
  } catch (const std::exception& error) {
    LogException(error);
    return false;
  }
}

void TKVHighLevel::OfferProjectDocuments() {
  static const char* const kExtensions[] = {"txt", "pdf", "html", "htm",
                                            "rtf", "ppt", "doc", "url"};
  for (const char* extension : kExtensions) {
    const std::string file = ChangeFileExt(projectFile_, std::string(".") + extension);
    if (!FileExists(file)) continue;
    const std::string question =
        std::string_view(extension) == "url"
            ? std::string("The project has an associated web page.\r\nDo you want to see it now?")
            : FormatText(
                  "The project has associated documentation in %s format.\r\nDo you want to "
                  "open it now?",
                  UpperCase(extension));
    if (AskYesNo(question, 0) && dialogs_) dialogs_->OpenDocument(file);
  }
}

// --- aliases and ports -----------------------------------------------------------------------

namespace {

void AddMidiActionPorts(TTransAction* action, TMidiAliasList& list) {
  auto* midi = dynamic_cast<TTransMidiAction*>(action);
  if (!midi) return;
  TMidiAliasList ports;
  midi->GetPorts(&ports, false);
  for (TMidiAlias* alias : ports.Items()) list.AddUnique(alias);
}

void AddAll(const TMidiAliasList& from, TMidiAliasList& list) {
  for (TMidiAlias* alias : from.Items()) list.AddUnique(alias);
}

}  // namespace

void TKVHighLevel::CollectUsedAliases(TMidiAliasList& list) {
  list.Clear();
  if (engine_) {
    TPresetHandler& project = engine_->Project();
    AddAll(project.GetDefaultInPorts(), list);
    AddAll(project.GetDefaultOutPorts(), list);
    const TPresetSnapshot presets = project.GetPresets();
    for (const TPresetRef& preset : *presets) {
      AddAll(preset->GetDefaultInPorts(), list);
      AddAll(preset->GetDefaultOutPorts(), list);
      for (int i = 0; i < preset->GetCount(); ++i) {
        const TTransMsgPtr translator = preset->GetTranslatorRef(i);
        if (!translator) continue;
        AddMidiActionPorts(translator->Incoming(), list);
        AddMidiActionPorts(translator->Outgoing(), list);
      }
    }
  }
  const TMidiRoutes& routes = MidiRouter().GetRoutes();
  for (int i = 0; i < routes.GetCount(); ++i) {
    const TMidiRoute& route = routes.GetRoute(i);
    if (!route.IsValid()) continue;
    list.AddUnique(route.GetIn());
    list.AddUnique(route.GetOut());
  }
}

void TKVHighLevel::BindUsedAliases(bool report) {
  if (!OnMissingAliases) return;
  TMidiAliasList used;
  CollectUsedAliases(used);
  if (used.IsEmpty()) return;
  TMidiAliasList missing;
  TMidiManager& manager = MidiManager();
  for (TMidiAlias* alias : used.Items()) {
    if (!alias->IsDefined() || !alias->GetDeviceName().empty()) continue;
    const bool isInput = alias->GetKind() == makMidiIn;
    const int index = manager.IndexOfDevice(alias->GetName(), isInput);
    if (index >= 0) {
      const std::string name = alias->GetName();
      MidiAliasManager().DefineAlias(name, alias->GetKind(), name,
                                     manager.GetDevice(index, isInput)->GetName(), false);
    } else if (report) {
      missing.Add(alias);
    }
  }
  if (report) OnMissingAliases(missing);
}

bool TKVHighLevel::OpenUsedPorts(bool ask) {
  TMidiAliasList used;
  CollectUsedAliases(used);
  TMidiManager& manager = MidiManager();
  std::vector<TMMMidiDev*> toOpen, considered, toClose;
  auto seen = [&](TMMMidiDev* slot) {
    for (TMMMidiDev* s : considered)
      if (s == slot) return true;
    return false;
  };
  for (TMidiAlias* alias : used.Items()) {
    if (!alias->IsDefined() || alias->GetDeviceName().empty()) continue;
    const bool isInput = alias->GetKind() == makMidiIn;
    int index = manager.IndexOfDevice(alias->GetDeviceName(), isInput);
    if (index < 0) index = manager.FindOrAddDevice(alias->GetDeviceName(), isInput, false, true);
    TMMMidiDev* slot = manager.GetDevice(index, isInput);
    if (!slot || seen(slot)) continue;
    considered.push_back(slot);
    if (!slot->IsOpen() && !slot->IsOpenRequested()) toOpen.push_back(slot);
  }
  for (const bool isInput : {true, false}) {
    for (int i = 0; i < manager.GetDeviceCount(isInput); ++i) {
      TMMMidiDev* slot = manager.GetDevice(i, isInput);
      if (slot && slot->IsOpen() && !seen(slot)) toClose.push_back(slot);
    }
  }
  if (toOpen.empty() && toClose.empty()) return false;
  if (ask && !AskYesNo("Do you want to open the MIDI ports used in this preset now?", 1000))
    return false;
  for (TMMMidiDev* slot : toOpen) {
    manager.OpenDevice(slot->GetIndex(), slot->IsInput(), false);
    if (slot->IsOpenRequested() && !slot->IsOpen())
      Log(FormatText("Error: MIDI device \"%s\" does not exist\r\nPlease plug it in or assign a "
                     "new device to this alias.",
                     slot->GetName()),
          kLogError);
    else if (!slot->IsOpen())
      Log(FormatText(FormatText("Error: MIDI device \"%s\" cannot be used:\r\n%s", slot->GetName()),
                     slot->GetLastError()),
          kLogError);
  }
  for (TMMMidiDev* slot : toClose) manager.CloseDevice(slot->GetIndex(), slot->IsInput(), false);
  return true;
}

void TKVHighLevel::RemoveStaleDeviceAliases() {
  TMidiAliasManager& aliases = MidiAliasManager();
  TMidiManager& manager = MidiManager();
  for (int i = aliases.GetCount() - 1; i >= 0; --i) {
    TMidiAlias* alias = aliases.GetItem(i);
    if (!alias || !alias->IsDefined()) continue;
    if (!SameText(alias->GetDeviceName(), alias->GetName())) continue;
    const bool isInput = alias->GetKind() == makMidiIn;
    if (manager.IndexOfDevice(alias->GetDeviceName(), isInput) < 0) aliases.DeleteAlias(i);
  }
}

void TKVHighLevel::MakeDeviceAliases() {
  TMidiManager& manager = MidiManager();
  TMidiAliasManager& aliases = MidiAliasManager();
  for (const bool isInput : {true, false}) {
    for (int i = 0; i < manager.GetDeviceCount(isInput); ++i) {
      TMMMidiDev* slot = manager.GetDevice(i, isInput);
      if (!slot || !slot->IsPresent()) continue;
      aliases.SetAliasDevice(slot->GetName(), slot->GetName(), isInput ? makMidiIn : makMidiOut);
    }
  }
}

void TKVHighLevel::MakeVirtualPortAliases(bool create) {
  TMidiAliasManager& aliases = MidiAliasManager();
  aliases.BeginUpdate();
  try {
    for (const bool isInput : {false, true}) {
      const uint8_t kind = isInput ? makMidiIn : makMidiOut;
      int count = 0;
      if (create) {
        TVirtualPortNames ports;
        const std::u16string filter = Utf16FromNarrow(kProductName);
        if (isInput)
          DefaultMidiPortEnumerator().EnumVirtualInputNames(ports, filter);
        else
          DefaultMidiPortEnumerator().EnumVirtualOutputNames(ports, filter);
        for (const auto& port : ports) {
          ++count;
          const std::string name = virtualPortAliasBase_ + " " + IntToStr(count);
          aliases.DefineAlias(name, kind, name, port.first, true);
        }
      }
      for (int k = count + 1;; ++k) {
        const int index = aliases.IndexOf(virtualPortAliasBase_ + " " + IntToStr(k), kind);
        if (index < 0) break;
        aliases.DeleteAlias(index);
      }
    }
  } catch (...) {
    aliases.EndUpdate();
    throw;
  }
  aliases.EndUpdate();
}

void TKVHighLevel::RescanDevices(bool force) {
  MidiManager().Rescan(force, true);
}

}  // namespace kv
