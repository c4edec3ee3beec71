#pragma once
// The text editor control's behaviour, without a window: line list, caret and selection,
// edits with undo and redo, keys, mouse, scrolling, the character grid and the completion
// idle counter. TZarnMemo (win/text_editor_window.h) is the window on top of it; it feeds
// metrics and input in and overrides the view hooks below to paint, scroll, show the caret
// and reach the clipboard. Main thread only. The model's code sits in one file per job:
// text_editor_model.cpp (line list hooks, properties, text primitives), text_editor_caret.cpp
// (caret, selection, keys), text_editor_edits.cpp (recorded edits, clipboard, undo),
// text_editor_mouse.cpp and text_editor_view.cpp (scrolling, layout, painting).
#include <cstdint>
#include <string>
#include <vector>

#include "controls/text_editor/text_lines.h"
#include "controls/text_editor/text_options.h"
#include "controls/text_editor/text_undo.h"
#include "ui/event.h"

namespace kv {

enum class TZNScrolls { sbNone, sbBoth, sbHorizontal, sbVertical };

// Scroll-bar request codes, numbered as the system's scroll messages number them.
enum class TZNScrollCode {
  LineUp = 0,
  LineDown = 1,
  PageUp = 2,
  PageDown = 3,
  ThumbPosition = 4,
  ThumbTrack = 5,
  Top = 6,
  Bottom = 7,
  EndScroll = 8
};

struct TZNShift {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

struct TZNPos {
  int col = 0;
  int line = 0;
  friend bool operator==(const TZNPos&, const TZNPos&) = default;
};

// One painted row: the visible text and, in screen columns relative to the left column,
// the selected part. selFillToEnd: the selection colour also runs past the text's end.
struct TZNRowPaint {
  bool exists = false;  // false: a row below the last line, filled with the background
  std::string text;
  int selFrom = -1;
  int selTo = -1;
  bool selFillToEnd = false;
};

// Virtual-key codes the control handles.
namespace znkey {
inline constexpr int Back = 8, Tab = 9, Return = 13, Control = 17, Escape = 27, Prior = 33,
                     Next = 34, End = 35, Home = 36, Left = 37, Up = 38, Right = 39, Down = 40,
                     Insert = 45, Delete = 46, A = 65, C = 67, V = 86, X = 88, Y = 89, Z = 90;
}

class TZNCustomMemo {
 public:
  TZNCustomMemo();
  virtual ~TZNCustomMemo() = default;
  TZNCustomMemo(const TZNCustomMemo&) = delete;
  TZNCustomMemo& operator=(const TZNCustomMemo&) = delete;

  // --- text
  TZNStrings& Lines() { return lines_; }
  const TZNStrings& Lines() const { return lines_; }
  void SetLines(const TZNStrings& lines) { lines_.Assign(lines); }
  void Clear() { lines_.Clear(); }
  // Adds a line at the end; relayout and scrolling wait for the 30 ms append tick.
  void AppendLine(const std::string& text);
  bool Modified() const { return modified_; }
  void SetModified(bool v);

