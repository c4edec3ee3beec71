#include "engine/preset.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <utility>

#include "base/exception.h"
#include "base/ini_file.h"
#include "base/text.h"
#include "engine/format.h"

namespace kv {

// Holds a preset's list lock for a scope, also when an error leaves it.
class TTransList::TListLock {
 public:
  TListLock(const TTransList& list, bool write) : list_(list), write_(write) {
    list_.LockList(write_);
  }
  ~TListLock() { list_.UnlockList(write_); }
  TListLock(const TListLock&) = delete;
  TListLock& operator=(const TListLock&) = delete;

 private:
  const TTransList& list_;
  bool write_;
};

// --- TKeyValueLines ------------------------------------------------------------------------

namespace {

constexpr char FoldedChar(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Hashes eight bytes at a time with bit 5 of every byte cleared: a key and the same key in
// another ASCII case always hash alike (other bytes may collide too; SameFolded decides).
uint32_t FoldedHash(std::string_view key) {
  constexpr uint64_t kFold = ~0x2020202020202020ull;
  constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  const auto mix = [](uint64_t hash, uint64_t word) {
    hash = (hash ^ (word & kFold)) * kMultiplier;
    return hash ^ (hash >> 29);
  };
  uint64_t hash = key.size();
  size_t i = 0;
  for (; i + 8 <= key.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, key.data() + i, 8);  // a fixed size: one load, no call
    hash = mix(hash, word);
  }
  if (i < key.size()) {
    uint64_t word = 0;
    for (size_t shift = 0; i < key.size(); ++i, shift += 8)
      word |= uint64_t{static_cast<unsigned char>(key[i])} << shift;
    hash = mix(hash, word);
  }
  return static_cast<uint32_t>(hash ^ (hash >> 32));
}

bool SameFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a == b) return true;  // keys are mostly read as they were written
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldedChar(a[i]) != FoldedChar(b[i])) return false;
  return true;
}

constexpr size_t kMinKeySlots = 16;

// The keys of one translator ("Name12", "Incoming12", ...), each built in place over the last:
// a preset of thousands of translators would otherwise make a string for every lookup.
class TTranslatorKeys {
 public:
  explicit TTranslatorKeys(int n) {
    digits_ = static_cast<size_t>(std::to_chars(number_.data(), number_.data() + number_.size(), n).ptr -
                                  number_.data());
  }
  // Valid until the next call.
  template <size_t N>
  std::string_view operator()(const char (&prefix)[N]) {
    constexpr size_t length = N - 1;
    static_assert(length <= kLongestPrefix, "the key buffer holds the longest prefix");
    std::copy_n(prefix, length, key_.data());
    std::copy_n(number_.data(), digits_, key_.data() + length);
    return {key_.data(), length + digits_};
  }

 private:
  static constexpr size_t kLongestPrefix = 14;  // "OutputOriginal"
  std::array<char, 12> number_{};
  size_t digits_ = 0;
  std::array<char, kLongestPrefix + 12> key_{};
};

}  // namespace

TKeyValueLines::TKeyValueLines(TLines lines) : lines_(std::move(lines)) {
  size_t slots = kMinKeySlots;
  while (slots < 2 * lines_.size()) slots *= 2;
  Rehash(slots);
}

TKeyValueLines TKeyValueLines::FromSection(const TCustomIniFile& ini, std::string_view section) {
  return TKeyValueLines(ini.ReadSectionValues(section));
}

void TKeyValueLines::Add(std::string key, std::string value) {
  lines_.emplace_back(std::move(key), std::move(value));
  if (2 * lines_.size() > slots_.size())
    Rehash(std::max(kMinKeySlots, 2 * slots_.size()));
  else
    Index(static_cast<uint32_t>(lines_.size() - 1));
}

void TKeyValueLines::Rehash(size_t slots) {
  slots_.assign(slots, 0);
  for (size_t line = 0; line < lines_.size(); ++line) Index(static_cast<uint32_t>(line));
}

void TKeyValueLines::Index(uint32_t line) {
  const std::string& key = lines_[line].first;
  const size_t mask = slots_.size() - 1;
  for (size_t i = FoldedHash(key) & mask;; i = (i + 1) & mask) {
    const uint32_t slot = slots_[i];
    if (slot == 0) {
      slots_[i] = line + 1;
      return;
    }
    if (SameFolded(lines_[slot - 1].first, key)) return;  // an earlier line of the key stays
  }
}

uint32_t TKeyValueLines::Find(std::string_view key) const {
  if (slots_.empty()) return kMissing;
  const size_t mask = slots_.size() - 1;
  for (size_t i = FoldedHash(key) & mask;; i = (i + 1) & mask) {
    const uint32_t slot = slots_[i];
    if (slot == 0) return kMissing;
    if (SameFolded(lines_[slot - 1].first, key)) return slot - 1;
  }
}

