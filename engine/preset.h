#pragma once
// TTransList: a preset, an ordered list of translators with a name, an active flag, a flag
// that keeps preset switching away from it, and default MIDI ports. TLockableTransList, the
// kind a project owns, adds the readers-writer lock that lets event producers walk a preset
// while the main thread edits it.
//
// Locks: in a TLockableTransList the lock guards the translator list, the name and both port
// lists. Every change (translators, name, flags, ports, reading a section) holds the write
// lock; GetCount, GetTranslator and GetName take the read lock. An event walk holds the read
// lock for the whole walk and reads the list with the *Locked accessors, which take no lock
// (a walk must not take the same read lock twice). Receivers are never called with the lock
// held. The active flag is atomic, so a walk may test it before it takes the lock.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/lock.h"
#include "engine/shared_port_list.h"
#include "engine/translate_params.h"
#include "engine/translator.h"
#include "midi/model/alias.h"

namespace kv {

class TCustomIniFile;
class TTransList;

// The project that holds a preset, as the preset sees it: a preset whose active flag changes
// tells its project, except while the project is being loaded. The project sets its own as
// the owner of each preset it holds and clears it when it lets the preset go.
struct TPresetOwner {
  std::function<bool()> loading;
  std::function<void(TTransList& preset)> activated;
};

inline constexpr const char* kUnnamedPresetText = "(unnamed)";
// From this file version on, every translator, preset and route is written with all its keys.
inline constexpr int kAllKeysWrittenVersion = 2;

// The key=value lines of one section, looked up by key ignoring ASCII case (the first line
// of a key wins, as the INI store reads it).
class TKeyValueLines {
 public:
  using TLines = std::vector<std::pair<std::string, std::string>>;

  TKeyValueLines() = default;
  explicit TKeyValueLines(TLines lines);
  static TKeyValueLines FromSection(const TCustomIniFile& ini, std::string_view section);
  void Add(std::string key, std::string value);
  bool Has(std::string_view key) const { return Find(key) != kMissing; }
  // Empty text when the key is missing.
  const std::string& Value(std::string_view key) const;

 private:
  static constexpr uint32_t kMissing = UINT32_MAX;
  uint32_t Find(std::string_view key) const;  // the first line of the key, or kMissing
  void Index(uint32_t line);
  void Rehash(size_t slots);

  TLines lines_;
  // Open addressing over lines_, a power of two in size and at most half full; a slot holds a
  // line number + 1 (0: free). Keys are hashed with their letters folded, so a lookup makes
  // no folded copy of the key.
  std::vector<uint32_t> slots_;
};

// A stored flag is true when its text begins with "1", "T", "Y", "t" or "y".
bool IsTrueFlagText(std::string_view text);
// "(always active)" or "[always active]", ignoring case.
bool IsAlwaysActivePresetName(std::string_view name);

// Adds the preset and translator names to each message of a translator being loaded, and
// passes it on to the project's handler.
class TLoadingTransListErrorHandler : public TCascadedErrorMessageHandler {
 public:
  TLoadingTransListErrorHandler(TCascadedErrorMessageHandler* parent, std::string presetName);
  void SetTranslatorName(std::string name) { translatorName_ = std::move(name); }
  void ReportError(int code, const std::string& text) override;
  // A translator error callback that reports through this handler.
  TTransMsgErrorCallback Callback();

 private:
  TCascadedErrorMessageHandler* parent_;
  std::string presetName_;
  std::string translatorName_;
};

class TTransList {
 public:
  using TReceiver = std::function<void(TTransList& preset)>;

  TTransList() = default;
  virtual ~TTransList() = default;
  TTransList(const TTransList&) = delete;
  TTransList& operator=(const TTransList&) = delete;

  // No-ops here; TLockableTransList takes its readers-writer lock.
  virtual void LockList(bool write) const { (void)write; }
  virtual void UnlockList(bool write) const { (void)write; }

  const TPresetOwner* Owner() const { return owner_; }
  void SetOwner(const TPresetOwner* owner) { owner_ = owner; }
  TGlobalTranslateParams* Params() const { return params_; }
  void SetParams(TGlobalTranslateParams* params) { params_ = params; }
  void SetOnPresetChanged(TReceiver receiver) { onPresetChanged_ = std::move(receiver); }
  void SetOnTranslatorsChanged(TReceiver receiver) { onTranslatorsChanged_ = std::move(receiver); }

