#include "engine/system/key_system.h"

#include "base/text.h"
#include "engine/system/key_table.h"

namespace kv {

// ---------------------------------------------------------------------------------------
// TKeyRecorder

namespace {

// The characters a US layout gives for the keys of the key table.
char UsCharacterOf(uint32_t virtualKey) {
  if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
    return static_cast<char>(virtualKey);
  switch (virtualKey) {
    case 8:
    case 9:
    case 13:
    case 27:
    case 32:
      return static_cast<char>(virtualKey);
    case 186:
      return ';';
    case 187:
      return '=';
    case 188:
      return ',';
    case 189:
      return '-';
    case 190:
      return '.';
    case 191:
      return '/';
    case 192:
      return '`';
    case 219:
      return '[';
    case 220:
      return '\\';
    case 221:
      return ']';
    case 222:
      return '\'';
    default:
      return 0;
  }
}

}  // namespace

uint32_t TKeyRecorder::MapVirtualKey(uint32_t code, TKeyMapType type) {
  switch (type) {
    case kMapVkToScan: {
      const TKeyTableRow* row = code < 256 ? KeyTableRow(static_cast<int>(code)) : nullptr;
      return row != nullptr ? static_cast<uint32_t>(row->scanCode) : 0;
    }
    case kMapScanToVk:
      if (code == 0) return 0;
      for (int v = 1; v < 256; ++v)
        if (KeyTableRow(v)->scanCode == static_cast<int16_t>(code)) return static_cast<uint32_t>(v);
      return 0;
    case kMapVkToChar:
      return static_cast<uint8_t>(UsCharacterOf(code));
  }
  return 0;
}

std::string TKeyRecorder::GetKeyNameText(int32_t) {
  return {};
}

void TKeyRecorder::SendKey(uint8_t virtualKey, uint16_t scanCode, uint32_t flags) {
  std::string line = (flags & kKeyFlagUp) ? "key up " : "key down ";
  if (virtualKey == 0 || virtualKey == 255)
    line += "scan " + IntToStr(scanCode);
  else
    line += IntToStr(virtualKey);
  {
    std::lock_guard<std::mutex> hold(mutex_);
    lines_.push_back(line);
    events_.push_back({virtualKey, scanCode, flags});
  }
  if (OnLine) OnLine(line);
}

bool TKeyRecorder::GetKeyboardDelay(int& delay) {
  delay = keyboardDelay;
  return keyboardDelay >= 0;
}

bool TKeyRecorder::GetKeyboardSpeed(int& speed) {
  speed = keyboardSpeed;
  return keyboardSpeed >= 0;
}

std::vector<std::string> TKeyRecorder::Lines() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return lines_;
}

std::vector<TKeyRecorder::Sent> TKeyRecorder::Events() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return events_;
}

size_t TKeyRecorder::Count() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return events_.size();
}

void TKeyRecorder::ClearRecord() {
  std::lock_guard<std::mutex> hold(mutex_);
  lines_.clear();
  events_.clear();
}

}  // namespace kv
