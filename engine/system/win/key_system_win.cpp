#include <windows.h>

#include "engine/system/key_system.h"

namespace kv {
namespace {

class TWinKeySystem : public IKeySystem {
 public:
  uint32_t MapVirtualKey(uint32_t code, TKeyMapType type) override {
    return MapVirtualKeyA(code, static_cast<UINT>(type));
  }

  std::string GetKeyNameText(int32_t lParam) override {
    char buffer[60] = {};
    const int n = GetKeyNameTextA(lParam, buffer, static_cast<int>(sizeof buffer));
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
  }

  void SendKey(uint8_t virtualKey, uint16_t scanCode, uint32_t flags) override {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = scanCode;
    if (flags & kKeyFlagExtended) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    if (flags & kKeyFlagUp) input.ki.dwFlags |= KEYEVENTF_KEYUP;
    if (virtualKey == 0 || virtualKey == 255)
      input.ki.dwFlags |= KEYEVENTF_SCANCODE;  // the key is known by its scan code only
    else
      input.ki.wVk = virtualKey;
    SendInput(1, &input, sizeof input);
  }

  bool GetKeyboardDelay(int& delay) override {
    INT value = 0;
    if (!SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &value, 0)) return false;
    delay = value;
    return true;
  }

  bool GetKeyboardSpeed(int& speed) override {
    DWORD value = 0;
    if (!SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &value, 0)) return false;
    speed = static_cast<int>(value);
    return true;
  }
};

}  // namespace

IKeySystem& DefaultKeySystem() {
  static TWinKeySystem system;
  return system;
}

}  // namespace kv
