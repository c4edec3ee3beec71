#pragma once
// MIDI port aliases: the names that translators, presets, the project's default ports and
// the MIDI routes use for ports, and their bindings to this machine's devices.
//
// Lifecycle: the process-wide alias manager (MidiAliasManager) is created on first use and
// lives until the process ends. An alias object is never freed while the manager lives:
// deleting an alias only makes it undefined, so every TMidiAlias* held elsewhere (alias
// lists of actions, presets, routes, MIDI manager slots) stays valid.
//
// Threads: aliases are created, changed, loaded and saved on the main thread only. MIDI
// callback threads read an alias's kind and device slot index through the alias lists they
// hold, without a lock; those two fields are atomic for that reason.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class TCustomIniFile;

enum TMidiAliasKind : uint8_t {
  makNone = 0,  // undefined or deleted
  makMidiIn = 1,
  makMidiOut = 2,
  makSerialPort = 3,
};

// "None", "MIDI IN", "MIDI OUT", "Serial Port"; empty text for any other value.
std::string GetMidiAliasKindName(int kind);
// Non-empty and without a double quote.
bool IsValidAliasName(std::string_view name);

inline constexpr const char* kMidiAliasSection = "MIDI.alias";

class TMidiAlias {
 public:
  TMidiAlias(std::string name, std::string deviceName, uint8_t kind, bool automatic)
      : kind_(kind),
        name_(std::move(name)),
        deviceName_(std::move(deviceName)),
        automatic_(automatic) {}
  TMidiAlias(const TMidiAlias&) = delete;
  TMidiAlias& operator=(const TMidiAlias&) = delete;

  uint8_t GetKind() const { return kind_.load(std::memory_order_acquire); }
  const std::string& GetName() const { return name_; }
  const std::string& GetDeviceName() const { return deviceName_; }
  bool IsAutomatic() const { return automatic_; }
  bool IsInput() const { return GetKind() == makMidiIn || GetKind() == makSerialPort; }
  bool IsDefined() const { return GetKind() != makNone; }

  // The MIDI manager's slot of the alias's direction that holds the bound device, -1 when
  // none. Written by the MIDI manager, read by MIDI callback threads.
  int32_t GetDeviceIndex() const { return deviceIndex_.load(std::memory_order_acquire); }
  void SetDeviceIndex(int32_t index) { deviceIndex_.store(index, std::memory_order_release); }

 private:
  friend class TMidiAliasManager;

  std::atomic<uint8_t> kind_;
  std::string name_;        // compared case-insensitively
  std::string deviceName_;  // empty when unbound
  bool automatic_;          // made by the program for its own virtual ports; not stored
  std::atomic<int32_t> deviceIndex_{-1};
};

// An ordered list of alias references; it owns none of them.
class TMidiAliasList {
 public:
  int GetCount() const { return static_cast<int>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }
  TMidiAlias* GetItem(int index) const { return items_.at(static_cast<size_t>(index)); }
  const std::vector<TMidiAlias*>& Items() const { return items_; }
  void Clear() { items_.clear(); }
  void Add(TMidiAlias* alias) { items_.push_back(alias); }
  bool Contains(const TMidiAlias* alias) const;

  // Appends unless the alias is none or already listed.
  void AddUnique(TMidiAlias* alias);
  // Appends the other list's aliases in order; without allowDuplicates an alias already
  // present is skipped.
  void AddAliases(const TMidiAliasList* other, bool allowDuplicates);
  // Becomes a copy of the other list, or empty when given none.
  void Assign(const TMidiAliasList* other);
  // True when both lists hold the same aliases, regardless of order and repetition.
  bool SameMembers(const TMidiAliasList& other) const;

  // The names of the defined aliases, in list order, separated by ", ".
  std::string GetDisplayText() const;
  bool HasDeviceIndex(int32_t index) const;
  TMidiAlias* FindAlias(std::string_view name, uint8_t kind) const;
  int CountOfKind(uint8_t kind) const;

  // The MIDA block: "MIDA", the count as 4 hexadecimal digits, then each name as a
  // length-prefixed string. Only aliases of the given kind are written.
  std::string SaveToData(uint8_t kind) const;
  // Reads a MIDA block at the 1-based position start of text (as the text helpers count)
  // and returns the characters it consumed (0 when no block starts there). Names the manager does
  // not know become new unbound aliases of that kind. A malformed block throws kv::Exception; the
  // list keeps the entries read before the fault.
  size_t LoadFromData(std::string_view text, size_t start, uint8_t kind);

 private:
  std::vector<TMidiAlias*> items_;
};

// A change listener: a function and the object it is called for. Two listeners are the same
// when both parts are.
template <class TSender>
struct TChangeMethod {
  void (*function)(void* object, TSender& sender) = nullptr;
  void* object = nullptr;
  bool operator==(const TChangeMethod&) const = default;
};

// Listener entries are never deleted: removing one clears it, adding reuses the cleared entry
// nearest the end, so a listener may add or remove listeners while being called.
template <class TSender>
class TChangeListeners {
 public:
  void Add(TChangeMethod<TSender> method) {
    for (size_t i = entries_.size(); i-- > 0;)
      if (!entries_[i].function) {
        entries_[i] = method;
        return;
      }
    entries_.push_back(method);
  }
  void Remove(TChangeMethod<TSender> method) {
    for (TChangeMethod<TSender>& e : entries_)
      if (e == method) e = {};
  }
  void Call(TSender& sender) {
    for (size_t i = 0; i < entries_.size(); ++i) {
      const TChangeMethod<TSender> e = entries_[i];  // a copy: the call may change entries_
      if (e.function) e.function(e.object, sender);
    }
  }
  size_t EntryCount() const { return entries_.size(); }

