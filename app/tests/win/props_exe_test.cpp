// The property dialogs of the running program driven from outside: the "MIDI Ports" page's
// keys and its in-place device list, the dialog's smallest size, text the ANSI code page
// cannot hold typed into a name, and the port dialogs a loaded project's aliases bring on a
// desktop of Wine's own.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/tests/win/korvanta_driver.h"
#include "base/win/wide.h"

namespace kv::test {
namespace {

constexpr const wchar_t* kHostName = L"korvanta_testhost";
const std::string kSettingsTitle = "Settings - Zarn's Korvanta Pro";
constexpr const char* kNewOutAlias = "New MIDI OUT Alias";

// The picture of the window once two in a row agree (its painting has finished), or empty.
std::string SettledPicture(HWND window, const std::wstring& file, bool asWindowLeftIt) {
  std::string before, now;
  const bool settled = WaitUntil([&] {
    if (!SaveWindowShot(window, file.c_str(), 0, asWindowLeftIt)) return false;
    now = FileBytes(ShotFile(file.c_str()));
    const bool same = !now.empty() && now == before;
    before = now;
    return same;
  });
  return settled ? now : std::string();
}

// The window as it painted itself after a change looks the same as when it is painted anew
// as a whole: nothing of its earlier look stays behind. Both pictures are kept.
bool PaintedAsNew(HWND window, const std::wstring& name) {
  const std::string asLeft = SettledPicture(window, name + L".bmp", true);
  return !asLeft.empty() && asLeft == SettledPicture(window, name + L"-anew.bmp", false);
}

// "MIDI Ports..." (the first item of the MIDI menu) opens the settings on their ports page.
HWND OpenPortsPage(TRunningProgram& program) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    program.Activate();
    Press('M', {VK_MENU});
    if (WaitUntil([] { return OpenMenuWindow() != nullptr; }, 5000)) {
      Sync(program.MainWindow(0));
      Press(VK_RETURN);
      HWND dialog = nullptr;
      if (WaitUntil([&] { return (dialog = WindowTitled(program, kSettingsTitle)) != nullptr; },
                    5000) &&
          WaitUntil([&] {
            return Contains(TRunningProgram::Texts(dialog), "Setup MIDI Devices and Port Aliases");
          }))
        return dialog;
    }
    while (OpenMenuWindow()) Press(VK_ESCAPE);
  }
  return nullptr;
}

int ListRows(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

int RowNamed(HWND list, const std::string& name) {
  for (int i = 0, n = ListRows(list); i < n; ++i)
    if (ListViewCell(list, i, 0) == name) return i;
  return -1;
}

bool Renaming(HWND list) {
  return SendMessageW(list, LVM_GETEDITCONTROL, 0, 0) != 0;
}

// The ports page open with the list focused; Ctrl+N there adds a MIDI OUT alias, whose name
// is then being edited.
class PortsPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteProgramSettings();
    WriteQuietSettings(kHostName);
    program = std::make_unique<TRunningProgram>(Exe(kHostName), L"");
    ASSERT_NE(program->MainWindow(), nullptr);
    dialog = OpenPortsPage(*program);
    ASSERT_NE(dialog, nullptr);
    list = TopChild(dialog, L"syslistview32");
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ListRows(list) > 0; }));
    RECT r{};
    GetWindowRect(list, &r);
    ClickAt({r.left + 40, r.top + 30});  // the first row, below the header
    ASSERT_TRUE(WaitUntil([&] { return program->Focused() == list; }));
  }
  void TearDown() override {
    program.reset();
    DeleteProgramSettings();
  }
  // Ctrl+N and the chooser's MIDI OUT item: the new row's name is being edited.
  void AddOutAlias() {
    HWND chooser = nullptr;
    ASSERT_TRUE(PressUntil('N', {VK_CONTROL}, [&] {
      return (chooser = WindowTitled(*program, "Add a MIDI Port Alias")) != nullptr;
    }));
    HWND out = ChildWithText(chooser, L"button", "&2 - MIDI OUT port");
    ASSERT_NE(out, nullptr);
    PostMessageW(out, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return ClickButton(chooser, "OK"); }));
    ASSERT_TRUE(WaitUntil([&] { return RowNamed(list, kNewOutAlias) >= 0 && Renaming(list); }));
  }
  // Closes the message box that says that, with OK.
  bool Answer(const std::string& part) {
    HWND box = nullptr;
    return WaitUntil([&] { return (box = WindowSaying(*program, part)) != nullptr; }) &&
           WaitUntil([&] { return ClickButton(box, "OK"); }) &&
           WaitUntil([&] { return WindowSaying(*program, part) == nullptr; });
  }

  std::unique_ptr<TRunningProgram> program;
  HWND dialog = nullptr;
  HWND list = nullptr;
};

