// Korvanta.exe's dialogs driven from outside through its menus and keys: About, the translator
// editor, the settings and their pages, project and preset properties, and settings imported
// while the settings are open.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <functional>

#include "app/tests/win/korvanta_driver.h"
#include "app/tests/win/korvanta_exe_shared.h"
#include "base/win/wide.h"

namespace kv::test {
namespace {

TEST_F(KorvantaExeTest, AboutOpensAndASecondAboutReusesIt) {
  WriteQuietSettings(kProgramName);
  TRunningProgram program(Exe(kProgramName), L"");
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  // The About picture: a window beside the main one far larger than a hint.
  auto findAbout = [&] {
    for (HWND w : program.VisibleWindows()) {
      RECT r{};
      GetWindowRect(w, &r);
      if (w != main && r.right - r.left >= 300 && r.bottom - r.top >= 150) return w;
    }
    return HWND{};
  };
  HWND about = nullptr;
  ASSERT_TRUE(ChooseFromMenu(program, 'H', 'A', [&] { return (about = findAbout()) != nullptr; }));
  SaveWindowShot(about, L"korvanta-about.bmp");
  // Chosen again (it may have hidden by itself meanwhile): no second About window appears.
  ChooseFromMenu(program, 'H', 'A', [&] { return IsWindowVisible(about) != FALSE; });
  ASSERT_TRUE(Sync(main));
  wchar_t aboutClass[64] = {};
  GetClassNameW(about, aboutClass, 64);
  for (HWND w : program.VisibleWindows()) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    if (w != main && wcscmp(name, aboutClass) == 0) {
      EXPECT_EQ(w, about);
    }
  }
}

TEST_F(KorvantaExeTest, EditorOpensOnATranslatorAndAnAppliedNameShowsInTheList) {
  WriteQuietSettings(kProgramName);
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
  ASSERT_TRUE(program.Activate());
  ClickAt(program.RowPoint(kTranslators, 1));
  ASSERT_TRUE(WaitUntil([&] { return program.RowSelected(kTranslators, 1); }));
  // Ctrl+E, the Edit command of the menu and the toolbar, opens the editor on the translator.
  HWND editor = nullptr, name = nullptr;
  ASSERT_TRUE(
      PressUntil('E', {VK_CONTROL}, [&] { return (editor = program.Dialog()) != nullptr; }));
  SaveWindowShot(editor, L"korvanta-editor.bmp");
  // F5: the options page with the name.
  ActivateWindow(editor);
  ASSERT_TRUE(PressUntil(VK_F5, {}, [&] {
    return (name = ChildWithText(editor, L"edit", "Next")) != nullptr && IsWindowVisible(name);
  }));
  RECT r{};
  GetWindowRect(name, &r);
  ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == name; }));
  SendMessageW(name, EM_SETSEL, 0, -1);
  TypeText("Skip ahead");
  // Every typed key handled before Apply is pressed.
  ASSERT_TRUE(WaitUntil([&] { return ChildWithText(editor, L"edit", "Skip ahead") == name; }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(editor, "Apply"); }));
  EXPECT_TRUE(WaitUntil([&] { return program.Cell(kTranslators, 1, 0) == "Skip ahead"; }))
      << program.Cell(kTranslators, 1, 0);
  RECT both{};
  GetWindowRect(main, &both);
  SaveScreenPicture(both, ShotFile(L"korvanta-editor-over-main.bmp"));
}

// The dialog of the program whose title is that text, once it shows.
HWND WaitForDialogTitled(TRunningProgram& program, const std::string& title) {
  HWND found = nullptr;
  WaitUntil([&] {
    found = WindowTitled(program, title);
    return found && TRunningProgram::Texts(found)[0] == title;
  });
  return found;
}

// The visible child of that class (a lower-case part of its name) showing that text, or null.
HWND VisibleChild(HWND window, const wchar_t* className, const std::string& text) {
  return ChildWithText(window, className, text, true);
}

