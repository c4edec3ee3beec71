#include "ui/hint_window.h"

#include "ui/canvas.h"
#include "ui/graphics.h"

namespace kv::ui {
namespace {
constexpr int kPadding = 2;

HFONT HintFont() {
  static TFont font = [] {
    TFont f;
    f.CreateMessageFont();
    return f;
  }();
  return font.Handle();
}
}  // namespace

THintWindow::THintWindow() {
  TCreateParams p;
  p.style = WS_POPUP | WS_BORDER;
  p.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  p.bounds = TRect::FromBounds(0, 0, 10, 10);
  CreateHandle(p);
  SetColor(clInfoBk);
  SetFont(HintFont(), false);
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& text) const {
  TWindowCanvas canvas(Handle());
  canvas.SetFont(Font());
  TRect r{0, 0, maxWidth, 0};
  canvas.DrawText(r, text, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  // Room for the border and the padding on both sides.
  int extra = 2 * (kPadding + 1);
  return {0, 0, r.Width() + extra, r.Height() + extra};
}

void THintWindow::ActivateHint(const TRect& r, const std::string& text) {
  text_ = text;
  SetWindowPos(Handle(), HWND_TOPMOST, r.left, r.top, r.Width(), r.Height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Repaint();
}

bool THintWindow::EraseBackground(HDC) {
  return true;  // painted whole below
}

bool THintWindow::HandlePaint() {
  TPaintCanvas canvas(Handle());
  TRect r = ClientRect();
  canvas.FillRect(r, clInfoBk);
  canvas.SetFont(Font());
  canvas.SetTextColor(clInfoText);
  canvas.SetTextBackground(clNone);
  TRect text = r.Inflate(-kPadding, -kPadding);
  canvas.DrawText(text, text_, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  return true;
}

}  // namespace kv::ui
