#include "engine/project.h"

#include <algorithm>
#include <functional>
#include <span>

#include "base/exception.h"
#include "base/ini_file.h"
#include "base/platform.h"
#include "base/text.h"
#include "base/text_helpers.h"
#include "engine/format.h"
#include "engine/trans_timer_manager.h"
#include "midi/model/router.h"

namespace kv {

namespace {

// Holds the project's lock (the engine's and the dispatcher's) for a scope.
class TProjectLock {
 public:
  explicit TProjectLock(TPresetHandler& project) : project_(project) { project_.Lock(); }
  ~TProjectLock() { project_.Unlock(); }
  TProjectLock(const TProjectLock&) = delete;
  TProjectLock& operator=(const TProjectLock&) = delete;

 private:
  TPresetHandler& project_;
};

std::string PresetSection(int index) {
  return kPresetSectionPrefix + IntToStr(index);
}

void Report(TCascadedErrorMessageHandler* errors, const std::string& text) {
  if (errors) errors->ReportError(0, text);
}

// The keys the reader knows in each kind of section, numbered ones by their stem.
constexpr std::string_view kProjectKeys[] = {"Version",  "Author",         "AuthorContact",
                                             "Comments", "DefaultInPorts", "DefaultOutPorts"};
constexpr std::string_view kPresetKeys[] = {"Name", "Active", "PresetSwitchIgnore",
                                            "DefaultInPorts", "DefaultOutPorts"};
constexpr std::string_view kTranslatorKeyStems[] = {"Name",    "Incoming",       "Outgoing",
                                                    "Options", "OutputOriginal", "Stop"};
constexpr std::string_view kRouteKeyStems[] = {"In", "Out"};

bool IsOneOf(std::string_view key, std::span<const std::string_view> names) {
  return std::any_of(names.begin(), names.end(),
                     [key](std::string_view name) { return SameText(key, name); });
}

// A stem followed by a decimal number, as "Incoming12".
bool IsNumberedKey(std::string_view key, std::span<const std::string_view> stems) {
  for (std::string_view stem : stems) {
    if (key.size() <= stem.size() || !SameText(key.substr(0, stem.size()), stem)) continue;
    const std::string_view number = key.substr(stem.size());
    if (std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return true;
  }
  return false;
}

bool SectionHasKey(const TCustomIniFile& ini, const std::string& section,
                   const std::function<bool(std::string_view)>& known) {
  for (const std::string& key : ini.ReadSection(section))
    if (known(key)) return true;
  return false;
}

// True when some section holds a key the reader knows: a key of the project section, a route,
// or a preset or translator key in any other section (files without a version name their
// presets freely).
bool HoldsProjectData(const TCustomIniFile& ini) {
  for (const std::string& section : ini.ReadSections()) {
    bool known;
    if (SameText(section, kProjectSection))
      known =
          SectionHasKey(ini, section, [](std::string_view k) { return IsOneOf(k, kProjectKeys); });
    else if (SameText(section, kMidiRoutesSection))
      known = SectionHasKey(ini, section,
                            [](std::string_view k) { return IsNumberedKey(k, kRouteKeyStems); });
    else
      known = SectionHasKey(ini, section, [](std::string_view k) {
        return IsOneOf(k, kPresetKeys) || IsNumberedKey(k, kTranslatorKeyStems);
      });
    if (known) return true;
  }
  return false;
}

bool AnyValidRoute(const TMidiRoutes& routes) {
  for (int i = 0; i < routes.GetCount(); ++i)
    if (routes.GetRoute(i).IsValid()) return true;
  return false;
}

}  // namespace

// --- construction -------------------------------------------------------------------------

TPresetHandler::TPresetHandler(TGlobalTranslateParams* params, TProcedure onProjectOpened,
                               TPresetActivated onPresetActivated, TProcedure onUnlock,
                               TProcedure onLock, TMidiRouter* router)
    : params_(params),
      onLock_(std::move(onLock)),
      onUnlock_(std::move(onUnlock)),
      onProjectOpened_(std::move(onProjectOpened)),
      onPresetActivated_(std::move(onPresetActivated)),
      router_(router ? *router : MidiRouter()),
      presets_(std::make_shared<const std::vector<TPresetRef>>()) {
  presetOwner_.loading = [this] { return loading_; };
  presetOwner_.activated = [this](TTransList& preset) { PresetActivated(preset); };
  router_.AddChangeListener({&TPresetHandler::RoutesChanged, this});
  SetTimerNameChangeHandler(&TPresetHandler::TimerNameRegistered, this);
}

TPresetHandler::~TPresetHandler() {
  ClearTimerNameChangeHandler(this);
  router_.RemoveChangeListener({&TPresetHandler::RoutesChanged, this});
  // Nobody hears of a project that is going away.
  onProjectChanged_ = nullptr;
  onPresetsChanged_ = nullptr;
  onPresetChanged_ = nullptr;
  onTranslatorsChanged_ = nullptr;
  onPresetActivated_ = nullptr;
  onProjectOpened_ = nullptr;
  ++updateCount_;
  ClearProject();
}

void TPresetHandler::Lock() {
  if (onLock_) onLock_();
}

void TPresetHandler::Unlock() {
  if (onUnlock_) onUnlock_();
}

void TPresetHandler::RoutesChanged(void* project, TMidiRouter&) {
  static_cast<TPresetHandler*>(project)->ProjectChanged();
}

void TPresetHandler::TimerNameRegistered(TPresetHandler* project, const TTransAction*,
                                         const std::string& name, int32_t id) {
  if (project) project->AddTimerName(name, id);
}

// --- the preset list ----------------------------------------------------------------------

TPresetSnapshot TPresetHandler::GetPresets() const {
  std::lock_guard<std::mutex> lock(presetsMutex_);
  return presets_;
}

std::vector<TPresetRef> TPresetHandler::CopyPresets() const {
  return *GetPresets();
}

void TPresetHandler::Publish(std::vector<TPresetRef> presets) {
  TPresetSnapshot next = std::make_shared<const std::vector<TPresetRef>>(std::move(presets));
  {
    std::lock_guard<std::mutex> lock(presetsMutex_);
    presets_.swap(next);
  }
  // next (the old list) goes here, outside the mutex: freeing a preset takes its write lock.
}

int TPresetHandler::GetPresetCount() const {
  return static_cast<int>(GetPresets()->size());
}

TLockableTransList* TPresetHandler::GetPreset(int index) const {
  const TPresetSnapshot presets = GetPresets();
  if (index < 0 || index >= static_cast<int>(presets->size())) return nullptr;
  return (*presets)[static_cast<size_t>(index)].get();
}

int TPresetHandler::IndexOfPreset(const TTransList* preset) const {
  const TPresetSnapshot presets = GetPresets();
  for (size_t i = 0; i < presets->size(); ++i)
    if ((*presets)[i].get() == preset) return static_cast<int>(i);
  return -1;
}

int TPresetHandler::FindPreset(std::string_view name) const {
  const TPresetSnapshot presets = GetPresets();
  for (size_t i = 0; i < presets->size(); ++i)
    if ((*presets)[i]->IsNamed(name)) return static_cast<int>(i);
  return -1;
}

void TPresetHandler::BindPreset(TLockableTransList& preset) {
  preset.SetOwner(&presetOwner_);
  preset.SetParams(params_);
  preset.SetOnPresetChanged([this](TTransList& p) { PresetChanged(&p); });
  preset.SetOnTranslatorsChanged([this](TTransList& p) { TranslatorsChanged(&p); });
}

void TPresetHandler::UnbindPreset(TLockableTransList& preset) {
  preset.SetOwner(nullptr);
  preset.SetOnPresetChanged(nullptr);
  preset.SetOnTranslatorsChanged(nullptr);
}

TPresetRef TPresetHandler::MakePreset() {
  TPresetRef preset = std::make_shared<TLockableTransList>();
  BindPreset(*preset);
  return preset;
}

TLockableTransList& TPresetHandler::NewPreset() {
  TPresetRef preset = MakePreset();
  std::vector<TPresetRef> presets = CopyPresets();
  presets.push_back(preset);
  Publish(std::move(presets));
  return *preset;
}

TLockableTransList& TPresetHandler::AddPresetCopy(const TTransList& source) {
  TLockableTransList* copy;
  {
    TProjectLock lock(*this);
    copy = &NewPreset();
    copy->Assign(source);
    BindPreset(*copy);  // the copy belongs to this project, whoever owned the source
  }
  PresetsChanged();
  return *copy;
}

bool TPresetHandler::AddPresetNamed(std::string_view name) {
  {
    TProjectLock lock(*this);
    if (FindPreset(name) >= 0) return false;
    NewPreset().SetName(std::string(name));
  }
  PresetsChanged();
  return true;
}

bool TPresetHandler::MovePreset(int from, int to, bool notify) {
  {
    TProjectLock lock(*this);
    std::vector<TPresetRef> presets = CopyPresets();
    const int last = static_cast<int>(presets.size()) - 1;
    if (last < 0) return false;
    from = std::clamp(from, 0, last);
    to = std::clamp(to, 0, last);
    if (from == to) return false;
    TPresetRef moving = presets[static_cast<size_t>(from)];
    presets.erase(presets.begin() + from);
    presets.insert(presets.begin() + to, std::move(moving));
    Publish(std::move(presets));
  }
  if (notify) PresetsChanged();
  return true;
}

void TPresetHandler::DeletePreset(int index) {
  TPresetRef removed;  // freed after the lock; a walk holding it keeps it until it ends
  {
    TProjectLock lock(*this);
    std::vector<TPresetRef> presets = CopyPresets();
    if (index < 0 || index >= static_cast<int>(presets.size())) return;
    removed = presets[static_cast<size_t>(index)];
    presets.erase(presets.begin() + index);
    UnbindPreset(*removed);
    Publish(std::move(presets));
  }
  removed.reset();
  PresetsChanged();
}

void TPresetHandler::SortPresets() {
  {
    TProjectLock lock(*this);
    std::vector<TPresetRef> presets = CopyPresets();
    std::vector<std::pair<std::string, TPresetRef>> keyed;
    keyed.reserve(presets.size());
    for (TPresetRef& p : presets) keyed.emplace_back(p->GetDisplayName(), std::move(p));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
      const int c = AnsiCompareText(a.first, b.first);
      return c != 0 ? c < 0 : a.first < b.first;
    });
    presets.clear();
    for (auto& k : keyed) presets.push_back(std::move(k.second));
    Publish(std::move(presets));
  }
  PresetsChanged();
}

