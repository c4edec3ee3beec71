// Dragging rows inside a list view (the drag part of TListView).
#include "ui/list_view.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>

namespace kv::ui {
namespace {

constexpr UINT_PTR kDragScrollTimer = 0x4B44;
constexpr unsigned kDragScrollMs = 60;
constexpr int kDefaultRowHeight = 16;

}  // namespace

void TListView::BeginDrag(int source) {
  if (drag_.Active() || !HandleAllocated() || !OnDragDrop || source < 0 || source >= Count()) {
    return;
  }
  bool allow = true;
  OnStartDrag(source, allow);
  if (!allow || !HandleAllocated()) return;
  drag_.Begin(source);
  POINT pt;
  GetCursorPos(&pt);
  SetMouseCapture();
  StartTimer(kDragScrollTimer, kDragScrollMs);
  TrackDrag(ScreenToClient({pt.x, pt.y}));
}

void TListView::CancelDrag() {
  if (drag_.Active()) EndDrag(false);
}

bool TListView::DragMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_MOUSEMOVE:
      TrackDrag({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      return true;  // no hover selection or tracking of the list view's own
    case WM_LBUTTONUP:
      TrackDrag({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      EndDrag(true);
      return true;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_CANCELMODE:
      EndDrag(false);
      return true;
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE) EndDrag(false);
      return true;  // no other key acts on the list during a drag
    case WM_GETDLGCODE:
      result = DLGC_WANTALLKEYS;  // Escape must reach the list, not the dialog navigation
      return true;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != Handle()) EndDrag(false);
      return false;
    case WM_TIMER:
      if (wp != kDragScrollTimer) return false;
      ScrollDuringDrag();
      return true;
    case WM_SETCURSOR:
      ::SetCursor(LoadCursorW(nullptr, drag_.Mark().index >= 0 ? IDC_ARROW : IDC_NO));
      result = TRUE;
      return true;
    default:
      return false;
  }
}

TListDragGeometry TListView::DragGeometry() const {
  TListDragGeometry g;
  RECT client;
  GetClientRect(Handle(), &client);
  g.rowsBottom = client.bottom;
  HWND header = reinterpret_cast<HWND>(Perform(LVM_GETHEADER));
  if (header && IsWindowVisible(header)) {
    RECT hr;
    GetWindowRect(header, &hr);
    MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&hr), 2);
    g.rowsTop = std::max(0L, hr.bottom);
  }
  RECT item{};
  item.left = LVIR_BOUNDS;
  const int top = TopIndex();
  g.rowHeight = kDefaultRowHeight;
  if (top >= 0 && top < Count() &&
      Perform(LVM_GETITEMRECT, static_cast<WPARAM>(top), reinterpret_cast<LPARAM>(&item)) &&
      item.bottom > item.top) {
    g.rowHeight = item.bottom - item.top;
  }
  return g;
}

int TListView::RowAtY(int y, const TListDragGeometry& g) const {
  // By the row's height rather than a hit test: the whole width of a row is a target, also
  // the parts right of its texts.
  const int top = TopIndex();
  if (y < g.rowsTop || y >= g.rowsBottom || top < 0) return -1;
  RECT item{};
  item.left = LVIR_BOUNDS;
  if (!Perform(LVM_GETITEMRECT, static_cast<WPARAM>(top), reinterpret_cast<LPARAM>(&item))) {
    return -1;
  }
  if (y < item.top) return -1;
  const int row = top + (y - item.top) / g.rowHeight;
  return row < Count() ? row : -1;
}

void TListView::TrackDrag(TPoint client) {
  const TRect area = ClientRect();
  const bool inside = client.x >= area.left && client.x < area.right;
  drag_.Track(inside ? RowAtY(client.y, DragGeometry()) : -1);
  ShowDropMark(drag_.Mark());
}

void TListView::ScrollDuringDrag() {
  POINT pt;
  GetCursorPos(&pt);  // the pointer may rest: no move message tells where it is
  const TPoint client = ScreenToClient({pt.x, pt.y});
  const TListDragGeometry g = DragGeometry();
  if (int direction = TListDragLogic::ScrollDirection(client.y, g)) {
    Perform(LVM_SCROLL, 0, direction * g.rowHeight);
  }
  TrackDrag(client);
}

void TListView::ShowDropMark(const TListDropMark& mark) {
  LVINSERTMARK im{};
  im.cbSize = sizeof(im);
  im.dwFlags = mark.after ? LVIM_AFTER : 0;
  im.iItem = mark.index;
  Perform(LVM_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&im));
}

void TListView::EndDrag(bool drop) {
  TListDrop dropped;
  const bool due = drop ? drag_.Drop(Count(), dropped) : false;
  drag_.Cancel();  // before the capture goes: its notice finds no drag
  StopTimer(kDragScrollTimer);
  ShowDropMark({});
  ReleaseMouseCapture();
  if (due) OnDragDrop(dropped.source, dropped.target);
}

}  // namespace kv::ui
