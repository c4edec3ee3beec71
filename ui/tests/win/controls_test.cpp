// The wrappers of the standard controls, menus, actions and toolbars, driven by messages.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "base/win/wide.h"
#include "ui/action.h"
#include "ui/application.h"
#include "ui/button.h"
#include "ui/canvas.h"
#include "ui/clipboard.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/graphics.h"
#include "ui/label.h"
#include "ui/list_view.h"
#include "ui/menu.h"
#include "ui/page_control.h"
#include "ui/status_bar.h"
#include "ui/tests/win/ui_test_support.h"
#include "ui/toolbar.h"
#include "ui/tree_view.h"
#include "ui/up_down.h"

namespace kv::ui {
namespace {

using testing::ClickMouse;
using testing::MakeForeground;
using testing::MoveMouse;
using testing::PumpUntil;
using testing::SendKey;

class ControlsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application().Initialize(); }
  ControlsTest() : form(Params()) {}
  static TFormParams Params() {
    TFormParams p;
    p.caption = "Controls";
    p.bounds = TRect::FromBounds(80, 80, 500, 400);
    return p;
  }
  // The five 9 x 9 pictures of the test resources.
  static void AddTestStrip(TImageList& images) {
    TBitmap strip;
    ASSERT_TRUE(strip.LoadFromResource("STRIP"));
    ASSERT_EQ(images.AddStrip(strip, clBlack), 0);
  }
  TForm form;
};

// The keys the user holds while the next notifications are handled, as the key that closed a
// drop-down list leaves them, and no other; let go at the end of the scope.
class THeldKeys {
 public:
  explicit THeldKeys(const std::vector<BYTE>& keys) {
    GetKeyboardState(saved_);
    BYTE state[256];
    // Only these: a button or key that earlier input left down would tell another story.
    for (size_t i = 0; i < 256; ++i) state[i] = static_cast<BYTE>(saved_[i] & 0x7F);
    for (BYTE key : keys) state[key] |= 0x80;
    SetKeyboardState(state);
  }
  ~THeldKeys() { SetKeyboardState(saved_); }
  THeldKeys(const THeldKeys&) = delete;
  THeldKeys& operator=(const THeldKeys&) = delete;

 private:
  BYTE saved_[256];
};

// A combo box's notifications, sent to its parent as the system sends them.
void NotifyCombo(TForm& form, TComboBox& combo, const std::vector<WORD>& codes) {
  for (WORD code : codes) {
    SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, code),
                 reinterpret_cast<LPARAM>(combo.Handle()));
  }
}