void TPresetHandler::KillAllTimers() {
  if (timers_) timers_->KillAll();
}

void TPresetHandler::ClearProject() {
  std::vector<TPresetRef> old;
  bool routesChanged;
  bool hadPresets;
  ++updateCount_;  // what changes here is reported once the lock is released
  {
    TProjectLock lock(*this);
    old = CopyPresets();
    hadPresets = !old.empty();
    if (hadPresets) Publish({});
    fileName_.clear();
    for (const TPresetRef& p : old) {
      UnbindPreset(*p);
      p->SetActive(false);
    }
    routesChanged = AnyValidRoute(router_.GetRoutes());
    router_.ClearRoutes();
    KillAllTimers();
    timerNames_.clear();
    author_.clear();
    authorContact_.clear();
    comments_.clear();
    defaultInPorts_.Clear();
    defaultOutPorts_.Clear();
  }
  old.clear();
  --updateCount_;
  if (hadPresets || routesChanged) {
    ProjectChanged();
    PresetsChanged();
  }
}

// --- preset switching -----------------------------------------------------------------------

void TPresetHandler::SwitchToPreset(int index, TCascadedErrorMessageHandler* errors) {
  const TPresetSnapshot presets = GetPresets();
  if (index == -1) {
    if (switchIgnoreTarget_) {
      switchIgnoreTarget_ = false;
      PresetChanged(nullptr);
    }
    return;
  }
  if (index < 0 || index >= static_cast<int>(presets->size())) {
    Report(errors, FormatText("Preset index %d out of bounds.", {index}));
    return;
  }
  for (size_t i = 0; i < presets->size(); ++i) {
    TLockableTransList& p = *(*presets)[i];
    if (static_cast<int>(i) == index) {
      p.SetActive(true);
      switchIgnoreTarget_ = p.PresetSwitchIgnore();
      if (switchIgnoreTarget_) PresetChanged(&p);
    } else if (!p.PresetSwitchIgnore()) {
      p.SetActive(false);
    }
  }
}

