#pragma once
// The shadow panel (a container that draws a shadow right of and below each child) and the
// margin splitter (a bar that resizes the neighbour on its aligned side). The splitter docks
// through the window layer's alignment (left by default) and reads its siblings' alignment
// and margins from their windows; each applied size lets the parent lay its aligned children
// out again, so the splitter and the controls beyond it follow the resized neighbour.
#include <windows.h>

#include <optional>
#include <vector>

#include "controls/margin_splitter.h"
#include "ui/window.h"

namespace kv {

class TShadowPanel : public ui::TCustomControl {
 public:
  TShadowPanel() = default;
  TShadowPanel(ui::TWindow& parent, const ui::TRect& bounds) { Create(parent, bounds); }
  void Create(ui::TWindow& parent, const ui::TRect& bounds);

  ui::TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(ui::TColor c);
  int ShadowSize() const { return shadowSize_; }
  void SetShadowSize(int size);

 protected:
  void Paint(ui::TCanvas& canvas) override;
  void Resized() override;

 private:
  ui::TColor shadowColor_ = ui::clBlack;
  int shadowSize_ = 4;
};

class TMarginSplitter : public ui::TCustomControl {
 public:
  TMarginSplitter() = default;
  TMarginSplitter(ui::TWindow& parent, const ui::TRect& bounds) { Create(parent, bounds); }
  ~TMarginSplitter() override;
  void Create(ui::TWindow& parent, const ui::TRect& bounds);

  bool AutoSnap = true;
  bool Beveled = false;
  int MinSize = 30;
  TResizeStyle ResizeStyle = TResizeStyle::rsPattern;

  ui::TEvent<void(int& newSize, bool& accept)> OnCanResize;
  ui::TNotifyEvent OnMoved;
  bool Dragging() const { return drag_.has_value(); }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void Paint(ui::TCanvas& canvas) override;
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  void MouseMove(ui::TShiftState shift, int x, int y) override;
  void MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, ui::TShiftState shift) override;
  void CaptureLost() override;

 private:
  std::vector<TSplitSibling> Siblings(std::vector<HWND>& handles) const;
  void ToggleLine();
  void ApplySize(int size);
  void EndDrag();
  ui::TPoint ParentPoint(int x, int y) const;
  bool Vertical() const { return Align() == ui::TAlign::Top || Align() == ui::TAlign::Bottom; }

  std::optional<TMarginSplitterDrag> drag_;
  std::vector<HWND> handles_;
  bool lineVisible_ = false;
  HWND previousFocus_ = nullptr;
};

}  // namespace kv