TEST_F(PortsPageTest, KeysWorkAfterARenameEndedWithEscapeOrEmpty) {
  ASSERT_NO_FATAL_FAILURE(AddOutAlias());
  Press(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !Renaming(list); }));
  EXPECT_NE(WindowTitled(*program, kSettingsTitle), nullptr);
  // F2 edits the name again, and an emptied name is refused with its message.
  ASSERT_TRUE(PressUntil(VK_F2, {}, [&] { return Renaming(list); }));
  Press(VK_DELETE);
  Press(VK_RETURN);
  EXPECT_TRUE(Answer("This is not a valid port alias name. Please do not use quotes."));
  EXPECT_GE(RowNamed(list, kNewOutAlias), 0);
  // Delete removes the row; Ctrl+N asks for the next alias's kind.
  const int rows = ListRows(list);
  ASSERT_TRUE(ActivateWindow(dialog));
  ASSERT_TRUE(PressUntil(VK_DELETE, {}, [&] { return ListRows(list) == rows - 1; }));
  EXPECT_LT(RowNamed(list, kNewOutAlias), 0);
  HWND chooser = nullptr;
  ASSERT_TRUE(PressUntil('N', {VK_CONTROL}, [&] {
    return (chooser = WindowTitled(*program, "Add a MIDI Port Alias")) != nullptr;
  }));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(chooser, "Cancel"); }));
  ASSERT_TRUE(
      WaitUntil([&] { return WindowTitled(*program, "Add a MIDI Port Alias") == nullptr; }));
  EXPECT_FALSE(Renaming(list));
}

TEST_F(PortsPageTest, TheDeviceDropDownStaysOpenUnderArrowKeysAndReturnChoosesInIt) {
  ASSERT_NO_FATAL_FAILURE(AddOutAlias());
  Press(VK_RETURN);  // keeps the proposed name
  ASSERT_TRUE(WaitUntil([&] { return !Renaming(list); }));
  HWND devices = TopChild(dialog, L"combobox");
  ASSERT_NE(devices, nullptr);
  RECT r{};
  GetWindowRect(devices, &r);
  ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  auto dropped = [&] { return SendMessageW(devices, CB_GETDROPPEDSTATE, 0, 0) != 0; };
  ASSERT_TRUE(WaitUntil(dropped));
  const LRESULT before = SendMessageW(devices, CB_GETCURSEL, 0, 0);
  Press(VK_DOWN);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(devices, CB_GETCURSEL, 0, 0) != before; }));
  Sync(dialog);
  EXPECT_TRUE(dropped());
  ASSERT_TRUE(SaveWindowShot(dialog, L"props-device-dropdown.bmp"));
  Press(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !dropped(); }));
  Sync(dialog);
  EXPECT_NE(WindowTitled(*program, kSettingsTitle), nullptr);  // the dialog stays open
  const std::string chosen = WindowText(devices);
  EXPECT_NE(chosen, "(none)");
  EXPECT_TRUE(WaitUntil([&] {
    const int row = RowNamed(list, kNewOutAlias);
    return row >= 0 && ListViewCell(list, row, 1) == chosen;
  })) << chosen;
  // The page's keys work while the device list has the focus.
  ASSERT_EQ(program->Focused(), devices);
  EXPECT_TRUE(PressUntil(VK_F2, {}, [&] { return Renaming(list); }));
}

