#pragma once
// The numbers of a track bar: range, position, step sizes and where its tick marks go. The
// view keeps the control to a normalised set, so a reversed range or a position outside it
// never reaches the control.
#include <vector>

namespace kv::ui {

struct TTrackBarRange {
  int min = 0;
  int max = 10;
  int position = 0;
  int lineSize = 1;   // arrow keys
  int pageSize = 2;   // Page Up and Page Down, clicks beside the thumb
  int frequency = 1;  // a tick every this many positions; 0: ticks at the ends only
  friend bool operator==(const TTrackBarRange&, const TTrackBarRange&) = default;
};

// max at least min, the position inside the range, line and page size at least 1, the
// frequency at least 0.
TTrackBarRange Normalized(TTrackBarRange range);

// At most this many tick marks between the ends: a long range with a small frequency gets
// its ticks at a multiple of the frequency instead of one per position.
inline constexpr int kMaxInnerTicks = 200;

// The positions of the tick marks strictly between min and max (the control draws the end
// ticks itself), from min in steps of the frequency.
std::vector<int> InnerTickPositions(const TTrackBarRange& range);

}  // namespace kv::ui
