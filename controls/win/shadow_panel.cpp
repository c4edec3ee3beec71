#include "controls/win/shadow_panel.h"

#include <algorithm>

#include "ui/canvas.h"

namespace kv {

// ---------------------------------------------------------------- TShadowPanel

void TShadowPanel::Create(ui::TWindow& parent, const ui::TRect& bounds) {
  ui::TRect r = bounds;
  if (r.IsEmpty()) r = ui::TRect::FromBounds(bounds.left, bounds.top, 185, 41);
  TCustomControl::Create(parent, r);
  SetColor(ui::clBtnFace);
}

void TShadowPanel::SetShadowColor(ui::TColor c) {
  shadowColor_ = c;
  Invalidate();
}

void TShadowPanel::SetShadowSize(int size) {
  shadowSize_ = size;
  Invalidate();
}

void TShadowPanel::Resized() {
  if (shadowSize_ > 0) Invalidate();
  TCustomControl::Resized();
}

void TShadowPanel::Paint(ui::TCanvas& canvas) {
  canvas.FillRect(ClientRect(), Color());
  if (shadowSize_ > 0) {
    for (HWND child = GetWindow(Handle(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      if (!IsWindowVisible(child)) continue;
      if (dynamic_cast<TMarginSplitter*>(TWindow::FromHandle(child)) != nullptr) continue;
      RECT wr{};
      GetWindowRect(child, &wr);
      MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&wr), 2);
      const TShadowRects s = ShadowRectsFor({wr.left, wr.top, wr.right, wr.bottom}, shadowSize_);
      canvas.FillRect(s.right, shadowColor_);
      canvas.FillRect(s.below, shadowColor_);
    }
  }
  TCustomControl::Paint(canvas);
}

// ---------------------------------------------------------------- TMarginSplitter

TMarginSplitter::~TMarginSplitter() {
  DestroyHandle();
}

void TMarginSplitter::Create(ui::TWindow& parent, const ui::TRect& bounds) {
  ui::TRect r = bounds;
  if (r.IsEmpty()) r = ui::TRect::FromBounds(bounds.left, bounds.top, 3, 100);
  TCustomControl::Create(parent, r);
  SetAlign(ui::TAlign::Left);
}

LRESULT TMarginSplitter::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // The cursor follows the side the splitter is docked to, whenever that changed.
  if (msg == WM_SETCURSOR) SetCursor(LoadCursorW(nullptr, Vertical() ? IDC_SIZENS : IDC_SIZEWE));
  return TCustomControl::WndProc(msg, wp, lp);
}

void TMarginSplitter::Paint(ui::TCanvas& canvas) {
  const ui::TRect r = ClientRect();
  canvas.FillRect(r, Color());
  if (Beveled) {
    const ui::TRect b = Vertical() ? r.Inflate(2, -1) : r.Inflate(-1, 2);
    canvas.FrameRect(b, ui::clBtnHighlight);
    canvas.FrameRect(b.Inflate(-1, -1), ui::clBtnShadow);
  }
  TCustomControl::Paint(canvas);
}

std::vector<TSplitSibling> TMarginSplitter::Siblings(std::vector<HWND>& handles) const {
  std::vector<TSplitSibling> out;
  handles.clear();
  HWND parent = GetParent(Handle());
  for (HWND h = GetWindow(parent, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
    TSplitSibling s;
    if (const ui::TWindow* w = TWindow::FromHandle(h)) {
      s.align = w->Align();
      s.margins = w->Margins();
      // The layer keeps every aligned child inside its margins.
      s.alignWithMargins = s.align != ui::TAlign::None;
      s.isSplitter = dynamic_cast<const TMarginSplitter*>(w) != nullptr;
    }
    RECT wr{};
    GetWindowRect(h, &wr);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&wr), 2);
    s.bounds = {wr.left, wr.top, wr.right, wr.bottom};
    s.visible = IsWindowVisible(h) != FALSE;
    s.enabled = IsWindowEnabled(h) != FALSE;
    out.push_back(s);
    handles.push_back(h);
  }
  return out;
}

ui::TPoint TMarginSplitter::ParentPoint(int x, int y) const {
  const ui::TRect b = BoundsRect();
  return {b.left + x, b.top + y};
}

void TMarginSplitter::ToggleLine() {
  if (!drag_ || ResizeStyle == TResizeStyle::rsNone || ResizeStyle == TResizeStyle::rsUpdate) {
    return;
  }
  HWND parent = GetParent(Handle());
  HDC dc = GetDCEx(parent, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE | DCX_CLIPSIBLINGS);
  const ui::TRect r = drag_->LineRect();
  PatBlt(dc, r.left, r.top, r.Width(), r.Height(), DSTINVERT);
  ReleaseDC(parent, dc);
  lineVisible_ = !lineVisible_;
}

void TMarginSplitter::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != ui::TMouseButton::Left) return;
  HWND parent = GetParent(Handle());
  RECT pc{};
  GetClientRect(parent, &pc);
  drag_.emplace(Siblings(handles_), BoundsRect(), Align(),
                Vertical() ? pc.bottom - pc.top : pc.right - pc.left, MinSize, AutoSnap,
                ParentPoint(x, y));
  if (!drag_->Active()) {
    drag_.reset();
    return;
  }
  SetMouseCapture();
  // Escape must reach the splitter while it drags.
  previousFocus_ = GetFocus();
  ::SetFocus(Handle());
  ToggleLine();
}

void TMarginSplitter::MouseMove(ui::TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (!drag_) return;
  const bool wasVisible = lineVisible_;
  if (wasVisible) ToggleLine();
  const bool accepted = drag_->Move(ParentPoint(x, y),
                                    [this](int& size, bool& accept) { OnCanResize(size, accept); });
  if (accepted && ResizeStyle == TResizeStyle::rsUpdate) ApplySize(drag_->NewSize());
  if (drag_ && wasVisible) ToggleLine();
}

void TMarginSplitter::MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  if (!drag_ || button != ui::TMouseButton::Left) return;
  if (lineVisible_) ToggleLine();
  ApplySize(drag_->NewSize());
  EndDrag();
}

void TMarginSplitter::KeyDown(WORD& key, ui::TShiftState shift) {
  if (drag_ && key == VK_ESCAPE) {
    EndDrag();
    key = 0;
    return;
  }
  TCustomControl::KeyDown(key, shift);
}

void TMarginSplitter::CaptureLost() {
  if (drag_) EndDrag();
  TCustomControl::CaptureLost();
}

void TMarginSplitter::ApplySize(int size) {
  ui::TRect r;
  if (!drag_ || !drag_->Apply(size, r)) return;
  HWND control = handles_[static_cast<size_t>(drag_->ControlIndex())];
  SetWindowPos(control, nullptr, r.left, r.top, r.Width(), r.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (Align() == ui::TAlign::None) {
    // Not docked: the splitter itself follows the edge it belongs to.
    const ui::TRect b = BoundsRect();
    SetBounds(r.right, b.top, b.Width(), b.Height());
  } else if (ui::TWindow* parent = ParentWindow()) {
    // The splitter and the controls beyond it take their places after the new size.
    parent->Realign();
  }
  Invalidate();
  OnMoved();
}

void TMarginSplitter::EndDrag() {
  if (!drag_) return;
  if (lineVisible_) ToggleLine();
  drag_.reset();
  handles_.clear();
  if (HasMouseCapture()) ReleaseMouseCapture();
  if (previousFocus_ && IsWindow(previousFocus_)) ::SetFocus(previousFocus_);
  previousFocus_ = nullptr;
  OnMoved();
}

}  // namespace kv