TEST_F(ControlsTest, ListViewRowsColumnsSelectionAndChecks) {
  TListViewOptions o;
  o.checkBoxes = true;
  TListView& list = form.Add<TListView>(form, TRect::FromBounds(0, 0, 300, 200), o);
  list.AddColumn("Name", 120);
  list.AddColumn("Port", 80);
  EXPECT_EQ(list.ColumnCount(), 2);
  EXPECT_EQ(list.ColumnWidth(0), 120);
  std::vector<std::string> events;
  list.OnSelectItem = [&](int i, bool s) {
    events.push_back("sel " + std::to_string(i) + (s ? "+" : "-"));
  };
  list.OnItemChecked = [&](int i, bool c) {
    events.push_back("chk " + std::to_string(i) + (c ? "+" : "-"));
  };
  EXPECT_EQ(list.AddItem("Preset A", 11), 0);
  EXPECT_EQ(list.AddItem("Preset B", 22), 1);
  list.SetItemText(1, 1, "Out 1");
  EXPECT_EQ(list.ItemText(1, 1), "Out 1");
  EXPECT_EQ(list.ItemData(0), 11);
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_TRUE(events.empty());  // making rows is no check by the user

  list.SetItemIndex(1);
  EXPECT_EQ(list.ItemIndex(), 1);
  list.SetItemIndex(0);
  EXPECT_EQ(list.SelectedCount(), 1);
  EXPECT_EQ(events, (std::vector<std::string>{"sel 1+", "sel 1-", "sel 0+"}));
  events.clear();
  list.SetChecked(1, true);
  EXPECT_TRUE(list.Checked(1));
  EXPECT_FALSE(list.Checked(0));
  EXPECT_TRUE(events.empty());  // the program's own checks are not reported

  // A user's click on the check box is (the list view toggles the state itself).
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(2);
  SendMessageW(list.Handle(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(events, std::vector<std::string>{"chk 0+"});

  // Rows at a point, all selected, renaming that may be refused.
  EXPECT_EQ(list.ItemAt(5, 300), -1);
  list.SelectAll();  // single selection: one row at most
  EXPECT_LE(list.SelectedCount(), 1);
  list.BeginUpdate();
  list.BeginUpdate();
  list.AddItem("Preset C");
  list.EndUpdate();
  list.EndUpdate();
  list.EndUpdate();  // one too many is harmless
  EXPECT_EQ(list.Count(), 3);
  list.DeleteItem(2);

  list.DeleteItem(0);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.ItemText(0), "Preset B");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ControlsTest, TreeViewNodesAndSelectionThatCanBeRefused) {
  TTreeView& tree = form.Add<TTreeView>(form, TRect::FromBounds(0, 0, 200, 200));
  TTreeNode midi = tree.Add(nullptr, "MIDI", 1);
  TTreeNode ports = tree.Add(midi, "Ports", 2);
  TTreeNode router = tree.Add(midi, "Router", 3);
  TTreeNode project = tree.Add(nullptr, "Project", 4);
  EXPECT_EQ(tree.Count(), 4);
  EXPECT_EQ(tree.FirstChild(nullptr), midi);
  EXPECT_EQ(tree.FirstChild(midi), ports);
  EXPECT_EQ(tree.NextSibling(ports), router);
  EXPECT_EQ(tree.ParentNode(router), midi);
  EXPECT_EQ(tree.NodeText(router), "Router");
  EXPECT_EQ(tree.NodeData(project), 4);
  std::vector<intptr_t> changes;
  bool allow = true;
  tree.OnChanging = [&](TTreeNode, TTreeNode, bool& ok) { ok = allow; };
  tree.OnChange = [&](TTreeNode n) { changes.push_back(tree.NodeData(n)); };
  tree.Expand(midi);
  tree.Select(router);
  EXPECT_EQ(tree.Selected(), router);
  allow = false;
  tree.Select(project);
  EXPECT_EQ(tree.Selected(), router);
  EXPECT_EQ(changes, std::vector<intptr_t>{3});
}

TEST_F(ControlsTest, ComboBoxItemsAndChanges) {
  TComboBox& combo = form.Add<TComboBox>(form, TRect::FromBounds(0, 0, 150, 24));
  combo.SetItems({"Off", "Seconds", "Milliseconds"});
  combo.Add("Variable", 99);
  EXPECT_EQ(combo.Count(), 4);
  EXPECT_EQ(combo.Item(2), "Milliseconds");
  EXPECT_EQ(combo.ItemData(3), 99);
  EXPECT_EQ(combo.IndexOf("seconds"), 1);
  EXPECT_EQ(combo.IndexOf("Minutes"), -1);
  int changes = 0;
  combo.OnChange = [&] { ++changes; };
  combo.SetItemIndex(2);  // the program's own choice fires nothing
  EXPECT_EQ(combo.ItemIndex(), 2);
  EXPECT_EQ(changes, 0);
  // A user's choice: the combo box tells its parent.
  SendMessageW(combo.Handle(), CB_SETCURSEL, 1, 0);
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo.Handle()));
  EXPECT_EQ(changes, 1);
  combo.Delete(0);
  EXPECT_EQ(combo.Item(0), "Seconds");
}

// The notifications of the open list as the system sends them, the list's highlight moved as
// the user's keys move it.
TEST_F(ControlsTest, ComboBoxReportsTheChoiceTakenNotTheOneBackedOutOf) {
  TComboBox& combo = form.Add<TComboBox>(form, TRect::FromBounds(0, 0, 150, 24));
  combo.SetItems({"None", "MIDI message", "Mouse", "Timer"});
  combo.SetItemIndex(1);
  std::vector<int> changes;
  combo.OnChange = [&] { changes.push_back(combo.ItemIndex()); };
  auto notify = [&](std::initializer_list<WORD> codes) {
    for (WORD code : codes) {
      SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, code),
                   reinterpret_cast<LPARAM>(combo.Handle()));
    }
  };
  auto highlight = [&](int index) {
    SendMessageW(combo.Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    notify({CBN_SELCHANGE});
  };
  // Escape: the highlight stays where it went, the box goes back.
  notify({CBN_DROPDOWN});
  highlight(2);
  highlight(3);
  notify({CBN_SELENDCANCEL, CBN_CLOSEUP});
  EXPECT_EQ(combo.ItemIndex(), 1);
  // Backed out of with a change notified after the close-up.
  notify({CBN_DROPDOWN});
  highlight(3);
  notify({CBN_SELENDCANCEL, CBN_CLOSEUP});
  highlight(1);
  EXPECT_EQ(changes, std::vector<int>{});
  // Enter, and a click on an item whose change comes after the close-up: one report each.
  notify({CBN_DROPDOWN});
  highlight(3);
  notify({CBN_SELENDOK, CBN_CLOSEUP});
  notify({CBN_DROPDOWN});
  SendMessageW(combo.Handle(), CB_SETCURSEL, 2, 0);
  notify({CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE});
  // The arrow keys on the closed box; the list dropped down and closed with nothing moved.
  SendMessageW(combo.Handle(), CB_SETCURSEL, 0, 0);
  notify({CBN_SELENDOK, CBN_SELCHANGE});
  notify({CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP});
  EXPECT_EQ(changes, (std::vector<int>{3, 2, 0}));
  EXPECT_EQ(combo.ItemIndex(), 0);
}

