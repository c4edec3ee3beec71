#pragma once
// The behaviour of the image-strip control: a value between Min and Max shown as one frame
// of a TFrameImage, changed by the program (SetPosition) or by the user (drag, keys, push
// button with auto-repeat). The window (controls/win/img_control.h) feeds input in and
// overrides the view hooks. Main thread only.
#include <string>

#include "controls/frame_image.h"
#include "ui/event.h"

namespace kv {

enum class TImgKind { sbHorizontal, sbVertical };
enum class TImgAlignment { taLeftJustify, taRightJustify, taCenter };

struct TImgShift {
  bool shift = false;
};

class TImgControlLogic : public TImageClient {
 public:
  TImgControlLogic() = default;
  virtual ~TImgControlLogic();
  TImgControlLogic(const TImgControlLogic&) = delete;
  TImgControlLogic& operator=(const TImgControlLogic&) = delete;

  // --- value
  int Position() const { return position_; }
  void SetPosition(int v);  // the program's change: no OnScroll
  void ScrollTo(int v);     // the user's change: OnScroll first
  int Max() const { return max_; }
  void SetMax(int v);  // refused below Min
  int Min() const { return min_; }
  void SetMin(int v);  // refused above Max
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int v) { smallChange_ = v; }
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int v) { largeChange_ = v; }
  TImgKind Kind() const { return kind_; }
  void SetKind(TImgKind v) { kind_ = v; }
  int MiddlePos() const { return middlePos_; }
  void SetMiddlePos(int v) { middlePos_ = v; }
  int MiddleSnap() const { return middleSnap_; }
  void SetMiddleSnap(int v) { middleSnap_ = v; }
  const std::string& CaptionText() const { return caption_; }

  // --- options
  bool AllowUserControl() const { return allowUserControl_; }
  void SetAllowUserControl(bool v) { allowUserControl_ = v; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  bool CaptionShow() const { return captionShow_; }
  void SetCaptionShow(bool v);
  TImgAlignment Alignment() const { return alignment_; }
  void SetAlignment(TImgAlignment v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v; }
  bool ShowScrollHint() const { return showScrollHint_; }
  void SetShowScrollHint(bool v) { showScrollHint_ = v; }
  bool AutoRepeat() const { return autoRepeat_; }
  void SetAutoRepeat(bool v) { autoRepeat_ = v; }
  int AutoRepeatInitDelay() const { return repeatInit_; }
  void SetAutoRepeatInitDelay(int ms) { repeatInit_ = ms; }
  int AutoRepeatDelay() const { return repeatDelay_; }
  void SetAutoRepeatDelay(int ms) { repeatDelay_ = ms; }

  // --- image
  TFrameImage* FrameImage() const { return image_; }
  void SetFrameImage(TFrameImage* image);
  int FrameIndex() const;  // -1 without an image
  int LastDrawnIndex() const { return lastDrawn_; }
  void SetLastDrawnIndex(int i) { lastDrawn_ = i; }
  // The size the control takes with AutoSize (the caption's height added when shown);
  // false when there is no frame size to take.
  bool WantedSize(int captionHeight, int& width, int& height) const;

  // --- events
  ui::TNotifyEvent OnChange;
  ui::TEvent<void(int& scrollPos)> OnScroll;
  ui::TNotifyEvent OnButtonClick;
  ui::TEvent<void(std::string& caption)> OnGetScrollHint;

  // --- input (left button presses, client coordinates)
  void MouseDown(bool left, TImgShift shift, int x, int y);
  void MouseMove(TImgShift shift, int x, int y, bool hasCapture);
  void MouseUp(int x, int y);
  void KeyDown(int key);
  void KeyUp(int key);
  void RepeatTick();
  // The press ends without a click: the capture was lost, a modal window opened or the
  // control was disabled. A held button is released and its repeat stopped.
  void CancelPress();
  bool Dragging() const { return dragging_; }
  bool Repeating() const { return repeatOn_; }
  int RepeatInterval() const { return repeatInterval_; }

  // ImageClient
  void ImageChanged() override;
  void ImageDestroyed() override;

 protected:
  // View hooks for the window.
  virtual void RefreshFrame(bool /*forced*/) {}
  virtual void Repaint() {}
  virtual void FitToImage() {}
  virtual void ReleaseMouseCapture() {}
  virtual void TakeFocus() {}
  virtual void StartRepeatTimer(int /*intervalMs*/) {}
  virtual void StopRepeatTimer() {}
  virtual void ShowScrollHintText(const std::string& /*text*/) {}
  virtual void HideScrollHint() {}
  virtual bool ScrollHintShowing() const { return false; }
  virtual bool WantsFocusOnPress() const { return false; }

 private:
  bool IsButton() const { return image_ != nullptr && image_->Button(); }
  bool IsTwoState() const { return image_ != nullptr && image_->TwoState(); }
  bool InsideFrame(int x, int y) const;
  void TrackButton(int x, int y);
  void UpdateScrollHint(bool forced);
  void StopRepeat();

  int position_ = 0, max_ = 100, min_ = 0, smallChange_ = 1, largeChange_ = 10;
  TImgKind kind_ = TImgKind::sbVertical;
  int middlePos_ = 0, middleSnap_ = 5;
  bool allowUserControl_ = true, autoSize_ = true, captionShow_ = false, transparent_ = false;
  TImgAlignment alignment_ = TImgAlignment::taLeftJustify;
  bool showScrollHint_ = false, autoRepeat_ = false;
  int repeatInit_ = 700, repeatDelay_ = 200;
  std::string caption_ = "0";
  TFrameImage* image_ = nullptr;  // not owned
  int lastDrawn_ = -1;
  int pressPos_ = 0;
  int lastX_ = 0, lastY_ = 0;
  bool fineDrag_ = false, dragging_ = false;
  bool repeatCreated_ = false, repeatOn_ = false;
  int repeatInterval_ = 0;
};

}  // namespace kv
