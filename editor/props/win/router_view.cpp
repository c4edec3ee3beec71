#include "editor/props/win/router_view.h"

#include <algorithm>

#include "editor/props/win/props_windows.h"
#include "ui/canvas.h"

namespace kv {

namespace {

constexpr UINT_PTR kAutoScrollTimer = 1;
constexpr unsigned kAutoScrollMs = 20;
constexpr ui::TColor kEditorColor = RGB(240, 240, 240);
constexpr int kBottomHeight = 41;

HCURSOR CursorHandle(TRouterCursor cursor) {
  switch (cursor) {
    case TRouterCursor::Hand: return ::LoadCursorW(nullptr, IDC_HAND);
    case TRouterCursor::VerticalArrows: return ::LoadCursorW(nullptr, IDC_SIZENS);
    default: return ::LoadCursorW(nullptr, IDC_ARROW);
  }
}

TScrollRequest RequestOf(int code) {
  switch (code) {
    case SB_LINEUP: return TScrollRequest::LineUp;
    case SB_LINEDOWN: return TScrollRequest::LineDown;
    case SB_PAGEUP: return TScrollRequest::PageUp;
    case SB_PAGEDOWN: return TScrollRequest::PageDown;
    case SB_THUMBTRACK: return TScrollRequest::ThumbTrack;
    case SB_THUMBPOSITION: return TScrollRequest::ThumbPosition;
    default: return TScrollRequest::Other;
  }
}

}  // namespace

TRouterEditorView::TRouterEditorView(ui::TWindow& parent, TRouterEditor& editor)
    : editor_(editor) {
  Create(parent, ui::TRect::FromBounds(0, 0, 300, 200), WS_VSCROLL | WS_TABSTOP);
  SetColor(kEditorColor);
  editor_.PostRebuild = [this] { Post(kRebuildMessage); };
  editor_.OnInvalidate = [this] { Invalidate(false); };
  editor_.OnScrollBarChange = [this] { UpdateScrollBar(); };
  editor_.SetFocused(false);
  Resized();
}

TRouterEditorView::~TRouterEditorView() {
  // Without a window there is nobody to post the rebuild to: the next load asks again.
  editor_.PostRebuild = nullptr;
  editor_.OnInvalidate = nullptr;
  editor_.OnScrollBarChange = nullptr;
}

LRESULT TRouterEditorView::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case kRebuildMessage:
      editor_.RebuildAliases();
      Invalidate(false);
      return 0;
    case WM_VSCROLL: {
      SCROLLINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = SIF_TRACKPOS;
      ::GetScrollInfo(Handle(), SB_VERT, &info);
      editor_.ScrollBarRequest(RequestOf(LOWORD(wp)), HIWORD(wp), info.nTrackPos);
      FollowEditor();
      return 0;
    }
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      editor_.MouseLeave();
      StopTimer(kAutoScrollTimer);
      return 0;
    case WM_CONTEXTMENU:
      SetFocus();
      break;
    default:
      break;
  }
  return ui::TCustomControl::WndProc(msg, wp, lp);
}

LRESULT TRouterEditorView::DialogCode(const MSG*) { return DLGC_WANTARROWS; }

void TRouterEditorView::Resized() {
  const ui::TRect r = ClientRect();
  editor_.SetClientSize(r.Width(), r.Height());
  UpdateScrollBar();
  Invalidate(false);
  ui::TCustomControl::Resized();
}

void TRouterEditorView::UpdateScrollBar() {
  if (!HandleAllocated()) return;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  info.nMin = 0;
  info.nMax = editor_.ContentHeight();
  info.nPage = static_cast<UINT>(std::max(0, editor_.ClientHeight()));
  info.nPos = editor_.ScrollOffset();
  ::SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
}

// The cursor, the auto-scroll timer and the mouse capture follow the editor's state.
void TRouterEditorView::FollowEditor() {
  SetCursor(CursorHandle(editor_.Cursor()));
  if (HasMouseCapture() || editor_.Captured()) ::SetCursor(CursorHandle(editor_.Cursor()));
  if (editor_.AutoScrolling())
    StartTimer(kAutoScrollTimer, kAutoScrollMs);
  else
    StopTimer(kAutoScrollTimer);
  if (editor_.Captured() && !HasMouseCapture()) SetMouseCapture();
  if (!editor_.Captured() && HasMouseCapture()) ReleaseMouseCapture();
  Invalidate(false);
}

