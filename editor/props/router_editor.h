#pragma once
// The MIDI router page's drawing surface without its window: the input aliases in a column
// on the left, the output aliases on the right, and the connections between them that the
// user draws by dragging. It edits a copy; connections reach the router only through
// ApplyToRouter. The window forwards mouse, key, scroll and size events and paints what
// Layout, the highlighted rows and Lines describe. Main thread only.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/props/props_messages.h"
#include "midi/model/alias.h"
#include "midi/model/router.h"

namespace kv {

// One row of a column.
struct TGUIAlias {
  TMidiAlias* alias = nullptr;
  std::string shownName;  // the alias name as last shown in the label
  int labelLeft = 0, labelTop = 0, labelWidth = 0, labelHeight = 0;
  int iconX = 0, iconY = 0;
};

// One connection. The names are the truth; the rows are recomputed from them.
struct TGUIRoute {
  std::string inName;
  int inRow = -1;
  std::string outName;
  int outRow = -1;
  TMidiRoute* route = nullptr;  // the router's route it came from or was written to
};

enum class TRouterZone {
  Outside = 0,
  InputRow = 1,
  InputColumn = 2,
  OutputRow = 3,
  OutputColumn = 4,
  Between = 5,
  Line = 6,
  LineInputEnd = 7,
  LineOutputEnd = 8,
};

enum class TRouterCursor { Default, Hand, VerticalArrows };

struct TRouterHit {
  TRouterZone zone = TRouterZone::Outside;
  int index = -1;
};

struct TRouterLine {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  bool selected = false;  // drawn blue, else black
};

enum class TScrollRequest { LineUp, LineDown, PageUp, PageDown, ThumbTrack, ThumbPosition, Other };

class TRouterEditor {
 public:
  static constexpr int kDefaultRowHeight = 36;
  static constexpr int kDefaultAliasColumnWidth = 120;
  static constexpr int kAutoScrollStep = 3;
  static constexpr int kAutoScrollMargin = 5;
  static constexpr int kLineHitDistance = 5;

  // Follows the alias manager (RequestRebuild) until destroyed.
  TRouterEditor(TMidiAliasManager& aliases, TMidiRouter& router, TPropsMessages& messages);
  ~TRouterEditor();
  TRouterEditor(const TRouterEditor&) = delete;
  TRouterEditor& operator=(const TRouterEditor&) = delete;

  void SetRowHeight(int height);
  int IconWidth() const { return iconWidth_; }
  void SetIconWidth(int width);
  void SetClientSize(int width, int height);
  int ClientHeight() const { return clientHeight_; }
  bool Focused() const { return focused_; }
  void SetFocused(bool focused) { focused_ = focused; }

  void LoadFromRouter();
  // Writes the connections to the router; errors are collected per connection, then shown
  // (showErrors) or raised as one kv::Exception.
  void ApplyToRouter(bool showErrors);
  // Takes the alias manager's MIDI IN and MIDI OUT aliases into the columns.
  void RebuildAliases();
  // Asks the window to rebuild the columns soon (a posted message); nothing without a window.
  void RequestRebuild();
  void MatchRows(bool drop);
  void SelectConnection(TGUIRoute* connection);
  TGUIRoute* FindConnection(int inRow, int outRow, bool skipSelected) const;
  // Ignores a connection not in the list; with ask the user must confirm.
  void DeleteRoute(TGUIRoute* connection, bool ask);

  TRouterHit HitTest(int x, int y, bool testLines) const;
  static TRouterCursor CursorFor(TRouterZone zone);

  // Input from the window.
  void MouseDown(int x, int y, bool leftButton);
  void MouseMove(int x, int y);
  void MouseUp(int x, int y);
  void MouseLeave() { StopAutoScroll(); }
  void MouseWheel(int delta);
  void KeyDelete(bool shift, bool ctrl, bool alt);
  void AutoScrollTick();
  void ScrollBarRequest(TScrollRequest request, int position16, int trackPosition);

  // Clamps the position; returns the distance the contents moved (0: no change).
  int ScrollTo(int position);
  int ScrollOffset() const { return scrollOffset_; }
  int ContentHeight() const;
  bool AutoScrolling() const { return autoScrollStep_ != 0; }
  int AutoScrollStep() const { return autoScrollStep_; }

  // Painting.
  bool LayoutDirty() const { return layoutDirty_; }
  void Layout();
  int HighlightedInput() const;
  int HighlightedOutput() const;
  std::vector<TRouterLine> Lines() const;
  TRouterCursor Cursor() const { return cursor_; }

  const std::vector<TGUIAlias>& Inputs() const { return inputs_; }
  const std::vector<TGUIAlias>& Outputs() const { return outputs_; }
  const std::vector<std::unique_ptr<TGUIRoute>>& Connections() const { return connections_; }
  TGUIRoute* Selected() const { return selected_; }
  bool Dragging() const { return dragging_; }
  bool Captured() const { return captured_; }

  std::function<void()> OnChange;
  std::function<void()> OnSelectionChange;
  // Posts the rebuild message to the window; unset while the editor has no window.
  std::function<void()> PostRebuild;
  // Repaint and scroll bar requests for the window.
  std::function<void()> OnInvalidate;
  std::function<void()> OnScrollBarChange;

 private:
  static void AliasesChanged(void* editor, TMidiAliasManager& sender);
  int Centre(int row) const { return row * rowHeight_ + rowHeight_ / 2 - scrollOffset_; }
  bool ValidInput(int row) const { return row >= 0 && row < static_cast<int>(inputs_.size()); }
  bool ValidOutput(int row) const { return row >= 0 && row < static_cast<int>(outputs_.size()); }
  bool HasRows(const TGUIRoute& c) const { return ValidInput(c.inRow) && ValidOutput(c.outRow); }
  int IndexOfConnection(const TGUIRoute* connection) const;
  // The row shown highlighted in a column of that many rows, -1 none.
  int Highlighted(int dragRow, int targetRow, int selectedRow, size_t rows) const;
  bool RebuildColumn(std::vector<TGUIAlias>& rows, uint8_t kind);
  TRouterHit HitLine(int x, int yContent) const;
  // After the columns were rebuilt: the drag's rows are those of the ports it began on, or the
  // drag ends when they (or the connection whose end it moves) went.
  void FollowDrag(const TMidiAlias* fromIn, const TMidiAlias* fromOut, const TGUIRoute* moving);
  void UpdateTarget(int x, int y);
  void FinishDrag();
  void FollowCursor(int x, int y);
  void StopAutoScroll() { autoScrollStep_ = 0; }
  void Invalidate();
  void ScrollBarChanged();

  TMidiAliasManager& aliases_;
  TMidiRouter& router_;
  TPropsMessages& messages_;
  int rowHeight_ = kDefaultRowHeight;
  int aliasColumnWidth_ = kDefaultAliasColumnWidth;
  int iconWidth_ = 32;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  bool focused_ = false;

  std::vector<TGUIAlias> inputs_;
  std::vector<TGUIAlias> outputs_;
  std::vector<std::unique_ptr<TGUIRoute>> connections_;
  bool layoutDirty_ = true;
  int scrollOffset_ = 0;
  bool dragging_ = false;
  bool captured_ = false;
  int dragIn_ = -1;
  int dragOut_ = -1;
  int mouseX_ = 0;
  int mouseY_ = 0;
  int targetIn_ = -1;
  int targetOut_ = -1;
  TGUIRoute* selected_ = nullptr;
  TRouterCursor cursor_ = TRouterCursor::Default;
  int autoScrollStep_ = 0;
};

}  // namespace kv
