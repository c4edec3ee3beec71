#pragma once
// The program's icon in the notification area and its eight activity states. The icon itself
// (its record, the shell calls, the lock that keeps the lamp thread's changes and the main
// thread's show and hide in order) is the window layer's; this object picks which of the
// eight pictures it carries.
#include <array>
#include <cstdint>
#include <string>

#include "app/shell/activity_lamps.h"
#include "ui/tray_icon_logic.h"

namespace kv {

using TIconHandle = uintptr_t;

inline constexpr const char* kTrayIconNames[8] = {
    "TRAY_NONE",       "TRAY_IN",       "TRAY_OUT",       "TRAY_IN_OUT",
    "TRAY_NONE_TRANS", "TRAY_IN_TRANS", "TRAY_OUT_TRANS", "TRAY_IN_OUT_TRANS"};

class TTrayAnimation {
 public:
  // icon: the notification-area icon, which outlives this object. icons: the eight state
  // icons by index (0 where one failed to load); appIcon stands in for a missing idle icon.
  // Animated only when all eight loaded.
  TTrayAnimation(ui::TTrayIconState& icon, const std::array<TIconHandle, 8>& icons,
                 TIconHandle appIcon, const std::string& tooltip);
  ~TTrayAnimation();  // takes the icon away
  TTrayAnimation(const TTrayAnimation&) = delete;
  TTrayAnimation& operator=(const TTrayAnimation&) = delete;

  // Main thread.
  void SetVisible(bool on) { icon_.SetVisible(on); }
  // After the window went to the tray: the icon must be there.
  void Reshow() { icon_.SetVisible(icon_.Shown()); }
  // Any thread (the lamp thread animates).
  void Refresh() { icon_.Refresh(); }
  void SetIcon(TIconHandle icon);
  void SetState(const TTrayState& state);

  bool Animated() const { return animated_; }
  bool Shown() const { return icon_.Shown(); }
  TIconHandle CurrentIcon() const { return icon_.Data().icon; }
  const std::string& Tooltip() const { return tooltip_; }

 private:
  ui::TTrayIconState& icon_;
  std::array<TIconHandle, 8> icons_;
  bool animated_;
  const std::string tooltip_;
};

}  // namespace kv