void TRouterEditorView::MouseDown(ui::TMouseButton button, ui::TShiftState, int x, int y) {
  SetFocus();
  editor_.MouseDown(x, y, button == ui::TMouseButton::Left);
  FollowEditor();
}

void TRouterEditorView::MouseMove(ui::TShiftState, int x, int y) {
  if (!trackingLeave_) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
    trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
  }
  editor_.MouseMove(x, y);
  FollowEditor();
}

void TRouterEditorView::MouseUp(ui::TMouseButton, ui::TShiftState, int x, int y) {
  editor_.MouseUp(x, y);
  FollowEditor();
}

bool TRouterEditorView::MouseWheel(int delta, ui::TShiftState shift, ui::TPoint screenPoint) {
  bool handled = false;
  OnMouseWheel(delta, shift, screenPoint, handled);
  if (!handled) editor_.MouseWheel(delta);
  FollowEditor();
  return true;
}

void TRouterEditorView::KeyDown(WORD& key, ui::TShiftState shift) {
  if (key == VK_DELETE) {
    editor_.KeyDelete((shift & ui::ssShift) != 0, (shift & ui::ssCtrl) != 0,
                      (shift & ui::ssAlt) != 0);
    key = 0;
    Invalidate(false);
    return;
  }
  ui::TCustomControl::KeyDown(key, shift);
}

void TRouterEditorView::FocusChanged(bool gotFocus) {
  editor_.SetFocused(gotFocus);
  Invalidate(false);
  ui::TCustomControl::FocusChanged(gotFocus);
}

void TRouterEditorView::CaptureLost() {
  if (editor_.Dragging()) {
    POINT p;
    ::GetCursorPos(&p);
    ::ScreenToClient(Handle(), &p);
    editor_.MouseUp(p.x, p.y);
  }
  StopTimer(kAutoScrollTimer);
  Invalidate(false);
}

void TRouterEditorView::Timer(UINT_PTR id) {
  if (id != kAutoScrollTimer) return;
  editor_.AutoScrollTick();
  Invalidate(false);
}

// A port icon: a round socket with five pins and a key notch, in blue when highlighted.
void TRouterEditorView::DrawIcon(ui::TCanvas& canvas, int x, int y, bool selected) const {
  const int size = editor_.IconWidth();
  canvas.SetPen(RGB(64, 64, 64), 1);
  canvas.SetBrush(selected ? RGB(120, 160, 230) : RGB(200, 200, 200));
  canvas.Ellipse(ui::TRect::FromBounds(x + 1, y + 1, size - 2, size - 2));
  canvas.SetBrush(selected ? RGB(30, 60, 140) : RGB(90, 90, 90));
  canvas.Ellipse(ui::TRect::FromBounds(x + 5, y + 5, size - 10, size - 10));
  canvas.SetBrush(RGB(240, 240, 240));
  const int c = size / 2;
  const int pins[5][2] = {{-8, 0}, {8, 0}, {-6, -6}, {6, -6}, {0, -8}};
  for (const auto& pin : pins)
    canvas.Ellipse(ui::TRect::FromBounds(x + c + pin[0] - 2, y + c + pin[1] - 2 + 3, 4, 4));
  canvas.FillRect(ui::TRect::FromBounds(x + c - 2, y + size - 8, 4, 3), RGB(240, 240, 240));
}

void TRouterEditorView::DrawLabel(ui::TCanvas& canvas, const TGUIAlias& row, UINT align) const {
  ui::TRect box = ui::TRect::FromBounds(row.labelLeft + 2, row.labelTop, row.labelWidth - 4,
                                        row.labelHeight);
  ui::TRect need = box;
  canvas.DrawText(need, row.shownName, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | align);
  const int top = box.top + std::max(0, (box.Height() - need.Height()) / 2);
  ui::TRect place = ui::TRect::FromBounds(box.left, top, box.Width(), box.bottom - top);
  canvas.DrawText(place, row.shownName, DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS | align);
}

