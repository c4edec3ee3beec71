#include "midi/model/alias.h"

#include <algorithm>

#include "base/exception.h"
#include "base/ini_file.h"
#include "base/numbered_key.h"
#include "base/text.h"
#include "base/text_helpers.h"

namespace kv {

namespace {

constexpr std::string_view kMidaTag = "MIDA";

// The kind and device of a Device value: "kind:device". A value without a kind before its
// first colon, or with a kind outside 0..3, is an undefined alias.
void ParseDeviceValue(std::string_view value, uint8_t& kind, std::string& device) {
  kind = makNone;
  device.clear();
  const size_t colon = value.find(':');
  if (colon == std::string_view::npos || colon == 0) return;
  const std::optional<int32_t> k = TryStrToInt(value.substr(0, colon));
  if (!k || *k < makNone || *k > makSerialPort) return;
  kind = static_cast<uint8_t>(*k);
  if (kind != makNone) device = std::string(value.substr(colon + 1));
}

}  // namespace

std::string GetMidiAliasKindName(int kind) {
  switch (kind) {
    case makNone:
      return "None";
    case makMidiIn:
      return "MIDI IN";
    case makMidiOut:
      return "MIDI OUT";
    case makSerialPort:
      return "Serial Port";
    default:
      return {};
  }
}

bool IsValidAliasName(std::string_view name) {
  return !name.empty() && name.find('"') == std::string_view::npos;
}

// --- TMidiAliasList ---------------------------------------------------------------------

bool TMidiAliasList::Contains(const TMidiAlias* alias) const {
  return std::find(items_.begin(), items_.end(), alias) != items_.end();
}

void TMidiAliasList::AddUnique(TMidiAlias* alias) {
  if (alias && !Contains(alias)) items_.push_back(alias);
}

void TMidiAliasList::AddAliases(const TMidiAliasList* other, bool allowDuplicates) {
  if (!other || other == this) {
    if (other == this && allowDuplicates) {
      const std::vector<TMidiAlias*> copy = items_;
      items_.insert(items_.end(), copy.begin(), copy.end());
    }
    return;
  }
  for (TMidiAlias* a : other->items_) {
    if (allowDuplicates)
      items_.push_back(a);
    else
      AddUnique(a);
  }
}

void TMidiAliasList::Assign(const TMidiAliasList* other) {
  if (other == this) return;
  if (other)
    items_ = other->items_;
  else
    items_.clear();
}

bool TMidiAliasList::SameMembers(const TMidiAliasList& other) const {
  for (const TMidiAlias* a : items_)
    if (!other.Contains(a)) return false;
  for (const TMidiAlias* a : other.items_)
    if (!Contains(a)) return false;
  return true;
}

std::string TMidiAliasList::GetDisplayText() const {
  std::string text;
  for (const TMidiAlias* a : items_) {
    if (!a || !a->IsDefined()) continue;
    if (!text.empty()) text += ", ";
    text += a->GetName();
  }
  return text;
}

bool TMidiAliasList::HasDeviceIndex(int32_t index) const {
  for (const TMidiAlias* a : items_)
    if (a && a->GetDeviceIndex() == index) return true;
  return false;
}

TMidiAlias* TMidiAliasList::FindAlias(std::string_view name, uint8_t kind) const {
  for (TMidiAlias* a : items_)
    if (a && a->GetKind() == kind && AnsiSameText(a->GetName(), name)) return a;
  return nullptr;
}

int TMidiAliasList::CountOfKind(uint8_t kind) const {
  int n = 0;
  for (const TMidiAlias* a : items_)
    if (a && a->GetKind() == kind) ++n;
  return n;
}

std::string TMidiAliasList::SaveToData(uint8_t kind) const {
  std::string text(kMidaTag);
  text += IntToHexFixed(CountOfKind(kind), 4, 4);
  for (const TMidiAlias* a : items_)
    if (a && a->GetKind() == kind) text += EncodeLengthPrefixed(a->GetName());
  return text;
}

size_t TMidiAliasList::LoadFromData(std::string_view text, size_t start, uint8_t kind) {
  items_.clear();
  if (start < 1 || start > text.size() || text.substr(start - 1, kMidaTag.size()) != kMidaTag)
    return 0;
  const size_t countAt = start + kMidaTag.size();
  const int32_t count = HexToIntAt(text, countAt, 4);  // -1 also when the text ends early
  if (count < 0) throw Exception("Wrong alias list format: the entry count is not hexadecimal");
  size_t pos = countAt + 4;  // 1-based position of the next entry
  for (int32_t i = 0; i < count && pos <= text.size(); ++i) {
    std::string name;
    pos += DecodeLengthPrefixed(text, pos, name);
    items_.push_back(MidiAliasManager().Lookup(name, kind, true));
  }
  return pos - start;
}

// --- TMidiAliasManager ------------------------------------------------------------------

bool TMidiAliasManager::SetKind(TMidiAlias& alias, uint8_t kind) {
  if (alias.GetKind() == kind) return false;
  alias.kind_.store(kind, std::memory_order_release);
  return true;
}

int TMidiAliasManager::AddAlias(std::string name, std::string deviceName, uint8_t kind,
                                bool automatic) {
  aliases_.push_back(
      std::make_unique<TMidiAlias>(std::move(name), std::move(deviceName), kind, automatic));
  NotifyChange();
  return GetCount() - 1;
}

void TMidiAliasManager::DefineAlias(std::string_view oldName, uint8_t kind, std::string newName,
                                    std::string deviceName, bool automatic) {
  const int index = IndexOf(oldName, kind);
  if (index < 0) {
    AddAlias(std::move(newName), std::move(deviceName), kind, automatic);
    return;
  }
  RedefineAlias(*aliases_[static_cast<size_t>(index)], std::move(newName), std::move(deviceName),
                automatic);
}

void TMidiAliasManager::RedefineAlias(TMidiAlias& a, std::string newName, std::string deviceName,
                                      bool automatic) {
  if (a.name_ == newName && a.deviceName_ == deviceName && a.automatic_ == automatic) return;
  a.name_ = std::move(newName);
  a.deviceName_ = std::move(deviceName);
  a.automatic_ = automatic;
  NotifyChange();
}

int TMidiAliasManager::SetAliasDevice(std::string_view name, std::string deviceName, uint8_t kind) {
  const int index = IndexOf(name, kind);
  if (index < 0) return AddAlias(std::string(name), std::move(deviceName), kind, false);
  TMidiAlias& a = *aliases_[static_cast<size_t>(index)];
  if (!AnsiSameText(a.deviceName_, deviceName)) {
    a.deviceName_ = std::move(deviceName);
    NotifyChange();
  }
  return index;
}

TMidiAlias* TMidiAliasManager::Lookup(std::string_view name, uint8_t kind, bool create) {
  const int index = IndexOf(name, kind);
  if (index >= 0) return aliases_[static_cast<size_t>(index)].get();
  if (!create) return nullptr;
  return aliases_[static_cast<size_t>(AddAlias(std::string(name), {}, kind, false))].get();
}

void TMidiAliasManager::GetAliasesOfDevice(std::string_view deviceName, uint8_t kind,
                                           TMidiAliasList& list) const {
  list.Clear();
  for (const auto& a : aliases_)
    if (a->GetKind() == kind && AnsiSameText(a->deviceName_, deviceName)) list.Add(a.get());
}

TMidiAlias* TMidiAliasManager::GetItem(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return aliases_[static_cast<size_t>(index)].get();
}

int TMidiAliasManager::CountOfKind(uint8_t kind) const {
  int n = 0;
  for (const auto& a : aliases_)
    if (a->GetKind() == kind) ++n;
  return n;
}

int TMidiAliasManager::IndexOf(std::string_view name, uint8_t kind) const {
  for (size_t i = 0; i < aliases_.size(); ++i)
    if (aliases_[i]->GetKind() == kind && AnsiSameText(aliases_[i]->name_, name))
      return static_cast<int>(i);
  return -1;
}

int TMidiAliasManager::IndexOfAlias(const TMidiAlias* alias) const {
  if (!alias) return -1;
  for (size_t i = 0; i < aliases_.size(); ++i)
    if (aliases_[i].get() == alias) return static_cast<int>(i);
  return -1;
}

void TMidiAliasManager::DeleteAlias(int index) {
  TMidiAlias* a = GetItem(index);
  if (a && SetKind(*a, makNone)) NotifyChange();
}

void TMidiAliasManager::ClearAliases() {
  bool changed = false;
  for (const auto& a : aliases_) changed |= SetKind(*a, makNone);
  if (changed) NotifyChange();
}

std::vector<const TMidiAlias*> TMidiAliasManager::ReadAliasSection(
    const TCustomIniFile& settings) {
  // Rebinding in place instead of clearing first: the project's alias lists and routes hold
  // these objects, and an alias made undefined here would drop its ports at the next save.
  std::vector<const TMidiAlias*> named;
  for (int n = 0;; ++n) {
    const std::string nameKey = NumberedKey("Name", n);
    if (!settings.ValueExists(kMidiAliasSection, nameKey)) break;
    std::string name = settings.ReadString(kMidiAliasSection, nameKey, "");
    if (name.empty()) continue;
    uint8_t kind;
    std::string device;
    ParseDeviceValue(settings.ReadString(kMidiAliasSection, NumberedKey("Device", n), ""), kind,
                     device);
    int index = kind == makNone ? -1 : IndexOf(name, kind);
    if (index < 0)
      index = AddAlias(std::move(name), std::move(device), kind, false);
    else
      SetAliasDevice(name, std::move(device), kind);
    named.push_back(aliases_[static_cast<size_t>(index)].get());
  }
  return named;
}

void TMidiAliasManager::LoadFromIni(const TCustomIniFile& settings) {
  BeginUpdate();
  try {
    ReadAliasSection(settings);
  } catch (...) {
    EndUpdate();
    throw;
  }
  NotifyChange();  // loading always reports once
  EndUpdate();
}

void TMidiAliasManager::ReplaceFromIni(const TCustomIniFile& settings,
                                       const TMidiAliasList& keepUnbound) {
  BeginUpdate();
  try {
    const std::vector<const TMidiAlias*> named = ReadAliasSection(settings);
    for (const auto& a : aliases_) {
      if (!a->IsDefined() || std::find(named.begin(), named.end(), a.get()) != named.end())
        continue;
      if (keepUnbound.Contains(a.get()))
        RedefineAlias(*a, a->name_, {}, a->automatic_);
      else
        SetKind(*a, makNone);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  NotifyChange();
  EndUpdate();
}

void TMidiAliasManager::SaveToIni(TCustomIniFile& settings) const {
  int n = 0;
  for (const auto& a : aliases_) {
    if (!a->IsDefined()) continue;
    settings.WriteString(kMidiAliasSection, NumberedKey("Name", n), a->name_);
    settings.WriteString(kMidiAliasSection, NumberedKey("Device", n),
                         IntToStr(a->GetKind()) + ":" + a->deviceName_);
    ++n;
  }
  DeleteNumberedKeysFrom(settings, kMidiAliasSection, n, {"Name", "Device"});
}

// --- the process-wide instance -----------------------------------------------------------

namespace {
std::atomic<bool> gAliasManagerMade{false};
}

TMidiAliasManager& MidiAliasManager() {
  // Kept until the process ends: alias references live in objects freed later.
  static TMidiAliasManager* manager = [] {
    static TMidiAliasManager instance;
    gAliasManagerMade.store(true);
    return &instance;
  }();
  return *manager;
}

bool MidiAliasManagerExists() {
  return gAliasManagerMade.load();
}

}  // namespace kv