  // --- translators -----------------------------------------------------------------------
  void AddTranslator(TTransMsgPtr translator);
  // Appends the translators (empty ones skipped) in one step: one lock, one change notice,
  // so a paste of thousands is not thousands of notices. Returns how many went in.
  int AddTranslators(const std::vector<TTransMsgPtr>& translators);
  // index 0..count and a non-empty name; returns the index, or -1 (nothing inserted).
  int InsertTranslator(int index, TTransMsgPtr translator);
  void DeleteTranslator(int index, bool notify);
  void ReplaceTranslator(int index, TTransMsgPtr translator);
  bool MoveTranslator(int from, int to);
  // Releases every translator and empties both port lists.
  void Clear();
  int GetCount() const;
  TTransMsg* GetTranslator(int index) const;  // none outside the list
  TTransMsgPtr GetTranslatorRef(int index) const;
  // For a caller that holds the lock (an event walk): no lock taken.
  int GetCountLocked() const { return static_cast<int>(translators_.size()); }
  TTransMsg* GetTranslatorLocked(int index) const;

  // --- properties ------------------------------------------------------------------------
  std::string GetName() const;
  std::string GetDisplayName() const;  // "(unnamed)" for an empty name
  void SetName(std::string name);
  bool IsNamed(std::string_view text) const;
  bool Active() const { return active_.load(std::memory_order_acquire) != 0; }
  void SetActive(bool active);
  bool PresetSwitchIgnore() const { return presetSwitchIgnore_; }
  void SetPresetSwitchIgnore(bool ignore);
  // For a caller that holds the lock, or on the main thread.
  const TMidiAliasList& GetDefaultInPorts() const { return defaultInPorts_.Current(); }
  const TMidiAliasList& GetDefaultOutPorts() const { return defaultOutPorts_.Current(); }
  // Any thread, no lock needed: the default MIDI OUT ports as they are now; the list stays as
  // it is while it is held (a queued action keeps the one its event saw).
  std::shared_ptr<const TMidiAliasList> DefaultOutPortsSnapshot() const {
    return defaultOutPorts_.Snapshot();
  }
  void SetDefaultInPorts(const TMidiAliasList* ports);
  void SetDefaultOutPorts(const TMidiAliasList* ports);

  // Becomes a copy of the other preset with clones of its translators.
  void Assign(const TTransList& other);

  // --- project file ----------------------------------------------------------------------
  // Reads a preset section; returns the number of translators. Errors of single
  // translators go to errors (with the preset's and translator's names) and reading goes
  // on; an error that escapes (a malformed port list) leaves the lock released. In files of
  // kAllKeysWrittenVersion and later, a translator that lacks some of its keys is kept
  // with what it has and reported with the keys that were lost.
  int ReadFromStrings(const TKeyValueLines& lines, int fileVersion,
                      TCascadedErrorMessageHandler* errors);
  // Writes the preset section; returns the number of translators written, -1 on failure.
  int WriteToIni(TCustomIniFile& ini, const std::string& section) const;

 protected:
  class TListLock;
  // Drops every translator and port without notifying; the caller holds the write lock.
  void ClearLocked();

 private:
  bool SetPorts(TSharedPortList& ports, const TMidiAliasList* list);
  void NotifyPresetChanged();
  void NotifyTranslatorsChanged();

  const TPresetOwner* owner_ = nullptr;
  TGlobalTranslateParams* params_ = nullptr;
  TReceiver onPresetChanged_;
  TReceiver onTranslatorsChanged_;
  // Guarded by the list lock (see above).
  std::vector<TTransMsgPtr> translators_;
  std::string name_;
  TSharedPortList defaultInPorts_;
  TSharedPortList defaultOutPorts_;
  std::atomic<uint8_t> active_{0};
  bool presetSwitchIgnore_ = false;  // main thread only
};

class TLockableTransList : public TTransList {
 public:
  TLockableTransList() = default;
  // Waits for a walk in progress (the write lock) before the translators go.
  ~TLockableTransList() override;

  void LockList(bool write) const override;
  void UnlockList(bool write) const override;

 private:
  mutable TReadWriteLock lock_;
};

}  // namespace kv
