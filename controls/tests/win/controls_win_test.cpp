// The controls driven through their windows under Wine: real messages and input, state
// checked, and the drawing checked at a few pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include "controls/tests/win/win_test_support.h"
#include "controls/text_editor/win/text_editor_window.h"
#include "controls/win/img_control.h"
#include "controls/win/shadow_panel.h"
#include "controls/win/vk_edit.h"
#include "controls/win/zarn_list_view.h"
#include "ui/canvas.h"
#include "ui/tests/win/ui_test_support.h"

namespace kv {
namespace {

using test::Pump;
using test::PumpUntil;
using test::ScreenPixel;

void Char(TZarnMemo& m, wchar_t c) {
  SendMessageW(m.Handle(), WM_CHAR, c, 1);
}
void Key(TZarnMemo& m, WORD vk) {
  SendMessageW(m.Handle(), WM_KEYDOWN, vk, 1);
  SendMessageW(m.Handle(), WM_KEYUP, vk, 0xC0000001);
}

TEST(ZarnMemoWindow, TypesEditsAndScrollsThroughMessages) {
  auto form = test::MakeForm();
  auto& memo = form->Add<TZarnMemo>(*form, ui::TRect::FromBounds(10, 10, 400, 200));
  memo.SetFocus();
  for (wchar_t c : std::wstring(L"ab cd")) Char(memo, c);
  Key(memo, VK_RETURN);
  Char(memo, L'x');
  EXPECT_EQ(memo.Lines().Text(), "ab cd\r\nx");
  EXPECT_EQ(memo.Caret(), (TZNPos{1, 1}));
  std::string text;
  for (int i = 0; i < 200; ++i) text += "line\r\n";
  memo.Lines().SetText(text);
  SendMessageW(memo.Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(memo.TopLine(), memo.VisibleLines());
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(memo.Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nPos, memo.TopLine());
  EXPECT_EQ(si.nMax, 199);
  SendMessageW(memo.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  EXPECT_EQ(memo.TopLine(), memo.VisibleLines() - 3);
}

TEST(ZarnMemoWindow, AnotherProgramReadsTheTextAsOfAnEdit) {
  auto form = test::MakeForm();
  auto& memo = form->Add<TZarnMemo>(*form, ui::TRect::FromBounds(10, 10, 400, 200));
  memo.Lines().SetText("first\r\nzwei \xFC");  // bytes as stored files hold them
  EXPECT_EQ(SendMessageW(memo.Handle(), WM_GETTEXTLENGTH, 0, 0), 13);
  wchar_t buffer[32];
  EXPECT_EQ(SendMessageW(memo.Handle(), WM_GETTEXT, 32, reinterpret_cast<LPARAM>(buffer)), 13);
  EXPECT_STREQ(buffer, L"first\r\nzwei \u00FC");
  // A buffer too small takes what fits, always terminated.
  EXPECT_EQ(SendMessageW(memo.Handle(), WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_STREQ(buffer, L"fir");
}

TEST(ZarnMemoWindow, ClipboardRoundTrip) {
  auto form = test::MakeForm();
  auto& memo = form->Add<TZarnMemo>(*form, ui::TRect::FromBounds(10, 10, 400, 200));
  memo.SetFocus();
  memo.Lines().SetText("copy me");
  memo.SelectRange(0, 0, 0, 4);
  SendMessageW(memo.Handle(), WM_KEYDOWN, 'C', 1);  // Ctrl is not held: nothing
  static_cast<TZNCustomMemo&>(memo).KeyDown(znkey::C, TZNShift{false, true, false});
  memo.SetSelectMode(false);
  memo.SetCaretXY(7, 0);
  static_cast<TZNCustomMemo&>(memo).KeyDown(znkey::V, TZNShift{false, true, false});
  EXPECT_EQ(memo.Lines()[0], "copy mecopy");
}

TEST(ZarnMemoWindow, PaintsSelectionGutterAndRightEdge) {
  auto form = test::MakeForm();
  auto& memo = form->Add<TZarnMemo>(*form, ui::TRect::FromBounds(10, 10, 400, 200));
  memo.SetRightEdge(true);
  memo.SetRightEdgeCol(20);
  memo.Lines().SetText("selected text here\r\nsecond");
  memo.SelectRange(0, 0, 0, 8);
  memo.Invalidate();
  const int cw = memo.CharWidth(), lh = memo.LineHeight(), gw = memo.GutterWidth();
  // The screen shows the drawing once the window system has mapped the window and flushed its
  // surface, which a busy machine does a while later.
  PumpUntil([&] {
    return ScreenPixel(memo.Handle(), gw + 8 * cw - 1, 1) == RGB(0, 0, 255) &&
           ScreenPixel(memo.Handle(), gw + 12 * cw, lh + lh - 1) == GetSysColor(COLOR_WINDOW) &&
           ScreenPixel(memo.Handle(), 3, 3) == GetSysColor(COLOR_BTNFACE) &&
           ScreenPixel(memo.Handle(), gw + 20 * cw, lh * 3) == RGB(128, 128, 128);
  });
  // Selection background (blue) just left of the selection's end, at the row's top.
  EXPECT_EQ(ScreenPixel(memo.Handle(), gw + 8 * cw - 1, 1), RGB(0, 0, 255));
  // Unselected text background (window colour) after it.
  EXPECT_EQ(ScreenPixel(memo.Handle(), gw + 12 * cw, lh + lh - 1), GetSysColor(COLOR_WINDOW));
  // Gutter in button face, and its right-edge line in the memo's colour.
  EXPECT_EQ(ScreenPixel(memo.Handle(), 3, 3), GetSysColor(COLOR_BTNFACE));
  // The margin line (grey) at column 20.
  EXPECT_EQ(ScreenPixel(memo.Handle(), gw + 20 * cw, lh * 3), RGB(128, 128, 128));
}

TEST(ZarnMemoWindow, LogMemoNumbersItsLinesAndAppendsInBursts) {
  auto form = test::MakeForm();
  auto& memo = form->Add<TZarnMemo>(*form, ui::TRect::FromBounds(10, 10, 400, 200));
  memo.SetReadOnly(true);
  memo.GutterOptions().SetShowLineNum(true);
  memo.GutterOptions().SetWidth(43);
  memo.GutterOptions().SetLedingDigits(5);
  memo.GutterOptions().SetAlignment(TZNAlignment::taRightJustify);
  memo.GutterOptions().SetSpace(1);
  for (int i = 0; i < 1000; ++i) memo.AppendLine("log line " + std::to_string(i));
  EXPECT_EQ(memo.TopLine(), 0);
  ASSERT_TRUE(PumpUntil([&] { return memo.TopLine() > 0; }));
  EXPECT_EQ(memo.TopLine(), 1000 - memo.VisibleLines());
  EXPECT_EQ(memo.GetCaretY(), 999);
}

// A lamp strip made in code: five 9 x 9 frames, frame i filled with colour i.
const COLORREF kLampColors[5] = {RGB(32, 32, 32), RGB(255, 255, 0), RGB(255, 160, 0),
                                 RGB(200, 100, 0), RGB(90, 50, 10)};

std::unique_ptr<TBitmapPicture> LampPicture() {
  ui::TBitmap b;
  b.Create(45, 9, ui::clBlack);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, b.Handle());
  for (int i = 0; i < 5; ++i) {
    HBRUSH br = CreateSolidBrush(kLampColors[i]);
    RECT r{i * 9, 0, i * 9 + 9, 9};
    FillRect(dc, &r, br);
    DeleteObject(br);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return std::make_unique<TBitmapPicture>(std::move(b));
}

TEST(ImgControlWindow, LampShowsTheFrameOfItsPositionAtOnce) {
  auto form = test::MakeForm();
  TFrameImage strip;
  strip.BeginLoading();
  strip.SetBitmap(LampPicture());
  strip.SetWidth(9);
  strip.SetHeight(9);
  strip.Loaded();
  ASSERT_EQ(strip.Count(), 5);
  auto& lamp = form->Add<TImgControl>(*form, ui::TRect::FromBounds(10, 10, 30, 30));
  lamp.SetAllowUserControl(false);
  lamp.SetTabStop(false);
  lamp.SetMax(4);
  lamp.SetFrameImage(&strip);
  EXPECT_EQ(lamp.Width(), 9);  // the control took the frame's size
  Pump();
  for (int p = 0; p <= 4; ++p) {
    ValidateRect(lamp.Handle(), nullptr);
    lamp.SetPosition(p);
    // Drawn at once, not by a later paint message (the display shows it once the window
    // system flushes the window's surface).
    EXPECT_FALSE(GetUpdateRect(lamp.Handle(), nullptr, FALSE));
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(lamp.Handle(), 4, 4) == kLampColors[p]; })) << p;
  }
}

TEST(ImgControlWindow, HeldButtonRepeatsUntilCaptureIsLost) {
  auto form = test::MakeForm();
  TFrameImage strip;
  strip.SetBitmap(LampPicture());
  strip.SetCount(5);
  strip.SetButton(true);
  auto& button = form->Add<TImgControl>(*form, ui::TRect::FromBounds(10, 10, 9, 9));
  button.SetMax(4);
  button.SetAutoRepeat(true);
  button.SetAutoRepeatInitDelay(20);
  button.SetAutoRepeatDelay(20);
  button.SetFrameImage(&strip);
  int clicks = 0;
  button.OnButtonClick = [&] { ++clicks; };
  SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button.Position(), 4);
  ASSERT_TRUE(PumpUntil([&] { return clicks >= 3; }));
  ReleaseCapture();  // as a modal window taking the mouse would
  Pump();
  EXPECT_FALSE(button.Repeating());
  EXPECT_EQ(button.Position(), 0);
  const int after = clicks;
  for (int i = 0; i < 10; ++i) {
    Pump();
    Sleep(10);
  }
  EXPECT_EQ(clicks, after);
}

TEST(ImgControlWindow, DragShowsTheValueBesideTheControl) {
  auto form = test::MakeForm();
  auto& knob = form->Add<TImgControl>(*form, ui::TRect::FromBounds(10, 10, 47, 47));
  knob.SetShowScrollHint(true);
  knob.SetPosition(10);
  SendMessageW(knob.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
  ASSERT_TRUE(knob.MovingHint().Showing());
  EXPECT_EQ(knob.MovingHint().Text(), "10");
  SendMessageW(knob.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 20));
  EXPECT_EQ(knob.Position(), 20);
  EXPECT_EQ(knob.MovingHint().Text(), "20");
  SendMessageW(knob.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  EXPECT_FALSE(knob.MovingHint().Showing());
  EXPECT_EQ(knob.Position(), 20);  // the release keeps the dragged value
}

TEST(ShadowPanelWindow, DrawsShadowsBesideChildrenButNotSplitters) {
  auto form = test::MakeForm();
  auto& panel = form->Add<TShadowPanel>(*form, ui::TRect::FromBounds(10, 10, 300, 200));
  panel.SetColor(RGB(240, 240, 240));
  panel.SetShadowColor(ui::clBlack);
  panel.SetShadowSize(4);
  auto& child = panel.Add<ui::TPanel>(panel, ui::TRect::FromBounds(20, 20, 100, 50));
  (void)child;
  auto& splitter = panel.Add<TMarginSplitter>(panel, ui::TRect::FromBounds(200, 20, 5, 100));
  (void)splitter;
  panel.Invalidate();
  PumpUntil([&] {  // shown once the window system has flushed the window's surface
    return ScreenPixel(panel.Handle(), 121, 40) == RGB(0, 0, 0) &&
           ScreenPixel(panel.Handle(), 60, 72) == RGB(0, 0, 0) &&
           ScreenPixel(panel.Handle(), 206, 60) == RGB(240, 240, 240);
  });
  EXPECT_EQ(ScreenPixel(panel.Handle(), 121, 40), RGB(0, 0, 0));        // right of the child
  EXPECT_EQ(ScreenPixel(panel.Handle(), 60, 72), RGB(0, 0, 0));         // below it
  EXPECT_EQ(ScreenPixel(panel.Handle(), 206, 60), RGB(240, 240, 240));  // not by the splitter
}

// The main window's row: a shadow panel with margins filling the form, the preset list
// docked left, the splitter beside it and the translator list filling the rest.
struct SplitRow {
  TShadowPanel* panel;
  TZarnListView* presets;
  TMarginSplitter* splitter;
  TZarnListView* translators;
};
SplitRow MakeSplitRow(ui::TForm& form) {
  auto& panel = form.Add<TShadowPanel>(form, ui::TRect::FromBounds(0, 0, 10, 10));
  panel.SetShadowSize(0);
  panel.SetMargins({5, 0, 5, 5});
  panel.SetAlign(ui::TAlign::Client);
  auto& presets = panel.Add<TZarnListView>(panel, ui::TRect::FromBounds(0, 0, 200, 10));
  presets.SetAlign(ui::TAlign::Left);
  auto& splitter = panel.Add<TMarginSplitter>(panel, ui::TRect::FromBounds(0, 0, 5, 10));
  splitter.MinSize = 50;
  splitter.AutoSnap = false;
  splitter.ResizeStyle = TResizeStyle::rsUpdate;
  auto& translators = panel.Add<TZarnListView>(panel, ui::TRect::FromBounds(0, 0, 10, 10));
  translators.SetAlign(ui::TAlign::Client);
  return {&panel, &presets, &splitter, &translators};
}

// The splitter, its neighbour and the list beyond it sit edge to edge across the panel.
void ExpectRowLaidOut(const SplitRow& row, int presetWidth) {
  EXPECT_EQ(row.presets->BoundsRect().Width(), presetWidth);
  EXPECT_EQ(row.splitter->Left(), presetWidth);
  EXPECT_EQ(row.translators->Left(), presetWidth + row.splitter->Width());
  EXPECT_EQ(row.translators->BoundsRect().right, row.panel->ClientRect().right);
}

TEST(MarginSplitterWindow, DragResizesTheLeftNeighbourDownToMinSize) {
  auto form = test::MakeForm(600, 300);
  const SplitRow row = MakeSplitRow(*form);
  ASSERT_EQ(row.splitter->Align(), ui::TAlign::Left);
  ExpectRowLaidOut(row, 200);
  int moved = 0;
  row.splitter->OnMoved = [&] { ++moved; };
  HWND bar = row.splitter->Handle();
  SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
  ASSERT_TRUE(row.splitter->Dragging());
  SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-48), 10));
  ExpectRowLaidOut(row, 150);
  SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-400), 10));
  ExpectRowLaidOut(row, 50);
  SendMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);  // ends; keeps what was applied
  EXPECT_FALSE(row.splitter->Dragging());
  ExpectRowLaidOut(row, 50);
  EXPECT_GE(moved, 2);
  // The row keeps the dragged width when the form is resized.
  form->SetBounds(20, 20, 500, 260);
  ExpectRowLaidOut(row, 50);
}

