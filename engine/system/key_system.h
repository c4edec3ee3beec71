#pragma once
// Seam: the system's keyboard layout and synthetic keyboard input, as key naming, key
// decoding and the keystroke action need them.
//
// Lifecycle (base/seam.h): GetKeySystem() returns the process-wide implementation: the Win32
// calls in the Windows build (engine/system/win/key_system_win.cpp), a TKeyRecorder natively.
// A test (or the checking tool) puts its own in place for a scope with TScopedKeySystem,
// opened and closed on one thread while no other thread sends keys.
//
// Thread: SendKey is called from the main thread, the dispatcher and the multimedia timer
// thread (auto-repeat); the other calls from any thread. Implementations are thread-safe.
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/seam.h"

namespace kv {

// keybd_event flags.
inline constexpr uint32_t kKeyFlagExtended = 1;
inline constexpr uint32_t kKeyFlagUp = 2;

// MapVirtualKey translation kinds.
enum TKeyMapType : uint32_t {
  kMapVkToScan = 0,
  kMapScanToVk = 1,
  kMapVkToChar = 2,
};

class IKeySystem {
 public:
  virtual ~IKeySystem() = default;
  // MapVirtualKeyA of the active layout; 0 when there is no translation.
  virtual uint32_t MapVirtualKey(uint32_t code, TKeyMapType type) = 0;
  // GetKeyNameTextA for the lParam form (scan << 16 | extended << 24); empty when none.
  virtual std::string GetKeyNameText(int32_t lParam) = 0;
  // One synthetic key event; a virtual key of 0 or 255 sends the scan code alone.
  virtual void SendKey(uint8_t virtualKey, uint16_t scanCode, uint32_t flags) = 0;
  // SPI_GETKEYBOARDDELAY (0..3) and SPI_GETKEYBOARDSPEED (0..31); false when unavailable.
  virtual bool GetKeyboardDelay(int& delay) = 0;
  virtual bool GetKeyboardSpeed(int& speed) = 0;
};

// The build's own implementation: the Win32 calls, or a recorder natively.
IKeySystem& DefaultKeySystem();
using TKeySystemSeam = TSeam<IKeySystem, DefaultKeySystem>;
inline IKeySystem& GetKeySystem() { return TKeySystemSeam::Get(); }
using TScopedKeySystem = TKeySystemSeam::TScope;

// A stand-in that answers the layout questions from the program's key table (a US layout)
// and records every key sent as a line "key down <vk>" or "key up <vk>" (scan-mode keys as
// "key down scan <scan>"). OnLine, when set before use, also receives each line.
//
// Lock: mutex_ guards lines_ and events_; OnLine is called without it.
class TKeyRecorder : public IKeySystem {
 public:
  struct Sent {
    uint8_t virtualKey;
    uint16_t scanCode;
    uint32_t flags;
  };

  uint32_t MapVirtualKey(uint32_t code, TKeyMapType type) override;
  std::string GetKeyNameText(int32_t lParam) override;
  void SendKey(uint8_t virtualKey, uint16_t scanCode, uint32_t flags) override;
  bool GetKeyboardDelay(int& delay) override;
  bool GetKeyboardSpeed(int& speed) override;

  std::vector<std::string> Lines() const;
  std::vector<Sent> Events() const;
  size_t Count() const;
  void ClearRecord();

  std::function<void(const std::string&)> OnLine;
  // What the keyboard settings report; a negative value makes the query fail.
  int keyboardDelay = 1;
  int keyboardSpeed = 31;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
  std::vector<Sent> events_;
};

}  // namespace kv
