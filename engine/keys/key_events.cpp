#include "engine/keys/key_events.h"

#include <cstdio>
#include <cstring>

#include "base/exception.h"
#include "base/text.h"
#include "base/text_helpers.h"
#include "engine/system/key_system.h"

namespace kv {

namespace {

constexpr const char* kKeyWrongFormat = "Key wrong format";
constexpr const char* kNotAKeySequence = "The String is not a Key Sequence!";
constexpr size_t kKeyCodeLength = 3;

std::string FormatUnnamed(const char* format, int number, bool extended) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, format, number, extended ? " X" : "");
  return buffer;
}

}  // namespace

void KeyDataToWords(const TKeyData& data, uint32_t (&words)[4]) {
  std::memset(words, 0, sizeof words);
  std::memcpy(words, &data, sizeof data);
}

TKeyData KeyDataFromWords(const uint32_t (&words)[4]) {
  TKeyData data;
  std::memcpy(&data, words, sizeof data);
  return data;
}

void DecodeKeyMessage(TKeyData& record, uint32_t flags) {
  IKeySystem& keys = GetKeySystem();
  record.repeatCount = static_cast<int32_t>(flags & 0xFFFF);
  record.scanCode = static_cast<uint8_t>((flags >> 16) & 0xFF);
  record.extended = (flags >> 24) & 1;
  record.context = (flags >> 29) & 1;
  record.previousState = (flags >> 30) & 1;
  record.transition = (flags >> 31) & 1;
  if (record.virtualKey == 0)
    record.virtualKey = static_cast<uint8_t>(keys.MapVirtualKey(record.scanCode, kMapScanToVk));
  const uint32_t mapped = keys.MapVirtualKey(record.virtualKey, kMapVkToChar);
  const char c = static_cast<char>(mapped & 0xFF);
  record.charLength = c != 0 ? 1 : 0;
  record.character = c;
  record.deadKey = (mapped & 0x80000000u) != 0 ? 1 : 0;
}

// ---------------------------------------------------------------------------------------
// TKeyEvent

TKeyEvent::TKeyEvent(const TKeyData& record)
    : virtualKey_(record.virtualKey),
      scanCode_(record.scanCode),
      extended_(record.extended != 0),
      keyUp_(record.IsKeyUp()),
      scanMode_(record.virtualKey == 255 && record.scanCode != 0) {
  UpdateName();
}

TKeyEvent::TKeyEvent(uint16_t virtualKey, bool scanMode, bool keyUp, bool extended,
                     uint16_t scanCode)
    : virtualKey_(virtualKey),
      scanCode_(scanCode),
      extended_(extended),
      keyUp_(keyUp),
      scanMode_(scanMode) {
  UpdateName();
}

TKeyEvent TKeyEvent::CreateFromText(std::string& text) {
  const int32_t code = text.size() >= kKeyCodeLength ? HexToIntAt(text, 1, kKeyCodeLength) : -1;
  if (code < 0) throw Exception(kKeyWrongFormat);
  text.erase(0, kKeyCodeLength);
  const bool scanMode = (code & kCodeScanMode) != 0;
  const bool keyUp = (code & kCodeKeyUp) != 0;
  const bool extended = (code & kCodeExtended) != 0;
  const uint16_t low = static_cast<uint16_t>(code & 0xFF);
  if (scanMode) return TKeyEvent(255, true, keyUp, extended, low);
  return TKeyEvent(low, false, keyUp, extended, 0);
}

std::string TKeyEvent::KeyCodeText() const {
  const bool byScan = scanMode_ || virtualKey_ == 0 || virtualKey_ == 255;
  uint32_t code = byScan ? (scanCode_ & 0xFF) | kCodeScanMode : virtualKey_ & 0xFF;
  if (extended_) code |= kCodeExtended;
  if (keyUp_) code |= kCodeKeyUp;
  return IntToHex(code, static_cast<int>(kKeyCodeLength));
}

void TKeyEvent::Send(TSendAs as) const {
  uint32_t flags = extended_ ? kKeyFlagExtended : 0;
  const bool up = as == TSendAs::AsIs ? keyUp_ : as == TSendAs::Up;
  if (up) flags |= kKeyFlagUp;
  GetKeySystem().SendKey(static_cast<uint8_t>(virtualKey_ & 0xFF), scanCode_, flags);
}

