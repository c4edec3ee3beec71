#pragma once
// Moving rows of one list view by dragging them, apart from the window: the row under the
// pointer is the drop target; an insertion mark shows where the dragged row lands (before the
// target when it moves up, after it when it moves down); the list scrolls while the pointer
// is near the top or bottom edge of its rows; a drop is due only on another row while the
// dragged row still exists. Main thread only.
namespace kv::ui {

// Client coordinates of the list's rows area.
struct TListDragGeometry {
  int rowsTop = 0;  // below the column header
  int rowsBottom = 0;
  int rowHeight = 0;
};

struct TListDropMark {
  int index = -1;  // -1: no mark
  bool after = false;
};

struct TListDrop {
  int source = -1;
  int target = -1;
};

class TListDragLogic {
 public:
  void Begin(int source);
  void Cancel();
  bool Active() const { return source_ >= 0; }
  int Source() const { return source_; }
  int Target() const { return target_; }

  // The pointer moved over the row (-1: over no row).
  void Track(int rowUnderPointer);
  TListDropMark Mark() const;
  // Ends the drag. True with the rows when a drop is due: on a row other than the dragged
  // one, while the dragged row is still in the list of rowCount rows.
  bool Drop(int rowCount, TListDrop& drop);

  // -1 to scroll up, +1 down, 0 not: the pointer within one row of the rows' top or bottom
  // edge, or beyond it. The bands never take more than a third of the rows each.
  static int ScrollDirection(int y, const TListDragGeometry& geometry);

 private:
  int source_ = -1;
  int target_ = -1;
};

}  // namespace kv::ui
