// The list view under real mouse and keyboard input: dragging rows inside the list, refusing
// an in-place rename, the keys a rename edit keeps from the form's shortcuts, and the wheel.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/application.h"
#include "ui/button.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/list_view.h"
#include "ui/tests/win/ui_test_support.h"

namespace kv::ui {
namespace {

using testing::MakeForeground;
using testing::PumpUntil;
using testing::SendKey;

void SendMouse(DWORD flags, int screenX = 0, int screenY = 0, int wheel = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_MOVE) {
    in.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
    in.mi.dx = MulDiv(screenX, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(screenY, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  in.mi.mouseData = static_cast<DWORD>(wheel);
  SendInput(1, &in, sizeof(in));
}

// Records what reaches a window before the layer sees it: the insertion marks the list view
// is given (Wine's list view does not answer LVM_GETINSERTMARK).
class TMessageSpy {
 public:
  explicit TMessageSpy(HWND hwnd) : hwnd_(hwnd) {
    SetWindowSubclass(hwnd_, &Proc, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  ~TMessageSpy() { RemoveWindowSubclass(hwnd_, &Proc, 1); }
  std::vector<LVINSERTMARK> marks;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<TMessageSpy*>(ref);
    if (msg == LVM_SETINSERTMARK) self->marks.push_back(*reinterpret_cast<LVINSERTMARK*>(lp));
    return DefSubclassProc(hwnd, msg, wp, lp);
  }
  HWND hwnd_;
};

class ListViewInputTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application().Initialize(); }
  ListViewInputTest() : form(testing::FormParams("Lists", TRect::FromBounds(100, 100, 500, 420))) {}

  // A shown list of rows "Row 0" ... in a foreground form, with the focus.
  TListView& MakeList(int rows, int height = 250, TListViewOptions options = {}) {
    TListView& list =
        form.Add<TListView>(form, TRect::FromBounds(10, 10, 300, 10 + height), options);
    list.AddColumn("Name", 200);
    for (int i = 0; i < rows; ++i) list.AddItem("Row " + std::to_string(i));
    form.Show();
    EXPECT_TRUE(MakeForeground(form.Handle()));
    list.SetFocus();
    return list;
  }

  // The screen point in the middle of a row's first column.
  static POINT RowPoint(const TListView& list, int row) {
    RECT r{};
    r.left = LVIR_LABEL;
    list.Perform(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(list.Handle(), &p);
    return p;
  }

  // Moves the pointer and waits until it got there.
  static bool MoveTo(POINT p) {
    SendMouse(MOUSEEVENTF_MOVE, p.x, p.y);
    return PumpUntil([&] {
      POINT now;
      GetCursorPos(&now);
      return std::abs(now.x - p.x) <= 1 && std::abs(now.y - p.y) <= 1;
    });
  }

  // Presses on the row and moves down by steps until the list reports a drag.
  static bool PressAndStartDrag(TListView& list, int row) {
    POINT p = RowPoint(list, row);
    if (!MoveTo(p)) return false;
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    for (int step = 1; step <= 6 && !list.Dragging(); ++step) {
      if (!MoveTo({p.x + 3 * step, p.y + step})) return false;
      PumpUntil([&] { return list.Dragging(); }, 300);
    }
    return PumpUntil([&] { return list.Dragging(); });
  }

  // A form action on a shortcut that counts its runs.
  void CountShortCut(const char* shortCut, int& runs) {
    TAction& action = form.Actions().Add(shortCut);
    action.SetShortCut(TextToShortCut(shortCut));
    action.OnExecute = [&runs] { ++runs; };
  }

  void TearDown() override {
    SendMouse(MOUSEEVENTF_LEFTUP);  // never leave a button held for the next test
    PumpUntil([] { return GetCapture() == nullptr; }, 2000);
  }

  TForm form;
};

TEST_F(ListViewInputTest, DraggingARowMarksTheTargetAndDropsWithBothRows) {
  TListView& list = MakeList(6);
  std::vector<std::pair<int, int>> drops;
  list.OnDragDrop = [&](int source, int target) { drops.emplace_back(source, target); };

  TMessageSpy spy(list.Handle());
  auto lastMark = [&] { return spy.marks.empty() ? LVINSERTMARK{} : spy.marks.back(); };
  ASSERT_TRUE(PressAndStartDrag(list, 1));
  EXPECT_EQ(GetCapture(), list.Handle());
  ASSERT_TRUE(MoveTo(RowPoint(list, 4)));
  ASSERT_TRUE(PumpUntil([&] { return list.DropTarget() == 4; }));
  EXPECT_EQ(lastMark().iItem, 4);
  EXPECT_EQ(lastMark().dwFlags, static_cast<DWORD>(LVIM_AFTER));  // down: after the target
  ASSERT_TRUE(MoveTo(RowPoint(list, 0)));
  ASSERT_TRUE(PumpUntil([&] { return list.DropTarget() == 0; }));
  EXPECT_EQ(lastMark().iItem, 0);
  EXPECT_EQ(lastMark().dwFlags, 0u);  // up: before it

  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !drops.empty(); }));
  EXPECT_EQ(drops, (std::vector<std::pair<int, int>>{{1, 0}}));
  EXPECT_FALSE(list.Dragging());
  EXPECT_EQ(lastMark().iItem, -1);  // the mark is gone
  EXPECT_EQ(GetCapture(), nullptr);

