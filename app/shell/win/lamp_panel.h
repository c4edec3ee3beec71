#pragma once
// The main window's activity lamps as the lamp thread's target: eleven 9 x 9 image strips
// (dark, then four steps of afterglow) in the slots of the activity bits that have a lamp,
// and the notification-area icon. The main window owns it and the lamp controls.
#include <array>
#include <string>

#include "app/shell/activity_lamps.h"
#include "controls/frame_image.h"

namespace kv {

class TImgControl;
class TTrayAnimation;

// The label beside each slot's lamp; empty for the slots without one.
inline constexpr const char* kLampCaptions[kLampCount] = {
    "Translating", "MIDI In", "MIDI Out", "MIDI Time Code", "Active Sensing",
    "Timer In",    "Timer Out", "Key In", "Key Out",       "",
    "Mouse Out",   "",        "Router Out", "",            ""};
inline constexpr int kLampMaxPosition = 4;

class TLampPanel final : public TLampTarget {
 public:
  // lamps: the controls by slot (null where a slot has none); tray may be null. The strip is
  // the "LAMPS" bitmap of the program's resources.
  TLampPanel(const std::array<TImgControl*, kLampCount>& lamps, TTrayAnimation* tray);
  TLampPanel(const TLampPanel&) = delete;
  TLampPanel& operator=(const TLampPanel&) = delete;
  ~TLampPanel() override;

  // Main thread.
  void ShowLamps(const TLampValues& values) override;
  // Lamp thread (the tray serialises its shell calls).
  void SetTrayState(const TTrayState& state) override;

  bool StripLoaded() const { return strip_.Bitmap() != nullptr; }

 private:
  std::array<TImgControl*, kLampCount> lamps_;
  TTrayAnimation* tray_;
  TFrameImage strip_;
};

}  // namespace kv