TEST_F(PortsPageTest, ANameOutsideTheCodePageIsRefusedWithItsCharacters) {
  ASSERT_NO_FATAL_FAILURE(AddOutAlias());
  TypeText("Piano ");
  TypeWideChar(L'\u0436');
  Press(VK_RETURN);
  EXPECT_TRUE(
      WaitUntil([&] { return WindowSaying(*program, "The name holds a character") != nullptr; }));
  EXPECT_TRUE(Answer("U+0436"));
  EXPECT_GE(RowNamed(list, kNewOutAlias), 0);
  for (int i = 0, n = ListRows(list); i < n; ++i)
    EXPECT_EQ(ListViewCell(list, i, 0).find('?'), std::string::npos) << ListViewCell(list, i, 0);
}

// An alias named after its own port, which is gone, is dropped at the start; one the user
// bound to that port under a name of its own stays.
TEST(PortsPage, AnAliasOfAPortThatIsGoneIsNotShown) {
  DeleteProgramSettings();
  WriteQuietSettings(kHostName);
  const std::pair<const wchar_t*, const wchar_t*> aliases[] = {
      {L"Name0", L"Old Synth"}, {L"Device0", L"2:Old Synth"},
      {L"Name1", L"My Synth"}, {L"Device1", L"2:Old Synth"}};
  for (const auto& [name, value] : aliases)
    WriteSectionSetting(kHostName, L"MIDI.alias", name, value);
  TRunningProgram program(Exe(kHostName), L"");
  ASSERT_NE(program.MainWindow(), nullptr);
  HWND dialog = OpenPortsPage(program);
  ASSERT_NE(dialog, nullptr);
  HWND list = TopChild(dialog, L"syslistview32");
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return RowNamed(list, "My Synth") >= 0; }));
  EXPECT_GE(RowNamed(list, "KV Loop Out"), 0);
  EXPECT_LT(RowNamed(list, "Old Synth"), 0);
  SaveWindowShot(dialog, L"props-stale-alias-gone.bmp");
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "Cancel"); }));
  DeleteProgramSettings();
}

TEST(ProjectProperties, AnAuthorOutsideTheCodePageIsRefusedWhereItIsTyped) {
  DeleteProgramSettings();
  WriteQuietSettings(kHostName);
  TRunningProgram program(Exe(kHostName), L"");
  ASSERT_NE(program.MainWindow(), nullptr);
  HWND dialog = nullptr;
  // File menu: "Project Properties..." lies above "Recent Files" and "Exit".
  for (int attempt = 0; attempt < 3 && !dialog; ++attempt) {
    program.Activate();
    Press('F', {VK_MENU});
    if (!WaitUntil([] { return OpenMenuWindow() != nullptr; }, 5000)) continue;
    for (WORD key : {VK_UP, VK_UP, VK_UP}) Press(key);
    Press(VK_RETURN);
    WaitUntil([&] { return (dialog = WindowTitled(program, "Project Properties")) != nullptr; },
              5000);
    while (!dialog && OpenMenuWindow()) Press(VK_ESCAPE);
  }
  ASSERT_NE(dialog, nullptr);
  HWND author = TopChild(dialog, L"edit");
  ASSERT_NE(author, nullptr);
  RECT r{};
  GetWindowRect(author, &r);
  ClickAt({r.left + 20, (r.top + r.bottom) / 2});
  ASSERT_TRUE(WaitUntil([&] { return program.Focused() == author; }));
  TypeText("Zarn");
  ASSERT_TRUE(WaitUntil([&] { return WindowText(author) == "Zarn"; }));
  TypeWideChar(L'\u0436');
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = WindowSaying(program, "U+0436")) != nullptr; }));
  EXPECT_TRUE(Contains(TRunningProgram::Texts(box), "The author holds a character"));
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(box, "OK"); }));
  EXPECT_EQ(WindowText(author), "Zarn");
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "Cancel"); }));
  ASSERT_TRUE(WaitUntil([&] { return WindowTitled(program, "Project Properties") == nullptr; }));
  DeleteProgramSettings();
}

