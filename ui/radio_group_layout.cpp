#include "ui/radio_group_layout.h"

#include <algorithm>

namespace kv::ui {

std::vector<TRect> RadioGroupItemRects(const TRect& client, int count, int columns,
                                       const TRadioGroupMetrics& metrics) {
  std::vector<TRect> rects;
  if (count <= 0) return rects;
  columns = std::clamp(columns, 1, count);
  const int rows = (count + columns - 1) / columns;
  const int left = client.left + metrics.margin;
  const int top = client.top + metrics.captionHeight;
  const int width = std::max(0, client.Width() - 2 * metrics.margin);
  const int height = std::max(0, client.bottom - metrics.margin / 2 - top);
  const int columnWidth = width / columns;
  const int slot = std::max(metrics.itemHeight, height / rows);
  rects.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const int column = i / rows;
    const int row = i % rows;
    const int y = top + row * slot + (slot - metrics.itemHeight) / 2;
    rects.push_back(TRect::FromBounds(left + column * columnWidth, y, columnWidth, metrics.itemHeight));
  }
  return rects;
}

}  // namespace kv::ui