// Real mouse input: the preset list follows the pointer pixel for pixel through many small
// steps, and the splitter and the translator list follow it.
TEST(MarginSplitterWindow, RealDragOfManySmallStepsFollowsThePointer) {
  auto form = test::MakeForm(640, 400);
  const SplitRow row = MakeSplitRow(*form);
  ASSERT_TRUE(ui::testing::MakeForeground(form->Handle()));
  const ui::TPoint start = row.splitter->ClientToScreen({2, 40});
  if (!ui::testing::MoveMouse({start.x, start.y})) {
    GTEST_SKIP() << "this display takes no synthetic mouse input";
  }
  ui::testing::SendMouseButton({start.x, start.y}, true);
  ASSERT_TRUE(PumpUntil([&] { return row.splitter->Dragging(); }));
  for (int step = 1; step <= 7; ++step) {
    ASSERT_TRUE(ui::testing::MoveMouse({start.x + 10 * step, start.y}));
    PumpUntil([&] { return row.presets->Width() == 200 + 10 * step; });
    SCOPED_TRACE(step);
    ExpectRowLaidOut(row, 200 + 10 * step);
  }
  for (int step = 6; step >= -3; --step) {
    ASSERT_TRUE(ui::testing::MoveMouse({start.x + 10 * step, start.y}));
    PumpUntil([&] { return row.presets->Width() == 200 + 10 * step; });
    SCOPED_TRACE(step);
    ExpectRowLaidOut(row, 200 + 10 * step);
  }
  ui::testing::SendMouseButton({start.x - 30, start.y}, false);
  ASSERT_TRUE(PumpUntil([&] { return !row.splitter->Dragging(); }));
  ExpectRowLaidOut(row, 170);
}

