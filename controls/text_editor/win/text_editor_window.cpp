#include "controls/text_editor/win/text_editor_window.h"

#include <algorithm>

#include "base/win/wide.h"
#include "controls/text_editor/text_grid.h"
#include "ui/canvas.h"

namespace kv {

namespace {

ui::TFontSpec DefaultMemoFont() {
  ui::TFontSpec s;
  s.name = "Courier New";
  s.height = -13;  // 10 pt on a 96 dpi screen
  return s;
}

}  // namespace

void TZarnMemo::FixedFont::Create(const ui::TFontSpec& fontSpec) {
  Reset();
  spec_ = fontSpec;
  LOGFONTW lf{};
  lf.lfHeight = fontSpec.height;
  lf.lfWeight = fontSpec.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = fontSpec.italic;
  lf.lfUnderline = fontSpec.underline;
  lf.lfStrikeOut = fontSpec.strikeOut;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  const std::wstring name = win::Widen(fontSpec.name);
  wcsncpy(lf.lfFaceName, name.c_str(), LF_FACESIZE - 1);
  font_ = CreateFontIndirectW(&lf);
}

void TZarnMemo::FixedFont::Reset() {
  if (font_) DeleteObject(font_);
  font_ = nullptr;
}

TZarnMemo::~TZarnMemo() {
  linkHint_.reset();
  DestroyHandle();
}

void TZarnMemo::Create(ui::TWindow& parent, const ui::TRect& bounds) {
  if (!font_) font_.Create(DefaultMemoFont());
  TCustomControl::Create(parent, bounds, WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                         borderSingle_ ? WS_EX_CLIENTEDGE : 0);
  // A field of its own in the Tab order: the dialog navigation passes over a control parent
  // to its children, and the memo's children (gutter, completion list) are no tab stops.
  const LONG_PTR exStyle = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
  SetWindowLongPtrW(Handle(), GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_CONTROLPARENT));
  SetColor(ui::clWindow);
  SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
  SetFont(font_.Handle(), false);
  gutter_ = &Add<TZNGutter>(*this);
  Measure();
  WindowCreated();
  StartTimer(kCaretTimer, 400);
  dropList_.Create(*this);
  dropList_.TypeChar = [this](char c) { TZNCustomMemo::KeyPress(c); };
  dropList_.Closed = [this](bool refocus) {
    DropListClosed();
    if (refocus) SetFocus();
  };
}

void TZarnMemo::DropDown() {
  if (RequestDropList()) OpenDropList();
}

void TZarnMemo::OpenDropList() {
  const int lh = LineHeight(), cw = CharWidth();
  int x = 0, y = 0;
  if (!CaretPixel(x, y)) {
    x = GutterWidth();
    y = (GetCaretY() - TopLine()) * lh;
  }
  const int w = (DropListCharWidth() + 1) * cw;
  const int h = (DropListCharHeight() + 1) * lh;
  const ui::TRect client = ClientRect();
  ui::TRect r = ui::TRect::FromBounds(x, y + lh, w, h);
  if (r.bottom > client.bottom) r = ui::TRect::FromBounds(x, y - h, w, h);
  if (r.right > client.right) r = r.Offset(-w, 0);
  dropList_.Open(DropListItems(), r, (DropListColumnCharWidth() + 1) * cw);
  DropListOpened();
}

void TZarnMemo::CloseDropList() {
  dropList_.Close();
}

void TZarnMemo::SetBorderSingle(bool single) {
  borderSingle_ = single;
  if (!HandleAllocated()) return;
  LONG_PTR ex = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
  ex = single ? (ex | WS_EX_CLIENTEDGE) : (ex & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
  SetWindowLongPtrW(Handle(), GWL_EXSTYLE, ex);
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  Measure();
  InvalidateAll();
}

void TZarnMemo::SetFontSpec(ui::TFontSpec fontSpec) {
  font_.Create(fontSpec);
  if (HandleAllocated()) {
    SetFont(font_.Handle(), false);
    Measure();
    InvalidateAll();
  }
}

TZNShift TZarnMemo::Shift(ui::TShiftState s) {
  return TZNShift{(s & ui::ssShift) != 0, (s & ui::ssCtrl) != 0, (s & ui::ssAlt) != 0};
}

void TZarnMemo::Measure() {
  if (!HandleAllocated()) return;
  HDC dc = GetDC(Handle());
  HGDIOBJ old = SelectObject(dc, font_.Handle());
  SIZE w{}, wp{};
  GetTextExtentPoint32W(dc, L"W", 1, &w);
  GetTextExtentPoint32W(dc, L"Wp", 2, &wp);
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);
  const ui::TRect r = ClientRect();
  SetMetrics(r.Width(), r.Height(), w.cx, wp.cy);
}