const std::string& TKeyValueLines::Value(std::string_view key) const {
  static const std::string empty;
  const uint32_t line = Find(key);
  return line == kMissing ? empty : lines_[line].second;
}

bool IsTrueFlagText(std::string_view text) {
  return !text.empty() && std::string_view("1TYty").find(text[0]) != std::string_view::npos;
}

bool IsAlwaysActivePresetName(std::string_view name) {
  return SameText(name, "(always active)") || SameText(name, "[always active]");
}

// --- TLoadingTransListErrorHandler ----------------------------------------------------------

TLoadingTransListErrorHandler::TLoadingTransListErrorHandler(TCascadedErrorMessageHandler* parent,
                                                             std::string presetName)
    : parent_(parent), presetName_(std::move(presetName)) {}

void TLoadingTransListErrorHandler::ReportError(int code, const std::string& text) {
  if (!parent_) return;
  parent_->ReportError(code,
                       FormatText("Error while loading preset \"%s\", Translator \"%s\":\r\n    %s",
                                  {presetName_, translatorName_, text}));
}

TTransMsgErrorCallback TLoadingTransListErrorHandler::Callback() {
  return [this](TTransMsg&, const std::string& text) { ReportError(0, text); };
}

// --- TTransList: translators ----------------------------------------------------------------

void TTransList::AddTranslator(TTransMsgPtr translator) {
  if (!translator) return;
  {
    TListLock lock(*this, true);
    translators_.push_back(std::move(translator));
  }
  NotifyTranslatorsChanged();
}

int TTransList::AddTranslators(const std::vector<TTransMsgPtr>& translators) {
  int added = 0;
  {
    TListLock lock(*this, true);
    // Room first: after it no push can throw, so the preset takes all of them or none.
    translators_.reserve(translators_.size() + translators.size());
    for (const TTransMsgPtr& translator : translators) {
      if (!translator) continue;
      translators_.push_back(translator);
      ++added;
    }
  }
  if (added > 0) NotifyTranslatorsChanged();
  return added;
}

int TTransList::InsertTranslator(int index, TTransMsgPtr translator) {
  if (!translator || translator->Name().empty()) return -1;
  {
    TListLock lock(*this, true);
    if (index < 0 || index > GetCountLocked()) return -1;
    translators_.insert(translators_.begin() + index, std::move(translator));
  }
  NotifyTranslatorsChanged();
  return index;
}

void TTransList::DeleteTranslator(int index, bool notify) {
  TTransMsgPtr removed;  // released after the lock, so the lock is not held while it goes
  {
    TListLock lock(*this, true);
    if (index < 0 || index >= GetCountLocked()) return;
    removed = std::move(translators_[static_cast<size_t>(index)]);
    translators_.erase(translators_.begin() + index);
  }
  removed.reset();
  if (notify) NotifyTranslatorsChanged();
}

void TTransList::ReplaceTranslator(int index, TTransMsgPtr translator) {
  if (!translator) return;
  TTransMsgPtr old;
  {
    TListLock lock(*this, true);
    if (index < 0 || index >= GetCountLocked()) return;
    old = std::exchange(translators_[static_cast<size_t>(index)], std::move(translator));
  }
  old.reset();
  NotifyTranslatorsChanged();
}

bool TTransList::MoveTranslator(int from, int to) {
  {
    TListLock lock(*this, true);
    const int count = GetCountLocked();
    if (from < 0 || from >= count || to < 0 || to >= count) return false;
    TTransMsgPtr moving = std::move(translators_[static_cast<size_t>(from)]);
    translators_.erase(translators_.begin() + from);
    translators_.insert(translators_.begin() + to, std::move(moving));
  }
  NotifyTranslatorsChanged();
  return true;
}

void TTransList::ClearLocked() {
  translators_.clear();
  defaultInPorts_.Clear();
  defaultOutPorts_.Clear();
}

void TTransList::Clear() {
  std::vector<TTransMsgPtr> old;
  {
    TListLock lock(*this, true);
    old.swap(translators_);
    ClearLocked();
  }
  old.clear();
  NotifyTranslatorsChanged();
}

int TTransList::GetCount() const {
  TListLock lock(*this, false);
  return GetCountLocked();
}

TTransMsg* TTransList::GetTranslatorLocked(int index) const {
  if (index < 0 || index >= GetCountLocked()) return nullptr;
  return translators_[static_cast<size_t>(index)].get();
}

TTransMsg* TTransList::GetTranslator(int index) const {
  TListLock lock(*this, false);
  return GetTranslatorLocked(index);
}