bool TKeyEvent::SameKey(const TKeyEvent& a, const TKeyEvent& b) {
  const bool byVirtualKey = a.virtualKey_ != 0 && a.virtualKey_ != 255;
  const bool sameKey = byVirtualKey ? a.virtualKey_ == b.virtualKey_ : a.scanCode_ == b.scanCode_;
  return sameKey && a.extended_ == b.extended_;
}

bool TKeyEvent::SameKey(const TKeyEvent& a, const TKeyData& b) {
  const bool byVirtualKey = a.virtualKey_ != 0 && a.virtualKey_ != 255;
  const bool sameKey = byVirtualKey ? a.virtualKey_ == b.virtualKey : a.scanCode_ == b.scanCode;
  return sameKey && a.extended_ == (b.extended != 0);
}

void TKeyEvent::UpdateName() {
  IKeySystem& keys = GetKeySystem();
  if (virtualKey_ >= kNumEnterRow) {
    scanMode_ = true;
    if (virtualKey_ == kNumEnterRow) {
      const TKeyTableRow& row = *KeyTableRow(kNumEnterRow);
      virtualKey_ = static_cast<uint16_t>(row.virtualKey);
      scanCode_ = static_cast<uint16_t>(row.scanCode);
      extended_ = row.extended != 0;
    }
  }
  if (scanCode_ == 0) {
    const uint32_t mapped = keys.MapVirtualKey(virtualKey_, kMapVkToScan);
    scanCode_ = static_cast<uint16_t>(mapped & 0xFF);
    if (mapped & 0x100) extended_ = true;
  }
  if ((virtualKey_ == 0 || virtualKey_ == 255) && !scanMode_) {
    const uint32_t mapped = keys.MapVirtualKey(scanCode_, kMapScanToVk);
    if (mapped != 0) virtualKey_ = static_cast<uint16_t>(mapped);
  }

  const int32_t nameParam =
      (static_cast<int32_t>(scanCode_ & 0xFF) << 16) | (extended_ ? 1 << 24 : 0);
  const std::string systemName = keys.GetKeyNameText(nameParam);
  if (systemName.size() == 1) {
    name_ = systemName;
    return;
  }
  // Scan code 0 means the scan code is unknown: it names no key of its own (many rows hold
  // 0), so such a key is named by its virtual key.
  for (int i = 0; i < kKeyTableRows; ++i) {
    if (scanCode_ == 0) break;
    const TKeyTableRow& row = *KeyTableRow(i);
    if (row.scanCode == scanCode_ && (row.extended != 0) == extended_ && row.name[0] != 0) {
      name_ = row.name;
      return;
    }
  }
  // A virtual key beyond the table (from a record or a caller) has no row of its own.
  if (const TKeyTableRow* row = KeyTableRow(virtualKey_); row != nullptr && row->name[0] != 0) {
    name_ = row->name;
    return;
  }
  if (!systemName.empty()) {
    name_ = systemName;
    return;
  }
  if (scanMode_ || virtualKey_ == 0 || virtualKey_ == 255)
    name_ = FormatUnnamed("[scan %d%s]", scanCode_, extended_);
  else
    name_ = FormatUnnamed("[VK %d%s]", virtualKey_, extended_);
}

// ---------------------------------------------------------------------------------------
// TKeySequence

void TKeySequence::Assign(const TKeySequence& source) {
  if (&source == this) return;
  singleKey_ = source.singleKey_;
  AssignKeys(source);
}

void TKeySequence::AssignKeys(const TKeySequence& source) {
  if (&source == this) return;
  keys_ = source.keys_;
  Changed();
}

std::string TKeySequence::SaveToText() const {
  std::string text = "KSQ1" + IntToHex(static_cast<uint32_t>(keys_.size() & 0xFFFF), 4);
  for (const TKeyEvent& key : keys_) text += key.KeyCodeText();
  return text;
}