TEST(ZarnListViewWindow, ReportsScrollingAndKeys) {
  auto form = test::MakeForm();
  ui::TListViewOptions o;
  o.multiSelect = true;
  auto& list = form->Add<TZarnListView>(*form, ui::TRect::FromBounds(10, 10, 300, 120), o);
  list.AddColumn("Name", 200);
  for (int i = 0; i < 50; ++i) list.AddItem("item " + std::to_string(i));
  int v = 0, wheel = 0, dbl = 0;
  list.OnVScrolled = [&] { ++v; };
  list.OnMouseScrolled = [&] { ++wheel; };
  list.OnDblClick = [&] { ++dbl; };
  SendMessageW(list.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  SendMessageW(list.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(v, 2);
  RECT r{};
  GetWindowRect(list.Handle(), &r);
  SendMessageW(list.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)),
               MAKELPARAM(r.left + 5, r.top + 5));
  EXPECT_EQ(wheel, 1);
  list.SetFocus();
  SendMessageW(list.Handle(), WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(dbl, 1);
}

TEST(ZarnListViewWindow, ARealDoubleClickIsReportedOnce) {
  auto form = test::MakeForm();
  auto& list = form->Add<TZarnListView>(*form, ui::TRect::FromBounds(10, 10, 300, 120));
  list.AddColumn("Name", 200);
  list.AddItem("first");
  list.AddItem("second");
  int dbl = 0;
  list.OnDblClick = [&] { ++dbl; };
  ASSERT_TRUE(ui::testing::MakeForeground(form->Handle()));
  RECT row{};
  row.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageW(list.Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)));
  const ui::TPoint at = list.ClientToScreen({20, (row.top + row.bottom) / 2});
  if (!ui::testing::MoveMouse({at.x, at.y})) {
    GTEST_SKIP() << "this display takes no synthetic mouse input";
  }
  ui::testing::ClickMouse({at.x, at.y});
  ui::testing::ClickMouse({at.x, at.y});
  // Both reports, were there two, would come from the one double-click message.
  ASSERT_TRUE(PumpUntil([&] { return dbl > 0; }));
  EXPECT_EQ(dbl, 1);
}