bool BoxChecked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Opens the menu bar's menu with Alt and its key and moves its highlight with the keys (from
// its first item); false when the menu did not open.
bool OpenMenuAt(TRunningProgram& program, WORD menuKey, std::initializer_list<WORD> moves) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    program.Activate();
    Press(menuKey, {VK_MENU});
    if (WaitUntil([] { return OpenMenuWindow() != nullptr; }, 5000)) {
      Sync(program.MainWindow(0));
      for (WORD key : moves) Press(key);
      Sync(program.MainWindow(0));
      return true;
    }
    Press(VK_ESCAPE);
  }
  return false;
}

// Chooses a menu item by its place (see OpenMenuAt) and Enter, and waits for the dialog of that
// title; again, at most three times, while it does not come.
HWND OpenFromMenu(TRunningProgram& program, WORD menuKey, std::initializer_list<WORD> moves,
                  const std::string& title) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (!OpenMenuAt(program, menuKey, moves)) return nullptr;
    Press(VK_RETURN);
    if (WaitUntil([&] { return WindowTitled(program, title) != nullptr; }, 5000))
      return WaitForDialogTitled(program, title);
    while (OpenMenuWindow()) Press(VK_ESCAPE);
  }
  return nullptr;
}

// The places of the commands in their menus, from the first item.
// O&ptions shares its key with &Preset: reached from &Help to its right; its last item.
const std::initializer_list<WORD> kSettingsItem = {VK_LEFT, VK_UP};
const std::initializer_list<WORD> kMidiPortsItem = {};      // &MIDI: the first item
const std::initializer_list<WORD> kPresetPortsItem = {VK_DOWN, VK_DOWN, VK_DOWN};
const std::initializer_list<WORD> kOpenUsedItem = {VK_UP, VK_UP};  // above "Rescan"
// &File: above "Recent Files" and "Exit".
const std::initializer_list<WORD> kProjectPropertiesItem = {VK_UP, VK_UP, VK_UP};

// Clicks the dialog's button and waits until the program shows no dialog any more.
void CloseDialogWith(TRunningProgram& program, HWND dialog, const std::string& button) {
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, button); }));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
}

// The router page of the open settings leads to the project's properties, on their router
// page, over the settings; closing them returns to the settings.
void ProjectPropertiesOpenOverTheSettings(TRunningProgram& program, HWND settings, HWND tree) {
  ASSERT_TRUE(program.TreeItems(tree).size() == 6u);
  HWND openProject = ChildWithText(settings, L"button", "Open Project Properties");
  ASSERT_NE(openProject, nullptr);
  PostMessageW(openProject, BM_CLICK, 0, 0);
  HWND project = WaitForDialogTitled(program, "Project Properties");
  ASSERT_NE(project, nullptr);
  HWND projectTree = TopChild(project, L"treeview");
  ASSERT_NE(projectTree, nullptr);
  EXPECT_EQ(program.TreeSelection(projectTree), "MIDI Router");
  EXPECT_FALSE(IsWindowEnabled(settings));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(project, "Cancel"); }));
  ASSERT_TRUE(WaitUntil([&] { return WindowTitled(program, "Project Properties") == nullptr; }));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(settings) != FALSE; }));
}

// Export from the open settings explains itself first; Cancel there ends it and leaves the
// settings open.
void ExportEndsAtItsExplanation(TRunningProgram& program, HWND settings,
                                const std::string& settingsTitle) {
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(settings, "Export..."); }));
  HWND help = WaitForDialogTitled(program, "Export Settings");
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(Contains(TRunningProgram::Texts(help),
                       "With this function, you export your settings to a .kvxs file."));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(help, "Cancel"); }));
  ASSERT_TRUE(WaitUntil([&] { return WindowTitled(program, "Export Settings") == nullptr; }));
  EXPECT_NE(WindowTitled(program, settingsTitle), nullptr);
}

