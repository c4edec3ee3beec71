#include "editor/props/router_editor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>

#include "base/exception.h"
#include "base/text.h"

namespace kv {

namespace {
constexpr const char* kAskDeleteConnection = "Do you really want to delete this connection?";
}

TRouterEditor::TRouterEditor(TMidiAliasManager& aliases, TMidiRouter& router,
                             TPropsMessages& messages)
    : aliases_(aliases), router_(router), messages_(messages) {
  aliases_.AddChangeListener({&TRouterEditor::AliasesChanged, this});
}

TRouterEditor::~TRouterEditor() {
  aliases_.RemoveChangeListener({&TRouterEditor::AliasesChanged, this});
}

void TRouterEditor::AliasesChanged(void* editor, TMidiAliasManager&) {
  static_cast<TRouterEditor*>(editor)->RequestRebuild();
}

void TRouterEditor::RequestRebuild() {
  if (PostRebuild) PostRebuild();
}

void TRouterEditor::SetRowHeight(int height) {
  rowHeight_ = std::max(1, height);
  layoutDirty_ = true;
  Invalidate();
}

void TRouterEditor::SetIconWidth(int width) {
  iconWidth_ = width;
  layoutDirty_ = true;
  Invalidate();
}

void TRouterEditor::SetClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  ScrollBarChanged();
  layoutDirty_ = true;
}

void TRouterEditor::Invalidate() {
  if (OnInvalidate) OnInvalidate();
}

void TRouterEditor::ScrollBarChanged() {
  if (OnScrollBarChange) OnScrollBarChange();
}

int TRouterEditor::ContentHeight() const {
  return static_cast<int>(std::max(inputs_.size(), outputs_.size())) * rowHeight_;
}

// --- the model: connections, rows, router -------------------------------------------------

void TRouterEditor::LoadFromRouter() {
  SelectConnection(nullptr);
  connections_.clear();
  const TMidiRoutes& routes = router_.GetRoutes();
  for (int i = 0; i < routes.GetCount(); ++i) {
    TMidiRoute& route = routes.GetRoute(i);
    if (!route.IsValid()) continue;
    auto connection = std::make_unique<TGUIRoute>();
    connection->inName = route.GetInName();
    connection->outName = route.GetOutName();
    connection->route = &route;
    connections_.push_back(std::move(connection));
  }
  MatchRows(false);
  Invalidate();
}

void TRouterEditor::ApplyToRouter(bool showErrors) {
  std::string errors;
  router_.BeginUpdate();
  try {
    const TMidiRoutes& routes = router_.GetRoutes();
    for (const std::unique_ptr<TGUIRoute>& connection : connections_) {
      try {
        TMidiAlias* in = aliases_.Lookup(connection->inName, makMidiIn, true);
        TMidiAlias* out = aliases_.Lookup(connection->outName, makMidiOut, true);
        if (connection->route && routes.IndexOf(connection->route) >= 0) {
          router_.ChangeRoute(connection->route, in, out);
        } else {
          const int index = router_.AddRoute(in, out);
          connection->route = &routes.GetRoute(index);
        }
      } catch (const std::exception& error) {
        errors += error.what();
        errors += "\r\n";
      }
    }
    for (int i = routes.GetCount() - 1; i >= 0; --i) {
      const TMidiRoute* route = &routes.GetRoute(i);
      const bool referred =
          std::any_of(connections_.begin(), connections_.end(),
                      [route](const std::unique_ptr<TGUIRoute>& c) { return c->route == route; });
      if (!referred) router_.DeleteRoute(i);
    }
  } catch (...) {
    router_.EndUpdate();
    throw;
  }
  router_.EndUpdate();
  if (errors.empty()) return;
  errors.resize(errors.size() - 2);
  if (showErrors)
    messages_.ShowError(errors);
  else
    throw Exception(errors);
}

