#include "ui/track_bar.h"

#include <commctrl.h>

namespace kv::ui {

TTrackBar::TTrackBar(TWindow& parent, const TRect& bounds, TTrackBarOrientation orientation,
                     TTickMarks ticks, int id) {
  Create(parent, bounds, orientation, ticks, id);
}

void TTrackBar::Create(TWindow& parent, const TRect& bounds, TTrackBarOrientation orientation,
                       TTickMarks ticks, int id) {
  TCreateParams p;
  p.className = TRACKBAR_CLASSW;
  DWORD tickStyle = ticks == TTickMarks::TopLeft ? TBS_TOP
                    : ticks == TTickMarks::Both  ? TBS_BOTH
                    : ticks == TTickMarks::None  ? TBS_NOTICKS
                                                 : TBS_BOTTOM;
  p.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | tickStyle |
            (orientation == TTrackBarOrientation::Vertical ? TBS_VERT : TBS_HORZ);
  p.bounds = bounds;
  p.parent = parent.Handle();
  p.id = id;
  CreateHandle(p);
  SetColor(parent.Color());
  Apply();
}

void TTrackBar::SetRange(const TTrackBarRange& range) {
  range_ = Normalized(range);
  Apply();
}

TTrackBarRange TTrackBar::Range() const {
  TTrackBarRange r = range_;
  r.position = Position();
  return r;
}

void TTrackBar::SetMinMax(int min, int max) {
  TTrackBarRange r = Range();
  r.min = min;
  r.max = max;
  SetRange(r);
}

int TTrackBar::Position() const {
  return HandleAllocated() ? static_cast<int>(Perform(TBM_GETPOS)) : range_.position;
}

void TTrackBar::SetPosition(int position) {
  TTrackBarRange r = Range();
  r.position = position;
  range_ = Normalized(r);
  lastReported_ = range_.position;
  Perform(TBM_SETPOS, TRUE, range_.position);
}

void TTrackBar::SetLineSize(int size) {
  TTrackBarRange r = Range();
  r.lineSize = size;
  SetRange(r);
}

void TTrackBar::SetPageSize(int size) {
  TTrackBarRange r = Range();
  r.pageSize = size;
  SetRange(r);
}

void TTrackBar::SetFrequency(int frequency) {
  TTrackBarRange r = Range();
  r.frequency = frequency;
  SetRange(r);
}

int TTrackBar::TickCount() const {
  return static_cast<int>(Perform(TBM_GETNUMTICS));
}

void TTrackBar::Apply() {
  if (!HandleAllocated()) return;
  Perform(TBM_SETRANGEMIN, FALSE, range_.min);
  Perform(TBM_SETRANGEMAX, FALSE, range_.max);
  Perform(TBM_SETLINESIZE, 0, range_.lineSize);
  Perform(TBM_SETPAGESIZE, 0, range_.pageSize);
  // The inner ticks are set one by one (the control draws the ends itself), so a long range
  // gets a bounded number of marks.
  Perform(TBM_CLEARTICS, FALSE);
  for (int tick : InnerTickPositions(range_)) Perform(TBM_SETTIC, 0, tick);
  Perform(TBM_SETPOS, TRUE, range_.position);
  lastReported_ = range_.position;
}

bool TTrackBar::ScrollNotify(int, int) {
  // Every step of a drag and every key reports; a repeated position (the end of a drag,
  // a key at the end of the range) is not a change.
  const int position = Position();
  range_.position = position;
  if (position == lastReported_) return true;
  lastReported_ = position;
  OnChange(position);
  return true;
}

}  // namespace kv::ui