TEST(ZarnListViewWindow, ARowDragLeavesTheMouseToTheListViewsDragging) {
  auto form = test::MakeForm();
  auto& list = form->Add<TZarnListView>(*form, ui::TRect::FromBounds(10, 10, 300, 200));
  list.AddColumn("Name", 200);
  for (int i = 0; i < 5; ++i) list.AddItem("item " + std::to_string(i));
  int starts = 0;
  std::vector<int> drops;
  list.OnDragStart = [&](int) { ++starts; };
  list.OnDragDrop = [&](int source, int target) { drops = {source, target}; };
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageW(list.Handle(), LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&row));
  const LPARAM onRow3 = MAKELPARAM(20, (row.top + row.bottom) / 2);
  SendMessageW(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5 + row.top / 4));
  list.BeginDrag(0);
  ASSERT_TRUE(list.Dragging());
  SendMessageW(list.Handle(), WM_MOUSEMOVE, MK_LBUTTON, onRow3);
  EXPECT_EQ(list.DropTarget(), 3);
  EXPECT_EQ(starts, 0);  // the press-and-move detection stays out of a running drag
  SendMessageW(list.Handle(), WM_LBUTTONUP, 0, onRow3);
  EXPECT_EQ(drops, (std::vector<int>{0, 3}));
}

