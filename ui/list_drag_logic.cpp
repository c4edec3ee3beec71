#include "ui/list_drag_logic.h"

#include <algorithm>

namespace kv::ui {

void TListDragLogic::Begin(int source) {
  source_ = source < 0 ? -1 : source;
  target_ = -1;
}

void TListDragLogic::Cancel() {
  source_ = target_ = -1;
}

void TListDragLogic::Track(int rowUnderPointer) {
  if (Active()) target_ = rowUnderPointer < 0 ? -1 : rowUnderPointer;
}

TListDropMark TListDragLogic::Mark() const {
  if (!Active() || target_ < 0 || target_ == source_) return {};
  return {target_, target_ > source_};
}

bool TListDragLogic::Drop(int rowCount, TListDrop& drop) {
  const bool due =
      Active() && target_ >= 0 && target_ != source_ && source_ < rowCount && target_ < rowCount;
  if (due) drop = {source_, target_};
  Cancel();
  return due;
}

int TListDragLogic::ScrollDirection(int y, const TListDragGeometry& g) {
  const int band = std::max(0, std::min(g.rowHeight, (g.rowsBottom - g.rowsTop) / 3));
  if (y < g.rowsTop + band) return -1;
  if (y >= g.rowsBottom - band) return 1;
  return 0;
}

}  // namespace kv::ui
