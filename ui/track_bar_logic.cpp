#include "ui/track_bar_logic.h"

#include <algorithm>
#include <cstdint>

namespace kv::ui {

TTrackBarRange Normalized(TTrackBarRange range) {
  range.max = std::max(range.max, range.min);
  range.position = std::clamp(range.position, range.min, range.max);
  range.lineSize = std::max(range.lineSize, 1);
  range.pageSize = std::max(range.pageSize, 1);
  range.frequency = std::max(range.frequency, 0);
  return range;
}

std::vector<int> InnerTickPositions(const TTrackBarRange& range) {
  std::vector<int> ticks;
  const TTrackBarRange r = Normalized(range);
  if (r.frequency == 0) return ticks;
  // 64-bit: a range from INT_MIN to INT_MAX must not overflow.
  const int64_t span = static_cast<int64_t>(r.max) - r.min;
  int64_t step = r.frequency;
  if (span / step > kMaxInnerTicks) {
    const int64_t needed = (span + kMaxInnerTicks - 1) / kMaxInnerTicks;
    step = (needed + step - 1) / step * step;
  }
  for (int64_t at = step; at < span; at += step) ticks.push_back(static_cast<int>(r.min + at));
  return ticks;
}

}  // namespace kv::ui
