#pragma once
// A track bar: a thumb the user slides along a range, with tick marks; arrow keys move it by
// the line size, Page Up and Page Down and clicks beside the thumb by the page size. The
// numbers follow ui/track_bar_logic.h.
#include "ui/track_bar_logic.h"
#include "ui/window.h"

namespace kv::ui {

enum class TTrackBarOrientation { Horizontal, Vertical };
// Where the tick marks are drawn: below (right of) the thumb, above (left of) it, on both
// sides, or nowhere.
enum class TTickMarks { BottomRight, TopLeft, Both, None };

class TTrackBar : public TWindow {
 public:
  TTrackBar() = default;
  TTrackBar(TWindow& parent, const TRect& bounds,
            TTrackBarOrientation orientation = TTrackBarOrientation::Horizontal,
            TTickMarks ticks = TTickMarks::BottomRight, int id = 0);
  void Create(TWindow& parent, const TRect& bounds,
              TTrackBarOrientation orientation = TTrackBarOrientation::Horizontal,
              TTickMarks ticks = TTickMarks::BottomRight, int id = 0);

  // All numbers at once (normalised); does not fire OnChange.
  void SetRange(const TTrackBarRange& range);
  TTrackBarRange Range() const;  // with the position as the control has it now
  void SetMinMax(int min, int max);
  int Min() const { return range_.min; }
  int Max() const { return range_.max; }
  int Position() const;
  // Clamped to the range; does not fire OnChange.
  void SetPosition(int position);
  void SetLineSize(int size);
  void SetPageSize(int size);
  // A tick every frequency positions from Min; 0: ticks at the ends only.
  void SetFrequency(int frequency);
  int TickCount() const;  // the marks the control shows, the ends included

  TEvent<void(int position)> OnChange;  // the user moved the thumb

 protected:
  bool ScrollNotify(int code, int position) override;

 private:
  void Apply();
  TTrackBarRange range_;
  int lastReported_ = 0;
};

}  // namespace kv::ui