TEST_F(ControlsTest, EditableComboBackedOutOfKeepsTheTypedText) {
  TComboBox& combo =
      form.Add<TComboBox>(form, TRect::FromBounds(0, 0, 150, 24), TComboStyle::DropDown);
  combo.SetItems({"0", "1", "2"});
  combo.SetText("12");
  int changes = 0;
  combo.OnChange = [&] { ++changes; };
  auto notify = [&](WORD code) {
    SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, code),
                 reinterpret_cast<LPARAM>(combo.Handle()));
  };
  notify(CBN_DROPDOWN);
  SendMessageW(combo.Handle(), CB_SETCURSEL, 1, 0);
  notify(CBN_SELCHANGE);
  notify(CBN_SELENDCANCEL);
  notify(CBN_CLOSEUP);
  EXPECT_EQ(combo.Text(), "12");
  EXPECT_EQ(changes, 0);
  notify(CBN_EDITCHANGE);  // typing is reported as it always was
  EXPECT_EQ(changes, 1);
}

// Alt+Up, Alt+Down and F4 close the open list on the item highlighted (Wine reports them as a
// selection end cancel, Windows as OK), and so does Tab out of it; Escape and Alt+F4 back out.
TEST_F(ControlsTest, ComboBoxTakesTheHighlightWhenAKeyClosesTheList) {
  TComboBox& combo = form.Add<TComboBox>(form, TRect::FromBounds(0, 0, 150, 24));
  TEdit& next = form.Add<TEdit>(form, TRect::FromBounds(0, 40, 150, 22), TEditOptions{});
  combo.SetItems({"None", "MIDI message", "Mouse", "Timer"});
  std::vector<int> changes;
  combo.OnChange = [&] { changes.push_back(combo.ItemIndex()); };
  struct TCase {
    const char* what;
    std::vector<BYTE> keys;
    std::vector<WORD> codes;
    bool taken;
  };
  const TCase cases[] = {
      {"Alt+Up under Wine", {VK_MENU, VK_UP}, {CBN_SELENDCANCEL, CBN_CLOSEUP}, true},
      {"Alt+Down under Wine", {VK_MENU, VK_DOWN}, {CBN_SELENDCANCEL, CBN_CLOSEUP}, true},
      {"F4 under Wine", {VK_F4}, {CBN_SELENDCANCEL, CBN_CLOSEUP}, true},
      {"F4 on Windows", {VK_F4}, {CBN_SELENDOK, CBN_CLOSEUP}, true},
      {"Tab out", {VK_TAB}, {CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_KILLFOCUS}, true},
      {"Escape", {VK_ESCAPE}, {CBN_SELENDCANCEL, CBN_CLOSEUP}, false},
      {"Alt+F4", {VK_MENU, VK_F4}, {CBN_SELENDCANCEL, CBN_CLOSEUP}, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    combo.SetItemIndex(1);
    combo.SetFocus();
    changes.clear();
    NotifyCombo(form, combo, {CBN_DROPDOWN});
    SendMessageW(combo.Handle(), CB_SETCURSEL, 3, 0);
    NotifyCombo(form, combo, {CBN_SELCHANGE});
    EXPECT_EQ(combo.ItemIndex(), 1) << "the highlight is no choice yet";
    {
      THeldKeys held(c.keys);
      // The dialog manager moves the focus on first; the box ends its selection as it loses it.
      if (c.keys[0] == VK_TAB) next.SetFocus();
      NotifyCombo(form, combo, c.codes);
    }
    EXPECT_EQ(combo.ItemIndex(), c.taken ? 3 : 1);
    EXPECT_EQ(changes, c.taken ? std::vector<int>{3} : std::vector<int>{});
  }
}

// Text typed into the open list of an editable box, where the list highlights the first item
// the text begins, is what the box keeps and reports: after Escape, Enter or Tab it shows the
// text as typed (an item only when the text is that item's), and an item moved to in the list
// after typing is taken as the list closes. A handler that writes the reported text back into
// the box, item first, changes none of it.
TEST_F(ControlsTest, EditableComboKeepsTheTextTypedIntoItsOpenList) {
  TComboBox& combo =
      form.Add<TComboBox>(form, TRect::FromBounds(0, 0, 150, 24), TComboStyle::DropDown);
  TEdit& next = form.Add<TEdit>(form, TRect::FromBounds(0, 40, 150, 22), TEditOptions{});
  combo.SetItems({"alpha", "beta", "gamma"});
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetComboBoxInfo(combo.Handle(), &info));
  std::string reported;
  combo.OnChange = [&] {
    reported = combo.Text();
    const int item = combo.IndexOf(reported);
    combo.SetItemIndex(item >= 0 && combo.Item(item) == reported ? item : -1);
    combo.SetText(reported);
  };
  // The edit part's text and the list's highlight as the system leaves them after a key.
  auto shows = [&](const wchar_t* text, int highlight) {
    SetWindowTextW(info.hwndItem, text);
    SendMessageW(info.hwndList, LB_SETCURSEL, static_cast<WPARAM>(highlight), 0);
  };
  struct TCase {
    const char* what;
    const wchar_t* typed;
    bool down;  // Down moved the highlight after typing
    std::vector<BYTE> keys;
    std::vector<WORD> codes;
    std::string text;
    int index;
  };
  const TCase cases[] = {
      {"Escape", L"b", false, {VK_ESCAPE}, {CBN_SELENDCANCEL, CBN_CLOSEUP}, "b", -1},
      {"Enter", L"b", false, {VK_RETURN}, {CBN_SELENDOK, CBN_CLOSEUP}, "b", -1},
      {"Enter on an item's text",
       L"beta",
       false,
       {VK_RETURN},
       {CBN_SELENDOK, CBN_CLOSEUP},
       "beta",
       1},
      {"Down, then F4", L"b", true, {VK_F4}, {CBN_SELENDCANCEL, CBN_CLOSEUP}, "gamma", 2},
      {"Down, then Tab out",
       L"b",
       true,
       {VK_TAB},
       {CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_KILLFOCUS},
       "gamma",
       2},
      {"Down, then Escape", L"b", true, {VK_ESCAPE}, {CBN_SELENDCANCEL, CBN_CLOSEUP}, "b", -1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    combo.SetItemIndex(-1);
    combo.SetText("12");
    combo.SetFocus();
    NotifyCombo(form, combo, {CBN_DROPDOWN});
    shows(c.typed, 1);
    NotifyCombo(form, combo, {CBN_EDITCHANGE});
    EXPECT_EQ(reported, win::Narrow(c.typed));
    if (c.down) {
      SendMessageW(info.hwndList, LB_SETCURSEL, 2, 0);
      NotifyCombo(form, combo, {CBN_SELCHANGE});
      shows(L"gamma", 2);
    }
    {
      THeldKeys held(c.keys);
      if (c.keys[0] == VK_TAB) next.SetFocus();
      NotifyCombo(form, combo, c.codes);
    }
    EXPECT_EQ(combo.Text(), c.text);
    EXPECT_EQ(combo.ItemIndex(), c.index);
    EXPECT_EQ(reported, c.text);
  }
}

TEST_F(ControlsTest, UpDownStepsItsBuddy) {
  TEdit& edit = form.Add<TEdit>(form, TRect::FromBounds(0, 0, 60, 22), TEditOptions{});
  TUpDown& updown = form.Add<TUpDown>(form, TRect::FromBounds(60, 0, 16, 22));
  updown.SetBuddy(edit);
  updown.SetRange(1, 16);
  updown.SetPosition(5);
  EXPECT_EQ(edit.Text(), "5");
  EXPECT_EQ(updown.Min(), 1);
  EXPECT_EQ(updown.Max(), 16);
  std::vector<int> seen;
  updown.OnChange = [&](int p) { seen.push_back(p); };
  // The up arrow key steps it like a click on the upper arrow.
  form.Show();
  ASSERT_TRUE(MakeForeground(form.Handle()));
  edit.SetFocus();
  SendKey(VK_UP);
  ASSERT_TRUE(PumpUntil([&] { return !seen.empty(); }));
  EXPECT_EQ(seen.front(), 6);
  EXPECT_EQ(edit.Text(), "6");
}

TEST_F(ControlsTest, PageControlShowsTheSelectedPageOnly) {
  TPageControl& pages = form.Add<TPageControl>(form, TRect::FromBounds(0, 0, 300, 200));
  TTabSheet& general = pages.AddPage("General");
  TTabSheet& ports = pages.AddPage("Ports");
  TLabel& label = ports.Add<TLabel>(ports, "On the ports page", TRect::FromBounds(5, 5, 150, 20));
  EXPECT_EQ(pages.PageCount(), 2);
  EXPECT_EQ(pages.ActivePageIndex(), 0);
  EXPECT_TRUE(general.Visible());
  EXPECT_FALSE(ports.Visible());
  pages.SetActivePageIndex(1);
  EXPECT_FALSE(general.Visible());
  EXPECT_TRUE(ports.Visible());
  EXPECT_EQ(FindParentForm(label), &form);
  TRect display = pages.DisplayRect();
  EXPECT_EQ(ports.BoundsRect(), display);
  pages.SetBounds(0, 0, 400, 300);
  EXPECT_EQ(ports.BoundsRect(), pages.DisplayRect());
  EXPECT_GT(ports.Width(), display.Width());
}

TEST_F(ControlsTest, APageShownInPlaceOfTheFocusedOneTakesTheFocus) {
  form.Show();
  ASSERT_TRUE(MakeForeground(form.Handle()));
  TPageControl& pages = form.Add<TPageControl>(form, TRect::FromBounds(0, 0, 300, 200));
  TTabSheet& general = pages.AddPage("General");
  TTabSheet& ports = pages.AddPage("Ports");
  TEdit& name = general.Add<TEdit>(general, TRect::FromBounds(5, 5, 150, 22));
  TButton& scan = ports.Add<TButton>(ports, "Scan", TRect::FromBounds(5, 5, 80, 25));
  TEdit& port = ports.Add<TEdit>(ports, TRect::FromBounds(5, 40, 150, 22));
  name.SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return name.Focused(); }));
  pages.SetActivePageIndex(1);
  EXPECT_TRUE(scan.Focused());  // the first tab stop
  pages.FocusTarget = [&](int index) { return index == 1 ? port.Handle() : HWND{}; };
  pages.SetActivePageIndex(0);
  EXPECT_TRUE(name.Focused());
  pages.SetActivePageIndex(1);
  EXPECT_TRUE(port.Focused());  // the owner's choice
  // A focus the user sees stays: on the tabs, or elsewhere in the window.
  pages.SetFocus();
  pages.SetActivePageIndex(0);
  EXPECT_TRUE(pages.Focused());
}