bool TRouterEditor::RebuildColumn(std::vector<TGUIAlias>& rows, uint8_t kind) {
  bool changed = false;
  for (size_t i = rows.size(); i-- > 0;) {
    const TMidiAlias* alias = rows[i].alias;
    if (aliases_.IndexOfAlias(alias) < 0 || alias->GetKind() != kind) {
      rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(i));
      changed = true;
    }
  }
  for (int i = 0; i < aliases_.GetCount(); ++i) {
    TMidiAlias* alias = aliases_.GetItem(i);
    if (!alias || alias->GetKind() != kind) continue;
    auto row = std::find_if(rows.begin(), rows.end(),
                            [alias](const TGUIAlias& r) { return r.alias == alias; });
    if (row == rows.end()) {
      TGUIAlias added;
      added.alias = alias;
      added.shownName = alias->GetName();
      rows.push_back(added);
      changed = true;
    } else if (!AnsiSameText(row->shownName, alias->GetName())) {
      row->shownName = alias->GetName();
      changed = true;
    }
  }
  return changed;
}

void TRouterEditor::RebuildAliases() {
  // A drag under way belongs to the ports (and the connection) it began on, not to row numbers.
  const TMidiAlias* fromIn =
      dragging_ && ValidInput(dragIn_) ? inputs_[static_cast<size_t>(dragIn_)].alias : nullptr;
  const TMidiAlias* fromOut =
      dragging_ && ValidOutput(dragOut_) ? outputs_[static_cast<size_t>(dragOut_)].alias : nullptr;
  const TGUIRoute* moving = dragging_ ? selected_ : nullptr;
  const bool inputsChanged = RebuildColumn(inputs_, makMidiIn);
  const bool outputsChanged = RebuildColumn(outputs_, makMidiOut);
  if (!inputsChanged && !outputsChanged) return;
  MatchRows(true);
  if (dragging_) FollowDrag(fromIn, fromOut, moving);
  ScrollBarChanged();
  layoutDirty_ = true;
  Invalidate();
}

void TRouterEditor::FollowDrag(const TMidiAlias* fromIn, const TMidiAlias* fromOut,
                               const TGUIRoute* moving) {
  auto rowOf = [](const std::vector<TGUIAlias>& rows, const TMidiAlias* alias) {
    for (size_t i = 0; i < rows.size(); ++i)
      if (rows[i].alias == alias) return static_cast<int>(i);
    return -1;
  };
  dragIn_ = fromIn ? rowOf(inputs_, fromIn) : -1;
  dragOut_ = fromOut ? rowOf(outputs_, fromOut) : -1;
  const bool gone = (fromIn && dragIn_ < 0) || (fromOut && dragOut_ < 0) ||
                    (moving && selected_ != moving);
  if (!gone) {
    UpdateTarget(mouseX_, mouseY_);
    return;
  }
  // Its port or connection went: the drag ends without a change (the button's release too).
  dragging_ = false;
  dragIn_ = dragOut_ = targetIn_ = targetOut_ = -1;
  StopAutoScroll();
}