int TPresetHandler::FindSwitchTarget(bool forward) const {
  const TPresetSnapshot presets = GetPresets();
  std::vector<int> switchable;
  for (size_t i = 0; i < presets->size(); ++i)
    if (!(*presets)[i]->PresetSwitchIgnore()) switchable.push_back(static_cast<int>(i));
  if (switchable.empty()) return -1;
  const int n = static_cast<int>(switchable.size());
  if (forward) {
    for (int k = 0; k < n; ++k)
      if ((*presets)[static_cast<size_t>(switchable[k])]->Active()) return switchable[(k + 1) % n];
    return switchable.front();
  }
  for (int k = n - 1; k >= 0; --k)
    if ((*presets)[static_cast<size_t>(switchable[k])]->Active())
      return switchable[(k + n - 1) % n];
  return switchable.back();
}

void TPresetHandler::ActivateNextPreset() {
  const int target = FindSwitchTarget(true);
  if (target >= 0) SwitchToPreset(target, nullptr);
}

void TPresetHandler::ActivatePreviousPreset() {
  const int target = FindSwitchTarget(false);
  if (target >= 0) SwitchToPreset(target, nullptr);
}

void TPresetHandler::LogLine(const std::string& line) const {
  if (params_ && params_->IsLogging()) params_->Log(line);
}

