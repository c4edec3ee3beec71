#pragma once
// The program's icon in the notification area and its eight activity states. The icon can be
// changed from the lamp thread and shown or hidden from the main thread: one mutex keeps every
// call to the shell in order.
#include <array>
#include <cstdint>
#include <mutex>
#include <string>

#include "app/activity_lamps.h"

namespace kv {

using TIconHandle = uintptr_t;

inline constexpr const char* kTrayIconNames[8] = {
    "TRAY_NONE",       "TRAY_IN",       "TRAY_OUT",       "TRAY_IN_OUT",
    "TRAY_NONE_TRANS", "TRAY_IN_TRANS", "TRAY_OUT_TRANS", "TRAY_IN_OUT_TRANS"};

// The shell's notification area. Windows: Shell_NotifyIcon with the callback message to the
// main window; tests: a recorder. Called with the tray's mutex held, so it must not call back.
class TNotificationArea {
 public:
  virtual ~TNotificationArea() = default;
  virtual bool Add(TIconHandle icon, const std::string& tip) = 0;
  virtual bool Modify(TIconHandle icon, const std::string& tip) = 0;
  virtual bool Remove() = 0;
};

class TTrayAnimation {
 public:
  // icons: the eight state icons by index (0 where one failed to load); appIcon stands in for a
  // missing idle icon. Animated only when all eight loaded.
  TTrayAnimation(TNotificationArea& area, const std::array<TIconHandle, 8>& icons,
                 TIconHandle appIcon, const std::string& tooltip);
  ~TTrayAnimation();
  TTrayAnimation(const TTrayAnimation&) = delete;
  TTrayAnimation& operator=(const TTrayAnimation&) = delete;

  void SetVisible(bool on);
  void Refresh();
  void SetIcon(TIconHandle icon);
  void SetState(const TTrayState& state);
  void Reshow();

  bool Animated() const { return animated_; }
  bool Shown() const;
  TIconHandle CurrentIcon() const;
  const std::string& Tooltip() const { return tooltip_; }

 private:
  void SetVisibleLocked(bool on);  // mutex_ held

  TNotificationArea& area_;
  std::array<TIconHandle, 8> icons_;
  bool animated_;
  const std::string tooltip_;
  mutable std::mutex mutex_;  // guards shown_, icon_ and every call to area_
  bool shown_ = false;
  TIconHandle icon_ = 0;
};

}  // namespace kv
