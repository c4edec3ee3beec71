#include "app/main_window/main_messages.h"

#include "app/main_window/main_settings.h"

namespace kv {
namespace {

std::string Hex8(uint64_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text(8, '0');
  for (int i = 7; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = kDigits[value & 0xF];
  return text;
}

}  // namespace

std::string DeviceChangeText(uintptr_t wParam, intptr_t lParam) {
  // Eight digits, as the message's 32-bit parameters read.
  return "WMDeviceChange wparam=0x" + Hex8(static_cast<uint32_t>(wParam)) + " lparam=0x" +
         Hex8(static_cast<uint32_t>(lParam));
}

bool RescansOnDeviceChange(uintptr_t wParam) { return wParam == kDeviceNodesChanged; }

TTrayAction DecideTrayClick(uint32_t lParam, bool visible, bool minimized, bool appActive) {
  if (lParam == kTrayRightButtonUp) return TTrayAction::OpenMenu;
  if (lParam != kTrayDoubleClick) return TTrayAction::None;
  if (visible && !minimized && !appActive) return TTrayAction::BringToFront;
  return TTrayAction::ToggleShowMinimize;
}

bool ShowMinimizeMinimizes(bool visible, bool minimized) { return visible && !minimized; }

bool HidesToTray(const TMainSettings& settings) {
  return settings.minimizeToTray && settings.showTrayIcon;
}

TActivityDisplay DecideActivityDisplay(const TMainSettings& settings, bool windowVisible,
                                       bool trayIconExists, bool trayIconsLoaded,
                                       bool trayIconShown) {
  TActivityDisplay d;
  d.lamps = windowVisible && settings.eventMonitor;
  d.trayAnimation = settings.trayAnimation && trayIconExists && trayIconsLoaded && trayIconShown;
  return d;
}

}  // namespace kv