bool TPresetHandler::SetPresetActiveByName(const std::string& name, bool active) {
  const int index = FindPreset(name);
  if (index < 0) {
    LogLine(FormatText("Cannot find preset named \"%s\"", {name}));
    return false;
  }
  GetPreset(index)->SetActive(active);
  return true;
}

bool TPresetHandler::SetPresetActiveByNumber(int32_t number, bool active) {
  TLockableTransList* preset = GetPreset(number);
  if (!preset) {
    LogLine(FormatText("Cannot find preset with index %d", {number}));
    return false;
  }
  preset->SetActive(active);
  return true;
}

void TPresetHandler::ExecutePresetChange(int mode, int32_t number, const std::string& name) {
  switch (mode) {
    case 0:
      ActivateNextPreset();
      break;
    case 1:
      ActivatePreviousPreset();
      break;
    case 2: {
      const int index = FindPreset(name);
      if (index < 0)
        LogLine(FormatText("Cannot find preset named \"%s\"", {name}));
      else
        SwitchToPreset(index, nullptr);
      break;
    }
    case 3:
      if (number < 0 || number >= GetPresetCount())
        LogLine(FormatText("Cannot find preset with index %d", {number}));
      else
        SwitchToPreset(number, nullptr);
      break;
    case 4:
      SetPresetActiveByName(name, true);
      break;
    case 5:
      SetPresetActiveByNumber(number, true);
      break;
    case 6:
      SetPresetActiveByName(name, false);
      break;
    case 7:
      SetPresetActiveByNumber(number, false);
      break;
    default:
      break;
  }
}

