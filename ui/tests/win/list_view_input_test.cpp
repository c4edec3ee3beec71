// The list view under real mouse and keyboard input: dragging rows inside the list, refusing
// an in-place rename, the keys a rename edit keeps from the form's shortcuts, the wheel, and
// the owner-data mode (rows drawn from providers).
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

// Whoever changes the rows ends an open rename first: it is over when EndEdit returns.
TEST_F(ListViewInputTest, EndEditTakesOrDropsTheNameAtOnce) {
  TListViewOptions o;
  o.editLabels = true;
  TListView& list = MakeList(3, 250, o);
  std::vector<std::pair<int, std::string>> renamed;
  int ended = 0;
  list.OnEdited = [&](int row, std::string& text, bool&) { renamed.emplace_back(row, text); };
  list.OnEditEnded = [&](int, bool) { ++ended; };
  auto typeInto = [&](int row) {
    list.EditLabel(row);
    EXPECT_TRUE(PumpUntil([&] { return list.Editing(); }));
    auto edit = reinterpret_cast<HWND>(list.Perform(LVM_GETEDITCONTROL));
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == edit; }));
    SendKey(VK_END);
    SendKey('X');
    EXPECT_TRUE(PumpUntil([&] { return GetWindowTextLengthW(edit) == 6; }));
  };
  list.EndEdit(true);  // nothing open: nothing happens
  typeInto(1);
  list.EndEdit(true);
  EXPECT_FALSE(list.Editing());
  EXPECT_EQ(renamed, (std::vector<std::pair<int, std::string>>{{1, "Row 1x"}}));
  EXPECT_EQ(list.ItemText(1), "Row 1x");
  EXPECT_EQ(GetFocus(), list.Handle());

  typeInto(2);
  list.EndEdit(false);
  EXPECT_FALSE(list.Editing());
  EXPECT_EQ(renamed.size(), 1u);
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(list.ItemText(2), "Row 2");
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

// --- owner-data mode ------------------------------------------------------------------------

// Rows the test holds, as an owner of a long list would: names and check marks.
struct TOwnedRows {
  std::vector<std::string> names;
  std::vector<bool> checks;
  int textCalls = 0;
  std::string Text(int row, int column) {
    ++textCalls;
    return column == 0 ? names[static_cast<size_t>(row)]
                       : "r" + std::to_string(row) + "c" + std::to_string(column);
  }
};

class OwnerDataListTest : public ListViewInputTest {
 protected:
  // A shown owner-data list of five columns over rows; made the way a form does it: created
  // and given columns first, then switched to owner data.
  TListView& MakeOwnedList(int count, TListViewOptions options = {}) {
    rows.names.clear();
    for (int i = 0; i < count; ++i) rows.names.push_back("Row " + std::to_string(i));
    rows.checks.assign(static_cast<size_t>(count), false);
    TListView& list =
        form.Add<TListView>(form, TRect::FromBounds(10, 10, 380, 260), options);
    for (const char* caption : {"Name", "#", "In", "Out", "Options"}) list.AddColumn(caption, 70);
    list.SetOwnerData([this](int row, int column) { return rows.Text(row, column); },
                      [this](int row) { return static_cast<bool>(rows.checks[static_cast<size_t>(row)]); });
    list.SetRowCount(count);
    form.Show();
    EXPECT_TRUE(MakeForeground(form.Handle()));
    list.SetFocus();
    return list;
  }

  // What another program reads with the list's own messages.
  static std::string CellText(const TListView& list, int row, int column) {
    wchar_t buffer[128] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 128;
    const auto n = list.Perform(LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                reinterpret_cast<LPARAM>(&item));
    return std::string(buffer, buffer + n);
  }
  static bool CheckShown(const TListView& list, int row) {
    return (list.Perform(LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK) >> 12) ==
           2;
  }

  TOwnedRows rows;
};