  // The list answers a plain click as before.
  ASSERT_TRUE(MoveTo(RowPoint(list, 3)));
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return list.ItemIndex() == 3; }));
  EXPECT_EQ(drops.size(), 1u);
}

TEST_F(ListViewInputTest, DropsOnTheSameRowOnNoRowOrAfterEscapeAreNotReported) {
  TListView& list = MakeList(4);
  int cancels = 0;
  TButton& cancel = form.Add<TButton>(form, "Cancel", TRect::FromBounds(320, 10, 390, 35));
  cancel.OnClick = [&] { ++cancels; };
  form.SetCancelButton(&cancel);
  int drops = 0;
  list.OnDragDrop = [&](int, int) { ++drops; };

  ASSERT_TRUE(PressAndStartDrag(list, 2));
  ASSERT_TRUE(MoveTo(RowPoint(list, 2)));
  SendMouse(MOUSEEVENTF_LEFTUP);  // back onto itself
  ASSERT_TRUE(PumpUntil([&] { return !list.Dragging(); }));

  ASSERT_TRUE(PressAndStartDrag(list, 0));
  POINT below = RowPoint(list, 3);
  below.y += 60;  // empty space under the last row
  ASSERT_TRUE(MoveTo(below));
  ASSERT_TRUE(PumpUntil([&] { return list.DropTarget() == -1; }));
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !list.Dragging(); }));

  ASSERT_TRUE(PressAndStartDrag(list, 1));  // another row: a press where the last one was
                                            // would be a double click
  ASSERT_TRUE(MoveTo(RowPoint(list, 2)));
  ASSERT_TRUE(PumpUntil([&] { return list.DropTarget() == 2; }));
  SendKey(VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !list.Dragging(); }));
  EXPECT_EQ(cancels, 0);  // Escape was the list's, not the form's cancel button's
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([] { return GetCapture() == nullptr; }));

  EXPECT_EQ(drops, 0);
}

TEST_F(ListViewInputTest, NoDragStartsWithoutADropHandlerOrWhenRefused) {
  TListView& list = MakeList(4);
  int asked = 0;
  list.OnStartDrag = [&](int source, bool& allow) {
    ++asked;
    allow = source != 1;
  };
  list.BeginDrag(2);  // no drop handler: nothing to drag for
  EXPECT_FALSE(list.Dragging());
  EXPECT_EQ(asked, 0);

  list.OnDragDrop = [](int, int) {};
  list.BeginDrag(1);
  EXPECT_FALSE(list.Dragging());
  EXPECT_EQ(asked, 1);
  list.BeginDrag(7);  // no such row
  EXPECT_FALSE(list.Dragging());
  list.BeginDrag(2);
  EXPECT_TRUE(list.Dragging());
  list.CancelDrag();
  EXPECT_FALSE(list.Dragging());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ListViewInputTest, HoldingThePointerAtTheBottomEdgeScrollsToLaterRows) {
  TListView& list = MakeList(60, 120);
  std::vector<std::pair<int, int>> drops;
  list.OnDragDrop = [&](int source, int target) { drops.emplace_back(source, target); };
  const int visible = list.VisibleRowCount();
  ASSERT_LT(visible, 20);

  ASSERT_TRUE(PressAndStartDrag(list, 0));
  POINT edge = RowPoint(list, 0);
  edge.y = list.ClientToScreen({0, list.ClientRect().bottom - 3}).y;
  ASSERT_TRUE(MoveTo(edge));
  ASSERT_TRUE(PumpUntil([&] { return list.TopIndex() >= 10; }));
  // Back to the middle: the scrolling stops on a row that was out of sight.
  POINT middle = edge;
  middle.y = list.ClientToScreen({0, list.ClientRect().bottom / 2 + 10}).y;
  ASSERT_TRUE(MoveTo(middle));
  const TPoint client = list.ScreenToClient({middle.x, middle.y});
  int under = -1;
  ASSERT_TRUE(PumpUntil([&] {
    under = list.ItemAt(client.x, client.y);
    return under >= visible && list.DropTarget() == under;
  }));
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !drops.empty(); }));
  EXPECT_EQ(drops[0], std::make_pair(0, under));
}

