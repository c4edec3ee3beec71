#include "ui/up_down.h"

#include <commctrl.h>

#include "ui/edit.h"

namespace kv::ui {

TUpDown::TUpDown(TWindow& parent, const TRect& bounds, int id) {
  Create(parent, bounds, id);
}

void TUpDown::Create(TWindow& parent, const TRect& bounds, int id) {
  TCreateParams p;
  p.className = UPDOWN_CLASSW;
  p.style =
      WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
  p.bounds = bounds;
  p.parent = parent.Handle();
  p.id = id;
  CreateHandle(p);
}

void TUpDown::SetBuddy(TEdit& edit) {
  Perform(UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit.Handle()));
}

void TUpDown::SetRange(int min, int max) {
  Perform(UDM_SETRANGE32, static_cast<WPARAM>(min), max);
}

int TUpDown::Min() const {
  int min = 0, max = 0;
  Perform(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&min), reinterpret_cast<LPARAM>(&max));
  return min;
}

int TUpDown::Max() const {
  int min = 0, max = 0;
  Perform(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&min), reinterpret_cast<LPARAM>(&max));
  return max;
}

int TUpDown::Position() const {
  return static_cast<int>(Perform(UDM_GETPOS32));
}

void TUpDown::SetPosition(int position) {
  Perform(UDM_SETPOS32, 0, position);
}

bool TUpDown::Notify(NMHDR*, LRESULT&) {
  return false;  // UDN_DELTAPOS comes before the step: the position is final at WM_VSCROLL
}

bool TUpDown::ScrollNotify(int code, int) {
  if (code == SB_ENDSCROLL) return true;
  OnChange(Position());
  return true;
}

}  // namespace kv::ui
