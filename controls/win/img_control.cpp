#include "controls/win/img_control.h"

#include <algorithm>

#include "ui/application.h"
#include "ui/canvas.h"

namespace kv {

namespace {

class CanvasTarget : public TImageDrawTarget {
 public:
  explicit CanvasTarget(ui::TCanvas& c) : c_(c) {}
  void CopyPicture(const TImagePicture& picture, ui::TRect source, ui::TPoint dest) override {
    if (const auto* b = dynamic_cast<const TBitmapPicture*>(&picture)) {
      c_.DrawPart(dest.x, dest.y, b->Bitmap(), source);
    }
  }
  void DrawEmptyMark(ui::TRect r) override {
    c_.Line(r.left, r.top, r.right, r.bottom);
    c_.Line(r.left, r.bottom, r.right, r.top);
  }

 private:
  ui::TCanvas& c_;
};

}  // namespace

void InstallBitmapResourceLoader() {
  SetScreenBitDepth(ui::TApplication::ScreenColorDepth());
  SetPictureResourceLoader([](const std::string& name) -> std::unique_ptr<TImagePicture> {
    ui::TBitmap b;
    if (!b.LoadFromResource(name)) return nullptr;
    return std::make_unique<TBitmapPicture>(std::move(b));
  });
}

TImgControl::~TImgControl() {
  SetFrameImage(nullptr);
  hint_.Hide();
  DestroyHandle();
}

void TImgControl::Create(ui::TWindow& parent, const ui::TRect& bounds) {
  ui::TRect r = bounds;
  if (r.IsEmpty()) r = ui::TRect::FromBounds(bounds.left, bounds.top, 47, 47);
  TCustomControl::Create(parent, r, tabStop_ ? WS_TABSTOP : 0);
}

void TImgControl::SetTabStop(bool v) {
  tabStop_ = v;
  if (!HandleAllocated()) return;
  LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
  style = v ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  SetWindowLongPtrW(Handle(), GWL_STYLE, style);
}

void TImgControl::SetCaptionFont(HFONT font) {
  captionFont_ = font;
  FitToImage();
}

int TImgControl::CaptionHeight() const {
  if (!HandleAllocated()) return 0;
  ui::TWindowCanvas c(Handle());
  if (captionFont_) c.SetFont(captionFont_);
  return c.TextHeight(CaptionText().empty() ? "0" : CaptionText());
}

void TImgControl::PaintFrame(ui::TCanvas& canvas, int index, bool drawPicture) {
  const ui::TRect client = ClientRect();
  if (TFrameImage* img = FrameImage()) {
    SetLastDrawnIndex(index);
    if (drawPicture) {
      CanvasTarget t(canvas);
      img->Draw(t, index, 0, 0, client.Width(), client.Height());
    }
  }
  if (CaptionShow() && !CaptionText().empty()) {
    const int top = FrameImage() ? FrameImage()->Height() : 0;
    captionRect_ = {0, top, client.right, client.bottom};
    if (!Transparent()) canvas.FillRect(captionRect_, Color());
    if (captionFont_) canvas.SetFont(captionFont_);
    canvas.SetTextBackground(ui::clNone);
    UINT align = DT_LEFT;
    if (Alignment() == TImgAlignment::taRightJustify) align = DT_RIGHT;
    if (Alignment() == TImgAlignment::taCenter) align = DT_CENTER;
    const UINT fmt = align | DT_EXPANDTABS | DT_NOPREFIX;
    if (!Enabled()) {
      ui::TRect moved = captionRect_.Offset(1, 1);
      canvas.SetTextColor(ui::clBtnHighlight);
      canvas.DrawText(moved, CaptionText(), fmt);
      canvas.SetTextColor(ui::clBtnShadow);
    } else {
      canvas.SetTextColor(ui::clWindowText);
    }
    ui::TRect r = captionRect_;
    canvas.DrawText(r, CaptionText(), fmt);
  }
  if (Focused()) canvas.DrawFocusRect(client);
}

void TImgControl::Paint(ui::TCanvas& canvas) {
  PaintFrame(canvas, FrameIndex(), true);
  TCustomControl::Paint(canvas);
}

bool TImgControl::EraseBackground(HDC dc) {
  const TFrameImage* img = FrameImage();
  const bool covered =
      img && img->Bitmap() && !img->Bitmap()->Empty() && !img->AlwaysDisplayEmpty();
  if (Transparent() || covered) return true;
  return TCustomControl::EraseBackground(dc);
}

void TImgControl::RefreshFrame(bool forced) {
  if (!HandleAllocated()) return;
  const int index = FrameIndex();
  ui::TWindowCanvas c(Handle());
  PaintFrame(c, index, forced || index != LastDrawnIndex());
}

void TImgControl::Repaint() {
  if (HandleAllocated()) Invalidate();
}

void TImgControl::FitToImage() {
  if (!HandleAllocated()) return;
  int w = 0, h = 0;
  if (AutoSize() && WantedSize(CaptionHeight(), w, h)) {
    const ui::TRect b = BoundsRect();
    if (b.Width() != w || b.Height() != h) {
      SetBounds(b.left, b.top, w, h);
      return;
    }
  }
  Invalidate();
}

void TImgControl::ReleaseMouseCapture() {
  if (HasMouseCapture()) ui::TCustomControl::ReleaseMouseCapture();
}

void TImgControl::TakeFocus() {
  SetFocus();
}

void TImgControl::StartRepeatTimer(int intervalMs) {
  StartTimer(kRepeatTimer, static_cast<unsigned>(std::max(1, intervalMs)));
}

void TImgControl::StopRepeatTimer() {
  StopTimer(kRepeatTimer);
}

void TImgControl::ShowScrollHintText(const std::string& text) {
  hint_.MoveTo(*this, text);
}

void TImgControl::HideScrollHint() {
  hint_.Hide();
}

bool TImgControl::ScrollHintShowing() const {
  return hint_.Showing();
}

void TImgControl::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  const bool left = button == ui::TMouseButton::Left;
  if (left && AllowUserControl()) SetMouseCapture();
  TImgControlLogic::MouseDown(left, TImgShift{(shift & ui::ssShift) != 0}, x, y);
}

