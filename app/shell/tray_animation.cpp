#include "app/shell/tray_animation.h"

namespace kv {

TTrayAnimation::TTrayAnimation(ui::TTrayIconState& icon, const std::array<TIconHandle, 8>& icons,
                               TIconHandle appIcon, const std::string& tooltip)
    : icon_(icon), icons_(icons), animated_(true), tooltip_(tooltip) {
  for (TIconHandle i : icons_)
    if (!i) animated_ = false;
  if (!icons_[0]) icons_[0] = appIcon;
  icon_.SetTip(tooltip_);
  icon_.SetIcon(icons_[0]);
}

TTrayAnimation::~TTrayAnimation() { icon_.SetVisible(false); }

void TTrayAnimation::SetIcon(TIconHandle icon) { icon_.SetIcon(icon); }

void TTrayAnimation::SetState(const TTrayState& state) {
  if (animated_) SetIcon(icons_[TrayIconIndex(state)]);
}

}  // namespace kv
