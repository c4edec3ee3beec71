#include "app/shell/win/lamp_panel.h"

#include "app/shell/tray_animation.h"
#include "controls/win/img_control.h"

namespace kv {

TLampPanel::TLampPanel(const std::array<TImgControl*, kLampCount>& lamps, TTrayAnimation* tray)
    : lamps_(lamps), tray_(tray) {
  ui::TBitmap bitmap;
  strip_.BeginLoading();
  if (bitmap.LoadFromResource("LAMPS"))
    strip_.SetBitmap(std::make_unique<TBitmapPicture>(std::move(bitmap)));
  strip_.SetWidth(9);
  strip_.SetHeight(9);
  strip_.Loaded();
  for (TImgControl* lamp : lamps_) {
    if (!lamp) continue;
    lamp->SetAllowUserControl(false);
    lamp->SetTabStop(false);
    lamp->SetMin(0);
    lamp->SetMax(kLampMaxPosition);
    lamp->SetFrameImage(&strip_);
    lamp->SetPosition(0);
  }
}

TLampPanel::~TLampPanel() {
  for (TImgControl* lamp : lamps_)
    if (lamp) lamp->SetFrameImage(nullptr);
}

void TLampPanel::ShowLamps(const TLampValues& values) {
  for (int i = 0; i < kLampCount; ++i)
    if (lamps_[i]) lamps_[i]->SetPosition(values[i]);
}

void TLampPanel::SetTrayState(const TTrayState& state) {
  if (tray_) tray_->SetState(state);
}

}  // namespace kv