size_t TKeySequence::LoadFromText(std::string_view text) {
  std::string codes;
  size_t used = 0;
  if (text.substr(0, 4) == "Key ") {
    codes = std::string(text.substr(4));
    used = text.size();
  } else {
    if (text.size() <= 7 || text.substr(0, 4) != "KSQ1") throw Exception(kNotAKeySequence);
    const int32_t count = HexToIntAt(text, 5, 4);
    if (count < 0 || text.size() < 8 + kKeyCodeLength * static_cast<size_t>(count))
      throw Exception(kNotAKeySequence);
    used = 8 + kKeyCodeLength * static_cast<size_t>(count);
    codes = std::string(text.substr(8, used - 8));
  }
  TKeyList loaded;
  while (codes.size() > 2) loaded.push_back(TKeyEvent::CreateFromText(codes));
  keys_ = std::move(loaded);
  Changed();
  return used;
}

std::string TKeySequence::GetDisplayText() const {
  std::string text;
  int depth = 0;
  const TKeyEvent* previous = nullptr;
  for (const TKeyEvent& key : keys_) {
    if (!key.KeyUp()) {
      if (previous != nullptr && !previous->KeyUp()) {
        text += '(';
        ++depth;
      }
      text += key.Name();
    } else if (previous != nullptr && TKeyEvent::SameKey(*previous, key)) {
      text += ' ';
    } else {
      text += ')';
      --depth;
    }
    previous = &key;
  }
  for (int i = 0; i < depth; ++i) text += ')';
  return text;
}

bool TKeySequence::Play() const {
  PlayKeys(keys_);
  return true;
}

std::unique_ptr<TKeySequence> TKeySequence::Clone() const {
  auto copy = std::make_unique<TKeySequence>();
  copy->Assign(*this);
  return copy;
}

void TKeySequence::RecordKey(const TKeyData& record) {
  if (record.previousState != 0 && record.transition == 0) return;  // auto-repeat
  AddKey(TKeyEvent(record));
}

void TKeySequence::AddKey(const TKeyEvent& event) {
  if (singleKey_) {
    if (event.KeyUp()) return;
    keys_.clear();
  }
  keys_.push_back(event);
  Changed();
}

void TKeySequence::DeleteLastKey() {
  size_t down = keys_.size();
  for (size_t i = keys_.size(); i-- > 0;) {
    if (!keys_[i].KeyUp()) {
      down = i;
      break;
    }
  }
  if (down == keys_.size()) return;
  for (size_t i = keys_.size(); i-- > down + 1;) {
    if (keys_[i].KeyUp() && TKeyEvent::SameKey(keys_[down], keys_[i])) {
      keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
  keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(down));
  Changed();
}

void TKeySequence::Clear() {
  keys_.clear();
  Changed();
}

void TKeySequence::SetSingleKey(bool singleKey) {
  if (singleKey == singleKey_) return;
  singleKey_ = singleKey;
  if (singleKey_ && !keys_.empty()) {
    const TKeyEvent& first = keys_.front();
    TKeyEvent down(first.VirtualKey(), first.ScanMode(), false, first.Extended(), first.ScanCode());
    keys_.assign(1, down);
    Changed();
  }
}

bool TKeySequence::PressFirstKey() const {
  if (keys_.empty()) return false;
  keys_.front().Send(TKeyEvent::TSendAs::Down);
  return true;
}

bool TKeySequence::ReleaseFirstKey() const {
  if (keys_.empty()) return false;
  keys_.front().Send(TKeyEvent::TSendAs::Up);
  return true;
}

void TKeySequence::Changed() {
  if (OnChange) OnChange(*this);
}

void PlayKeys(const TKeySequence::TKeyList& keys) {
  std::vector<const TKeyEvent*> held;
  for (const TKeyEvent& key : keys) {
    key.Send(TKeyEvent::TSendAs::AsIs);
    if (!key.KeyUp()) {
      held.push_back(&key);
      continue;
    }
    for (size_t i = held.size(); i-- > 0;) {
      if (TKeyEvent::SameKey(*held[i], key)) {
        held.erase(held.begin() + static_cast<std::ptrdiff_t>(i));
        break;
      }
    }
  }
  for (size_t i = held.size(); i-- > 0;) held[i]->Send(TKeyEvent::TSendAs::Up);
}

}  // namespace kv
