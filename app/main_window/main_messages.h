#pragma once
// The main window's answers to system and tray messages, and when the activity lamps and the
// tray animation run, as rules the window asks.
#include <cstdint>
#include <string>

namespace kv {

struct TMainSettings;

inline constexpr uint32_t kTrayDoubleClick = 515;  // left button double click
inline constexpr uint32_t kTrayRightButtonUp = 516;
inline constexpr uintptr_t kDeviceNodesChanged = 7;

// The debugger line of a device-change message.
std::string DeviceChangeText(uintptr_t wParam, intptr_t lParam);
// Only a change of the device nodes makes the MIDI devices be rescanned.
bool RescansOnDeviceChange(uintptr_t wParam);

enum class TTrayAction { None, BringToFront, ToggleShowMinimize, OpenMenu };
TTrayAction DecideTrayClick(uint32_t lParam, bool visible, bool minimized, bool appActive);
// The tray menu's "&Show"/"&Minimize": true to minimise, false to restore (and show).
bool ShowMinimizeMinimizes(bool visible, bool minimized);
// Minimising hides the window in the tray only with the tray icon shown.
bool HidesToTray(const TMainSettings& settings);

// Whether the lamps and the tray animation are wanted; the lamps thread lives while either is.
struct TActivityDisplay {
  bool lamps = false;
  bool trayAnimation = false;
  bool ThreadNeeded() const { return lamps || trayAnimation; }
};
TActivityDisplay DecideActivityDisplay(const TMainSettings& settings, bool windowVisible,
                                       bool trayIconExists, bool trayIconsLoaded,
                                       bool trayIconShown);

}  // namespace kv
