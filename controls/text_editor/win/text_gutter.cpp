#include "controls/text_editor/win/text_gutter.h"

#include <algorithm>

#include "controls/text_editor/text_grid.h"
#include "controls/text_editor/win/text_editor_window.h"
#include "ui/canvas.h"

namespace kv {

namespace {

UINT AlignFlag(TZNAlignment a) {
  switch (a) {
    case TZNAlignment::taRightJustify:
      return DT_RIGHT;
    case TZNAlignment::taCenter:
      return DT_CENTER;
    default:
      return DT_LEFT;
  }
}

}  // namespace

TZNGutter::TZNGutter(TZarnMemo& memo) : memo_(memo) {
  ui::TFontSpec s;
  s.name = "MS Sans Serif";
  s.height = -11;  // 8 pt
  font_.Create(s);
  Create(memo, ui::TRect::FromBounds(-100, 0, 26, 10));
}

void TZNGutter::Place() {
  const TZNGutterOptions& g = memo_.GutterOptions();
  const ui::TRect client = memo_.ClientRect();
  if (g.Visible()) {
    SetBounds(0, 0, g.Width(), client.Height());
    Show();
  } else {
    Hide();
    SetBounds(-g.Width(), 0, g.Width(), client.Height());
  }
  Invalidate(false);
}

void TZNGutter::Paint(ui::TCanvas& c) {
  const TZNGutterOptions& g = memo_.GutterOptions();
  const ui::TRect client = ClientRect();
  const int width = std::max(14, client.Width());
  c.FillRect(client, g.Color());
  c.FillRect({width - 1, 0, width, client.bottom}, memo_.Color());
  if (g.Bevel()) {
    c.FillRect({width - 3, 0, width - 2, client.bottom}, ui::clBtnHighlight);
    c.FillRect({width - 2, 0, width - 1, client.bottom}, ui::clBtnShadow);
  }
  if (!g.ShowLineNum() || memo_.LineHeight() <= 0) return;
  c.SetFont(font_.Handle());
  c.SetTextColor(g.FontColor());
  c.SetTextBackground(ui::clNone);
  const int space = std::min(g.Space(), width / 3);
  const int areaRight = width - (space + 1) - (g.Bevel() ? 3 : 0);
  const int lh = memo_.LineHeight();
  for (int row = 0; row <= memo_.VisibleLines() + 1; ++row) {
    int number = 0;
    if (!g.RowNumber(memo_.TopLine() + 1, row, memo_.Lines().Count(), number)) continue;
    ui::TRect r{2, row * lh, areaRight, (row + 1) * lh};
    c.DrawText(r, ZNGutterNumber(number, g.LedingDigits()),
               DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | AlignFlag(g.Alignment()));
  }
}

void TZNGutter::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  // The memo takes the capture, so the rest of the press arrives there.
  if (button == ui::TMouseButton::Left) {
    static_cast<TZNCustomMemo&>(memo_).MouseDown(
        TZNShift{(shift & ui::ssShift) != 0, (shift & ui::ssCtrl) != 0, false}, x, y, true);
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

LRESULT TZNGutter::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETCURSOR && LOWORD(lp) == HTCLIENT) {
    // The line-selection cursor of this program is the arrow.
    ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
  }
  return TCustomControl::WndProc(msg, wp, lp);
}

}  // namespace kv