TEST(VKEditWindow, RecordsRealKeysWhileFocusedAndSwallowsThem) {
  auto form = test::MakeForm();
  auto& edit = form->Add<TVKEdit>(*form, ui::TRect::FromBounds(10, 10, 200, 24));
  auto& other = form->Add<TVKEdit>(*form, ui::TRect::FromBounds(10, 50, 200, 24));
  edit.SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return edit.Focused(); }));
  EXPECT_TRUE(TKeyboardHook::HookInstalled());
  test::SendKey(VK_CONTROL, false);
  test::SendKey('C', false);
  test::SendKey('C', true);
  test::SendKey(VK_CONTROL, true);
  if (!PumpUntil([&] { return edit.Keys().GetCount() >= 4; })) {
    GTEST_SKIP() << "this display delivers no synthetic keyboard input";
  }
  EXPECT_EQ(edit.Keys().GetCount(), 4);
  EXPECT_EQ(edit.ui::TEdit::Text(), edit.Keys().GetDisplayText());
  other.SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return other.Focused(); }));
  EXPECT_FALSE(edit.Hook().Subscribed());
  EXPECT_TRUE(TKeyboardHook::HookInstalled());
  form->SetFocus();
  Pump();
  EXPECT_FALSE(TKeyboardHook::HookInstalled());
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

