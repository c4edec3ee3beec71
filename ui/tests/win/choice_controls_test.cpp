// Mnemonic labels, radio groups, list boxes and track bars, driven by real keyboard and mouse
// input through the dialog manager.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ui/application.h"
#include "ui/canvas.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/radio_group.h"
#include "ui/tests/win/ui_test_support.h"
#include "ui/track_bar.h"

namespace kv::ui {
namespace {

using testing::MakeForeground;
using testing::PumpUntil;
using testing::SendAltKey;
using testing::SendKey;

// Left clicks at a point of a window's client area (two make a double-click).
void ClickAt(const TWindow& window, TPoint client, int clicks = 1) {
  TPoint screen = window.ClientToScreen(client);
  SetCursorPos(screen.x, screen.y);
  std::vector<INPUT> in;
  for (int i = 0; i < clicks; ++i) {
    INPUT down{};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    INPUT up = down;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    in.push_back(down);
    in.push_back(up);
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

TPoint CentreOf(const TWindow& child) {
  TRect r = child.BoundsRect();
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class ChoiceControlsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application().Initialize(); }
  ChoiceControlsTest() : form(Params()) {
    form.Show();
    SetWindowPos(form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_TRUE(MakeForeground(form.Handle()));
  }
  static TFormParams Params() {
    TFormParams p;
    p.caption = "Choices";
    p.bounds = TRect::FromBounds(60, 60, 460, 360);
    return p;
  }
  TForm form;
};

TEST_F(ChoiceControlsTest, MnemonicOfALabelFocusesTheControlAfterIt) {
  TEdit& first = form.Add<TEdit>(form, TRect::FromBounds(100, 10, 120, 22));
  TLabel& name = form.Add<TLabel>(form, "&Name:", TRect::FromBounds(10, 42, 80, 18));
  name.SetShowAccelChar(true);
  TEdit& nameEdit = form.Add<TEdit>(form, TRect::FromBounds(100, 40, 120, 22));
  // "&" of a label that shows it as text is no mnemonic.
  form.Add<TLabel>(form, "&Port", TRect::FromBounds(10, 72, 80, 18));
  TEdit& portEdit = form.Add<TEdit>(form, TRect::FromBounds(100, 70, 120, 22));
  bool portEntered = false;
  portEdit.OnEnter = [&] { portEntered = true; };

  first.SetFocus();
  SendAltKey('P');
  SendAltKey('N');
  EXPECT_TRUE(PumpUntil([&] { return nameEdit.Focused(); }));
  EXPECT_FALSE(portEntered);
  EXPECT_FALSE(name.Focused());

  // From a later control the same key goes back to the labelled one.
  portEdit.SetFocus();
  SendAltKey('N');
  EXPECT_TRUE(PumpUntil([&] { return nameEdit.Focused(); }));
}

TEST_F(ChoiceControlsTest, MnemonicLabelUnderlinesItsKey) {
  // The same text with and without the mnemonic differ only by the underline.
  TLabel& marked = form.Add<TLabel>(form, "&Name:", TRect::FromBounds(10, 10, 80, 20));
  marked.SetShowAccelChar(true);
  TLabel& plain = form.Add<TLabel>(form, "Name:", TRect::FromBounds(10, 40, 80, 20));
  std::vector<int> rows;
  ASSERT_TRUE(PumpUntil([&] {
    form.Update();
    rows.clear();
    TWindowCanvas a(marked.Handle());
    TWindowCanvas b(plain.Handle());
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 80; ++x) {
        if (a.Pixel(x, y) != b.Pixel(x, y)) rows.push_back(y);
      }
    }
    return rows.size() >= 3;
  }));
  // A horizontal stroke: the differing pixels lie on one or two rows at the bottom of the text.
  EXPECT_LE(rows.back() - rows.front(), 1);
  EXPECT_GE(rows.front(), 8);
}

TEST_F(ChoiceControlsTest, RadioGroupChoosesByClickArrowsAndCode) {
  TEdit& before = form.Add<TEdit>(form, TRect::FromBounds(10, 10, 120, 22));
  TRadioGroup& group =
      form.Add<TRadioGroup>(form, "Number of ports", TRect::FromBounds(10, 40, 200, 130));
  group.SetItems({"1 port", "2 ports", "3 ports", "4 ports"});
  std::vector<int> changes;
  std::vector<int> doubles;
  group.OnChange = [&] { changes.push_back(group.ItemIndex()); };
  group.OnItemDblClick = [&](int i) { doubles.push_back(i); };
  EXPECT_EQ(group.Count(), 4);
  EXPECT_EQ(group.Item(2), "3 ports");
  EXPECT_EQ(group.ItemIndex(), -1);

  group.SetItemIndex(1);  // in code: no event
  EXPECT_EQ(group.ItemIndex(), 1);
  EXPECT_TRUE(changes.empty());
  group.SetItemIndex(7);  // no such item: none chosen
  EXPECT_EQ(group.ItemIndex(), -1);
  group.SetItemIndex(1);

  // Tab reaches the chosen button; the arrow keys move the choice.
  before.SetFocus();
  SendKey(VK_TAB);
  SendKey(VK_DOWN);
  ASSERT_TRUE(PumpUntil([&] { return !changes.empty(); }));
  EXPECT_EQ(changes, std::vector<int>{2});

  // A click on another button, then a double-click on it.
  form.Update();
  HWND third = GetWindow(group.Handle(), GW_CHILD);
  for (int i = 0; i < 3 && third; ++i) third = GetWindow(third, GW_HWNDNEXT);
  ASSERT_NE(third, nullptr);
  TWindow* button = TWindow::FromHandle(third);
  ASSERT_NE(button, nullptr);
  ClickAt(group, {CentreOf(*button).x - 60, CentreOf(*button).y});
  ASSERT_TRUE(PumpUntil([&] { return changes.size() == 2; }));
  EXPECT_EQ(changes.back(), 3);
  ClickAt(group, {CentreOf(*button).x - 60, CentreOf(*button).y}, 2);
  ASSERT_TRUE(PumpUntil([&] { return !doubles.empty(); }));
  EXPECT_EQ(doubles, std::vector<int>{3});

  // Removing items keeps the choice on its item.
  group.Delete(0);
  EXPECT_EQ(group.ItemIndex(), 2);
  EXPECT_EQ(group.Item(2), "4 ports");
  group.Delete(2);
  EXPECT_EQ(group.ItemIndex(), -1);
  EXPECT_EQ(group.Count(), 2);

  // An item's mnemonic chooses it.
  EXPECT_EQ(group.Add("&Serial port"), 2);
  changes.clear();
  SendAltKey('S');
  ASSERT_TRUE(PumpUntil([&] { return !changes.empty(); }));
  EXPECT_EQ(changes, std::vector<int>{2});
}

TEST_F(ChoiceControlsTest, DisabledRadioGroupGreysItsButtons) {
  TRadioGroup& group = form.Add<TRadioGroup>(form, "Kind", TRect::FromBounds(10, 10, 200, 90));
  group.SetItems({"MIDI IN", "MIDI OUT"});
  group.SetItemEnabled(1, false);
  auto buttonEnabled = [&](int i) {
    HWND h = GetWindow(group.Handle(), GW_CHILD);
    for (int k = 0; k < i; ++k) h = GetWindow(h, GW_HWNDNEXT);
    return IsWindowEnabled(h) != FALSE;
  };
  EXPECT_TRUE(buttonEnabled(0));
  EXPECT_FALSE(buttonEnabled(1));
  group.SetEnabled(false);
  EXPECT_FALSE(buttonEnabled(0));
  group.SetEnabled(true);
  EXPECT_TRUE(buttonEnabled(0));
  EXPECT_FALSE(buttonEnabled(1));  // the item's own state is kept
  group.Add("Serial");
  EXPECT_TRUE(buttonEnabled(2));
}

TEST_F(ChoiceControlsTest, ListBoxItemsSelectionAndEvents) {
  TListBox& list = form.Add<TListBox>(form, TRect::FromBounds(10, 10, 200, 150));
  std::vector<int> changes;
  std::vector<int> doubles;
  list.OnChange = [&] { changes.push_back(list.ItemIndex()); };
  list.OnItemDblClick = [&](int i) { doubles.push_back(i); };
  list.Add("Note On", 10);
  list.Add("Note Off", 20);
  list.Add("Control Change", 30);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.ItemData(2), 30);
  EXPECT_EQ(list.IndexOf("note off"), 1);
  EXPECT_EQ(list.ItemIndex(), -1);