TTransMsgPtr TTransList::GetTranslatorRef(int index) const {
  TListLock lock(*this, false);
  if (index < 0 || index >= GetCountLocked()) return nullptr;
  return translators_[static_cast<size_t>(index)];
}

// --- TTransList: properties -----------------------------------------------------------------

std::string TTransList::GetName() const {
  TListLock lock(*this, false);
  return name_;
}

std::string TTransList::GetDisplayName() const {
  std::string name = GetName();
  return name.empty() ? std::string(kUnnamedPresetText) : name;
}

void TTransList::SetName(std::string name) {
  {
    TListLock lock(*this, true);
    if (name_ == name) return;
    name_ = std::move(name);
  }
  NotifyPresetChanged();
}

bool TTransList::IsNamed(std::string_view text) const {
  return AnsiSameText(GetName(), text);
}

void TTransList::SetActive(bool active) {
  {
    TListLock lock(*this, true);
    if (Active() == active) return;
    active_.store(active ? 1 : 0, std::memory_order_release);
  }
  NotifyPresetChanged();
  if (params_ && params_->IsLogging())
    params_->Log(
        FormatText(active ? "Activated preset: %s" : "Deactivated preset: %s", {GetDisplayName()}));
  if (owner_ && !owner_->loading()) owner_->activated(*this);
}

void TTransList::SetPresetSwitchIgnore(bool ignore) {
  {
    TListLock lock(*this, true);
    if (presetSwitchIgnore_ == ignore) return;
    presetSwitchIgnore_ = ignore;
  }
  NotifyPresetChanged();
}

bool TTransList::SetPorts(TSharedPortList& ports, const TMidiAliasList* list) {
  TListLock lock(*this, true);
  return ports.Set(list);
}

void TTransList::SetDefaultInPorts(const TMidiAliasList* ports) {
  if (SetPorts(defaultInPorts_, ports)) NotifyPresetChanged();
}

void TTransList::SetDefaultOutPorts(const TMidiAliasList* ports) {
  if (SetPorts(defaultOutPorts_, ports)) NotifyPresetChanged();
}

void TTransList::Assign(const TTransList& other) {
  if (&other == this) return;
  std::vector<TTransMsgPtr> clones;
  std::string name;
  TMidiAliasList inPorts, outPorts;
  {
    TListLock lock(other, false);
    clones.reserve(other.translators_.size());
    for (const TTransMsgPtr& t : other.translators_) clones.push_back(t->Clone());
    name = other.name_;
    inPorts.Assign(&other.defaultInPorts_.Current());
    outPorts.Assign(&other.defaultOutPorts_.Current());
  }
  std::vector<TTransMsgPtr> old;
  {
    TListLock lock(*this, true);
    old.swap(translators_);
    translators_ = std::move(clones);
    name_ = std::move(name);
    defaultInPorts_.Set(&inPorts);
    defaultOutPorts_.Set(&outPorts);
    active_.store(other.Active() ? 1 : 0, std::memory_order_release);
    // A copy that lost this flag would suddenly be switched off by the next preset change.
    presetSwitchIgnore_ = other.presetSwitchIgnore_;
  }
  old.clear();
  params_ = other.params_;
  onPresetChanged_ = other.onPresetChanged_;
  onTranslatorsChanged_ = other.onTranslatorsChanged_;
  owner_ = other.owner_;
  NotifyTranslatorsChanged();
  if (Active() || !defaultInPorts_.IsEmpty() || !defaultOutPorts_.IsEmpty()) NotifyPresetChanged();
}

void TTransList::NotifyPresetChanged() {
  if (onPresetChanged_) onPresetChanged_(*this);
}

void TTransList::NotifyTranslatorsChanged() {
  if (onTranslatorsChanged_) onTranslatorsChanged_(*this);
}

// --- TTransList: project file ---------------------------------------------------------------