void TRouterEditor::MatchRows(bool drop) {
  auto rowOf = [](const std::vector<TGUIAlias>& rows, const std::string& name) {
    for (size_t i = 0; i < rows.size(); ++i)
      if (AnsiSameText(rows[i].shownName, name)) return static_cast<int>(i);
    return -1;
  };
  for (size_t i = connections_.size(); i-- > 0;) {
    TGUIRoute& connection = *connections_[i];
    connection.inRow = rowOf(inputs_, connection.inName);
    connection.outRow = rowOf(outputs_, connection.outName);
    if (drop && (connection.inRow < 0 || connection.outRow < 0)) {
      if (selected_ == &connection) SelectConnection(nullptr);
      connections_.erase(connections_.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

void TRouterEditor::SelectConnection(TGUIRoute* connection) {
  if (connection == selected_) return;
  selected_ = connection;
  if (OnSelectionChange) OnSelectionChange();
  Invalidate();
}

TGUIRoute* TRouterEditor::FindConnection(int inRow, int outRow, bool skipSelected) const {
  for (const std::unique_ptr<TGUIRoute>& c : connections_) {
    if (skipSelected && c.get() == selected_) continue;
    if (c->inRow == inRow && c->outRow == outRow) return c.get();
  }
  return nullptr;
}

int TRouterEditor::IndexOfConnection(const TGUIRoute* connection) const {
  for (size_t i = 0; i < connections_.size(); ++i)
    if (connections_[i].get() == connection) return static_cast<int>(i);
  return -1;
}

void TRouterEditor::DeleteRoute(TGUIRoute* connection, bool ask) {
  const int index = IndexOfConnection(connection);
  if (index < 0) return;
  if (ask && !messages_.AskYesNo(kAskDeleteConnection, kConfirmDelayMs)) return;
  if (selected_ == connection) SelectConnection(nullptr);
  connections_.erase(connections_.begin() + index);
  Invalidate();
  if (OnChange) OnChange();
}

// --- geometry ----------------------------------------------------------------------------

TRouterHit TRouterEditor::HitTest(int x, int y, bool testLines) const {
  const int yc = y + scrollOffset_;
  const int rows = static_cast<int>(std::max(inputs_.size(), outputs_.size()));
  auto column = [&](size_t count, TRouterZone onRow, TRouterZone inColumn) -> TRouterHit {
    if (yc >= 0 && yc < static_cast<int>(count) * rowHeight_) return {onRow, yc / rowHeight_};
    return {yc < rows * rowHeight_ ? inColumn : TRouterZone::Outside, -1};
  };
  if (x < aliasColumnWidth_ + 2)
    return column(inputs_.size(), TRouterZone::InputRow, TRouterZone::InputColumn);
  if (x > clientWidth_ - aliasColumnWidth_ - 2)
    return column(outputs_.size(), TRouterZone::OutputRow, TRouterZone::OutputColumn);
  if (yc < 0 || yc > rows * rowHeight_) return {};
  if (!testLines) return {TRouterZone::Between, -1};
  return HitLine(x, yc);
}

TRouterHit TRouterEditor::HitLine(int x, int yContent) const {
  const int width = clientWidth_ - 2 * aliasColumnWidth_;
  if (width <= 0) return {};
  const double f = static_cast<double>(x - aliasColumnWidth_) / width;
  for (size_t i = 0; i < connections_.size(); ++i) {
    const TGUIRoute& c = *connections_[i];
    // A connection whose alias vanished has no row to draw from.
    if (!HasRows(c)) continue;
    const double inY = c.inRow * rowHeight_ + rowHeight_ / 2;
    const double outY = c.outRow * rowHeight_ + rowHeight_ / 2;
    const long lineY = std::lround((1 - f) * inY + f * outY);
    if (std::labs(lineY - yContent) < kLineHitDistance) {
      const TRouterZone zone = f < 0.2   ? TRouterZone::LineInputEnd
                               : f > 0.8 ? TRouterZone::LineOutputEnd
                                         : TRouterZone::Line;
      return {zone, static_cast<int>(i)};
    }
  }
  return {TRouterZone::Between, -1};
}

TRouterCursor TRouterEditor::CursorFor(TRouterZone zone) {
  switch (zone) {
    case TRouterZone::InputRow:
    case TRouterZone::OutputRow:
    case TRouterZone::Line:
      return TRouterCursor::Hand;
    case TRouterZone::LineInputEnd:
    case TRouterZone::LineOutputEnd:
      return TRouterCursor::VerticalArrows;
    default:
      return TRouterCursor::Default;
  }
}

void TRouterEditor::Layout() {
  layoutDirty_ = false;
  const int labelWidth = aliasColumnWidth_ - iconWidth_ - 1;
  const int iconTop = (rowHeight_ - iconWidth_) / 2;
  int y = -scrollOffset_;
  for (TGUIAlias& row : inputs_) {
    row.labelLeft = 0;
    row.labelTop = y;
    row.labelWidth = labelWidth;
    row.labelHeight = rowHeight_;
    row.iconX = aliasColumnWidth_ - iconWidth_;
    row.iconY = y + iconTop;
    y += rowHeight_;
  }
  y = -scrollOffset_;
  for (TGUIAlias& row : outputs_) {
    row.iconX = clientWidth_ - aliasColumnWidth_;
    row.iconY = y + iconTop;
    row.labelLeft = clientWidth_ - aliasColumnWidth_ + iconWidth_ + 1;
    row.labelTop = y;
    row.labelWidth = labelWidth;
    row.labelHeight = rowHeight_;
    y += rowHeight_;
  }
}

int TRouterEditor::Highlighted(int dragRow, int targetRow, int selectedRow, size_t rows) const {
  if (!focused_) return -1;
  int row = -1;
  if (dragging_)
    row = dragRow >= 0 ? dragRow : targetRow;
  else if (selected_)
    row = selectedRow;
  return row >= 0 && row < static_cast<int>(rows) ? row : -1;
}

int TRouterEditor::HighlightedInput() const {
  return Highlighted(dragIn_, targetIn_, selected_ ? selected_->inRow : -1, inputs_.size());
}

int TRouterEditor::HighlightedOutput() const {
  return Highlighted(dragOut_, targetOut_, selected_ ? selected_->outRow : -1, outputs_.size());
}

std::vector<TRouterLine> TRouterEditor::Lines() const {
  std::vector<TRouterLine> lines;
  const int left = aliasColumnWidth_;
  const int right = clientWidth_ - aliasColumnWidth_;
  for (const std::unique_ptr<TGUIRoute>& c : connections_) {
    if ((focused_ && c.get() == selected_) || !HasRows(*c)) continue;
    lines.push_back({left, Centre(c->inRow), right, Centre(c->outRow), false});
  }
  if (!focused_) return lines;
  if (selected_ && !dragging_) {
    if (HasRows(*selected_))
      lines.push_back({left, Centre(selected_->inRow), right, Centre(selected_->outRow), true});
  } else if (dragging_ && (targetIn_ >= 0 || targetOut_ >= 0)) {
    if (ValidInput(dragIn_))
      lines.push_back({left, Centre(dragIn_), mouseX_, mouseY_, true});
    else if (ValidOutput(dragOut_))
      lines.push_back({right, Centre(dragOut_), mouseX_, mouseY_, true});
  }
  return lines;
}

// --- mouse, keys, scrolling ----------------------------------------------------------------

void TRouterEditor::MouseDown(int x, int y, bool leftButton) {
  focused_ = true;
  mouseX_ = x;
  mouseY_ = y;
  dragging_ = false;
  dragIn_ = -1;
  dragOut_ = -1;
  if (!leftButton) return;
  captured_ = true;
  const TRouterHit hit = HitTest(x, y, true);
  cursor_ = CursorFor(hit.zone);
  auto startDrag = [&] {
    dragging_ = true;
    UpdateTarget(x, y);
  };
  switch (hit.zone) {
    case TRouterZone::InputRow:
      dragIn_ = hit.index;
      startDrag();
      SelectConnection(nullptr);
      break;
    case TRouterZone::OutputRow:
      dragOut_ = hit.index;
      startDrag();
      SelectConnection(nullptr);
      break;
    case TRouterZone::Line:
      SelectConnection(connections_[static_cast<size_t>(hit.index)].get());
      break;
    case TRouterZone::LineInputEnd: {
      // The input end moves: the output end stays where it is.
      TGUIRoute* c = connections_[static_cast<size_t>(hit.index)].get();
      SelectConnection(c);
      dragOut_ = c->outRow;
      startDrag();
      break;
    }
    case TRouterZone::LineOutputEnd: {
      TGUIRoute* c = connections_[static_cast<size_t>(hit.index)].get();
      SelectConnection(c);
      dragIn_ = c->inRow;
      startDrag();
      break;
    }
    case TRouterZone::InputColumn:
    case TRouterZone::OutputColumn:
    case TRouterZone::Between:
      SelectConnection(nullptr);
      break;
    case TRouterZone::Outside:
      break;
  }
  Invalidate();
}

void TRouterEditor::UpdateTarget(int x, int y) {
  const TRouterHit hit = HitTest(x, y, false);
  switch (hit.zone) {
    case TRouterZone::Outside:
      targetIn_ = -1;
      targetOut_ = -1;
      break;
    case TRouterZone::InputRow:
      targetIn_ = dragIn_ >= 0 ? dragIn_ : hit.index;
      targetOut_ = dragOut_;
      break;
    case TRouterZone::OutputRow:
      targetIn_ = dragIn_;
      targetOut_ = dragOut_ >= 0 ? dragOut_ : hit.index;
      break;
    default:
      targetIn_ = dragIn_;
      targetOut_ = dragOut_;
      break;
  }
}

void TRouterEditor::FollowCursor(int x, int y) { cursor_ = CursorFor(HitTest(x, y, true).zone); }

void TRouterEditor::MouseMove(int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
  if (!(dragging_ && captured_)) {
    FollowCursor(x, y);
    return;
  }
  UpdateTarget(x, y);
  if (y < kAutoScrollMargin)
    autoScrollStep_ = -kAutoScrollStep;
  else if (y > clientHeight_ - kAutoScrollMargin)
    autoScrollStep_ = kAutoScrollStep;
  else
    StopAutoScroll();
  Invalidate();
}

void TRouterEditor::MouseUp(int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
  StopAutoScroll();
  if (dragging_) {
    UpdateTarget(x, y);
    if (ValidInput(targetIn_) && ValidOutput(targetOut_)) FinishDrag();
  }
  dragging_ = false;
  captured_ = false;
  Invalidate();
  FollowCursor(x, y);
}

void TRouterEditor::FinishDrag() {
  if (selected_) {
    // An end was moved: a connection that already joins the new pair goes.
    while (TGUIRoute* twin = FindConnection(targetIn_, targetOut_, true)) DeleteRoute(twin, false);
  } else {
    TGUIRoute* connection = FindConnection(targetIn_, targetOut_, false);
    if (!connection) {
      connections_.push_back(std::make_unique<TGUIRoute>());
      connection = connections_.back().get();
    }
    SelectConnection(connection);
  }
  TGUIRoute& c = *selected_;
  const TGUIAlias& in = inputs_[static_cast<size_t>(targetIn_)];
  const TGUIAlias& out = outputs_[static_cast<size_t>(targetOut_)];
  c.inRow = targetIn_;
  c.inName = in.alias ? in.alias->GetName() : in.shownName;
  c.outRow = targetOut_;
  c.outName = out.alias ? out.alias->GetName() : out.shownName;
  if (OnChange) OnChange();
}

void TRouterEditor::MouseWheel(int delta) { ScrollTo(scrollOffset_ - delta * rowHeight_ / 240); }

void TRouterEditor::KeyDelete(bool shift, bool ctrl, bool alt) {
  if (ctrl || alt) return;
  DeleteRoute(selected_, !shift);
}

void TRouterEditor::AutoScrollTick() {
  if (autoScrollStep_ != 0) ScrollTo(scrollOffset_ + autoScrollStep_);
}

int TRouterEditor::ScrollTo(int position) {
  position = std::max(0, std::min(position, ContentHeight() - clientHeight_));
  const int distance = position - scrollOffset_;
  if (distance == 0) return 0;
  scrollOffset_ = position;
  layoutDirty_ = true;
  ScrollBarChanged();
  FollowCursor(mouseX_, mouseY_);
  Invalidate();
  return distance;
}

void TRouterEditor::ScrollBarRequest(TScrollRequest request, int position16, int trackPosition) {
  switch (request) {
    case TScrollRequest::LineUp:
      ScrollTo(scrollOffset_ - rowHeight_);
      break;
    case TScrollRequest::LineDown:
      ScrollTo(scrollOffset_ + rowHeight_);
      break;
    case TScrollRequest::PageUp:
      ScrollTo(scrollOffset_ - clientHeight_);
      break;
    case TScrollRequest::PageDown:
      ScrollTo(scrollOffset_ + clientHeight_);
      break;
    case TScrollRequest::ThumbTrack:
    case TScrollRequest::ThumbPosition:
      // The message carries only 16 bits of the position.
      ScrollTo(ContentHeight() <= 32000 ? position16 : trackPosition);
      break;
    case TScrollRequest::Other:
      break;
  }
}

}  // namespace kv
