#include "controls/win/moving_hint.h"

namespace kv {

void TMovingHint::MoveTo(const ui::TWindow& control, const std::string& text) {
  const ui::TPoint corner = control.ClientToScreen({control.ClientRect().Width(), 0});
  place_ = {corner.x + 2, corner.y};
  text_ = text;
  Activate(true);
}

void TMovingHint::Activate(bool forced) {
  if (!forced && !Showing()) return;
  if (!window_) window_ = std::make_unique<ui::THintWindow>();
  const ui::TRect r = window_->CalcHintRect(kMaxWidth, text_).Offset(place_.x, place_.y);
  window_->ActivateHint(r, text_);
}

}  // namespace kv