TEST_F(ControlsTest, MenuItemsBuildTheMenuAndClickByCommand) {
  TMainMenu bar;
  TMenuItem& file = bar.Add("&File");
  TMenuItem& open = file.Add("&Open...");
  file.AddSeparator();
  TMenuItem& exit = file.Add("E&xit");
  open.SetShortCut(MakeShortCut('O', false, true, false));
  open.SetHint("Open|Opens a project");
  form.SetMenu(&bar);
  EXPECT_EQ(GetMenu(form.Handle()), bar.Handle());
  HMENU fileMenu = GetSubMenu(bar.Handle(), 0);
  ASSERT_EQ(fileMenu, file.SubMenu());
  EXPECT_EQ(GetMenuItemCount(fileMenu), 3);
  wchar_t text[64] = {};
  GetMenuStringW(fileMenu, 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&Open...\tCtrl+O");

  int opened = 0;
  open.OnClick = [&] { ++opened; };
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(open.Command(), 0), 0);
  EXPECT_EQ(opened, 1);

  exit.SetChecked(true);
  EXPECT_EQ(GetMenuState(fileMenu, 2, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
  exit.SetVisible(false);
  EXPECT_EQ(GetMenuItemCount(fileMenu), 2);
  file.Delete(file.IndexOf(exit));
  EXPECT_EQ(file.Count(), 2);

  // The bar's shortcut runs through the form (as the message loop does for Ctrl+O).
  EXPECT_TRUE(form.HandleShortCut(MakeShortCut('O', false, true, false)));
  EXPECT_EQ(opened, 2);
  open.SetEnabled(false);
  EXPECT_FALSE(form.HandleShortCut(MakeShortCut('O', false, true, false)));
  EXPECT_EQ(opened, 2);

  // Highlighting the item makes its long hint the application's hint.
  SendMessageW(form.Handle(), WM_MENUSELECT, MAKEWPARAM(open.Command(), MF_HILITE),
               reinterpret_cast<LPARAM>(fileMenu));
  EXPECT_EQ(Application().Hint(), "Opens a project");
  SendMessageW(form.Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(Application().Hint(), "");
  form.SetMenu(nullptr);
}

TEST_F(ControlsTest, PopupMenuUpdatesItsActionsAndClicksTheChosenItem) {
  form.Show();
  ASSERT_TRUE(MakeForeground(form.Handle()));
  TAction paste("&Paste");
  int updates = 0, pastes = 0, others = 0, popups = 0;
  paste.OnUpdate = [&](TAction&) { ++updates; };
  paste.OnExecute = [&] { ++pastes; };
  TPopupMenu popup;
  popup.OnPopup = [&] { ++popups; };
  TMenuItem& disabled = popup.Add("&Copy");
  disabled.SetEnabled(false);
  disabled.OnClick = [&] { ++others; };
  popup.Add("").SetAction(&paste);
  TRect r = form.ScreenRect();
  Application().Post([] {
    SendKey(VK_DOWN);  // the disabled first item
    SendKey(VK_DOWN);
    SendKey(VK_RETURN);
  });
  TMenuItem* chosen = popup.Popup(r.left + 50, r.top + 50, form.Handle());
  EXPECT_EQ(chosen, &popup.Item(1));
  EXPECT_EQ(pastes, 1);
  EXPECT_EQ(others, 0);
  EXPECT_EQ(popups, 1);
  EXPECT_GE(updates, 1);
  Application().Post([] { SendKey(VK_ESCAPE); });
  EXPECT_EQ(popup.Popup(r.left + 50, r.top + 50, form.Handle()), nullptr);
  EXPECT_EQ(pastes, 1);
  popup.Item(1).SetAction(nullptr);
}

TEST_F(ControlsTest, MenuItemsInsertedAndClearedAtRunTime) {
  // As a recent-files list keeps a run of items at the end of a File menu.
  TMainMenu bar;
  TMenuItem& file = bar.Add("&File");
  file.Add("&Open...");
  file.AddSeparator();
  TMenuItem& recent = file.Insert(2, "a.kvxp");
  recent.SetTag(7);
  file.Insert(2, "b.kvxp");
  ASSERT_EQ(file.Count(), 4);
  EXPECT_EQ(file.Item(2).Caption(), "b.kvxp");
  EXPECT_EQ(file.IndexOf(recent), 3);
  EXPECT_EQ(GetMenuItemCount(file.SubMenu()), 4);
  int command = recent.Command();
  EXPECT_EQ(TMenuItem::FindByCommand(command), &recent);
  file.Delete(3);
  EXPECT_EQ(TMenuItem::FindByCommand(command), nullptr);  // a freed item is never clicked
  EXPECT_EQ(GetMenuItemCount(file.SubMenu()), 3);

  // A sub-menu appears once an item gets sub-items and goes when they are cleared.
  TMenuItem& more = file.Add("&More");
  more.Add("One").SetRadioItem(true);
  more.Item(0).SetChecked(true);
  EXPECT_NE(GetSubMenu(file.SubMenu(), 3), nullptr);
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_FTYPE | MIIM_STATE;
  GetMenuItemInfoW(more.SubMenu(), 0, TRUE, &mii);
  EXPECT_TRUE(mii.fType & MFT_RADIOCHECK);
  EXPECT_TRUE(mii.fState & MFS_CHECKED);
  more.Clear();
  EXPECT_EQ(more.Count(), 0);
  EXPECT_EQ(GetSubMenu(file.SubMenu(), 3), nullptr);
  file.Clear();
  EXPECT_EQ(GetMenuItemCount(file.SubMenu()), 0);
}

TEST_F(ControlsTest, RealKeysReachTheMenuShortcut) {
  TMainMenu bar;
  TMenuItem& edit = bar.Add("&Edit");
  TMenuItem& duplicate = edit.Add("&Duplicate");
  duplicate.SetShortCut(MakeShortCut('D', false, true, false));
  int runs = 0;
  duplicate.OnClick = [&] { ++runs; };
  form.SetMenu(&bar);
  TEdit& box = form.Add<TEdit>(form, TRect::FromBounds(5, 5, 100, 22));
  form.Show();
  ASSERT_TRUE(MakeForeground(form.Handle()));
  box.SetFocus();
  SendKey('D', true);
  ASSERT_TRUE(PumpUntil([&] { return runs == 1; }));
  EXPECT_EQ(box.Text(), "");  // the shortcut did not type
  form.SetMenu(nullptr);
}

TEST_F(ControlsTest, OneActionDrivesItsMenuItemAndToolbarButton) {
  TImageList images(9, 9);
  AddTestStrip(images);
  TToolBar& bar = form.Add<TToolBar>(form, images);
  TAction& cut = form.Actions().Add("Cu&t");
  cut.SetImageIndex(1);
  cut.SetHint("Cut|Cuts the translator");
  bool canCut = false;
  int cuts = 0;
  cut.OnUpdate = [&](TAction& a) { a.SetEnabled(canCut); };
  cut.OnExecute = [&] { ++cuts; };
  TAction& monitor = form.Actions().Add("Monitor");
  monitor.OnExecute = [&] { monitor.SetChecked(!monitor.Checked()); };
  bar.AddButton(cut);
  bar.AddSeparator();
  bar.AddButton(monitor, true);
  EXPECT_EQ(bar.ButtonCount(), 3);

  TPopupMenu popup;
  TMenuItem& item = popup.Add("");
  item.SetAction(&cut);
  EXPECT_EQ(item.Caption(), "Cu&t");

  form.UpdateActions();  // as the application does when idle
  EXPECT_FALSE(cut.Enabled());
  EXPECT_FALSE(bar.ButtonEnabled(0));
  EXPECT_FALSE(item.Enabled());
  canCut = true;
  form.UpdateActions();
  EXPECT_TRUE(bar.ButtonEnabled(0));
  EXPECT_TRUE(item.Enabled());

  // A toolbar click and a menu click both execute the action.
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0x100, BN_CLICKED),
               reinterpret_cast<LPARAM>(bar.Handle()));
  item.Click();
  EXPECT_EQ(cuts, 2);
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0x101, BN_CLICKED),
               reinterpret_cast<LPARAM>(bar.Handle()));
  EXPECT_TRUE(monitor.Checked());
  EXPECT_TRUE(bar.ButtonChecked(2));
  item.SetAction(nullptr);
}