// --- texts, ports, timer names ----------------------------------------------------------------

void TPresetHandler::SetAuthor(std::string text) {
  if (author_ == text) return;
  author_ = std::move(text);
  ProjectChanged();
}

void TPresetHandler::SetAuthorContact(std::string text) {
  if (authorContact_ == text) return;
  authorContact_ = std::move(text);
  ProjectChanged();
}

void TPresetHandler::SetComments(std::string text) {
  if (comments_ == text) return;
  comments_ = std::move(text);
  ProjectChanged();
}

void TPresetHandler::SetFileName(std::string fileName) {
  fileName_ = std::move(fileName);
  ProjectChanged();
}

void TPresetHandler::SetDefaultPorts(TSharedPortList& ports, const TMidiAliasList* list) {
  if (!ports.Set(list)) return;
  ProjectChanged();
}

void TPresetHandler::SetDefaultInPorts(const TMidiAliasList* ports) {
  SetDefaultPorts(defaultInPorts_, ports);
}

void TPresetHandler::SetDefaultOutPorts(const TMidiAliasList* ports) {
  SetDefaultPorts(defaultOutPorts_, ports);
}

void TPresetHandler::AddTimerName(const std::string& name, int32_t id) {
  for (const TTimerName& t : timerNames_)
    if (t.id == id) return;
  timerNames_.push_back({name, id});
}

// --- notifications ----------------------------------------------------------------------------

std::vector<TPresetHandler::TProjectListener>& TPresetHandler::Listeners() {
  static std::vector<TProjectListener> listeners;  // main thread only
  return listeners;
}

void TPresetHandler::AddProjectListener(TProjectListener listener) {
  std::vector<TProjectListener>& l = Listeners();
  if (listener && std::find(l.begin(), l.end(), listener) == l.end()) l.push_back(listener);
}

void TPresetHandler::RemoveProjectListener(TProjectListener listener) {
  std::vector<TProjectListener>& l = Listeners();
  l.erase(std::remove(l.begin(), l.end(), listener), l.end());
}

void TPresetHandler::CallListeners() {
  const std::vector<TProjectListener> listeners = Listeners();  // a listener may unregister
  for (TProjectListener listener : listeners) listener(*this);
}

void TPresetHandler::BeginUpdate() {
  ++updateCount_;
}

void TPresetHandler::EndUpdate() {
  if (updateCount_ <= 0) return;
  if (--updateCount_ == 0) {
    ProjectChanged();
    PresetsChanged();
  }
}

void TPresetHandler::ProjectChanged() {
  if (updateCount_ > 0) return;
  if (onProjectChanged_) onProjectChanged_();
  CallListeners();
}

void TPresetHandler::PresetsChanged() {
  if (updateCount_ > 0) return;
  if (onPresetsChanged_) onPresetsChanged_();
  CallListeners();
}

void TPresetHandler::PresetChanged(TTransList* preset) {
  if (updateCount_ > 0) return;
  if (onPresetChanged_) onPresetChanged_(preset);
  CallListeners();
}

void TPresetHandler::TranslatorsChanged(TTransList* preset) {
  if (updateCount_ > 0) return;
  if (onTranslatorsChanged_) onTranslatorsChanged_(preset);
  CallListeners();
}

void TPresetHandler::PresetActivated(TTransList& preset) {
  if (onPresetActivated_) onPresetActivated_(*this, preset, IndexOfPreset(&preset));
}

void TPresetHandler::NotifyProjectOpened() {
  KillAllTimers();
  if (params_) params_->Globals().Clear();
  if (onProjectOpened_) onProjectOpened_();
  const TPresetSnapshot presets = GetPresets();
  for (size_t i = 0; i < presets->size(); ++i) {
    TLockableTransList& p = *(*presets)[i];
    if (p.Active() && onPresetActivated_) onPresetActivated_(*this, p, static_cast<int>(i));
  }
}

