#include "controls/img_control.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "base/text.h"

namespace kv {

namespace {

int Sign(int v) {
  return (v > 0) - (v < 0);
}

constexpr int kVkSpace = 32, kVkEscape = 27, kVkPrior = 33, kVkNext = 34, kVkEnd = 35, kVkHome = 36,
              kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40;

}  // namespace

TImgControlLogic::~TImgControlLogic() {
  if (image_ != nullptr) image_->RemoveClient(this);
}

void TImgControlLogic::SetPosition(int v) {
  if (v == position_) return;
  v = std::clamp(v, min_, max_);
  if (v == position_) return;
  position_ = v;
  caption_ = IntToStr(v);
  RefreshFrame(false);
  OnChange();
  UpdateScrollHint(false);
}

void TImgControlLogic::ScrollTo(int v) {
  v = std::clamp(v, min_, max_);
  if (v == position_) return;
  OnScroll(v);
  SetPosition(v);
}

void TImgControlLogic::SetMax(int v) {
  if (v == max_) return;
  if (v >= min_) {
    if (v < position_) SetPosition(v);
    max_ = v;
  }
  Repaint();
}

void TImgControlLogic::SetMin(int v) {
  if (v == min_) return;
  if (v <= max_) {
    if (position_ < v) SetPosition(v);
    min_ = v;
  }
  Repaint();
}

void TImgControlLogic::SetAutoSize(bool v) {
  autoSize_ = v;
  FitToImage();
}

void TImgControlLogic::SetCaptionShow(bool v) {
  captionShow_ = v;
  FitToImage();
}

void TImgControlLogic::SetAlignment(TImgAlignment v) {
  alignment_ = v;
  Repaint();
}

void TImgControlLogic::SetFrameImage(TFrameImage* image) {
  if (image == image_) return;
  TFrameImage* old = image_;
  image_ = image;
  if (old != nullptr) old->RemoveClient(this);
  if (image_ != nullptr) image_->AddClient(this);
}

void TImgControlLogic::ImageChanged() {
  FitToImage();
  if (!autoSize_) Repaint();
}

void TImgControlLogic::ImageDestroyed() {
  image_ = nullptr;
  ImageChanged();
}

int TImgControlLogic::FrameIndex() const {
  if (image_ == nullptr) return -1;
  const int64_t span = static_cast<int64_t>(max_) - min_ + 1;
  return static_cast<int>((static_cast<int64_t>(position_) - min_) * image_->Count() / span);
}

bool TImgControlLogic::WantedSize(int captionHeight, int& width, int& height) const {
  if (image_ == nullptr || image_->Width() <= 0 || image_->Height() <= 0) return false;
  width = image_->Width();
  height = image_->Height() + (captionShow_ ? captionHeight : 0);
  return true;
}

bool TImgControlLogic::InsideFrame(int x, int y) const {
  return image_ != nullptr && x >= 0 && x < image_->Width() && y >= 0 && y < image_->Height();
}

void TImgControlLogic::TrackButton(int x, int y) {
  const bool inside = InsideFrame(x, y);
  // Both candidates and the half-way mark are taken from Min, so a button whose range does
  // not start at 0 toggles and releases like one that does.
  int candidate;
  if (IsTwoState()) {
    candidate = inside ? max_ + min_ - pressPos_ : pressPos_;
  } else {
    candidate = inside ? max_ : min_;
  }
  const int target = candidate - min_ > (max_ - min_) / 2 ? max_ : min_;
  if (target != position_) ScrollTo(target);
}

void TImgControlLogic::UpdateScrollHint(bool forced) {
  if (!showScrollHint_ || !(forced || ScrollHintShowing())) return;
  std::string text;
  if (OnGetScrollHint) {
    OnGetScrollHint(text);
  } else {
    text = IntToStr(position_);
  }
  ShowScrollHintText(text);
}

void TImgControlLogic::StopRepeat() {
  if (repeatOn_) StopRepeatTimer();
  repeatOn_ = false;
}

void TImgControlLogic::MouseDown(bool left, TImgShift shift, int x, int y) {
  dragging_ = false;
  if (!allowUserControl_) return;
  if (left) {
    pressPos_ = position_;
    if (IsButton()) {
      TrackButton(x, y);
      if (autoRepeat_ && !IsTwoState()) {
        repeatCreated_ = true;
        repeatOn_ = true;
        repeatInterval_ = repeatInit_;
        StartRepeatTimer(repeatInterval_);
        OnButtonClick();
      }
    } else {
      lastX_ = x;
      lastY_ = y;
      fineDrag_ = shift.shift;
    }
    dragging_ = true;
    UpdateScrollHint(true);
  }
  if (WantsFocusOnPress()) TakeFocus();
}

void TImgControlLogic::MouseMove(TImgShift shift, int x, int y, bool hasCapture) {
  if (!dragging_ || !hasCapture) return;
  if (IsButton()) {
    TrackButton(x, y);
    return;
  }
  int d = kind_ == TImgKind::sbVertical ? lastY_ - y : x - lastX_;
  if (shift.shift) {
    d /= 6;
    fineDrag_ = true;
  } else if (fineDrag_) {
    d = Sign(d);
    fineDrag_ = false;
  }
  if (d == 0) return;
  int step = d * smallChange_;
  if (!fineDrag_) {
    if (position_ == middlePos_) {
      step = std::abs(d) > middleSnap_ ? (d - Sign(d) * middleSnap_) * smallChange_ : 0;
    } else {
      const int to = position_ + step;
      const bool passes = (position_ < middlePos_ && middlePos_ <= to) ||
                          (to <= middlePos_ && middlePos_ < position_);
      if (passes && smallChange_ != 0 &&
          std::abs((to - middlePos_) / smallChange_) <= middleSnap_) {
        ScrollTo(middlePos_);
        step = 0;
      }
    }
  }
  if (step != 0) {
    lastX_ = x;
    lastY_ = y;
    ScrollTo(position_ + step);
  }
}

void TImgControlLogic::MouseUp(int x, int y) {
  if (allowUserControl_) {
    HideScrollHint();
    if (dragging_ && IsButton()) {
      if (IsTwoState()) {
        TrackButton(x, y);
      } else {
        if (repeatCreated_ && autoRepeat_) StopRepeat();
        ScrollTo(min_);
      }
      if (InsideFrame(x, y) && (!repeatCreated_ || !autoRepeat_)) OnButtonClick();
    }
    // The press is over before the capture goes: losing the capture cancels only a press
    // still in progress.
    dragging_ = false;
    ReleaseMouseCapture();
  }
  dragging_ = false;
}

void TImgControlLogic::CancelPress() {
  StopRepeat();
  if (!dragging_) return;
  dragging_ = false;
  HideScrollHint();
  if (IsButton()) {
    if (!IsTwoState()) ScrollTo(min_);
  } else {
    ScrollTo(pressPos_);
  }
  ReleaseMouseCapture();
}

void TImgControlLogic::RepeatTick() {
  if (!repeatOn_) return;
  OnButtonClick();
  if (repeatOn_ && repeatInterval_ != repeatDelay_) {
    repeatInterval_ = repeatDelay_;
    StartRepeatTimer(repeatInterval_);
  }
}

void TImgControlLogic::KeyDown(int key) {
  if (!allowUserControl_) return;
  if (IsButton()) {
    if (key == kVkSpace) ScrollTo(max_ - position_ > (max_ - min_) / 2 ? max_ : min_);
  } else {
    switch (key) {
      case kVkPrior:
        ScrollTo(position_ + largeChange_);
        break;
      case kVkNext:
        ScrollTo(position_ - largeChange_);
        break;
      case kVkEnd:
        ScrollTo(max_);
        break;
      case kVkHome:
        ScrollTo(min_);
        break;
      case kVkLeft:
      case kVkDown:
        ScrollTo(position_ - smallChange_);
        break;
      case kVkUp:
      case kVkRight:
        ScrollTo(position_ + smallChange_);
        break;
      default:
        break;
    }
  }
  if (key == kVkEscape && dragging_) {
    // The held button also stops repeating: Escape ends the press completely.
    StopRepeat();
    ScrollTo(pressPos_);
    dragging_ = false;
    HideScrollHint();
    ReleaseMouseCapture();
  }
}

void TImgControlLogic::KeyUp(int key) {
  if (!allowUserControl_ || key != kVkSpace || !IsButton()) return;
  if (!IsTwoState()) ScrollTo(min_);
  OnButtonClick();
}

}  // namespace kv