void TZarnMemo::Resized() {
  Measure();
  InvalidateAll();
  TCustomControl::Resized();
}

// ---------------------------------------------------------------- painting

bool TZarnMemo::HandlePaint() {
  ui::TPaintCanvas canvas(Handle());
  const ui::TRect clip = canvas.PaintRect();
  int first = 0, last = 0;
  if (LinesForClip(clip.top, clip.bottom, first, last)) PaintRows(canvas, first, last);
  // Below the last full row, the part of a row the grid does not reach.
  const int gridBottom = (VisibleLines() + 2) * LineHeight();
  const ui::TRect client = ClientRect();
  if (gridBottom < client.bottom) {
    canvas.FillRect({0, gridBottom, client.right, client.bottom},
                    EnvironmentOptions().TextBackground());
  }
  return true;
}

void TZarnMemo::PaintRows(ui::TCanvas& target, int firstLine, int lastLine) {
  const int lh = LineHeight();
  const int width = ClientRect().Width();
  const int rows = lastLine - firstLine + 1;
  const int y0 = (firstLine - TopLine()) * lh;
  auto paintInto = [&](ui::TCanvas& c, int yOffset) {
    c.SetFont(font_.Handle());
    for (int line = firstLine; line <= lastLine; ++line) {
      PaintLine(c, line, (line - TopLine()) * lh - yOffset);
    }
    PaintCaret(c, yOffset, firstLine, lastLine);
  };
  if (DoubleBuffered()) {
    ui::TMemoryCanvas mem(std::max(1, width), std::max(1, rows * lh));
    paintInto(mem, y0);
    mem.CopyTo(target, 0, y0);
  } else {
    paintInto(target, 0);
  }
}

void TZarnMemo::PaintLine(ui::TCanvas& c, int line, int y) {
  TZNEnvironment& env = EnvironmentOptions();
  const int cw = CharWidth(), lh = LineHeight();
  const int left = GutterWidth();
  const int right = left + (VisibleColumns() + 1) * cw;
  const ui::TRect row{left, y, std::max(right, ClientRect().right), y + lh};
  const TZNRowPaint p = PaintRow(line);
  c.FillRect(row, env.TextBackground());
  if (p.exists) {
    auto drawRun = [&](int from, int to, ui::TColor fg, ui::TColor bg) {
      if (to <= from) return;
      ui::TRect r{left + from * cw, y, left + to * cw, y + lh};
      c.FillRect(r, bg);
      const int textTo = std::min(to, static_cast<int>(p.text.size()));
      if (textTo > from) {
        c.SetTextColor(fg);
        c.SetTextBackground(bg);
        c.DrawText(r, p.text.substr(static_cast<size_t>(from), static_cast<size_t>(textTo - from)),
                   DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
      }
    };
    const int textLen = static_cast<int>(p.text.size());
    drawRun(0, textLen, env.TextColor(), env.TextBackground());
    if (p.selFrom >= 0) {
      const int selTo = p.selFillToEnd ? VisibleColumns() + 1 : p.selTo;
      drawRun(p.selFrom, std::max(p.selTo, selTo), env.SelectionColor(), env.SelectionBackground());
    }
  }
  if (RightEdge()) {
    const int x = left + (RightEdgeCol() - LeftColumn()) * cw;
    if (x >= left) c.FillRect({x, y, x + 1, y + lh}, env.RightEdgeColor());
  }
}

void TZarnMemo::PaintCaret(ui::TCanvas& c, int yOffset, int firstLine, int lastLine) {
  if (!caretOn_ || !Focused()) return;
  int x = 0, y = 0;
  if (!CaretPixel(x, y)) return;
  const int line = GetCaretY();
  if (line < firstLine || line > lastLine) return;
  c.FillRect({x, y - yOffset, x + 2, y - yOffset + LineHeight()}, EnvironmentOptions().TextColor());
}

// ---------------------------------------------------------------- view hooks

void TZarnMemo::InvalidateAll() {
  if (HandleAllocated()) Invalidate(false);
}

void TZarnMemo::InvalidateLines(int first, int last) {
  if (!HandleAllocated() || LineHeight() <= 0) return;
  if (first > last) std::swap(first, last);
  const int top = std::max(first, TopLine());
  const int bottom = std::min(last, TopLine() + VisibleLines() + 1);
  if (top > bottom) return;
  const int lh = LineHeight();
  InvalidateRect({0, (top - TopLine()) * lh, ClientRect().right, (bottom - TopLine() + 1) * lh},
                 false);
}

void TZarnMemo::ScrollPixels(int lines) {
  if (!HandleAllocated()) return;
  // Only the text area moves; the gutter repaints its numbers itself.
  const ui::TRect c = ClientRect();
  const RECT area{GutterWidth(), 0, c.right, c.bottom};
  ScrollWindowEx(Handle(), 0, -lines * LineHeight(), &area, &area, nullptr, nullptr, SW_INVALIDATE);
}

void TZarnMemo::ScrollBarsChanged() {
  if (!HandleAllocated()) return;
  ShowScrollBar(Handle(), SB_VERT, ShowsVertScrollBar());
  ShowScrollBar(Handle(), SB_HORZ, ShowsHorzScrollBar());
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = std::max(0, Lines().Count() - 1);
  si.nPage = static_cast<UINT>(std::max(0, VisibleLines()));
  si.nPos = TopLine();
  SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
  si.nMax = LongestLine();
  si.nPage = static_cast<UINT>(std::max(0, VisibleColumns()));
  si.nPos = LeftColumn();
  SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
}

void TZarnMemo::CaretShown() {
  caretOn_ = !ReadOnly();
  skipBlink_ = true;
}

void TZarnMemo::SetCaptureMouse(bool on) {
  if (on) {
    SetMouseCapture();
  } else if (HasMouseCapture()) {
    ReleaseMouseCapture();
  }
}

void TZarnMemo::FocusMemo() {
  if (!Focused()) SetFocus();
}

void TZarnMemo::StartAppendTimer() {
  if (HandleAllocated()) StartTimer(kAppendTimer, 30);
}

void TZarnMemo::StopAppendTimer() {
  StopTimer(kAppendTimer);
}

void TZarnMemo::SetDragTimer(bool on) {
  if (on == dragTimerOn_) return;
  dragTimerOn_ = on;
  if (on) {
    StartTimer(kDragTimer, 100);
  } else {
    StopTimer(kDragTimer);
  }
}

void TZarnMemo::GutterChanged() {
  if (gutter_) gutter_->Place();
}

std::string TZarnMemo::ClipboardText() {
  std::string text;
  if (!OpenClipboard(Handle())) return text;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      text = win::Narrow(p);
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return text;
}

void TZarnMemo::SetClipboardText(const std::string& text) {
  const std::wstring w = win::Widen(text);
  if (!OpenClipboard(Handle())) return;
  EmptyClipboard();
  const size_t bytes = (w.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* p = GlobalLock(h)) {
      memcpy(p, w.c_str(), bytes);
      GlobalUnlock(h);
      if (!SetClipboardData(CF_UNICODETEXT, h)) GlobalFree(h);
    } else {
      GlobalFree(h);
    }
  }
  CloseClipboard();
}