TEST(PropertyDialogSize, NeverSmallerThanItsPagesAndReopensUsable) {
  DeleteProgramSettings();
  WriteQuietSettings(kHostName);
  // A size stored earlier, too small for any page.
  const std::wstring key = std::wstring(kProgramKey) + L"\\" + kHostName + L"\\SettingsWindow";
  for (auto [name, value] : {std::pair{L"Width", 212}, std::pair{L"Height", 115}}) {
    const DWORD data = static_cast<DWORD>(value);
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_DWORD, &data, sizeof(data));
  }
  TRunningProgram program(Exe(kHostName), L"");
  ASSERT_NE(program.MainWindow(), nullptr);
  HWND dialog = OpenPortsPage(program);
  ASSERT_NE(dialog, nullptr);
  MINMAXINFO info{};
  SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  const LONG minWidth = info.ptMinTrackSize.x;
  const LONG minHeight = info.ptMinTrackSize.y;
  EXPECT_GE(minWidth, 169 + 380);
  EXPECT_GE(minHeight, 220 + 33);
  RECT r{};
  GetWindowRect(dialog, &r);
  EXPECT_GE(r.right - r.left, minWidth);
  EXPECT_GE(r.bottom - r.top, minHeight);

  // Each page grown and shrunk while it shows: nothing of the earlier layout stays behind.
  HWND tree = TopChild(dialog, L"treeview");
  ASSERT_NE(tree, nullptr);
  ASSERT_TRUE(ActivateWindow(dialog));
  RECT treeRect{};
  GetWindowRect(tree, &treeRect);
  ClickAt({treeRect.left + 30, treeRect.top + 10});  // the first page
  ASSERT_TRUE(WaitUntil([&] { return program.TreeSelection(tree) == "Start-Up"; }));
  const std::vector<std::string> pages = program.TreeItems(tree);
  for (size_t i = 0; i < pages.size(); ++i) {
    const std::wstring shot = L"props-page-" + std::to_wstring(i);
    SetWindowPos(dialog, nullptr, 0, 0, minWidth + 200, minHeight + 120, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(PaintedAsNew(dialog, shot + L"-grown")) << pages[i];
    SetWindowPos(dialog, nullptr, 0, 0, minWidth, minHeight, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(PaintedAsNew(dialog, shot + L"-shrunk")) << pages[i];
    Press(VK_DOWN);
  }

  // Shrunk by a program below the minimum: what is stored is the minimum.
  SetWindowPos(dialog, nullptr, 0, 0, 212, 115, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "Cancel"); }));
  ASSERT_TRUE(WaitUntil([&] { return WindowTitled(program, kSettingsTitle) == nullptr; }));
  DWORD width = 0, height = 0, size = sizeof(DWORD);
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Width", RRF_RT_REG_DWORD, nullptr,
                         &width, &size),
            ERROR_SUCCESS);
  size = sizeof(DWORD);
  RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Height", RRF_RT_REG_DWORD, nullptr, &height,
               &size);
  EXPECT_GE(static_cast<LONG>(width), minWidth);
  EXPECT_GE(static_cast<LONG>(height), minHeight);
  program.Activate();
  DeleteProgramSettings();
}

// The aliases of a project this machine lacks are asked for one after the other, each dialog
// where the one before was. On a desktop of Wine's own, as ./run.sh shows the program, the
// screen shows each dialog's own alias and list, never what the one before left there.
TEST(AliasDefinition, EachDialogShowsItsOwnAliasOnWinesDesktop) {
  DeleteProgramSettings();
  WriteQuietSettings(kHostName);
  TVirtualDesktop desktop(L"KvAliasDialogs");
  ASSERT_TRUE(desktop.Entered());
  const std::wstring file = CopyExample("MIDI router with filter.kvxp", L"kv-alias-dialogs");
  TRunningProgram program(Exe(kHostName), L"/project " + Quoted(file), {}, desktop.Name());
  struct TAsked {
    const char* alias;
    const char* label;
    const wchar_t* shot;
  };
  for (const TAsked& asked : {TAsked{"Keyboard", "MIDI INPUT device:", L"alias-first"},
                              TAsked{"Synth", "MIDI OUTPUT device:", L"alias-second"}}) {
    SCOPED_TRACE(asked.alias);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      dialog = WindowTitled(program, "Select MIDI Port");
      return dialog && Contains(TRunningProgram::Texts(dialog), asked.alias);
    }));
    EXPECT_TRUE(Contains(TRunningProgram::Texts(dialog), asked.label));
    EXPECT_TRUE(PaintedAsNew(dialog, asked.shot));
    ASSERT_TRUE(WaitUntil([&] { return ClickButton(dialog, "OK"); }));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  }
  DeleteProgramSettings();
}

}  // namespace
}  // namespace kv::test
