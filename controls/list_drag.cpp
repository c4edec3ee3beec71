#include "controls/list_drag.h"

#include <cstdlib>

namespace kv {

void TListDragStart::MouseDown(bool leftHeld, int x, int y, bool designing) {
  pending_ = false;
  if (designing || !leftHeld) return;
  x_ = x;
  y_ = y;
  pending_ = true;
}

bool TListDragStart::MouseMove(bool leftHeld, int x, int y, bool hasHandler) const {
  return hasHandler && pending_ && leftHeld && (std::abs(x - x_) > 2 || std::abs(y - y_) > 2);
}

}  // namespace kv
