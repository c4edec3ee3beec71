#include "app/tray_animation.h"

namespace kv {

TTrayAnimation::TTrayAnimation(TNotificationArea& area, const std::array<TIconHandle, 8>& icons,
                               TIconHandle appIcon, const std::string& tooltip)
    : area_(area), icons_(icons), animated_(true), tooltip_(tooltip) {
  for (TIconHandle icon : icons_)
    if (!icon) animated_ = false;
  if (!icons_[0]) icons_[0] = appIcon;
  icon_ = icons_[0];
}

TTrayAnimation::~TTrayAnimation() {
  SetVisible(false);
}

void TTrayAnimation::SetVisibleLocked(bool on) {
  if (on) {
    if (shown_) shown_ = area_.Modify(icon_, tooltip_);
    if (!shown_) area_.Add(icon_, tooltip_);
  } else if (shown_) {
    area_.Remove();
  }
  shown_ = on;
}

void TTrayAnimation::SetVisible(bool on) {
  std::lock_guard<std::mutex> guard(mutex_);
  SetVisibleLocked(on);
}

void TTrayAnimation::Refresh() {
  std::lock_guard<std::mutex> guard(mutex_);
  if (shown_) SetVisibleLocked(true);
}

void TTrayAnimation::SetIcon(TIconHandle icon) {
  if (!icon) return;
  std::lock_guard<std::mutex> guard(mutex_);
  if (icon == icon_) return;  // nothing to tell the shell
  icon_ = icon;
  if (shown_) SetVisibleLocked(true);
}

void TTrayAnimation::SetState(const TTrayState& state) {
  if (animated_) SetIcon(icons_[TrayIconIndex(state)]);
}

void TTrayAnimation::Reshow() {
  std::lock_guard<std::mutex> guard(mutex_);
  SetVisibleLocked(shown_);
}

bool TTrayAnimation::Shown() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return shown_;
}

TIconHandle TTrayAnimation::CurrentIcon() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return icon_;
}

}  // namespace kv