TEST(ZarnMemoWindow, CompletionListTypesTheChosenEntry) {
  auto form = test::MakeForm();
  auto& memo = form->Add<TZarnMemo>(*form, ui::TRect::FromBounds(10, 10, 400, 200));
  memo.DropListItems() = {"pp|set pp|pp = ", "oo|set oo|oo = "};
  memo.Lines().SetText("if x then ");
  memo.SetCaretXY(10, 0);
  memo.SetFocus();
  int asked = 0;
  memo.OnDropListDown = [&] { ++asked; };
  memo.DropDown();
  EXPECT_EQ(asked, 1);
  ASSERT_TRUE(memo.DropListShowing());
  HWND list = GetFocus();
  SendMessageW(list, WM_CHAR, L'o', 1);  // typed at once, and not typed again on Return
  SendMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_FALSE(memo.DropListShowing());
  EXPECT_EQ(memo.Lines()[0], "if x then oo = ");
  EXPECT_EQ(GetFocus(), memo.Handle());
}

TEST(ZarnMemoWindow, MouseDragSelectsAndGutterPressSelectsALine) {
  auto form = test::MakeForm();
  auto& memo = form->Add<TZarnMemo>(*form, ui::TRect::FromBounds(10, 10, 400, 200));
  memo.Lines().SetText("first line\r\nsecond line");
  const int gw = memo.GutterWidth(), cw = memo.CharWidth(), lh = memo.LineHeight();
  SendMessageW(memo.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(gw + 1, lh / 2));
  SendMessageW(memo.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(gw + 5 * cw + 1, lh / 2));
  SendMessageW(memo.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(gw + 5 * cw + 1, lh / 2));
  EXPECT_EQ(memo.SelText(), "first");
  memo.SetSelectMode(false);
  SendMessageW(memo.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, lh + lh / 2));
  SendMessageW(memo.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, lh + lh / 2));
  EXPECT_EQ(memo.SelText(), "second line");
}