  // --- properties
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool v) { wantTabs_ = v; }
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int v);  // at least 1
  int UndoSize() const { return undo_.Size(); }
  void SetUndoSize(int v) { undo_.SetSize(v); }
  bool AllowCaretInWhiteSpace() const { return allowWS_; }
  void SetAllowCaretInWhiteSpace(bool v) { allowWS_ = v; }
  bool AllowDragSelection() const { return allowDrag_; }
  void SetAllowDragSelection(bool v) { allowDrag_ = v; }
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool v) { doubleBuffered_ = v; }
  bool FullRedraw() const { return fullRedraw_; }
  void SetFullRedraw(bool v) { fullRedraw_ = v; }
  bool Tracking() const { return tracking_; }
  void SetTracking(bool v) { tracking_ = v; }
  TZNScrolls Scrollbars() const { return scrollbars_; }
  void SetScrollbars(TZNScrolls v);
  bool ShowsVertScrollBar() const { return showVert_; }
  bool ShowsHorzScrollBar() const { return showHorz_; }
  bool RightEdge() const { return rightEdge_; }
  void SetRightEdge(bool v);
  int RightEdgeCol() const { return rightEdgeCol_; }
  void SetRightEdgeCol(int v);  // clamped to 1..1600
  bool ShowHyperlinks() const { return showHyperlinks_; }
  void SetShowHyperlinks(bool v) { showHyperlinks_ = v; }
  TZNEnvironment& EnvironmentOptions() { return env_; }
  TZNGutterOptions& GutterOptions() { return gutter_; }
  const TZNGutterOptions& GutterOptions() const { return gutter_; }
  std::vector<std::string>& DropListItems() { return dropListItems_; }
  int DropListTimeDelay() const { return dropListTimeDelay_; }
  void SetDropListTimeDelay(int v);  // clamped to 0..10
  int DropListCharHeight() const { return dropListCharHeight_; }
  void SetDropListCharHeight(int v) { dropListCharHeight_ = v; }
  int DropListCharWidth() const { return dropListCharWidth_; }
  void SetDropListCharWidth(int v) { dropListCharWidth_ = v; }
  int DropListColumnCharWidth() const { return dropListColumnCharWidth_; }
  void SetDropListColumnCharWidth(int v) { dropListColumnCharWidth_ = v; }

  // --- events
  ui::TNotifyEvent OnChange;
  ui::TNotifyEvent OnCaretMove;
  ui::TNotifyEvent OnDropListDown;
  ui::TEvent<void(const std::string&)> OnHyperlinkClick;

  // --- caret and selection
  int GetCaretX() const { return caret_.col; }
  int GetCaretY() const { return caret_.line; }
  TZNPos Caret() const { return caret_; }
  void SetCaretXY(int col, int line);
  void SetSelectMode(bool on);
  void SelectRange(int startCol, int startLine, int endLine, int endCol);
  bool SelActive() const { return selActive_; }
  TZNPos SelStart() const { return selStart_; }
  TZNPos SelEnd() const { return selEnd_; }
  int SelStartLine() const { return selStart_.line; }
  int SelEndLine() const { return selEnd_.line; }
  TZNPos Anchor() const { return anchor_; }
  std::string SelText() const;
  TZNViewState ViewState() const;

  // --- edits (each recorded for undo unless read-only)
  void Undo();
  void Redo();
  int UndoCount() const { return undo_.UndoCount(); }
  int RedoCount() const { return undo_.RedoCount(); }
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();

  // --- input
  void KeyDown(int key, TZNShift shift);
  void KeyUp(int key, TZNShift shift);
  void KeyPress(char ch);
  // Pixel coordinates of the client area (the gutter's own presses arrive with inGutter).
  void MouseDown(TZNShift shift, int x, int y, bool inGutter);
  void MouseMove(TZNShift shift, int x, int y);
  void MouseUp(TZNShift shift, int x, int y);
  void DoubleClick();
  void MouseWheel(int delta, TZNShift shift);
  void Scroll(bool vertical, TZNScrollCode code, int thumbPos);
  void DragTimerTick();
  void AppendTimerTick();
  // A caret blink; returns true when the completion list should open now.
  bool CaretBlinkTick();
  bool TextDragging() const { return textDrag_; }
  bool TextDragCopies() const { return textDrag_ && dragCopy_; }
  bool LinkCursorMode() const { return linkCursor_; }

  // --- layout
  // The window reports its client size and the font's cell size ("W" wide, "Wp" high).
  void SetMetrics(int clientWidth, int clientHeight, int charWidth, int lineHeight);
  int CharWidth() const { return charWidth_; }
  int LineHeight() const { return lineHeight_; }
  int VisibleLines() const { return visibleLines_; }
  int VisibleColumns() const { return visibleCols_; }
  int GutterWidth() const { return gutter_.Visible() ? gutter_.Width() : 0; }
  int TopLine() const { return topLine_; }
  int LeftColumn() const { return leftCol_; }
  int LongestLine() const { return longestCols_; }
  void SetTopLine(int v);
  void SetLeftColumn(int v);
  void ScrollCaretIntoView();
  int MaxTopLine() const;
  int MaxLeftColumn() const;

  // --- painting
  TZNRowPaint PaintRow(int line) const;
  // The caret's x in client pixels, or false when it is not drawn (read-only, off the rows
  // or outside the text area).
  bool CaretPixel(int& x, int& y) const;
  // Rows of the text area a paint clip touches, as line indexes.
  bool LinesForClip(int clipTop, int clipBottom, int& firstLine, int& lastLine) const;
  TZNPos PointToPos(int x, int y, bool inGutter) const;

  // --- completion list
  // Asks the list to open; true when it may (fires OnDropListDown first).
  bool RequestDropList();
  void DropListOpened() {
    dropListPos_ = caret_;
    dropListOpen_ = true;
  }
  void DropListClosed() {
    dropListOpen_ = false;
    dropListPos_ = {-1, -1};
  }
  bool DropListOpen() const { return dropListOpen_; }
  int IdleCounter() const { return idleMs_; }

  // The window exists: replay a whole-text change and clear the modified flag.
  void WindowCreated();

 protected:
  // View hooks for the window. Lines are text line indexes.
  virtual void InvalidateAll() {}
  virtual void InvalidateLines(int /*first*/, int /*last*/) {}
  // The view moved down by lines (negative: up); the window shifts its pixels.
  virtual void ScrollPixels(int /*lines*/) {}
  virtual void ScrollBarsChanged() {}
  virtual void CaretShown() {}
  virtual void SetCaptureMouse(bool /*on*/) {}
  virtual void FocusMemo() {}
  virtual void CloseDropList() {}
  virtual void StartAppendTimer() {}
  virtual void StopAppendTimer() {}
  virtual void SetDragTimer(bool /*on*/) {}
  virtual void GutterChanged() {}
  virtual std::string ClipboardText() { return {}; }
  virtual void SetClipboardText(const std::string& /*text*/) {}

 private:
  class InternalEdit;

  void RangeHook(int first, int last);
  void EndChangeHook();
  void Relayout();
  void ResetIdle();

  // Text primitives (no recording); positions already on the text.
  const std::string& LineAt(int line) const;
  int LineLength(int line) const;
  TZNPos ClampToText(TZNPos p) const;
  TZNPos InsertText(TZNPos at, const std::string& text);
  std::string TextBetween(TZNPos from, TZNPos to) const;
  std::string RemoveRange(TZNPos from, TZNPos to);
  TZNPos EndOfInserted(TZNPos start, const std::string& text) const;

  // Recorded edits.
  void DeleteSelection();
  void Backspace();
  void DeleteKey(bool shift);
  void NewLine();
  void TypeChar(char ch);
  void InsertRecorded(TZNPos at, const std::string& text, bool selectIt);
  void RestoreState(const TZNViewState& s);

  void PlaceCaret(TZNPos p);
  void MoveCaretBy(TZNPos p, bool extend);
  void ClearSelection();
  void ExtendSelectionTo(TZNPos p);
  bool InsideSelection(TZNPos p) const;
  void Navigate(int key, TZNShift shift);
  TZNPos KeepScreenColumn(TZNPos from, int newLine) const;
  TZNPos CtrlLeft(TZNPos p) const;
  void Drop(TZNPos at, bool copy);
  void ExtendToMouse(int x, int y);
  void RepaintSpan(int a, int b);

  TZNStrings lines_;
  TZNUndoRing undo_{20};
  TZNEnvironment env_;
  TZNGutterOptions gutter_;
  std::vector<std::string> dropListItems_;

  bool readOnly_ = false, wantTabs_ = true, allowWS_ = false, allowDrag_ = true;
  bool doubleBuffered_ = true, fullRedraw_ = false, tracking_ = true;
  TZNScrolls scrollbars_ = TZNScrolls::sbNone;
  bool showVert_ = true, showHorz_ = true;
  bool rightEdge_ = false, showHyperlinks_ = false;
  int tabWidth_ = 8, rightEdgeCol_ = 80;
  int dropListTimeDelay_ = 3, dropListCharHeight_ = 4, dropListCharWidth_ = 20,
      dropListColumnCharWidth_ = 10;

  int clientWidth_ = 0, clientHeight_ = 0, charWidth_ = 0, lineHeight_ = 0;
  int visibleLines_ = 0, visibleCols_ = 0;
  int topLine_ = 0, leftCol_ = 0, longestCols_ = 0;

  TZNPos caret_;
  bool selActive_ = false;
  TZNPos selStart_, selEnd_;
  TZNPos anchor_{-1, -1};

  bool buttonDown_ = false, textDrag_ = false, dragCopy_ = false, gutterSelect_ = false;
  bool pressSuppressed_ = false, linkCursor_ = false;
  int gutterLine_ = 0;
  int mouseX_ = 0, mouseY_ = 0;
  int dragStepLines_ = 0, dragStepCols_ = 0;

  bool modified_ = false, linesChanging_ = false, appendPending_ = false;
  bool appendedSinceTick_ = false;
  int internalEdits_ = 0;  // above 0 while the control changes its own lines

  bool dropListOpen_ = false;
  TZNPos dropListPos_{-1, -1};
  int idleMs_ = 0;
};

}  // namespace kv