TEST_F(ControlsTest, AlignedChildrenFollowTheirParent) {
  TStatusBar& status = form.Add<TStatusBar>(form);
  TPanel& panel = form.Add<TPanel>(form, TRect::FromBounds(0, 0, 10, 10));
  panel.SetMargins({5, 0, 5, 5});
  panel.SetAlign(TAlign::Client);
  TPanel& left = panel.Add<TPanel>(panel, TRect::FromBounds(0, 0, 150, 10));
  left.SetAlign(TAlign::Left);
  TPanel& rest = panel.Add<TPanel>(panel, TRect::FromBounds(0, 0, 10, 10));
  rest.SetAlign(TAlign::Client);
  TRect client = form.ClientRect();
  EXPECT_EQ(panel.BoundsRect(), (TRect{5, 0, client.right - 5, status.Top() - 5}));
  EXPECT_EQ(left.BoundsRect(), (TRect{0, 0, 150, panel.Height()}));
  EXPECT_EQ(rest.Left(), 150);
  form.SetBounds(80, 80, 600, 450);
  EXPECT_EQ(panel.Width(), form.ClientRect().Width() - 10);
  EXPECT_EQ(rest.Width(), panel.Width() - 150);
  left.SetBounds(0, 0, 50, 10);  // a splitter's resize: the neighbour follows
  EXPECT_EQ(rest.Left(), 50);
  left.Hide();
  EXPECT_EQ(rest.Left(), 0);
}

