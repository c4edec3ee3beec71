#pragma once
// The line-number strip of the text editor control: a child window at the memo's left edge
// while it shows. It paints the numbers of the memo's visible lines and hands its presses to
// the memo as line selections.
#include <windows.h>

#include "ui/graphics.h"
#include "ui/window.h"

namespace kv {

class TZarnMemo;

class TZNGutter : public ui::TCustomControl {
 public:
  explicit TZNGutter(TZarnMemo& memo);
  // Aligned left over the memo's full height while GutterOptions().Visible(), else hidden
  // and moved left of the client area.
  void Place();

 protected:
  void Paint(ui::TCanvas& canvas) override;
  bool EraseBackground(HDC) override { return true; }
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  TZarnMemo& memo_;
  ui::TFont font_;
};

}  // namespace kv
