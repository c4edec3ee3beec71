#include "engine/keys/key_events.h"

#include <cstdio>
#include <cstring>

#include "base/exception.h"
#include "base/text.h"
#include "base/text_helpers.h"
#include "engine/system/key_system.h"

namespace kv {

namespace {

// Virtual key v in row v; row 256 is the numeric pad's Enter.
constexpr TKeyTableRow kKeyTable[kKeyTableRows] = {
    {0, 0, 0, ""},
    {1, 0, 0, ""},
    {2, 0, 0, ""},
    {3, 0, 0, ""},
    {4, 0, 0, ""},
    {5, 0, 0, ""},
    {6, 0, 0, ""},
    {7, 0, 0, ""},
    {8, 14, 0, "Backspace"},
    {9, 15, 0, "Tab"},
    {10, 0, 0, ""},
    {11, 0, 0, ""},
    {12, 0, 0, "Clear"},
    {13, 28, 0, "Return"},
    {14, 0, 0, ""},
    {15, 0, 0, ""},
    {16, 42, 0, "Shift"},
    {17, 29, 0, "Ctrl"},
    {18, 56, 0, "Alt"},
    {19, 69, 0, "Pause"},
    {20, 58, 0, "Caps Lock"},
    {21, 0, 0, "Kana"},
    {22, 0, 0, ""},
    {23, 0, 0, "Junja"},
    {24, 0, 0, "Final"},
    {25, 0, 0, "Kanji"},
    {26, 0, 0, ""},
    {27, 1, 0, "Esc"},
    {28, 0, 0, "Convert"},
    {29, 0, 0, "Non Convert"},
    {30, 0, 0, "Accept"},
    {31, 0, 0, "Mode Change"},
    {32, 57, 0, "Space"},
    {33, 73, 1, "Page Up"},
    {34, 81, 1, "Page Down"},
    {35, 79, 1, "End"},
    {36, 71, 1, "Home"},
    {37, 75, 1, "Left"},
    {38, 72, 1, "Up"},
    {39, 77, 1, "Right"},
    {40, 80, 1, "Down"},
    {41, 0, 0, "Select"},
    {42, 0, 0, "Print"},
    {43, 0, 0, "Execute"},
    {44, 55, 1, "Snapshot"},
    {45, 82, 1, "Insert"},
    {46, 83, 1, "Delete"},
    {47, 0, 0, "Help"},
    {48, 11, 0, "0"},
    {49, 2, 0, "1"},
    {50, 3, 0, "2"},
    {51, 4, 0, "3"},
    {52, 5, 0, "4"},
    {53, 6, 0, "5"},
    {54, 7, 0, "6"},
    {55, 8, 0, "7"},
    {56, 9, 0, "8"},
    {57, 10, 0, "9"},
    {58, 0, 0, ""},
    {59, 0, 0, ""},
    {60, 0, 0, ""},
    {61, 0, 0, ""},
    {62, 0, 0, ""},
    {63, 0, 0, ""},
    {64, 0, 0, ""},
    {65, 30, 0, "A"},
    {66, 48, 0, "B"},
    {67, 46, 0, "C"},
    {68, 32, 0, "D"},
    {69, 18, 0, "E"},
    {70, 33, 0, "F"},
    {71, 34, 0, "G"},
    {72, 35, 0, "H"},
    {73, 23, 0, "I"},
    {74, 36, 0, "J"},
    {75, 37, 0, "K"},
    {76, 38, 0, "L"},
    {77, 50, 0, "M"},
    {78, 49, 0, "N"},
    {79, 24, 0, "O"},
    {80, 25, 0, "P"},
    {81, 16, 0, "Q"},
    {82, 19, 0, "R"},
    {83, 31, 0, "S"},
    {84, 20, 0, "T"},
    {85, 22, 0, "U"},
    {86, 47, 0, "V"},
    {87, 17, 0, "W"},
    {88, 45, 0, "X"},
    {89, 21, 0, "Y"},
    {90, 44, 0, "Z"},
    {91, 91, 1, "Left Windows"},
    {92, 92, 1, "Right Windows"},
    {93, 93, 1, "Apps"},
    {94, 0, 0, ""},
    {95, 95, 1, "Sleep"},
    {96, 82, 0, "Num 0"},
    {97, 79, 0, "Num 1"},
    {98, 80, 0, "Num 2"},
    {99, 81, 0, "Num 3"},
    {100, 75, 0, "Num 4"},
    {101, 76, 0, "Num 5"},
    {102, 77, 0, "Num 6"},
    {103, 71, 0, "Num 7"},
    {104, 72, 0, "Num 8"},
    {105, 73, 0, "Num 9"},
    {106, 55, 0, "Num *"},
    {107, 78, 0, "Num +"},
    {108, 0, 0, "Separator"},
    {109, 74, 0, "Num -"},
    {110, 83, 0, "Num ."},
    {111, 53, 1, "Num /"},
    {112, 59, 0, "F1"},
    {113, 60, 0, "F2"},
    {114, 61, 0, "F3"},
    {115, 62, 0, "F4"},
    {116, 63, 0, "F5"},
    {117, 64, 0, "F6"},
    {118, 65, 0, "F7"},
    {119, 66, 0, "F8"},
    {120, 67, 0, "F9"},
    {121, 68, 0, "F10"},
    {122, 87, 0, "F11"},
    {123, 88, 0, "F12"},
    {124, 124, 0, "F13"},
    {125, 125, 0, "F14"},
    {126, 126, 0, "F15"},
    {127, 127, 0, "F16"},
    {128, 128, 0, "F17"},
    {129, 129, 0, "F18"},
    {130, 130, 0, "F19"},
    {131, 131, 0, "F20"},
    {132, 132, 0, "F21"},
    {133, 133, 0, "F22"},
    {134, 134, 0, "F23"},
    {135, 135, 0, "F24"},
    {136, 0, 0, ""},
    {137, 0, 0, ""},
    {138, 0, 0, ""},
    {139, 0, 0, ""},
    {140, 0, 0, ""},
    {141, 0, 0, ""},
    {142, 0, 0, ""},
    {143, 0, 0, ""},
    {144, 69, 1, "Num Lock"},
    {145, 70, 0, "Scroll Lock"},
    {146, 0, 0, "Num ="},
    {147, 0, 0, ""},
    {148, 0, 0, ""},
    {149, 0, 0, ""},
    {150, 0, 0, ""},
    {151, 0, 0, ""},
    {152, 0, 0, ""},
    {153, 0, 0, ""},
    {154, 0, 0, ""},
    {155, 0, 0, ""},
    {156, 0, 0, ""},
    {157, 0, 0, ""},
    {158, 0, 0, ""},
    {159, 0, 0, ""},
    {160, 42, 0, "Left Shift"},
    {161, 54, 0, "Right Shift"},
    {162, 29, 0, "Left Ctrl"},
    {163, 29, 1, "Right Ctrl"},
    {164, 56, 0, "Left Alt"},
    {165, 56, 1, "Right Alt"},
    {166, 0, 1, "Browser Back"},
    {167, 0, 1, "Browser Forward"},
    {168, 0, 1, "Browser Refresh"},
    {169, 0, 1, "Browser Stop"},
    {170, 101, 1, "Search"},
    {171, 102, 1, "Browser Favorites"},
    {172, 50, 1, "Browser Home"},
    {173, 32, 1, "Mute"},
    {174, 46, 1, "Volume -"},
    {175, 48, 1, "Volume +"},
    {176, 25, 1, "Next Track"},
    {177, 16, 1, "Prev Track"},
    {178, 36, 1, "Stop"},
    {179, 34, 1, "Play/Pause"},
    {180, 108, 1, "Start Mail"},
    {181, 0, 1, "Start Media"},
    {182, 0, 1, "Start App 1"},
    {183, 0, 1, "Start App 2"},
    {184, 0, 0, ""},
    {185, 0, 0, ""},
    {186, 39, 0, ";"},
    {187, 13, 0, "="},
    {188, 51, 0, ","},
    {189, 12, 0, "-"},
    {190, 52, 0, "."},
    {191, 53, 0, "/"},
    {192, 41, 0, "`"},
    {193, 0, 0, ""},
    {194, 0, 0, ""},
    {195, 0, 0, ""},
    {196, 0, 0, ""},
    {197, 0, 0, ""},
    {198, 0, 0, ""},
    {199, 0, 0, ""},
    {200, 0, 0, ""},
    {201, 0, 0, ""},
    {202, 0, 0, ""},
    {203, 0, 0, ""},
    {204, 0, 0, ""},
    {205, 0, 0, ""},
    {206, 0, 0, ""},
    {207, 0, 0, ""},
    {208, 0, 0, ""},
    {209, 0, 0, ""},
    {210, 0, 0, ""},
    {211, 0, 0, ""},
    {212, 0, 0, ""},
    {213, 0, 0, ""},
    {214, 0, 0, ""},
    {215, 0, 0, ""},
    {216, 0, 0, ""},
    {217, 0, 0, ""},
    {218, 0, 0, ""},
    {219, 26, 0, "["},
    {220, 43, 0, "\\\\"},
    {221, 27, 0, "]"},
    {222, 40, 0, "'"},
    {223, 0, 0, ""},
    {224, 0, 0, ""},
    {225, 0, 0, "AX"},
    {226, 86, 0, "<"},
    {227, 0, 0, ""},
    {228, 0, 0, ""},
    {229, 0, 0, ""},
    {230, 0, 0, ""},
    {231, 0, 0, ""},
    {232, 0, 0, ""},
    {233, 0, 0, ""},
    {234, 0, 0, ""},
    {235, 0, 0, ""},
    {236, 0, 0, ""},
    {237, 0, 0, ""},
    {238, 90, 0, ""},
    {239, 0, 0, ""},
    {240, 0, 0, ""},
    {241, 0, 0, ""},
    {242, 0, 0, ""},
    {243, 0, 0, ""},
    {244, 0, 0, ""},
    {245, 0, 0, ""},
    {246, 0, 0, ""},
    {247, 0, 0, ""},
    {248, 0, 0, ""},
    {249, 93, 0, ""},
    {250, 0, 0, ""},
    {251, 0, 0, ""},
    {252, 0, 0, ""},
    {253, 0, 0, ""},
    {254, 0, 0, ""},
    {255, 0, 0, ""},
    {13, 28, 1, "Num Enter"},
};

constexpr const char* kKeyWrongFormat = "Key wrong format";
constexpr const char* kNotAKeySequence = "The String is not a Key Sequence!";
constexpr size_t kKeyCodeLength = 3;

std::string FormatUnnamed(const char* format, int number, bool extended) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, format, number, extended ? " X" : "");
  return buffer;
}

}  // namespace

const TKeyTableRow* KeyTableRow(int index) {
  if (index < 0 || index >= kKeyTableRows) return nullptr;
  return &kKeyTable[index];
}

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
      const TKeyTableRow& row = kKeyTable[kNumEnterRow];
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
  for (const TKeyTableRow& row : kKeyTable) {
    if (scanCode_ == 0) break;
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