// The main window's frame: two toolbars stacked at the top in the order they were made, the
// status bar at the bottom and a panel with margins filling the rest, through many resizes
// (the toolbar control would otherwise move itself back to the top of the form).
TEST_F(ControlsTest, StackedToolbarsAndStatusBarKeepTheirPlacesThroughResizes) {
  TImageList images(9, 9);
  AddTestStrip(images);
  TToolBar& file = form.Add<TToolBar>(form, images);
  TToolBar& view = form.Add<TToolBar>(form, images);
  TStatusBar& status = form.Add<TStatusBar>(form);
  status.SetPanels({120, -1});
  TPanel& main = form.Add<TPanel>(form, TRect::FromBounds(0, 0, 10, 10));
  main.SetMargins({5, 0, 5, 5});
  main.SetAlign(TAlign::Client);
  TAction& add = form.Actions().Add("Add");
  add.SetImageIndex(0);
  TAction& monitor = form.Actions().Add("Monitor");
  monitor.SetImageIndex(2);
  file.AddButton(add);
  file.AddSeparator();
  file.AddButton(add);
  view.AddButton(monitor, true);
  form.Show();

  const int fileHeight = file.Height(), viewHeight = view.Height();
  EXPECT_GE(fileHeight, 9);
  EXPECT_EQ(viewHeight, fileHeight);
  const int statusHeight = status.Height();
  EXPECT_GT(statusHeight, 0);
  const TSize sizes[] = {{500, 400}, {320, 260}, {700, 520}, {260, 200}, {520, 410}};
  for (const TSize& size : sizes) {
    form.SetBounds(60, 60, size.cx, size.cy);
    Application().ProcessMessages();  // whatever the controls post to themselves
    const TRect client = form.ClientRect();
    SCOPED_TRACE(::testing::Message() << size.cx << " x " << size.cy);
    EXPECT_EQ(file.BoundsRect(), (TRect{0, 0, client.right, fileHeight}));
    EXPECT_EQ(view.BoundsRect(), (TRect{0, fileHeight, client.right, fileHeight + viewHeight}));
    EXPECT_EQ(status.BoundsRect(),
              (TRect{0, client.bottom - statusHeight, client.right, client.bottom}));
    EXPECT_EQ(main.BoundsRect(), (TRect{5, fileHeight + viewHeight, client.right - 5,
                                        client.bottom - statusHeight - 5}));
  }
}