TEST_F(KorvantaExeTest, SettingsOpenFromTheMenuOnTheirPagesCancelKeepsOkApplies) {
  WriteQuietSettings(kProgramName);
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
  const std::string title = program.Title();
  const std::string fullDescription = program.Cell(kTranslators, 0, 2);
  ASSERT_EQ(fullDescription, "MIDI 90 3C pp");

  const std::string settingsTitle = "Settings - Zarn's Korvanta Pro";
  HWND dialog = OpenFromMenu(program, 'H', kSettingsItem, settingsTitle);
  ASSERT_NE(dialog, nullptr);
  HWND tree = TopChild(dialog, L"treeview");
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(program.TreeItems(tree),
            (std::vector<std::string>{"Start-Up", "Appearance", "MIDI", "  MIDI Ports",
                                      "  MIDI Router", "  Virtual Ports"}));
  EXPECT_EQ(program.TreeSelection(tree), "Start-Up");
  HWND splash = ChildWithText(dialog, L"button", "Show Splash Screen");
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(IsWindowVisible(splash));
  EXPECT_FALSE(BoxChecked(splash));  // the quiet settings switch it off
  ASSERT_TRUE(SaveWindowShot(dialog, L"korvanta-settings.bmp"));

  // A box ticked and cancelled: nothing changes, and the next opening shows it as before.
  PostMessageW(splash, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return BoxChecked(splash); }));
  ASSERT_NO_FATAL_FAILURE(CloseDialogWith(program, dialog, "Cancel"));
  EXPECT_EQ(program.Title(), title);

  // "MIDI Ports..." opens the same dialog on its ports page.
  dialog = OpenFromMenu(program, 'M', kMidiPortsItem, settingsTitle);
  ASSERT_NE(dialog, nullptr);
  tree = TopChild(dialog, L"treeview");
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(program.TreeSelection(tree), "MIDI Ports");
  EXPECT_TRUE(WaitUntil([&] {
    return Contains(TRunningProgram::Texts(dialog), "Setup MIDI Devices and Port Aliases");
  }));
  ASSERT_TRUE(SaveWindowShot(dialog, L"korvanta-settings-ports.bmp"));
  splash = ChildWithText(dialog, L"button", "Show Splash Screen");
  ASSERT_NE(splash, nullptr);
  EXPECT_FALSE(BoxChecked(splash));

  ASSERT_NO_FATAL_FAILURE(ProjectPropertiesOpenOverTheSettings(program, dialog, tree));
  ASSERT_NO_FATAL_FAILURE(ExportEndsAtItsExplanation(program, dialog, settingsTitle));

  // Friendly descriptions ticked and applied with OK: the translator list shows them.
  HWND friendly = ChildWithText(dialog, L"button", "Friendly Descriptions");
  ASSERT_NE(friendly, nullptr);
  PostMessageW(friendly, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return BoxChecked(friendly); }));
  ASSERT_NO_FATAL_FAILURE(CloseDialogWith(program, dialog, "OK"));
  EXPECT_TRUE(WaitUntil([&] { return program.Cell(kTranslators, 0, 2) != fullDescription; }))
      << program.Cell(kTranslators, 0, 2);
  // Options are the program's settings, not the project's.
  EXPECT_EQ(program.Title(), title);
}

// A program without presets has no current preset: the command for its ports is shown disabled
// and does nothing, and opening the used ports says there is nothing to do.
void WithoutPresetsTheMidiMenuSaysSo() {
  TRunningProgram program(Exe(kProgramName), L"");
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.List(kPresets) != nullptr; }));
  ASSERT_TRUE(OpenMenuAt(program, 'M', kPresetPortsItem));
  HWND menu = OpenMenuWindow();
  ASSERT_NE(menu, nullptr);
  RECT area{}, menuRect{};
  GetWindowRect(main, &area);
  GetWindowRect(menu, &menuRect);
  UnionRect(&area, &area, &menuRect);
  RedrawWindow(menu, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_TRUE(Sync(main));
  // The status bar shows the hint of the highlighted item: the keys reached the command.
  EXPECT_TRUE(WaitUntil([&] {
    return program.StatusText(0) == "The MIDI ports the current preset uses" ||
           program.StatusText(SB_SIMPLEID) == "The MIDI ports the current preset uses";
  })) << program.StatusText(0);
  EXPECT_TRUE(SaveScreenPicture(area, ShotFile(L"korvanta-midi-menu-no-preset.bmp")));
  Press(VK_RETURN);
  ASSERT_TRUE(WaitUntil([] { return OpenMenuWindow() == nullptr; }));
  ASSERT_TRUE(Sync(main));
  EXPECT_EQ(program.Dialog(), nullptr);

  // Nothing is used and nothing open: the program says so.
  ASSERT_TRUE(OpenMenuAt(program, 'M', kOpenUsedItem));
  Press(VK_RETURN);
  HWND info = program.WaitForDialog();
  ASSERT_NE(info, nullptr);
  EXPECT_TRUE(
      Contains(TRunningProgram::Texts(info), "No MIDI ports needed to be opened or closed."))
      << ::testing::PrintToString(TRunningProgram::Texts(info));
  ActivateWindow(info);
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] { return program.Dialog() == nullptr; }));
}

