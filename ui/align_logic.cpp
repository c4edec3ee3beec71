#include "ui/align_logic.h"

#include <cstddef>

namespace kv::ui {
namespace {

int NonNegative(int v) {
  return v < 0 ? 0 : v;
}

}  // namespace

std::vector<TRect> AlignItems(const TRect& client, const std::vector<TAlignItem>& items) {
  std::vector<TRect> result;
  result.reserve(items.size());
  for (const TAlignItem& item : items) result.push_back(item.bounds);
  TRect free = client;
  for (TAlign pass : {TAlign::Top, TAlign::Bottom, TAlign::Left, TAlign::Right, TAlign::Client}) {
    for (size_t i = 0; i < items.size(); ++i) {
      const TAlignItem& item = items[i];
      if (item.align != pass || !item.visible) continue;
      const TMargins& m = item.margins;
      int width = NonNegative(item.bounds.Width());
      int height = NonNegative(item.bounds.Height());
      int innerLeft = free.left + m.left;
      int innerRight = innerLeft + NonNegative(free.Width() - m.left - m.right);
      int innerTop = free.top + m.top;
      int innerBottom = innerTop + NonNegative(free.Height() - m.top - m.bottom);
      TRect r;
      switch (pass) {
        case TAlign::Top:
          r = {innerLeft, innerTop, innerRight, innerTop + height};
          free.top = r.bottom + m.bottom;
          break;
        case TAlign::Bottom:
          r = {innerLeft, free.bottom - m.bottom - height, innerRight, free.bottom - m.bottom};
          free.bottom = r.top - m.top;
          break;
        case TAlign::Left:
          r = {innerLeft, innerTop, innerLeft + width, innerBottom};
          free.left = r.right + m.right;
          break;
        case TAlign::Right:
          r = {free.right - m.right - width, innerTop, free.right - m.right, innerBottom};
          free.right = r.left - m.left;
          break;
        case TAlign::Client:
          r = {innerLeft, innerTop, innerRight, innerBottom};
          break;
        case TAlign::None:
          break;
      }
      if (free.bottom < free.top) free.bottom = free.top;
      if (free.right < free.left) free.right = free.left;
      result[i] = r;
    }
  }
  return result;
}

}  // namespace kv::ui