TEST_F(ControlsTest, DisabledToolbarImagesAreGreyedCopies) {
  // Two 8 x 8 images: a red one and one all of the mask colour.
  TBitmap strip;
  strip.Create(16, 8, clBlack);
  {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, strip.Handle());
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT r{0, 0, 8, 8};
    FillRect(dc, &r, red);
    DeleteObject(red);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  TImageList images(8, 8);
  ASSERT_EQ(images.AddStrip(strip, clBlack), 0);
  TImageList disabled;
  MakeDisabledImages(images, disabled);
  ASSERT_EQ(disabled.Count(), 2);
  TMemoryCanvas canvas(16, 8);
  canvas.FillRect({0, 0, 16, 8}, clWhite);
  disabled.Draw(canvas.Handle(), 0, 0, 0);
  disabled.Draw(canvas.Handle(), 1, 8, 0);
  const TColor grey = canvas.Pixel(3, 3);
  EXPECT_EQ(GetRValue(grey), GetGValue(grey));
  EXPECT_EQ(GetGValue(grey), GetBValue(grey));
  EXPECT_GT(GetRValue(grey), 128);  // lighter than the enabled picture's darkest part
  EXPECT_LT(GetRValue(grey), 255);
  EXPECT_EQ(canvas.Pixel(11, 3), RgbColor(255, 255, 255));  // transparent stays transparent

  TToolBar& bar = form.Add<TToolBar>(form, images);
  bar.SetDisabledImages(&disabled);
  EXPECT_EQ(bar.Perform(TB_GETDISABLEDIMAGELIST), reinterpret_cast<LRESULT>(disabled.Handle()));
  bar.SetDisabledImages(nullptr);
  EXPECT_EQ(bar.Perform(TB_GETDISABLEDIMAGELIST), 0);
}

