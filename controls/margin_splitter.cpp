#include "controls/margin_splitter.h"

#include <algorithm>

namespace kv {

TShadowRects ShadowRectsFor(const ui::TRect& c, int s) {
  return {ui::TRect{c.right, c.top + s, c.right + s, c.bottom + s},
          ui::TRect{c.left + s, c.bottom, c.right + s, c.bottom + s}};
}

ui::TPoint SplitterProbePoint(const ui::TRect& r, TSplitAlign align) {
  switch (align) {
    case TSplitAlign::Top:
      return {r.left, r.top - 1};
    case TSplitAlign::Bottom:
      return {r.left, r.bottom};
    case TSplitAlign::Right:
      return {r.right, r.top};
    default:
      return {r.left - 1, r.top};
  }
}

namespace {

ui::TRect ProbeRect(const TSplitSibling& s, TSplitAlign align) {
  ui::TRect r = s.bounds;
  if (s.alignWithMargins) {
    r = {r.left - s.margins.left, r.top - s.margins.top, r.right + s.margins.right,
         r.bottom + s.margins.bottom};
  }
  // An empty rectangle could never contain the probe: give it the pixel on the probe's side.
  const bool nearSide = align == TSplitAlign::Top || align == TSplitAlign::Left;
  if (r.Width() == 0) {
    if (nearSide) {
      --r.left;
    } else {
      ++r.right;
    }
  }
  if (r.Height() == 0) {
    if (nearSide) {
      --r.top;
    } else {
      ++r.bottom;
    }
  }
  return r;
}

}  // namespace

int FindSplitControl(const std::vector<TSplitSibling>& siblings, const ui::TRect& splitter,
                     TSplitAlign align) {
  const ui::TPoint p = SplitterProbePoint(splitter, align);
  for (size_t i = 0; i < siblings.size(); ++i) {
    const TSplitSibling& s = siblings[i];
    if (!s.visible || !s.enabled || s.isSplitter) continue;
    if (ProbeRect(s, align).Contains(p)) return static_cast<int>(i);
  }
  return -1;
}

int SplitterMaxSize(const std::vector<TSplitSibling>& siblings, int controlIndex, TSplitAlign align,
                    int parentClientExtent, int minSize) {
  const bool vertical = align == TSplitAlign::Top || align == TSplitAlign::Bottom;
  int max = parentClientExtent - minSize;
  for (const TSplitSibling& s : siblings) {
    if (vertical) {
      if (s.align == TSplitAlign::Top || s.align == TSplitAlign::Bottom) {
        max -= s.bounds.Height();
      }
    } else if (s.visible && (s.align == TSplitAlign::Left || s.align == TSplitAlign::Right)) {
      max -= s.bounds.Width();
    }
  }
  if (controlIndex >= 0 && controlIndex < static_cast<int>(siblings.size())) {
    const ui::TRect& c = siblings[static_cast<size_t>(controlIndex)].bounds;
    max += vertical ? c.Height() : c.Width();
  }
  return max;
}

TMarginSplitterDrag::TMarginSplitterDrag(std::vector<TSplitSibling> siblings,
                                         const ui::TRect& splitter, TSplitAlign align,
                                         int parentClientExtent, int minSize, bool autoSnap,
                                         ui::TPoint press)
    : siblings_(std::move(siblings)),
      splitter_(splitter),
      align_(align),
      minSize_(minSize),
      autoSnap_(autoSnap),
      press_(press) {
  control_ = FindSplitControl(siblings_, splitter_, align_);
  if (control_ < 0) return;
  maxSize_ = SplitterMaxSize(siblings_, control_, align_, parentClientExtent, minSize_);
  Compute(press);
}

void TMarginSplitterDrag::Compute(ui::TPoint mouse) {
  const ui::TRect& c = siblings_[static_cast<size_t>(control_)].bounds;
  const int extent = Vertical() ? c.Height() : c.Width();
  int offset = Vertical() ? mouse.y - press_.y : mouse.x - press_.x;
  const bool nearSide = align_ == TSplitAlign::Top || align_ == TSplitAlign::Left;
  int size = nearSide ? extent + offset : extent - offset;
  // A maximum below the minimum (a crowded parent) leaves the minimum.
  const int clamped = std::max(minSize_, std::min(size, maxSize_));
  const int removed = size - clamped;
  offset += nearSide ? -removed : removed;
  newSize_ = clamped;
  offset_ = offset;
}

ui::TRect TMarginSplitterDrag::LineRect() const {
  return Vertical() ? splitter_.Offset(0, offset_) : splitter_.Offset(offset_, 0);
}

bool TMarginSplitterDrag::Move(ui::TPoint mouse,
                               const std::function<void(int&, bool&)>& canResize) {
  if (!Active()) return false;
  const int oldSize = newSize_, oldOffset = offset_;
  Compute(mouse);
  int size = newSize_;
  bool accept = true;
  if (canResize) canResize(size, accept);
  if (accept && autoSnap_ && size <= minSize_) size = 0;
  if (!accept) {
    newSize_ = oldSize;
    offset_ = oldOffset;
    return false;
  }
  newSize_ = size;
  return true;
}

bool TMarginSplitterDrag::Apply(int size, ui::TRect& bounds) {
  if (!Active() || size == lastApplied_) return false;
  ui::TRect c = siblings_[static_cast<size_t>(control_)].bounds;
  switch (align_) {
    case TSplitAlign::Top:
      c.bottom = c.top + size;
      break;
    case TSplitAlign::Bottom:
      c.top = c.bottom - size;
      break;
    case TSplitAlign::Right:
      c.left = c.right - size;
      break;
    default:
      c.right = c.left + size;
      break;
  }
  bounds = c;
  lastApplied_ = size;
  return true;
}

}  // namespace kv