// Alt+Enter on the focused preset opens its properties; their switching option is turned
// over and applied with OK.
void TurnOverAlwaysActive(TRunningProgram& program, const std::string& presetTitle) {
  HWND preset = nullptr;
  ASSERT_TRUE(PressUntil(VK_RETURN, {VK_MENU}, [&] {
    return (preset = WindowTitled(program, presetTitle)) != nullptr;
  }));
  HWND always = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    always = ChildWithText(preset, L"button",
                           "Ignore for Next/Previous Preset switching (\"always active\")");
    return always != nullptr;
  }));
  const bool wasChecked = BoxChecked(always);
  PostMessageW(always, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return BoxChecked(always) != wasChecked; }));
  ASSERT_NO_FATAL_FAILURE(CloseDialogWith(program, preset, "OK"));
}

TEST_F(KorvantaExeTest, ProjectAndPresetPropertiesMarkTheProjectChanged) {
  WriteQuietSettings(kProgramName);
  ASSERT_NO_FATAL_FAILURE(WithoutPresetsTheMidiMenuSaysSo());

  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
  const std::string unchanged = "Zarn's Korvanta Pro - MIDI to keystrokes.kvxp";
  const std::string changed = "Zarn's Korvanta Pro * MIDI to keystrokes.kvxp";
  ASSERT_EQ(program.Title(), unchanged);

  // With a current preset the same menu place opens its default ports.
  const std::string presetTitle = "Properties for Preset \"Media keys\"";
  HWND dialog = OpenFromMenu(program, 'M', kPresetPortsItem, presetTitle);
  ASSERT_NE(dialog, nullptr);
  HWND tree = TopChild(dialog, L"treeview");
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(program.TreeSelection(tree), "Default MIDI Ports");
  ASSERT_NO_FATAL_FAILURE(CloseDialogWith(program, dialog, "Cancel"));
  EXPECT_EQ(program.Title(), unchanged);

  // The author typed in and OK: the title shows the project changed.
  dialog = OpenFromMenu(program, 'F', kProjectPropertiesItem, "Project Properties");
  ASSERT_NE(dialog, nullptr);
  tree = TopChild(dialog, L"treeview");
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(program.TreeItems(tree),
            (std::vector<std::string>{"Author Info", "Default MIDI Ports", "MIDI Router"}));
  EXPECT_EQ(program.TreeSelection(tree), "Author Info");
  HWND author = TopChild(dialog, L"edit");
  ASSERT_NE(author, nullptr);
  EXPECT_EQ(ChildWithText(dialog, L"edit", "Zarn Software"), author);
  ActivateWindow(dialog);
  RECT r{};
  GetWindowRect(author, &r);
  ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == author; }));
  SendMessageW(author, EM_SETSEL, 0, -1);
  TypeText("Tester");
  ASSERT_TRUE(WaitUntil([&] { return ChildWithText(dialog, L"edit", "Tester") == author; }));
  ASSERT_TRUE(SaveWindowShot(dialog, L"korvanta-project-properties.bmp"));
  // Nothing is changed before the dialog applies.
  EXPECT_EQ(program.Title(), unchanged);
  ASSERT_NO_FATAL_FAILURE(CloseDialogWith(program, dialog, "OK"));
  EXPECT_TRUE(WaitUntil([&] { return program.Title() == changed; })) << program.Title();

  // Saved, then the preset's switching option changed through Alt+Enter on the preset list.
  ASSERT_TRUE(program.Activate());
  ASSERT_TRUE(PressUntil('S', {VK_CONTROL}, [&] { return program.Title() == unchanged; }))
      << program.Title();
  ClickAt(program.RowPoint(kPresets, 0));
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == program.List(kPresets); }));
  ASSERT_NO_FATAL_FAILURE(TurnOverAlwaysActive(program, presetTitle));
  EXPECT_TRUE(WaitUntil([&] { return program.Title() == changed; })) << program.Title();
}