// A real double click reaches OnDblClick once: standard controls report it themselves, the
// mouse message must not report it again.
TEST_F(ControlsTest, ARealDoubleClickIsReportedOnceByListsAndLabels) {
  TListView& list = form.Add<TListView>(form, TRect::FromBounds(10, 10, 220, 120));
  list.AddColumn("Name", 180);
  list.AddItem("first");
  list.AddItem("second");
  TLabel& label = form.Add<TLabel>(form, "Double-click here", TRect::FromBounds(10, 150, 200, 20));
  int listClicks = 0, labelClicks = 0;
  list.OnDblClick = [&] { ++listClicks; };
  label.OnDblClick = [&] { ++labelClicks; };
  form.Show();
  ASSERT_TRUE(MakeForeground(form.Handle()));
  RECT row{};
  row.left = LVIR_BOUNDS;
  ASSERT_TRUE(list.Perform(LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)));
  TPoint inList = list.ClientToScreen({20, (row.top + row.bottom) / 2});
  if (!MoveMouse({inList.x, inList.y})) {
    GTEST_SKIP() << "this display takes no synthetic mouse input";
  }
  ClickMouse({inList.x, inList.y});
  ClickMouse({inList.x, inList.y});
  // Both reports, if there were two, come from the one double-click message.
  ASSERT_TRUE(PumpUntil([&] { return listClicks > 0; }));
  EXPECT_EQ(listClicks, 1);
  EXPECT_EQ(list.ItemIndex(), 1);

  TPoint onLabel = label.ClientToScreen({10, 10});
  ASSERT_TRUE(MoveMouse({onLabel.x, onLabel.y}));
  ClickMouse({onLabel.x, onLabel.y});
  ClickMouse({onLabel.x, onLabel.y});
  ASSERT_TRUE(PumpUntil([&] { return labelClicks > 0; }));
  EXPECT_EQ(labelClicks, 1);
  EXPECT_EQ(listClicks, 1);
}

TEST_F(ControlsTest, StatusBarPanelsAndSimpleText) {
  TStatusBar& status = form.Add<TStatusBar>(form);
  status.SetPanels({120, -1});
  status.SetPanelText(0, "MIDI ok");
  status.SetPanelText(1, "3 presets");
  EXPECT_EQ(status.PanelText(0), "MIDI ok");
  EXPECT_EQ(status.PanelText(1), "3 presets");
  status.SetSimplePanel(true);
  status.SetSimpleText("Opens a project");
  EXPECT_TRUE(SendMessageW(status.Handle(), SB_ISSIMPLE, 0, 0));
}

TEST_F(ControlsTest, ClipboardKeepsTextAndOwnFormats) {
  TClipboard clipboard(form.Handle());
  ASSERT_TRUE(clipboard.SetText("Preset \xE4"));  // an ANSI character survives the trip
  EXPECT_TRUE(clipboard.HasText());
  EXPECT_EQ(clipboard.GetText(), "Preset \xE4");
  UINT format = TClipboard::RegisterFormat("Korvanta Test Translators");
  ASSERT_NE(format, 0u);
  EXPECT_EQ(TClipboard::RegisterFormat("Korvanta Test Translators"), format);
  std::string text = "as text";
  ASSERT_TRUE(clipboard.SetData(format, std::string("a\0b", 3), &text));
  EXPECT_TRUE(clipboard.HasFormat(format));
  std::optional<std::string> bytes = clipboard.GetData(format);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->substr(0, 3), std::string("a\0b", 3));
  EXPECT_EQ(clipboard.GetText(), "as text");
}

TEST_F(ControlsTest, CheckBoxesLabelsAndEdits) {
  TCheckBox& box = form.Add<TCheckBox>(form, "Active", TRect::FromBounds(0, 0, 100, 20));
  int clicks = 0;
  box.OnClick = [&] { ++clicks; };
  box.SetChecked(true);
  EXPECT_TRUE(box.Checked());
  EXPECT_EQ(clicks, 0);
  box.Perform(BM_CLICK);
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(clicks, 1);

  TLabel& label = form.Add<TLabel>(form, "www.example.org", TRect::FromBounds(0, 30, 150, 20));
  int labelClicks = 0;
  label.OnClick = [&] { ++labelClicks; };
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, STN_CLICKED),
               reinterpret_cast<LPARAM>(label.Handle()));
  EXPECT_EQ(labelClicks, 1);
  EXPECT_EQ(label.Text(), "www.example.org");

  TEdit& edit = form.Add<TEdit>(form, TRect::FromBounds(0, 60, 150, 22));
  edit.SetText("abcdef");
  edit.SetSelection(2, 3);
  EXPECT_EQ(edit.SelStart(), 2);
  EXPECT_EQ(edit.SelLength(), 3);
  edit.ReplaceSelection("X");
  EXPECT_EQ(edit.Text(), "abXf");
  edit.SetReadOnly(true);
  EXPECT_TRUE(edit.ReadOnly());
}

}  // namespace
}  // namespace kv::ui