void TRouterEditorView::Paint(ui::TCanvas& target) {
  const ui::TRect client = ClientRect();
  if (client.Width() <= 0 || client.Height() <= 0) return;
  ui::TMemoryCanvas canvas(client.Width(), client.Height());
  canvas.FillRect(client, Color());
  if (editor_.LayoutDirty()) editor_.Layout();
  canvas.SetFont(Font());
  canvas.SetTextColor(ui::clWindowText);
  canvas.SetTextBackground(ui::clNone);
  const int inHigh = editor_.HighlightedInput();
  const int outHigh = editor_.HighlightedOutput();
  const std::vector<TGUIAlias>& inputs = editor_.Inputs();
  for (size_t i = 0; i < inputs.size(); ++i) {
    DrawIcon(canvas, inputs[i].iconX, inputs[i].iconY, static_cast<int>(i) == inHigh);
    DrawLabel(canvas, inputs[i], DT_RIGHT);
  }
  const std::vector<TGUIAlias>& outputs = editor_.Outputs();
  for (size_t i = 0; i < outputs.size(); ++i) {
    DrawIcon(canvas, outputs[i].iconX, outputs[i].iconY, static_cast<int>(i) == outHigh);
    DrawLabel(canvas, outputs[i], DT_LEFT);
  }
  // Every line is a thick stroke with a thin white highlight one pixel above it.
  for (const TRouterLine& line : editor_.Lines()) {
    canvas.SetThickPen(line.selected ? RGB(0, 0, 255) : RGB(0, 0, 0), 5);
    canvas.Line(line.x1, line.y1, line.x2, line.y2);
    canvas.SetPen(RGB(255, 255, 255), 1);
    canvas.Line(line.x1, line.y1 - 1, line.x2, line.y2 - 1);
  }
  if (editor_.Focused()) canvas.DrawFocusRect(client);
  canvas.CopyTo(target);
}

TRouterPageView::TRouterPageView(TSetupRouterFrame& page) : TPageView(page), page_(page) {
  AddTitle("MIDI Router",
           "Here you can create MIDI Thru connections, i.e. connect MIDI IN to MIDI OUT ports by "
           "dragging from a left port to a right port. Click on \"Aliases...\" to set up the "
           "needed aliases.",
           44);
  editor_ = &Add<TRouterEditorView>(*this, page_.Editor());
  bottom_ = &Add<ui::TPanel>(*this, ui::TRect::FromBounds(0, 0, 300, kBottomHeight));
  delete_ = &bottom_->Add<ui::TButton>(*bottom_, "Delete", ui::TRect::FromBounds(kMargin, 8, 75, 25));
  aliases_ = &bottom_->Add<ui::TButton>(*bottom_, "Aliases...",
                                         ui::TRect::FromBounds(200, 8, 75, 25));
  bottom_->OnPaint = [this](ui::TCanvas& canvas) {
    const ui::TRect r = bottom_->ClientRect();
    canvas.FillRect(ui::TRect::FromBounds(0, r.bottom - 1, r.Width(), 1), ui::clGray);
  };
  delete_->OnClick = [this] {
    page_.DeleteClick((ui::KeyboardShiftState() & ui::ssShift) != 0);
    editor_->Invalidate(false);
    Sync();
  };
  aliases_->OnClick = [this] { page_.AliasesClick(); };
  TRouterEditor& editor = page_.Editor();
  auto changed = editor.OnChange;
  editor.OnChange = [this, changed] {
    if (changed) changed();
    Sync();
    Edited();
  };
  auto selection = editor.OnSelectionChange;
  editor.OnSelectionChange = [this, selection] {
    if (selection) selection();
    Sync();
  };
  Layout();
}

void TRouterPageView::Load() {
  // The page asked for its columns while it loaded, maybe before this window could hear it.
  editor_->Post(TRouterEditorView::kRebuildMessage);
  Sync();
  editor_->Invalidate(false);
}

void TRouterPageView::Sync() {
  delete_->SetEnabled(page_.DeleteEnabled());
  aliases_->SetVisible(page_.AliasesVisible());
}

void TRouterPageView::Layout() {
  if (!bottom_) return;
  const ui::TRect r = ClientRect();
  const int width = ContentWidth();
  const int top = 78;
  bottom_->SetBounds(kMargin, r.Height() - kBottomHeight, width, kBottomHeight);
  aliases_->SetBounds(width - 75, 8, 75, 25);
  editor_->SetBounds(kMargin, top, width, std::max(20, r.Height() - kBottomHeight - top));
}

}  // namespace kv
