#pragma once
// The image-strip control's window and the Windows picture of a frame image. The control
// paints its frame at once on every position change; a held push button repeats on a
// window timer; the moving hint shows the value beside the control while it is dragged.
#include <windows.h>

#include <memory>

#include "controls/img_control.h"
#include "ui/graphics.h"
#include "controls/win/moving_hint.h"
#include "ui/window.h"

namespace kv {

// A frame image's picture as a bitmap.
class TBitmapPicture : public TImagePicture {
 public:
  explicit TBitmapPicture(ui::TBitmap bitmap) : bitmap_(std::move(bitmap)) {}
  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return bitmap_.Height(); }
  const ui::TBitmap& Bitmap() const { return bitmap_; }

 private:
  ui::TBitmap bitmap_;
};

// Loads the program's bitmap resources for frame images (call once at start).
void InstallBitmapResourceLoader();

class TImgControl : public ui::TCustomControl, public TImgControlLogic {
 public:
  TImgControl() = default;
  // A new control is 47 x 47 unless bounds say otherwise.
  TImgControl(ui::TWindow& parent, const ui::TRect& bounds) { Create(parent, bounds); }
  ~TImgControl() override;
  void Create(ui::TWindow& parent, const ui::TRect& bounds);

  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);
  const TMovingHint& MovingHint() const { return hint_; }
  // The font of the caption; not owned.
  void SetCaptionFont(HFONT font);

  static constexpr UINT_PTR kRepeatTimer = 1;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void Paint(ui::TCanvas& canvas) override;
  bool EraseBackground(HDC dc) override;
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  void MouseMove(ui::TShiftState shift, int x, int y) override;
  void MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, ui::TShiftState shift) override;
  void KeyUp(WORD& key, ui::TShiftState shift) override;
  void FocusChanged(bool gotFocus) override;
  void CaptureLost() override;
  void Timer(UINT_PTR id) override;
  LRESULT DialogCode(const MSG*) override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

  // TImgControlLogic hooks
  void RefreshFrame(bool forced) override;
  void Repaint() override;
  void FitToImage() override;
  void ReleaseMouseCapture() override;
  void TakeFocus() override;
  void StartRepeatTimer(int intervalMs) override;
  void StopRepeatTimer() override;
  void ShowScrollHintText(const std::string& text) override;
  void HideScrollHint() override;
  bool ScrollHintShowing() const override;
  bool WantsFocusOnPress() const override { return tabStop_ && !Focused(); }

 private:
  void PaintFrame(ui::TCanvas& canvas, int index, bool drawPicture);
  int CaptionHeight() const;

  bool tabStop_ = true;
  HFONT captionFont_ = nullptr;
  ui::TRect captionRect_;
  TMovingHint hint_;
};

}  // namespace kv
