#pragma once
// Where the buttons of a radio group go: below the group's caption, in columns that are
// filled top to bottom, each button centred in an equal share of the height.
#include <vector>

#include "ui/geometry.h"

namespace kv::ui {

struct TRadioGroupMetrics {
  int captionHeight = 16;  // the frame's caption line
  int itemHeight = 17;     // one button's height
  int margin = 8;          // inside the frame, left, right and bottom
};

// The bounds of count buttons in a group whose client area is client. A group too low for
// its rows still gives each button its full height (the last ones may then be cut off).
std::vector<TRect> RadioGroupItemRects(const TRect& client, int count, int columns,
                                       const TRadioGroupMetrics& metrics = {});

}  // namespace kv::ui
