#pragma once
// Layout arithmetic of the shadow panel and the margin splitter: where a child's shadow
// goes, which neighbour a splitter resizes (its bounds widened by its margins) and the size a
// drag gives it. TMarginSplitterDrag is one drag from press to release; the window
// (controls/win/shadow_panel.h) applies the sizes. Main thread only.
#include <functional>
#include <vector>

#include "ui/align_logic.h"
#include "ui/geometry.h"

namespace kv {

// The splitter docks like every other child of the window layer.
using TSplitAlign = ui::TAlign;
enum class TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };

// A child of the splitter's parent, as the splitter sees it.
struct TSplitSibling {
  ui::TRect bounds;
  TSplitAlign align = TSplitAlign::None;
  bool visible = true;
  bool enabled = true;
  bool alignWithMargins = false;
  ui::TMargins margins;
  bool isSplitter = false;
};

// The two shadow rectangles of a child: right of it and below it.
struct TShadowRects {
  ui::TRect right;
  ui::TRect below;
};
TShadowRects ShadowRectsFor(const ui::TRect& child, int shadowSize);

// The point just outside the splitter on its aligned side.
ui::TPoint SplitterProbePoint(const ui::TRect& splitter, TSplitAlign align);
// The first visible, enabled sibling (not a splitter) whose rectangle, widened by its margins
// when it aligns with them, contains the probe point; -1 when none does.
int FindSplitControl(const std::vector<TSplitSibling>& siblings, const ui::TRect& splitter,
                     TSplitAlign align);
// The largest size the control may take.
int SplitterMaxSize(const std::vector<TSplitSibling>& siblings, int controlIndex, TSplitAlign align,
                    int parentClientExtent, int minSize);

class TMarginSplitterDrag {
 public:
  // Press: siblings of the parent, the splitter's rectangle and alignment. Active() is false
  // when there is no control to resize.
  TMarginSplitterDrag(std::vector<TSplitSibling> siblings, const ui::TRect& splitter,
                      TSplitAlign align, int parentClientExtent, int minSize, bool autoSnap,
                      ui::TPoint press);

  bool Active() const { return control_ >= 0; }
  int ControlIndex() const { return control_; }
  int MaxSize() const { return maxSize_; }
  int NewSize() const { return newSize_; }
  int SplitOffset() const { return offset_; }
  // The splitter's rectangle moved by the current offset (the inverted drag line).
  ui::TRect LineRect() const;

  // Mouse moved with the button held; canResize may veto (accept defaults to true). Returns
  // true when the new size was accepted.
  bool Move(ui::TPoint mouse, const std::function<void(int& newSize, bool& accept)>& canResize);
  // Applying the size: false when it equals the size last applied. bounds becomes the
  // control's new rectangle (bottom and right alignment keep the far edge in place). The
  // control's rectangle at the press stays the base of every later size: an applied size
  // never counts twice.
  bool Apply(int size, ui::TRect& bounds);

 private:
  void Compute(ui::TPoint mouse);
  bool Vertical() const { return align_ == TSplitAlign::Top || align_ == TSplitAlign::Bottom; }

  std::vector<TSplitSibling> siblings_;
  ui::TRect splitter_;
  TSplitAlign align_;
  int minSize_;
  bool autoSnap_;
  ui::TPoint press_;
  int control_ = -1;
  int maxSize_ = 0;
  int newSize_ = 0;
  int offset_ = 0;
  int lastApplied_ = -1;
};

}  // namespace kv
