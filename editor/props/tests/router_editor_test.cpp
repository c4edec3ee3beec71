#include "editor/props/router_editor.h"

#include <gtest/gtest.h>

#include "editor/props/router_page.h"
#include "editor/props/tests/props_test_support.h"

namespace kv {
namespace {

// Three inputs and two outputs; the client is 520 by 100 pixels, so the space between the
// columns is 280 pixels wide and rows are 36 pixels high.
class RouterEditorTest : public ::testing::Test {
 protected:
  RouterEditorTest() {
    aliases.AddAlias("In A", "", makMidiIn, false);
    aliases.AddAlias("Out A", "", makMidiOut, false);
    aliases.AddAlias("In B", "", makMidiIn, false);
    aliases.AddAlias("In C", "", makMidiIn, false);
    aliases.AddAlias("Out B", "", makMidiOut, false);
    frame.Editor().SetClientSize(520, 100);
    frame.OnPanelChange = [this](TPropertyPanel&) { ++panelChanges; };
    frame.LoadValues();
    editor().RebuildAliases();
  }
  TRouterEditor& editor() { return frame.Editor(); }
  static int RowY(int row) { return row * 36 + 18; }
  void Drag(int x1, int y1, int x2, int y2) {
    editor().MouseDown(x1, y1, true);
    editor().MouseMove(x2, y2);
    editor().MouseUp(x2, y2);
  }
  void DragInToOut(int in, int out) { Drag(10, RowY(in), 510, RowY(out)); }