// ---------------------------------------------------------------- input

LRESULT TZarnMemo::DialogCode(const MSG* msg) {
  // Every key but Tab, which only an editable memo that wants tabs takes: else Tab and
  // Shift+Tab move on to the next and previous control.
  const bool tabKey = msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB;
  if (tabKey && !(WantTabs() && !ReadOnly())) return DLGC_WANTARROWS | DLGC_WANTCHARS;
  LRESULT code = DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS;
  if (WantTabs() && !ReadOnly()) code |= DLGC_WANTTAB;
  return code;
}

void TZarnMemo::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  if (button == ui::TMouseButton::Left) {
    TZNCustomMemo::MouseDown(Shift(shift), x, y, x < GutterWidth());
  } else if (!Focused()) {
    SetFocus();
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

std::string TZarnMemo::LinkHintText() const {
  return linkHint_ && linkHint_->Showing() ? linkHint_->Caption() : std::string();
}

void TZarnMemo::HideLinkHint() {
  linkHint_.reset();
  overLink_ = false;
}

void TZarnMemo::UpdateLinkHint(int x, int y) {
  const std::string link =
      ShowHyperlinks() && LinkCursorMode() && LinkDetector && x >= GutterWidth()
          ? LinkDetector(PointToPos(x, y, false))
          : std::string();
  if (link.empty()) {
    HideLinkHint();
    return;
  }
  overLink_ = true;
  const std::string text = ZNLinkHintText(link);
  if (!linkHint_) linkHint_ = std::make_unique<ui::THintWindow>();
  const ui::TPoint p = ClientToScreen({x - 2, y + 20});
  const ui::TRect need = linkHint_->CalcHintRect(400, text);
  linkHint_->ActivateHint(ui::TRect::FromBounds(p.x, p.y, need.Width() + 8, need.Height() + 2),
                          text);
}

void TZarnMemo::MouseMove(ui::TShiftState shift, int x, int y) {
  TZNCustomMemo::MouseMove(Shift(shift), x, y);
  UpdateLinkHint(x, y);
  UpdateCursor();
  TCustomControl::MouseMove(shift, x, y);
}

void TZarnMemo::MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  if (button == ui::TMouseButton::Left) TZNCustomMemo::MouseUp(Shift(shift), x, y);
  UpdateCursor();
  TCustomControl::MouseUp(button, shift, x, y);
}

