#pragma once
// The list view that reports scrolling (after the list scrolled, once per message), starts
// item drags once the mouse moved more than 2 pixels with the left button held, and answers
// Return (double click), Space (click) and Ctrl+A (select all, with multi-select).
#include "controls/list_drag.h"
#include "ui/list_view.h"

namespace kv {

class TZarnListView : public ui::TListView {
 public:
  using TListView::TListView;
  ~TZarnListView() override;

  ui::TNotifyEvent OnHScrolled;
  ui::TNotifyEvent OnVScrolled;
  ui::TNotifyEvent OnMouseScrolled;
  // The item under the press point (-1 never passed).
  ui::TEvent<void(int item)> OnDragStart;

  int ItemAt(int x, int y) const;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void KeyDown(WORD& key, ui::TShiftState shift) override;

 private:
  TListDragStart drag_;
};

}  // namespace kv
