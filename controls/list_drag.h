#pragma once
// When a press on the scrolling list view becomes an item drag: the left button held and
// the pointer more than 2 pixels from the press point. Main thread only.
namespace kv {

class TListDragStart {
 public:
  void MouseDown(bool leftHeld, int x, int y, bool designing = false);
  // True when the move starts (or repeats) a drag: the window then reports the item under
  // the press point and answers the move as handled.
  bool MouseMove(bool leftHeld, int x, int y, bool hasHandler) const;
  void MouseUp() { pending_ = false; }
  bool Pending() const { return pending_; }
  int PressX() const { return x_; }
  int PressY() const { return y_; }

 private:
  bool pending_ = false;
  int x_ = 0, y_ = 0;
};

}  // namespace kv