TEST_F(KorvantaExeTest, ImportedSettingsShowInTheOpenSettingsAndStayAfterOk) {
  WriteQuietSettings(kProgramName);
  WriteSetting(kProgramName, L"DontShowImSettings", 1);
  const std::wstring imported = TempFolder(kFolder) + L"\\imported.kvxs";
  {
    std::ofstream out(imported.c_str(), std::ios::binary);
    out << "[Current]\r\nFriendlyDescriptions=1\r\nShowSplashScreen=0\r\n"
           "[MIDI.alias]\r\nName0=Imported Synth\r\nDevice0=2:Far Away\r\n";
  }
  WriteSectionSetting(kProgramName, L"MIDI.alias", L"Name0", L"Earlier Synth");
  WriteSectionSetting(kProgramName, L"MIDI.alias", L"Device0", L"2:Far Away");
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
  const std::string fullDescription = program.Cell(kTranslators, 0, 2);

  const std::string settingsTitle = "Settings - Zarn's Korvanta Pro";
  HWND dialog = OpenFromMenu(program, 'H', kSettingsItem, settingsTitle);
  ASSERT_NE(dialog, nullptr);
  HWND friendly = ChildWithText(dialog, L"button", "Friendly Descriptions");
  ASSERT_NE(friendly, nullptr);
  EXPECT_FALSE(BoxChecked(friendly));

  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "Import..."); }));
  HWND open = WaitForDialogTitled(program, "Import Settings");
  ASSERT_NE(open, nullptr);
  ActivateWindow(open);
  TypeText(win::Narrow(imported));
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] {
    return WindowTitled(program, "Import Settings") == nullptr;
  }));
  HWND info = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND w : program.VisibleWindows())
      if (w != main && w != dialog) info = w;
    return info != nullptr;
  }));
  EXPECT_TRUE(Contains(TRunningProgram::Texts(info), "Settings imported successfully."))
      << ::testing::PrintToString(TRunningProgram::Texts(info));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(info, "OK"); }));

  // The imported option shows in the dialog at once, and in the list behind it.
  EXPECT_TRUE(WaitUntil([&] { return BoxChecked(friendly); }));
  EXPECT_TRUE(WaitUntil([&] { return program.Cell(kTranslators, 0, 2) != fullDescription; }));
  // The file's aliases replace those there were: the ports page shows the imported one only.
  HWND tree = TopChild(dialog, L"treeview");
  ASSERT_NE(tree, nullptr);
  ASSERT_TRUE(ActivateWindow(dialog));
  RECT treeRect{};
  GetWindowRect(tree, &treeRect);
  ClickAt({treeRect.left + 30, treeRect.top + 10});
  for (int i = 0; i < 6 && program.TreeSelection(tree) != "MIDI Ports"; ++i) {
    const std::string before = program.TreeSelection(tree);
    Press(VK_DOWN);
    WaitUntil([&] { return program.TreeSelection(tree) != before; }, 3000);
  }
  HWND ports = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (ports = TopChild(dialog, L"syslistview32")) != nullptr; }));
  auto shown = [&](const std::string& name) {
    for (int i = 0, n = static_cast<int>(SendMessageW(ports, LVM_GETITEMCOUNT, 0, 0)); i < n; ++i)
      if (ListViewCell(ports, i, 0) == name) return true;
    return false;
  };
  EXPECT_TRUE(WaitUntil([&] { return shown("Imported Synth"); }));
  EXPECT_FALSE(shown("Earlier Synth"));
  SaveWindowShot(dialog, L"korvanta-imported-aliases.bmp");
  // OK keeps it: the dialog does not put back what it showed before the import.
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "OK"); }));
  ASSERT_TRUE(WaitUntil([&] { return program.Dialog() == nullptr; }));
  ASSERT_TRUE(Sync(main));
  EXPECT_NE(program.Cell(kTranslators, 0, 2), fullDescription);
}

