#pragma once
// The text editor control's window: paints the character grid, the selection, the caret and
// the right-edge line, carries the line-number gutter (a child window, text_gutter.h), and
// feeds keys, mouse, scroll bars, the clipboard and timers to TZNCustomMemo.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "controls/text_editor/text_editor_model.h"
#include "controls/text_editor/win/completion_list.h"
#include "controls/text_editor/win/text_gutter.h"
#include "ui/graphics.h"
#include "ui/hint_window.h"
#include "ui/window.h"

namespace kv {

class TZarnMemo : public ui::TCustomControl, public TZNCustomMemo {
 public:
  TZarnMemo() = default;
  TZarnMemo(ui::TWindow& parent, const ui::TRect& bounds) { Create(parent, bounds); }
  ~TZarnMemo() override;
  void Create(ui::TWindow& parent, const ui::TRect& bounds);

  // "Courier New" 10 pt unless set; fixed pitch is forced.
  void SetFontSpec(ui::TFontSpec fontSpec);
  const ui::TFontSpec& FontSpec() const { return font_.Params(); }
  // Single (the default): a sunken client edge; off: no border.
  bool BorderSingle() const { return borderSingle_; }
  void SetBorderSingle(bool single);
  // The caret blink phase (for tests): true while the bar is drawn.
  bool CaretDrawn() const { return caretOn_; }
  TZNGutter* Gutter() const { return gutter_; }
  // Opens the completion list now when it may (as the idle time would).
  void DropDown();
  bool DropListShowing() const { return dropList_.Showing(); }

  // Link detection: the link text at a text position, empty for none. Without a detector no
  // text is a link, so the link hint never shows.
  std::function<std::string(TZNPos)> LinkDetector;
  // The hint's text while it shows, else empty.
  std::string LinkHintText() const;

  // Timer ids of the control's window.
  static constexpr UINT_PTR kCaretTimer = 1;
  static constexpr UINT_PTR kDragTimer = 2;
  static constexpr UINT_PTR kAppendTimer = 1542;

 protected:
  // TWindow
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool HandlePaint() override;
  bool EraseBackground(HDC) override { return true; }
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  void MouseMove(ui::TShiftState shift, int x, int y) override;
  void MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  void DblClick(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  bool MouseWheel(int delta, ui::TShiftState shift, ui::TPoint screenPoint) override;
  void KeyDown(WORD& key, ui::TShiftState shift) override;
  void KeyUp(WORD& key, ui::TShiftState shift) override;
  void KeyPress(wchar_t& ch) override;
  void FocusChanged(bool gotFocus) override;
  void CaptureLost() override;
  void Timer(UINT_PTR id) override;
  void Resized() override;
  LRESULT DialogCode(const MSG* msg) override;

  // TZNCustomMemo view hooks
  void InvalidateAll() override;
  void InvalidateLines(int first, int last) override;
  void ScrollPixels(int lines) override;
  void ScrollBarsChanged() override;
  void CaretShown() override;
  void SetCaptureMouse(bool on) override;
  void FocusMemo() override;
  void StartAppendTimer() override;
  void StopAppendTimer() override;
  void SetDragTimer(bool on) override;
  void GutterChanged() override;
  void CloseDropList() override;
  std::string ClipboardText() override;
  void SetClipboardText(const std::string& text) override;

 private:
  void Measure();
  void OpenDropList();
  void PaintRows(ui::TCanvas& target, int firstLine, int lastLine);
  void PaintLine(ui::TCanvas& c, int line, int y);
  void PaintCaret(ui::TCanvas& c, int yOffset, int firstLine, int lastLine);
  void UpdateCursor();
  void UpdateLinkHint(int x, int y);
  void HideLinkHint();
  static TZNShift Shift(ui::TShiftState s);

  // The grid needs a fixed-pitch font whatever the name asks for; the layer's fonts leave the
  // pitch to the system, so the memo makes its own.
  class FixedFont {
   public:
    FixedFont() = default;
    ~FixedFont() { Reset(); }
    FixedFont(const FixedFont&) = delete;
    FixedFont& operator=(const FixedFont&) = delete;
    void Create(const ui::TFontSpec& fontSpec);
    void Reset();
    HFONT Handle() const { return font_; }
    const ui::TFontSpec& Params() const { return spec_; }
    explicit operator bool() const { return font_ != nullptr; }

   private:
    HFONT font_ = nullptr;
    ui::TFontSpec spec_;
  };

  FixedFont font_;
  TZNDropList dropList_;
  std::unique_ptr<ui::THintWindow> linkHint_;  // only while a link hint shows
  bool overLink_ = false;
  TZNGutter* gutter_ = nullptr;  // owned as a child window
  bool caretOn_ = false;
  bool skipBlink_ = false;
  bool dragTimerOn_ = false;
  bool borderSingle_ = true;
};

}  // namespace kv