int TTransList::ReadFromStrings(const TKeyValueLines& lines, int fileVersion,
                                TCascadedErrorMessageHandler* errors) {
  bool active;
  int count = 0;
  {
    TListLock lock(*this, true);
    ClearLocked();
    // A preset named after its section (the oldest files) has no Name key: its errors
    // still name it.
    const std::string previousName = std::exchange(name_, lines.Value("Name"));
    active = IsTrueFlagText(lines.Value("Active"));
    presetSwitchIgnore_ = IsTrueFlagText(lines.Value("PresetSwitchIgnore"));
    // Such a preset keeps the section's name, so the flag follows that name.
    if (fileVersion <= 1 && !lines.Has("PresetSwitchIgnore"))
      presetSwitchIgnore_ = IsAlwaysActivePresetName(name_.empty() ? previousName : name_);
    if (lines.Has("DefaultInPorts"))
      defaultInPorts_.LoadFromData(lines.Value("DefaultInPorts"), makMidiIn);
    if (lines.Has("DefaultOutPorts"))
      defaultOutPorts_.LoadFromData(lines.Value("DefaultOutPorts"), makMidiOut);

    TLoadingTransListErrorHandler handler(errors, !name_.empty()          ? name_
                                                  : !previousName.empty() ? previousName
                                                                          : kUnnamedPresetText);
    const TTransMsgErrorCallback onError = handler.Callback();
    for (int i = 0;; ++i) {
      TTranslatorKeys key(i);
      const std::string& name = lines.Value(key("Name"));
      // A translator without a name still has its other keys: it must not end the list and
      // cut off every translator after it.
      const bool hasName = lines.Has(key("Name"));
      const bool hasIncoming = lines.Has(key("Incoming"));
      const bool hasOutgoing = lines.Has(key("Outgoing"));
      const bool hasOptions = lines.Has(key("Options"));
      if (!hasName && !hasIncoming && !hasOutgoing && !hasOptions) break;
      handler.SetTranslatorName(name);
      // This version writes all four keys of every translator: one without some of them was
      // cut off (a file that ends inside it) or damaged, and the user must hear what is gone.
      if (fileVersion >= kAllKeysWrittenVersion &&
          !(hasName && hasIncoming && hasOutgoing && hasOptions)) {
        std::string missing;
        for (const auto& [has, what] : {std::pair{hasName, "Name"},
                                        {hasIncoming, "Incoming"},
                                        {hasOutgoing, "Outgoing"},
                                        {hasOptions, "Options"}})
          if (!has) missing += (missing.empty() ? "" : ", ") + std::string(what);
        handler.ReportError(
            0, FormatText("incomplete: %s lost (the file is cut off or damaged here)", {missing}));
      }
      try {
        const std::string& options = lines.Value(key("Options"));
        const std::string& incoming = lines.Value(key("Incoming"));
        const std::string& outgoing = lines.Value(key("Outgoing"));
        TTransMsgPtr t = TTransMsg::CreateFromText(incoming, outgoing, &options, onError);
        t->SetName(name);
        if (fileVersion < 1) {
          if (const std::string_view k = key("OutputOriginal"); lines.Has(k))
            t->SetOutputOriginal(IsTrueFlagText(lines.Value(k)));
          if (const std::string_view k = key("Stop"); lines.Has(k))
            t->SetStop(IsTrueFlagText(lines.Value(k)));
        }
        translators_.push_back(std::move(t));
      } catch (const Exception& e) {
        handler.ReportError(0, e.Message());
      }
    }
    count = GetCountLocked();
  }
  NotifyTranslatorsChanged();
  active_.store(0, std::memory_order_release);
  SetActive(active);
  return count;
}

int TTransList::WriteToIni(TCustomIniFile& ini, const std::string& section) const {
  try {
    TListLock lock(*this, false);
    ini.EraseSection(section);
    ini.WriteString(section, "Name", name_);
    ini.WriteString(section, "Active", Active() ? "1" : "0");
    ini.WriteString(section, "PresetSwitchIgnore", presetSwitchIgnore_ ? "1" : "0");
    if (!defaultInPorts_.IsEmpty())
      ini.WriteString(section, "DefaultInPorts", defaultInPorts_.Current().SaveToData(makMidiIn));
    if (!defaultOutPorts_.IsEmpty())
      ini.WriteString(section, "DefaultOutPorts",
                      defaultOutPorts_.Current().SaveToData(makMidiOut));
    int n = 0;
    for (const TTransMsgPtr& t : translators_) {
      if (t->IsEmpty()) continue;
      TTranslatorKeys key(n);
      ini.WriteString(section, key("Name"), t->Name());
      ini.WriteString(section, key("Incoming"), t->GetIncomingText());
      ini.WriteString(section, key("Outgoing"), t->GetOutgoingText());
      ini.WriteString(section, key("Options"), t->GetOptionsText());
      ++n;
    }
    return n;
  } catch (const std::exception&) {
    return -1;
  }
}

// --- TLockableTransList ---------------------------------------------------------------------

TLockableTransList::~TLockableTransList() {
  TListLock lock(*this, true);
  ClearLocked();
}

void TLockableTransList::LockList(bool write) const {
  if (write)
    lock_.LockWrite();
  else
    lock_.LockRead();
}

void TLockableTransList::UnlockList(bool write) const {
  if (write)
    lock_.UnlockWrite();
  else
    lock_.UnlockRead();
}

}  // namespace kv