// --- project file -----------------------------------------------------------------------------

std::string TPresetHandler::RefusalOf(const TCustomIniFile& ini, const std::string& fileName) {
  if (ini.ReadInteger(kProjectSection, "Version", -1) > kProjectFileVersion)
    return FormatText(
        "This project file is incompatible with this version of %s. \r\nPlease update to be "
        "able to use this project file.",
        {kProjectProductName});
  if (!HoldsProjectData(ini))
    return FormatText(
        "This is not a project file:\r\n%s\r\nNothing was loaded: no project, preset or "
        "translator in it.",
        {fileName});
  return {};
}

std::unique_ptr<TMemIniFile> TPresetHandler::OpenProjectFile(const std::string& fileName) {
  const std::string cannotLoad = FormatText("Error: Cannot load file: %s", {fileName});
  if (!FileExists(fileName)) throw Exception(cannotLoad);
  std::unique_ptr<TMemIniFile> ini;
  try {
    ini = std::make_unique<TMemIniFile>(fileName);
  } catch (const EFileError&) {
    throw Exception(cannotLoad);
  }
  if (std::string refusal = RefusalOf(*ini, fileName); !refusal.empty())
    throw EProjectRefused(refusal);
  return ini;
}

void TPresetHandler::LoadFromFile(const std::string& fileName, bool append, bool notify,
                                  TCascadedErrorMessageHandler* errors) {
  const std::unique_ptr<TMemIniFile> ini = OpenProjectFile(fileName);
  ReadProject(*ini, fileName, notify, append, errors);
}

void TPresetHandler::ReadProjectTexts(const TCustomIniFile& ini, const std::string& fileName) {
  author_ = ini.ReadString(kProjectSection, "Author", "");
  authorContact_ = ini.ReadString(kProjectSection, "AuthorContact", "");
  comments_ = UnescapeText(ini.ReadString(kProjectSection, "Comments", ""));
  if (ini.ValueExists(kProjectSection, "DefaultInPorts"))
    defaultInPorts_.LoadFromData(ini.ReadString(kProjectSection, "DefaultInPorts", ""),
                                 makMidiIn);
  if (ini.ValueExists(kProjectSection, "DefaultOutPorts"))
    defaultOutPorts_.LoadFromData(ini.ReadString(kProjectSection, "DefaultOutPorts", ""),
                                  makMidiOut);
  fileName_ = fileName;
}

bool TPresetHandler::ReadPresetSection(const TCustomIniFile& ini, const std::string& section,
                                       int version, bool nameAfterSection,
                                       TCascadedErrorMessageHandler* errors) {
  // One pass over the section, not a lookup per key.
  const TKeyValueLines lines = TKeyValueLines::FromSection(ini, section);
  // This version writes every preset's name first: a section without it was cut off.
  if (version >= kAllKeysWrittenVersion && !nameAfterSection && !lines.Has("Name") &&
      ini.SectionExists(section))
    Report(errors, FormatText("Error while loading preset \"%s\":\r\n    incomplete: Name and "
                              "what followed it lost (the file is cut off or damaged here)",
                              {section}));
  TLockableTransList& preset = NewPreset();
  if (nameAfterSection) preset.SetName(section);
  try {
    preset.ReadFromStrings(lines, version, errors);
  } catch (const Exception& e) {
    DeletePreset(IndexOfPreset(&preset));
    Report(errors, e.Message());
    return false;
  }
  if (nameAfterSection) preset.SetName(section);
  return true;
}