TEST_F(OwnerDataListTest, RowsComeFromTheProvidersAsTheyAreDrawnOrRead) {
  TListViewOptions o;
  o.checkBoxes = true;
  TListView& list = MakeOwnedList(4096, o);
  rows.checks[4000] = true;
  EXPECT_TRUE(list.OwnerData());
  EXPECT_EQ(list.Count(), 4096);
  EXPECT_EQ(list.ColumnCount(), 5);  // the columns survived the switch
  EXPECT_EQ(list.Left(), 10);
  testing::PumpFor(200);
  UpdateWindow(list.Handle());
  EXPECT_GT(rows.textCalls, 0);
  EXPECT_LT(rows.textCalls, 1000);  // only the rows in sight were asked for

  EXPECT_EQ(CellText(list, 4000, 0), "Row 4000");
  EXPECT_EQ(CellText(list, 4095, 4), "r4095c4");
  EXPECT_EQ(list.ItemText(17, 3), "r17c3");
  EXPECT_TRUE(CheckShown(list, 4000));
  EXPECT_FALSE(CheckShown(list, 3999));
  EXPECT_TRUE(list.Checked(4000));
  // Found by its caption, as typing its first letters does.
  LVFINDINFOW find{};
  find.flags = LVFI_STRING;
  find.psz = L"ROW 4093";
  EXPECT_EQ(list.Perform(LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)),
            4093);

  rows.names.resize(8192, "more");
  rows.checks.resize(8192, false);
  list.SetRowCount(8192);
  EXPECT_EQ(list.Count(), 8192);
  EXPECT_EQ(CellText(list, 8191, 0), "more");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(OwnerDataListTest, ACheckBoxClickOrSpaceAsksTheOwnerWhichDecides) {
  TListViewOptions o;
  o.checkBoxes = true;
  TListView& list = MakeOwnedList(5, o);
  std::vector<std::pair<int, bool>> asked;
  bool store = true;
  list.OnItemChecked = [&](int row, bool checked) {
    asked.emplace_back(row, checked);
    if (store) rows.checks[static_cast<size_t>(row)] = checked;
    list.RefreshRows(row, row);
  };
  testing::PumpFor(100);

  // The check box is left of the name: the first point of the row that hits it.
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  list.Perform(LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&bounds));
  LVHITTESTINFO hit{};
  hit.pt = {bounds.left, (bounds.top + bounds.bottom) / 2};
  while (hit.pt.x < bounds.right) {
    hit.flags = 0;
    list.Perform(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if ((hit.flags & LVHT_ONITEM) == LVHT_ONITEMSTATEICON) break;
    ++hit.pt.x;
  }
  ASSERT_EQ(hit.flags & LVHT_ONITEM, static_cast<UINT>(LVHT_ONITEMSTATEICON));
  POINT box = {hit.pt.x + 3, hit.pt.y};
  ClientToScreen(list.Handle(), &box);
  ASSERT_TRUE(MoveTo(box));
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return asked.size() == 1; }));
  EXPECT_EQ(asked[0], std::make_pair(2, true));
  // A click on the row's text selects it and leaves its check box alone.
  RECT third{};
  third.left = LVIR_BOUNDS;
  list.Perform(LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&third));
  POINT text = {(third.left + third.right) / 2, (third.top + third.bottom) / 2};
  ClientToScreen(list.Handle(), &text);
  ASSERT_TRUE(MoveTo(text));
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return list.Selected(3); }));
  testing::PumpFor(50);
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_TRUE(CheckShown(list, 2));

  list.SetItemIndex(4);
  store = false;  // the owner refuses: the mark stays as the owner holds it
  SendKey(VK_SPACE);
  ASSERT_TRUE(PumpUntil([&] { return asked.size() == 2; }));
  EXPECT_EQ(asked[1], std::make_pair(4, true));
  EXPECT_FALSE(list.Checked(4));
  EXPECT_FALSE(CheckShown(list, 4));

  list.SetChecked(1, true);  // only redraws: the owner holds the marks
  EXPECT_FALSE(list.Checked(1));
  EXPECT_EQ(asked.size(), 2u);

  // Another program sets the check image as in any list: the owner is asked too, once.
  store = true;
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(2);
  SendMessageW(list.Handle(), LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&item));
  SendMessageW(list.Handle(), LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&item));
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[2], std::make_pair(3, true));
  EXPECT_TRUE(list.Checked(3));
}