TEST_F(ListViewInputTest, ARenameTheHandlerRefusesNeverStarts) {
  TListViewOptions o;
  o.editLabels = true;
  TListView& list = MakeList(3, 250, o);
  std::vector<int> asked;
  list.OnEditing = [&](int index, bool& allow) {
    asked.push_back(index);
    allow = list.ItemText(index) != "Row 1";
  };
  auto editing = [&] { return list.Editing(); };
  list.EditLabel(1);
  EXPECT_FALSE(editing());
  list.EditLabel(0);
  ASSERT_TRUE(PumpUntil(editing));
  SendKey(VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !editing(); }));
  EXPECT_EQ(asked, (std::vector<int>{1, 0}));
}

TEST_F(ListViewInputTest, DelWhileRenamingDeletesACharacterNotTheRow) {
  TListViewOptions o;
  o.editLabels = true;
  TListView& list = MakeList(3, 250, o);
  int deletes = 0, duplicates = 0;
  CountShortCut("Del", deletes);
  CountShortCut("Ctrl+D", duplicates);
  std::string renamed;
  list.OnEdited = [&](int, std::string& text, bool&) { renamed = text; };

  list.EditLabel(1);
  ASSERT_TRUE(PumpUntil([&] { return list.Editing(); }));
  auto edit = reinterpret_cast<HWND>(list.Perform(LVM_GETEDITCONTROL));
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit; }));
  SendKey(VK_HOME);
  SendKey(VK_DELETE);  // "Row 1" -> "ow 1"
  SendKey('D', true);  // a command key still reaches the form
  ASSERT_TRUE(PumpUntil([&] { return duplicates == 1; }));
  SendKey(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return !renamed.empty(); }));
  EXPECT_EQ(renamed, "ow 1");
  EXPECT_EQ(deletes, 0);
  EXPECT_EQ(list.Count(), 3);

  // With the list itself focused, Del is the form's again.
  list.SetFocus();
  SendKey(VK_DELETE);
  ASSERT_TRUE(PumpUntil([&] { return deletes == 1; }));
}

TEST_F(ListViewInputTest, AnEditKeepsItsEditingKeys) {
  TEdit& edit = form.Add<TEdit>(form, TRect::FromBounds(10, 270, 200, 294));
  edit.SetText("abc");
  int stolen = 0;
  CountShortCut("Del", stolen);
  CountShortCut("Ctrl+C", stolen);
  form.Show();
  ASSERT_TRUE(MakeForeground(form.Handle()));
  edit.SetFocus();
  edit.SetSelection(0, 0);
  SendKey(VK_DELETE);
  SendKey('C', true);
  SendKey('X');
  ASSERT_TRUE(PumpUntil([&] { return edit.Text() == "xbc"; }));
  EXPECT_EQ(stolen, 0);
}

TEST_F(ListViewInputTest, TheWheelIsReportedAndMayBeTakenFromTheList) {
  TListView& list = MakeList(60, 120);
  std::vector<int> deltas;
  bool take = true;
  list.OnMouseWheel = [&](int delta, TShiftState, TPoint, bool& handled) {
    deltas.push_back(delta);
    handled = take;
  };
  ASSERT_TRUE(MoveTo(RowPoint(list, 1)));
  SendMouse(MOUSEEVENTF_WHEEL, 0, 0, -WHEEL_DELTA);
  ASSERT_TRUE(PumpUntil([&] { return deltas.size() == 1; }));
  EXPECT_EQ(list.TopIndex(), 0);  // taken: the list did not scroll
  take = false;
  SendMouse(MOUSEEVENTF_WHEEL, 0, 0, -WHEEL_DELTA);
  ASSERT_TRUE(PumpUntil([&] { return list.TopIndex() > 0; }));
  EXPECT_EQ(deltas, (std::vector<int>{-WHEEL_DELTA, -WHEEL_DELTA}));
}

}  // namespace
}  // namespace kv::ui
