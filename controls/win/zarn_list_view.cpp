#include "controls/win/zarn_list_view.h"

#include <commctrl.h>
#include <windowsx.h>

namespace kv {

TZarnListView::~TZarnListView() {
  DestroyHandle();
}

int TZarnListView::ItemAt(int x, int y) const {
  LVHITTESTINFO hit{};
  hit.pt = {x, y};
  return static_cast<int>(SendMessageW(Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

LRESULT TZarnListView::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // While rows are dragged the list view's drag handling has the mouse.
  if (Dragging()) return TListView::WndProc(msg, wp, lp);
  switch (msg) {
    case WM_HSCROLL: {
      const LRESULT r = TListView::WndProc(msg, wp, lp);
      OnHScrolled();
      return r;
    }
    case WM_VSCROLL: {
      const LRESULT r = TListView::WndProc(msg, wp, lp);
      OnVScrolled();
      return r;
    }
    case WM_MOUSEWHEEL: {
      const LRESULT r = TListView::WndProc(msg, wp, lp);
      OnMouseScrolled();
      return r;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // Taken before the list view's own handling: it tracks the press in a loop of its own.
      drag_.MouseDown((wp & MK_LBUTTON) != 0, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      break;
    case WM_MOUSEMOVE:
      if (drag_.MouseMove((wp & MK_LBUTTON) != 0, GET_X_LPARAM(lp), GET_Y_LPARAM(lp),
                          static_cast<bool>(OnDragStart))) {
        const int item = ItemAt(drag_.PressX(), drag_.PressY());
        if (item >= 0) OnDragStart(item);
        return 1;
      }
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      drag_.MouseUp();
      break;
    default:
      break;
  }
  return TListView::WndProc(msg, wp, lp);
}

void TZarnListView::KeyDown(WORD& key, ui::TShiftState shift) {
  TListView::KeyDown(key, shift);
  if (key == VK_RETURN) {
    OnDblClick();
  } else if (key == VK_SPACE) {
    OnClick();
  } else if (key == 'A' && (shift & ui::ssCtrl) != 0 &&
             (GetWindowLongPtrW(Handle(), GWL_STYLE) & LVS_SINGLESEL) == 0) {
    for (int i = 0; i < Count(); ++i) SetSelected(i, true);
  }
}

}  // namespace kv