  // The selection follows its item through inserts, edits and deletes; code fires nothing.
  list.SetItemIndex(1);
  list.Insert(0, "Program Change", 40);
  EXPECT_EQ(list.ItemIndex(), 2);
  EXPECT_EQ(list.Item(2), "Note Off");
  list.SetItem(2, "Note Off ch 2");
  EXPECT_EQ(list.ItemIndex(), 2);
  EXPECT_EQ(list.ItemData(2), 20);
  list.Delete(0);
  EXPECT_EQ(list.ItemIndex(), 1);
  list.Delete(1);
  EXPECT_EQ(list.ItemIndex(), -1);
  list.Delete(9);  // no such item
  EXPECT_EQ(list.Count(), 2);
  EXPECT_TRUE(changes.empty());
  list.SetItems({"a", "b", "c", "d"});
  list.SetItemIndex(0);

  // A click on the selected item changes nothing; the arrow keys select and report.
  form.Update();
  TRect first{};
  list.Perform(LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  ClickAt(list, {50, first.top + 2});
  SendKey(VK_DOWN);
  ASSERT_TRUE(PumpUntil([&] { return !changes.empty(); }));
  EXPECT_EQ(changes, std::vector<int>{1});
  EXPECT_EQ(list.ItemIndex(), 1);

  // A double-click below the last item does nothing; one on an item names it.
  ClickAt(list, {50, 130}, 2);
  TRect itemRect{};
  list.Perform(LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&itemRect));
  EXPECT_EQ(list.ItemAt(50, 130), -1);
  EXPECT_EQ(list.ItemAt(50, itemRect.top + 2), 2);
  ClickAt(list, {50, itemRect.top + 2}, 2);
  ASSERT_TRUE(PumpUntil([&] { return !doubles.empty(); }));
  EXPECT_EQ(doubles, std::vector<int>{2});
  EXPECT_EQ(list.ItemIndex(), 2);
}

TEST_F(ChoiceControlsTest, TrackBarStepsByLineAndPageAndReportsChanges) {
  TTrackBar& bar = form.Add<TTrackBar>(form, TRect::FromBounds(10, 10, 300, 40));
  bar.SetRange({0, 20, 5, 1, 5, 5});
  EXPECT_EQ(bar.Position(), 5);
  EXPECT_EQ(bar.TickCount(), 5);  // 5, 10 and 15 between the two ends
  std::vector<int> changes;
  bar.OnChange = [&](int p) { changes.push_back(p); };

  bar.SetFocus();
  SendKey(VK_RIGHT);
  SendKey(VK_NEXT);
  SendKey(VK_END);
  SendKey(VK_RIGHT);  // already at the end: no change to report
  SendKey(VK_HOME);
  ASSERT_TRUE(PumpUntil([&] { return changes.size() >= 4; }));
  EXPECT_EQ(changes, (std::vector<int>{6, 11, 20, 0}));

  // Code is clamped and reports nothing; a reversed range is made whole.
  bar.SetPosition(99);
  EXPECT_EQ(bar.Position(), 20);
  bar.SetMinMax(30, 10);
  EXPECT_EQ(bar.Min(), 30);
  EXPECT_EQ(bar.Max(), 30);
  EXPECT_EQ(bar.Position(), 30);
  bar.SetMinMax(0, 1000000);
  bar.SetFrequency(1);  // a mark per position would be a million messages
  EXPECT_LE(bar.TickCount(), kMaxInnerTicks + 2);
  EXPECT_EQ(changes.size(), 4u);
}

}  // namespace
}  // namespace kv::ui