TEST_F(KorvantaExeTest, EditorsPortEditOpensTheSettingsOnTheirPortsPage) {
  WriteQuietSettings(kProgramName);
  const std::wstring file = CopyExample("MIDI to keystrokes.kvxp", kFolder);
  TRunningProgram program(Exe(kProgramName), L"/project " + Quoted(file));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount(kTranslators) == 3; }));
  ASSERT_TRUE(program.Activate());
  ClickAt(program.RowPoint(kTranslators, 0));
  ASSERT_TRUE(WaitUntil([&] { return program.RowSelected(kTranslators, 0); }));
  HWND editor = nullptr;
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] { return (editor = program.Dialog()) != nullptr; }));
  // The trigger's ports: "On specific port(s)" shows the list and its Edit button.
  HWND specific = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (specific = VisibleChild(editor, L"button", "On specific port(s)")) != nullptr;
  }));
  PostMessageW(specific, BM_CLICK, 0, 0);
  HWND edit = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    edit = VisibleChild(editor, L"button", "Edit");
    return edit && IsWindowEnabled(edit);
  }));
  PostMessageW(edit, BM_CLICK, 0, 0);
  HWND dialog = WaitForDialogTitled(program, "Settings - Zarn's Korvanta Pro");
  ASSERT_NE(dialog, nullptr);
  HWND tree = TopChild(dialog, L"treeview");
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(program.TreeSelection(tree), "MIDI Ports");
  // Modal over the editor.
  EXPECT_FALSE(IsWindowEnabled(editor));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "Cancel"); }));
  ASSERT_TRUE(WaitUntil([&] { return WindowTitled(program, "Settings") == nullptr; }));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(editor) != FALSE; }));
}

// Settings exported in a run that never opened the editor keep the editor's place.
TEST_F(KorvantaExeTest, ExportedSettingsKeepThePlaceOfAnEditorNeverOpened) {
  WriteQuietSettings(kProgramName);
  WriteSectionSetting(kProgramName, L"EditWindow", L"Left", 37);
  WriteSectionSetting(kProgramName, L"EditWindow", L"Top", 41);
  const std::wstring exported = TempFolder(kFolder) + L"\\exported.kvxs";
  DeleteFileW(exported.c_str());
  TRunningProgram program(Exe(kProgramName), L"");
  ASSERT_NE(program.MainWindow(), nullptr);
  const std::string settingsTitle = "Settings - Zarn's Korvanta Pro";
  HWND settings = OpenFromMenu(program, 'H', kSettingsItem, settingsTitle);
  ASSERT_NE(settings, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(settings, "Export..."); }));
  HWND help = WaitForDialogTitled(program, "Export Settings");
  ASSERT_NE(help, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(help, "OK"); }));
  HWND save = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    save = WindowTitled(program, "Export Settings");
    return save != nullptr && save != help;
  }));
  ActivateWindow(save);
  TypeWide(exported);
  ASSERT_TRUE(PressUntil(VK_RETURN, {}, [&] { return FileBytes(exported).size() > 0; }));
  const std::string bytes = FileBytes(exported);
  const size_t section = bytes.find("[EditWindow]");
  ASSERT_NE(section, std::string::npos) << bytes;
  EXPECT_NE(bytes.find("Left=37", section), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("Top=41", section), std::string::npos) << bytes;
}

}  // namespace
}  // namespace kv::test
