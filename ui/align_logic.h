#pragma once
// Docking of child windows to the edges of their parent: top-aligned ones stack from the
// top, then bottom, left and right ones take what is left, and a client-aligned one fills
// the rest; each within its margins. Within one alignment the earlier child lies farther
// out. A child keeps its own height (top, bottom) or width (left, right).
#include <vector>

#include "ui/geometry.h"

namespace kv::ui {

enum class TAlign { None, Top, Bottom, Left, Right, Client };

struct TMargins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const TMargins&, const TMargins&) = default;
};

struct TAlignItem {
  TAlign align = TAlign::None;
  TRect bounds;  // current bounds in the parent's client area
  TMargins margins;
  bool visible = true;
};

// The bounds each item gets inside client; items aligned None (or hidden) keep theirs.
std::vector<TRect> AlignItems(const TRect& client, const std::vector<TAlignItem>& items);

}  // namespace kv::ui