TEST(ZarnMemoWindow, TabReachesTheMemoAndMovesOnUnlessItWantsTabs) {
  auto form = test::MakeForm();
  auto& before = form->Add<ui::TEdit>(*form, ui::TRect::FromBounds(10, 10, 100, 22));
  auto& memo = form->Add<TZarnMemo>(*form, ui::TRect::FromBounds(10, 40, 400, 150));
  auto& after = form->Add<ui::TEdit>(*form, ui::TRect::FromBounds(10, 200, 100, 22));
  memo.SetWantTabs(false);
  // Tab through the application's loop, where the dialog navigation runs.
  auto tab = [](bool shift, const std::function<bool()>& done) {
    ui::testing::SendKey(VK_TAB, false, shift);
    for (int i = 0; i < 500 && !done(); ++i) {
      ui::Application().ProcessMessages();
      if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return done();
  };
  before.SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return before.Focused(); }));
  EXPECT_TRUE(tab(false, [&] { return memo.Focused(); }));
  EXPECT_TRUE(tab(false, [&] { return after.Focused(); }));
  EXPECT_TRUE(tab(true, [&] { return memo.Focused(); }));
  EXPECT_TRUE(tab(true, [&] { return before.Focused(); }));
  EXPECT_EQ(memo.Lines().Text(), "");
  memo.SetWantTabs(true);
  memo.SetFocus();
  EXPECT_TRUE(tab(false, [&] { return memo.Lines().Text() == "\t"; }));
  EXPECT_TRUE(memo.Focused());
}

TEST(ZarnMemoWindow, KeepsItsEditingKeysFromTheFormsShortcuts) {
  auto form = test::MakeForm();
  auto& memo = form->Add<TZarnMemo>(*form, ui::TRect::FromBounds(10, 10, 400, 200));
  memo.Lines().SetText("abc");
  memo.SetCaretXY(0, 0);
  int deletes = 0;
  ui::TAction& del = form->Actions().Add("Delete translator");
  del.SetShortCut(ui::TextToShortCut("Del"));
  del.OnExecute = [&] { ++deletes; };
  memo.SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return memo.Focused(); }));
  test::SendKey(VK_DELETE, false);
  test::SendKey(VK_DELETE, true);
  // Through the application's loop, where the form's shortcuts are looked up.
  bool typed = false;
  for (int i = 0; i < 500 && !typed; ++i) {
    ui::Application().ProcessMessages();
    typed = memo.Lines()[0] == "bc";
    if (!typed) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  EXPECT_TRUE(typed);
  EXPECT_EQ(deletes, 0);
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

TEST(ZarnMemoWindow, LinkHintShowsWhileCtrlIsHeldOverALink) {
  auto form = test::MakeForm();
  auto& memo = form->Add<TZarnMemo>(*form, ui::TRect::FromBounds(10, 10, 400, 200));
  memo.Lines().SetText("see photo.JPG here");
  memo.SetShowHyperlinks(true);
  memo.LinkDetector = [&](TZNPos p) {
    return p.line == 0 && p.col >= 4 && p.col < 13 ? std::string("photo.JPG") : std::string();
  };
  const int gw = memo.GutterWidth(), cw = memo.CharWidth();
  static_cast<TZNCustomMemo&>(memo).KeyDown(znkey::Control, TZNShift{false, true, false});
  SendMessageW(memo.Handle(), WM_MOUSEMOVE, MK_CONTROL, MAKELPARAM(gw + 6 * cw, 4));
  EXPECT_EQ(memo.LinkHintText(), "Image: photo.JPG");
  SendMessageW(memo.Handle(), WM_MOUSEMOVE, MK_CONTROL, MAKELPARAM(gw + 16 * cw, 4));
  EXPECT_EQ(memo.LinkHintText(), "");
  SendMessageW(memo.Handle(), WM_MOUSEMOVE, MK_CONTROL, MAKELPARAM(gw + 6 * cw, 4));
  SendMessageW(memo.Handle(), WM_KEYUP, VK_CONTROL, 0xC0000001);  // key up removes it
  EXPECT_EQ(memo.LinkHintText(), "");
}

}  // namespace
}  // namespace kv