  TMidiAliasManager aliases;
  TMidiRouter router{aliases};
  test::TScriptedMessages messages;
  TSetupRouterFrame frame{aliases, router, messages};
  int panelChanges = 0;
};

TEST_F(RouterEditorTest, DraggingMakesOneConnectionPerPairAndReportsOnce) {
  ASSERT_EQ(editor().Inputs().size(), 3u);
  ASSERT_EQ(editor().Outputs().size(), 2u);
  DragInToOut(2, 0);
  ASSERT_EQ(editor().Connections().size(), 1u);
  const TGUIRoute& c = *editor().Connections()[0];
  EXPECT_EQ(c.inName, "In C");
  EXPECT_EQ(c.outName, "Out A");
  EXPECT_EQ(editor().Selected(), &c);
  EXPECT_TRUE(frame.DeleteEnabled());
  EXPECT_EQ(panelChanges, 1);

  editor().MouseDown(300, 95, true);  // empty space clears the selection
  editor().MouseUp(300, 95);
  EXPECT_EQ(editor().Selected(), nullptr);
  DragInToOut(2, 0);
  EXPECT_EQ(editor().Connections().size(), 1u);
  EXPECT_EQ(editor().Selected(), &c);
  // From the output side to an input makes the same kind of connection.
  Drag(510, RowY(1), 10, RowY(0));
  ASSERT_EQ(editor().Connections().size(), 2u);
  EXPECT_EQ(editor().Connections()[1]->inName, "In A");
  EXPECT_EQ(editor().Connections()[1]->outName, "Out B");
  EXPECT_EQ(panelChanges, 1);
  EXPECT_TRUE(router.GetRoutes().GetCount() == 0);  // nothing reaches the router before Apply
}

TEST_F(RouterEditorTest, ReleasedWithoutACompletePairChangesNothing) {
  int changes = 0;
  editor().OnChange = [&] { ++changes; };
  Drag(10, RowY(0), 300, 50);       // dropped between the columns
  Drag(10, RowY(0), 10, RowY(1));   // dropped on another input
  Drag(10, RowY(0), 510, RowY(2));  // below the output column's rows
  EXPECT_TRUE(editor().Connections().empty());
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(editor().Dragging());
}

TEST_F(RouterEditorTest, MovingAConnectionEndDropsTheConnectionItNowDuplicates) {
  DragInToOut(0, 1);  // first in the list: the first line near the point wins
  DragInToOut(0, 0);
  DragInToOut(1, 1);
  ASSERT_EQ(editor().Connections().size(), 3u);
  // Grab In A -> Out B near its input end (within the first fifth) and drop it on In B.
  const int x = 120 + 280 / 10;  // f = 0.1
  const int y = static_cast<int>(RowY(0) * 0.9 + RowY(1) * 0.1 + 0.5);
  EXPECT_EQ(editor().HitTest(x, y, true).zone, TRouterZone::LineInputEnd);
  Drag(x, y, 10, RowY(1));
  EXPECT_TRUE(messages.questions.empty());
  ASSERT_EQ(editor().Connections().size(), 2u);
  const TGUIRoute* moved = editor().Selected();
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(moved->inName, "In B");
  EXPECT_EQ(moved->outName, "Out B");
  EXPECT_EQ(editor().FindConnection(1, 1, true), nullptr);
}

// The columns are rebuilt in the middle of a drag (an alias made or deleted elsewhere): the
// drag stays with the port it began on, or ends without a change once that port went.
TEST_F(RouterEditorTest, ADragFollowsItsPortThroughARebuild) {
  editor().MouseDown(10, RowY(1), true);  // In B
  aliases.DeleteAlias(aliases.IndexOf("In A", makMidiIn));
  editor().RebuildAliases();
  editor().MouseMove(510, RowY(0));
  editor().MouseUp(510, RowY(0));
  ASSERT_EQ(editor().Connections().size(), 1u);
  EXPECT_EQ(editor().Connections()[0]->inName, "In B");

  editor().MouseDown(10, RowY(1), true);  // In C
  aliases.DeleteAlias(aliases.IndexOf("In C", makMidiIn));
  editor().RebuildAliases();
  EXPECT_FALSE(editor().Dragging());
  editor().MouseMove(510, RowY(1));
  editor().MouseUp(510, RowY(1));
  EXPECT_EQ(editor().Connections().size(), 1u);
  EXPECT_EQ(panelChanges, 1);
}

TEST_F(RouterEditorTest, LinesAreHitWithinFourPixelsAndNeverWithoutRoomBetweenColumns) {
  DragInToOut(2, 0);  // centre 90 to centre 18: 54 at the middle
  EXPECT_EQ(editor().HitTest(260, 58, true).zone, TRouterZone::Line);
  EXPECT_EQ(editor().HitTest(260, 50, true).zone, TRouterZone::Line);
  EXPECT_EQ(editor().HitTest(260, 59, true).zone, TRouterZone::Between);
  EXPECT_EQ(editor().HitTest(260, 49, true).zone, TRouterZone::Between);
  EXPECT_EQ(editor().HitTest(260, 54, false).zone, TRouterZone::Between);
  EXPECT_EQ(editor().HitTest(10, 80, true).zone, TRouterZone::InputRow);
  EXPECT_EQ(editor().HitTest(10, 80, true).index, 2);
  EXPECT_EQ(editor().HitTest(510, 80, true).zone, TRouterZone::OutputColumn);
  EXPECT_EQ(editor().HitTest(510, 120, true).zone, TRouterZone::Outside);
  EXPECT_EQ(TRouterEditor::CursorFor(TRouterZone::LineOutputEnd), TRouterCursor::VerticalArrows);

  editor().SetClientSize(240, 100);
  for (int x = 0; x < 240; ++x) {
    const TRouterZone zone = editor().HitTest(x, 54, true).zone;
    EXPECT_NE(zone, TRouterZone::Line) << x;
    EXPECT_NE(zone, TRouterZone::LineInputEnd) << x;
    EXPECT_NE(zone, TRouterZone::LineOutputEnd) << x;
  }
}

TEST_F(RouterEditorTest, DeleteKeyAsksUnlessShiftAndIgnoresCtrlOrAlt) {
  DragInToOut(0, 0);
  editor().KeyDelete(false, true, false);
  editor().KeyDelete(false, false, true);
  EXPECT_EQ(editor().Connections().size(), 1u);
  EXPECT_TRUE(messages.questions.empty());
  messages.answer = false;
  editor().KeyDelete(false, false, false);
  EXPECT_EQ(editor().Connections().size(), 1u);
  EXPECT_EQ(messages.questions.back(), "Do you really want to delete this connection?");
  editor().KeyDelete(true, false, false);
  EXPECT_TRUE(editor().Connections().empty());
  EXPECT_EQ(messages.questions.size(), 1u);
  EXPECT_FALSE(frame.DeleteEnabled());
  editor().KeyDelete(true, false, false);  // nothing selected: nothing happens
}

TEST_F(RouterEditorTest, ScrollingClampsAndOneWheelNotchMovesHalfARow) {
  for (int i = 0; i < 5; ++i) aliases.AddAlias("More " + std::to_string(i), "", makMidiIn, false);
  editor().RebuildAliases();
  ASSERT_EQ(editor().ContentHeight(), 8 * 36);
  editor().MouseWheel(-120);
  EXPECT_EQ(editor().ScrollOffset(), 18);
  EXPECT_EQ(editor().ScrollTo(10000), 8 * 36 - 100 - 18);
  EXPECT_EQ(editor().ScrollOffset(), 188);
  EXPECT_EQ(editor().ScrollTo(-5), -188);
  editor().ScrollBarRequest(TScrollRequest::PageDown, 0, 0);
  EXPECT_EQ(editor().ScrollOffset(), 100);
  editor().ScrollBarRequest(TScrollRequest::ThumbTrack, 40, 0);
  EXPECT_EQ(editor().ScrollOffset(), 40);

  // Scrolled by 40, input row 3 starts at 3 * 36 - 40 and the output icons sit at the right.
  editor().Layout();
  EXPECT_EQ(editor().Inputs()[3].labelTop, 68);
  EXPECT_EQ(editor().Inputs()[3].iconX, 88);
  EXPECT_EQ(editor().Inputs()[3].iconY, 70);
  EXPECT_EQ(editor().Outputs()[0].iconX, 400);
  EXPECT_EQ(editor().Outputs()[0].labelLeft, 433);
  EXPECT_EQ(editor().HitTest(10, 70, false).index, 3);

  // Dragging near the bottom edge scrolls while the mouse stays there.
  editor().MouseDown(10, RowY(2) - 40, true);
  editor().MouseMove(10, 97);
  EXPECT_EQ(editor().AutoScrollStep(), 3);
  editor().AutoScrollTick();
  EXPECT_EQ(editor().ScrollOffset(), 43);
  editor().MouseLeave();
  EXPECT_FALSE(editor().AutoScrolling());
}

TEST_F(RouterEditorTest, ConnectionsWithoutRowsAreSkippedUntilTheRowsFollow) {
  // A route to an output the columns do not show yet (the rebuild is posted, not run).
  TMidiAlias* late = aliases.Lookup("Late Out", makMidiOut, true);
  router.AddRoute(aliases.Lookup("In A", makMidiIn, false), late);
  router.AddRouteByNames("In B", "Out A");
  frame.LoadValues();
  ASSERT_EQ(editor().Connections().size(), 2u);
  TGUIRoute* orphan = editor().Connections()[0].get();
  EXPECT_EQ(orphan->outRow, -1);
  EXPECT_EQ(editor().Lines().size(), 1u);
  editor().SetFocused(true);
  editor().SelectConnection(orphan);
  EXPECT_EQ(editor().HighlightedInput(), 0);
  EXPECT_EQ(editor().HighlightedOutput(), -1);
  EXPECT_EQ(editor().Lines().size(), 1u);
  EXPECT_EQ(editor().HitTest(130, RowY(0), true).zone, TRouterZone::Between);

  // An alias deleted while the page shows drops its connections; the router keeps the route
  // until the page applies.
  editor().RebuildAliases();
  EXPECT_EQ(orphan->outRow, 2);
  aliases.DeleteAlias(aliases.IndexOf("In B", makMidiIn));
  editor().RebuildAliases();
  ASSERT_EQ(editor().Connections().size(), 1u);
  EXPECT_EQ(editor().Selected(), orphan);
}

TEST_F(RouterEditorTest, ApplyRevivesInvalidatedRoutesAndDeletesOnlyAfterAChange) {
  router.AddRouteByNames("In A", "Out A");
  router.AddRouteByNames("In B", "Out B");
  frame.LoadValues();
  ASSERT_EQ(editor().Connections().size(), 2u);
  TMidiRoute* first = &router.GetRoutes().GetRoute(0);
  router.DeleteRoute(0);  // invalidated behind the page's back
  ASSERT_FALSE(first->IsValid());

  frame.Apply(true);  // no change on the page: nothing is written
  EXPECT_FALSE(first->IsValid());

  editor().SelectConnection(editor().Connections()[1].get());
  frame.DeleteClick(true);
  EXPECT_EQ(panelChanges, 1);
  frame.Apply(true);
  EXPECT_TRUE(first->IsValid());
  EXPECT_EQ(first->GetInName(), "In A");
  EXPECT_FALSE(router.GetRoutes().GetRoute(1).IsValid());
  EXPECT_FALSE(frame.Changed());

  DragInToOut(2, 1);
  frame.Revert();
  EXPECT_EQ(editor().Connections().size(), 1u);
  EXPECT_TRUE(messages.errors.empty());
}

}  // namespace
}  // namespace kv