 private:
  std::vector<TChangeMethod<TSender>> entries_;
};

// The change notification of the MIDI layer's shared objects (aliases, routes): listeners,
// and updates that defer notifications. A change inside an update (BeginUpdate ... EndUpdate,
// nested) is reported once, when the outermost update ends. Single-threaded, like its owner.
template <class TSender>
class TChangeNotifier {
 public:
  explicit TChangeNotifier(TSender& sender) : sender_(sender) {}
  TChangeNotifier(const TChangeNotifier&) = delete;
  TChangeNotifier& operator=(const TChangeNotifier&) = delete;

  void AddListener(TChangeMethod<TSender> method) { listeners_.Add(method); }
  void RemoveListener(TChangeMethod<TSender> method) { listeners_.Remove(method); }
  size_t EntryCount() const { return listeners_.EntryCount(); }

  void BeginUpdate() { ++updateCount_; }
  // An EndUpdate without its BeginUpdate changes nothing.
  void EndUpdate() {
    if (updateCount_ > 0) --updateCount_;
    if (updateCount_ == 0 && changedWhileDeferred_) {
      changedWhileDeferred_ = false;
      Notify();
    }
  }
  // Calls every listener with the sender, or, inside an update, remembers to.
  void Notify() {
    if (updateCount_ > 0) {
      changedWhileDeferred_ = true;
      return;
    }
    listeners_.Call(sender_);
  }

 private:
  TSender& sender_;
  TChangeListeners<TSender> listeners_;
  int updateCount_ = 0;
  bool changedWhileDeferred_ = false;
};

class TMidiAliasManager {
 public:
  using TListener = TChangeMethod<TMidiAliasManager>;

  TMidiAliasManager() = default;
  TMidiAliasManager(const TMidiAliasManager&) = delete;
  TMidiAliasManager& operator=(const TMidiAliasManager&) = delete;

  // Creates an alias and appends it; returns its index. Does not look for an existing one.
  int AddAlias(std::string name, std::string deviceName, uint8_t kind, bool automatic);
  // Finds (oldName, kind) and sets name, device and flag when any of them differs (names
  // compared case-sensitively); adds an alias when none is found. Renames go through here.
  void DefineAlias(std::string_view oldName, uint8_t kind, std::string newName,
                   std::string deviceName, bool automatic);
  // Sets name, device and flag of that very alias when any of them differs: for callers that
  // hold the alias and must not find another one of the same name (a rename in progress).
  void RedefineAlias(TMidiAlias& alias, std::string newName, std::string deviceName,
                     bool automatic);
  // Finds (name, kind) or adds it with that device; returns the alias's index.
  int SetAliasDevice(std::string_view name, std::string deviceName, uint8_t kind);
  // The first alias of that name and kind; when missing and create is set, a new unbound one.
  TMidiAlias* Lookup(std::string_view name, uint8_t kind, bool create);
  void GetAliasesOfDevice(std::string_view deviceName, uint8_t kind, TMidiAliasList& list) const;

  int GetCount() const { return static_cast<int>(aliases_.size()); }  // deleted ones included
  TMidiAlias* GetItem(int index) const;                               // none outside the list
  int CountOfKind(uint8_t kind) const;
  int IndexOf(std::string_view name, uint8_t kind) const;
  int IndexOfAlias(const TMidiAlias* alias) const;

  // Makes the alias undefined (kind None); the object stays. Outside the list: ignored.
  void DeleteAlias(int index);
  void ClearAliases();

  void AddChangeListener(TListener listener) { notifier_.AddListener(listener); }
  void RemoveChangeListener(TListener listener) { notifier_.RemoveListener(listener); }
  void BeginUpdate() { notifier_.BeginUpdate(); }
  void EndUpdate() { notifier_.EndUpdate(); }
  void NotifyChange() { notifier_.Notify(); }

  // Section MIDI.alias of the settings. Loading rebinds the aliases it names in place and
  // appends only names not known yet, so the alias objects a project holds stay defined.
  void LoadFromIni(const TCustomIniFile& settings);
  // The section read as the whole set (settings imported): the aliases it names as
  // LoadFromIni reads them; every other alias is deleted, except those in keepUnbound, which
  // stay defined but lose their device.
  void ReplaceFromIni(const TCustomIniFile& settings, const TMidiAliasList& keepUnbound);
  void SaveToIni(TCustomIniFile& settings) const;

 private:
  static bool SetKind(TMidiAlias& alias, uint8_t kind);
  // Reads the section's aliases (in place where known) and returns those it named.
  std::vector<const TMidiAlias*> ReadAliasSection(const TCustomIniFile& settings);

  // Main thread only. Owned; unique_ptr keeps each alias at its address for the whole run.
  std::vector<std::unique_ptr<TMidiAlias>> aliases_;
  TChangeNotifier<TMidiAliasManager> notifier_{*this};
};

// The process-wide alias manager, created on first use.
TMidiAliasManager& MidiAliasManager();
bool MidiAliasManagerExists();

}  // namespace kv