bool TPresetHandler::ReadProject(const TCustomIniFile& ini, const std::string& fileName,
                                 bool notify, bool append, TCascadedErrorMessageHandler* errors) {
  // Checked before the open project is cleared: a file this program cannot read must not cost
  // the user the project that is open.
  if (std::string refusal = RefusalOf(ini, fileName); !refusal.empty()) {
    Report(errors, refusal);
    return false;
  }
  Lock();
  BeginUpdate();
  loading_ = true;
  try {
    const int version = ini.ReadInteger(kProjectSection, "Version", -1);
    if (!append) {
      ClearProject();
      ReadProjectTexts(ini, fileName);
    }

    int count = 0;
    bool stopped = false;
    for (const std::string& section : ini.ReadSections()) {
      if (SameText(section, kMidiRoutesSection)) {
        ReportIncompleteRoutes(ini, version, errors);
        router_.LoadFromIni(ini, append);
      } else if (version > 0) {
        if (StrHasPrefix(section, kPresetSectionPrefix, false)) ++count;
      } else if (version == -1) {
        if (!ReadPresetSection(ini, section, version, true, errors)) {
          stopped = true;
          break;
        }
      }
    }
    for (int i = 0; !stopped && i < count; ++i)
      stopped = !ReadPresetSection(ini, PresetSection(i), version, false, errors);

    if (version == -1 && !append) {
      SortPresets();
      if (TLockableTransList* first = GetPreset(0)) first->SetActive(true);
    }
  } catch (const std::exception& e) {
    Report(errors, e.what());
  }
  Unlock();
  EndUpdate();
  loading_ = false;
  if (notify) NotifyProjectOpened();
  return true;
}

void TPresetHandler::ReportIncompleteRoutes(const TCustomIniFile& ini, int version,
                                            TCascadedErrorMessageHandler* errors) {
  // Routes come last in the file: one cut off has its input and no output, and would be
  // dropped at the next save.
  if (version < kAllKeysWrittenVersion) return;
  for (int n = 0; ini.ValueExists(kMidiRoutesSection, "In" + IntToStr(n)); ++n)
    if (!ini.ValueExists(kMidiRoutesSection, "Out" + IntToStr(n)))
      Report(errors, FormatText("Error while loading MIDI route %d from \"%s\":\r\n    "
                                "incomplete: Out lost (the file is cut off or damaged here)",
                                {n, ini.ReadString(kMidiRoutesSection, "In" + IntToStr(n), "")}));
}

int TPresetHandler::WriteProject(TCustomIniFile& ini) {
  TProjectLock lock(*this);
  ini.WriteString(kProjectSection, "Version", IntToStr(kProjectFileVersion));
  ini.WriteString(kProjectSection, "Author", author_);
  ini.WriteString(kProjectSection, "AuthorContact", authorContact_);
  ini.WriteString(kProjectSection, "Comments", EscapeText(comments_));
  ini.WriteString(kProjectSection, "DefaultInPorts",
                  defaultInPorts_.Current().SaveToData(makMidiIn));
  ini.WriteString(kProjectSection, "DefaultOutPorts",
                  defaultOutPorts_.Current().SaveToData(makMidiOut));
  const TPresetSnapshot presets = GetPresets();
  int failed = 0;
  for (size_t i = 0; i < presets->size(); ++i)
    if ((*presets)[i]->WriteToIni(ini, PresetSection(static_cast<int>(i))) < 0) ++failed;
  // Presets left from an earlier write would be read back as presets of this project.
  for (int n = static_cast<int>(presets->size()); ini.SectionExists(PresetSection(n)); ++n)
    ini.EraseSection(PresetSection(n));
  router_.SaveToIni(ini);
  return failed;
}

void TPresetHandler::SaveToFile(const std::string& fileName) {
  TMemIniFile ini;  // a new text: nothing of the old file survives in the new one
  ini.SetFileName(fileName);
  const int failed = WriteProject(ini);
  if (failed > 0)
    throw EFileError(FormatText("Cannot save project \"%s\": %d presets could not be written",
                                {fileName, failed}));
  ini.UpdateFile();  // a complete temporary file, then replaces the old one
  SetFileName(fileName);
}

}  // namespace kv