void TImgControl::MouseMove(ui::TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  TImgControlLogic::MouseMove(TImgShift{(shift & ui::ssShift) != 0}, x, y, HasMouseCapture());
}

void TImgControl::MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  TImgControlLogic::MouseUp(x, y);
}

void TImgControl::KeyDown(WORD& key, ui::TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key != 0) TImgControlLogic::KeyDown(key);
}

void TImgControl::KeyUp(WORD& key, ui::TShiftState shift) {
  TCustomControl::KeyUp(key, shift);
  if (key != 0) TImgControlLogic::KeyUp(key);
}

void TImgControl::FocusChanged(bool gotFocus) {
  if (!gotFocus) CancelPress();
  Invalidate();
  TCustomControl::FocusChanged(gotFocus);
}

void TImgControl::CaptureLost() {
  // Another window took the mouse (a modal dialog opened from a click, a system menu): the
  // press ends here, and a repeating button stops.
  CancelPress();
  TCustomControl::CaptureLost();
}

void TImgControl::Timer(UINT_PTR id) {
  if (id == kRepeatTimer) RepeatTick();
}

LRESULT TImgControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CANCELMODE || (msg == WM_ENABLE && wp == FALSE)) CancelPress();
  if (msg == WM_ENABLE) Invalidate();
  if (msg == WM_DISPLAYCHANGE && ScreenDepthChanged(static_cast<int>(wp)) && FrameImage()) {
    FrameImage()->LoadResBitmap();
    Invalidate();
  }
  return TCustomControl::WndProc(msg, wp, lp);
}

}  // namespace kv