TEST_F(OwnerDataListTest, SelectionAndRenamingWork) {
  TListViewOptions o;
  o.multiSelect = true;
  o.editLabels = true;
  TListView& list = MakeOwnedList(300, o);
  std::vector<std::pair<int, bool>> selections;
  list.OnSelectItem = [&](int row, bool selected) { selections.emplace_back(row, selected); };

  list.SetItemIndex(5);
  EXPECT_EQ(list.ItemIndex(), 5);
  EXPECT_TRUE(list.Selected(5));
  EXPECT_EQ(list.SelectedCount(), 1);
  EXPECT_EQ(selections.back(), std::make_pair(5, true));
  list.SetSelected(7, true);
  EXPECT_EQ(list.SelectedCount(), 2);
  selections.clear();
  list.SelectAll();
  EXPECT_EQ(list.SelectedCount(), 300);
  EXPECT_EQ(selections, (std::vector<std::pair<int, bool>>{{-1, true}}));  // one report
  selections.clear();
  list.SetItemIndex(250);
  EXPECT_EQ(list.SelectedCount(), 1);
  ASSERT_FALSE(selections.empty());
  EXPECT_EQ(selections.front(), std::make_pair(-1, false));
  list.EnsureVisible(250);
  EXPECT_LE(list.TopIndex(), 250);
  EXPECT_GT(list.TopIndex() + list.VisibleRowCount(), 250);
  // A range of most rows, and of a few, keeps the focus where it is.
  list.SelectRange(100, 299);
  EXPECT_EQ(list.SelectedCount(), 200);
  EXPECT_FALSE(list.Selected(99));
  EXPECT_TRUE(list.Selected(100) && list.Selected(299));
  list.SelectRange(3, 4);
  EXPECT_EQ(list.SelectedCount(), 2);
  EXPECT_TRUE(list.Selected(3) && list.Selected(4));
  EXPECT_EQ(list.Perform(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 250);

  // A range with Shift is reported too.
  list.SetItemIndex(250);
  ASSERT_TRUE(MoveTo(RowPoint(list, 250)));
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return list.ItemIndex() == 250; }));
  selections.clear();
  SendKey(VK_DOWN, false, true);
  SendKey(VK_DOWN, false, true);
  ASSERT_TRUE(PumpUntil([&] { return list.SelectedCount() == 3; }));
  EXPECT_FALSE(selections.empty());

  std::string renamed;
  list.OnEdited = [&](int row, std::string& text, bool& accept) {
    rows.names[static_cast<size_t>(row)] = text;  // the owner stores the name
    renamed = text;
    accept = true;
  };
  list.EditLabel(251);
  ASSERT_TRUE(PumpUntil([&] { return list.Editing(); }));
  auto edit = reinterpret_cast<HWND>(list.Perform(LVM_GETEDITCONTROL));
  wchar_t shown[64] = {};
  GetWindowTextW(edit, shown, 64);
  EXPECT_EQ(std::wstring(shown), L"Row 251");
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit; }));
  SendKey(VK_END);
  SendKey('X');
  SendKey(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return !renamed.empty(); }));
  EXPECT_EQ(renamed, "Row 251x");
  EXPECT_EQ(CellText(list, 251, 0), "Row 251x");
}

TEST_F(OwnerDataListTest, DraggingRowsReportsTheDrop) {
  TListView& list = MakeOwnedList(6);
  std::vector<std::pair<int, int>> drops;
  list.OnDragDrop = [&](int source, int target) { drops.emplace_back(source, target); };
  ASSERT_TRUE(PressAndStartDrag(list, 1));
  ASSERT_TRUE(MoveTo(RowPoint(list, 4)));
  ASSERT_TRUE(PumpUntil([&] { return list.DropTarget() == 4; }));
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !drops.empty(); }));
  EXPECT_EQ(drops, (std::vector<std::pair<int, int>>{{1, 4}}));
}

}  // namespace
}  // namespace kv::ui