void TZarnMemo::DblClick(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  if (button == ui::TMouseButton::Left) DoubleClick();
  TCustomControl::DblClick(button, shift, x, y);
}

bool TZarnMemo::MouseWheel(int delta, ui::TShiftState shift, ui::TPoint screenPoint) {
  if (TCustomControl::MouseWheel(delta, shift, screenPoint)) return true;
  TZNCustomMemo::MouseWheel(delta, Shift(shift));
  return true;
}

void TZarnMemo::KeyDown(WORD& key, ui::TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == 0) return;
  TZNCustomMemo::KeyDown(key, Shift(shift));
  UpdateCursor();
}

void TZarnMemo::KeyUp(WORD& key, ui::TShiftState shift) {
  TCustomControl::KeyUp(key, shift);
  if (key == 0) return;
  TZNCustomMemo::KeyUp(key, Shift(shift));
  HideLinkHint();
  UpdateCursor();
}

void TZarnMemo::KeyPress(wchar_t& ch) {
  TCustomControl::KeyPress(ch);
  if (ch == 0 || ch == L'\r' || ch == L'\n') return;
  // Ctrl letter commands arrive as control characters too; only Tab of those is typed.
  const std::string bytes = win::Narrow(std::wstring_view(&ch, 1));
  for (char b : bytes) TZNCustomMemo::KeyPress(b);
}

void TZarnMemo::FocusChanged(bool gotFocus) {
  caretOn_ = gotFocus && !ReadOnly();
  skipBlink_ = gotFocus;
  InvalidateLines(GetCaretY(), GetCaretY());
  TCustomControl::FocusChanged(gotFocus);
}

void TZarnMemo::CaptureLost() {
  SetDragTimer(false);
  TCustomControl::CaptureLost();
}

void TZarnMemo::Timer(UINT_PTR id) {
  if (id == kCaretTimer) {
    if (skipBlink_) {
      skipBlink_ = false;
    } else if (Focused() && !ReadOnly()) {
      caretOn_ = !caretOn_;
      InvalidateLines(GetCaretY(), GetCaretY());
    }
    if (CaretBlinkTick()) OpenDropList();
  } else if (id == kDragTimer) {
    DragTimerTick();
  } else if (id == kAppendTimer) {
    AppendTimerTick();
  }
}

void TZarnMemo::UpdateCursor() {
  POINT p{};
  GetCursorPos(&p);
  if (WindowFromPoint(p) != Handle()) return;
  LPCWSTR id = IDC_IBEAM;
  if (Lines().Updating()) {
    id = IDC_WAIT;
  } else if (overLink_) {
    id = IDC_HAND;
  } else if (TextDragging()) {
    id = IDC_ARROW;
  }
  SetCursor(LoadCursorW(nullptr, id));
}

LRESULT TZarnMemo::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // The whole text for whoever asks as of any edit control: screen readers, other programs.
  if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(win::Widen(Lines().Text()).size());
  if (msg == WM_GETTEXT) {
    if (wp == 0 || lp == 0) return 0;
    const std::wstring text = win::Widen(Lines().Text());
    const size_t n = std::min<size_t>(text.size(), static_cast<size_t>(wp) - 1);
    auto* buffer = reinterpret_cast<wchar_t*>(lp);
    text.copy(buffer, n);
    buffer[n] = L'\0';
    return static_cast<LRESULT>(n);
  }
  if (msg == WM_VSCROLL || msg == WM_HSCROLL) {
    const bool vertical = msg == WM_VSCROLL;
    const auto code = static_cast<TZNScrollCode>(LOWORD(wp));
    int thumb = HIWORD(wp);
    const bool big = vertical ? Lines().Count() > 32000 : LongestLine() > 32000;
    if (big && (code == TZNScrollCode::ThumbTrack || code == TZNScrollCode::ThumbPosition)) {
      SCROLLINFO si{};
      si.cbSize = sizeof(si);
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(Handle(), vertical ? SB_VERT : SB_HORZ, &si);
      thumb = si.nTrackPos;
    }
    Scroll(vertical, code, thumb);
    return 0;
  }
  return TCustomControl::WndProc(msg, wp, lp);
}

}  // namespace kv
