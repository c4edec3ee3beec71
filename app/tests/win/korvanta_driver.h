#pragma once
// Drives a running Korvanta.exe from outside, as a user or another program would: starts it,
// finds its windows, reads its lists (through memory in its process), types and clicks with
// real input, and takes pictures of the screen.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace kv::test {

// Waits, checking every 20 ms, until done() or timeoutMs passed; returns done().
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 15000);

// The folder of the running test program (Korvanta.exe and the test host are built there).
std::wstring BinFolder();

// The program's settings under HKEY_CURRENT_USER: removed, or written before a start.
inline constexpr const wchar_t* kProgramKey = L"Software\\Zarn Software\\Zarn's Korvanta Pro";
void DeleteProgramSettings();
bool ProgramSettingsExist();
// A quiet start: no exit question, no migration, no example installation error.
void WriteQuietSettings(const std::wstring& programBaseName);
void WriteSetting(const std::wstring& programBaseName, const std::wstring& name, DWORD value);
void WriteSetting(const std::wstring& programBaseName, const std::wstring& name,
                  const std::wstring& value);
// A value in another section than "Current" of the program's settings.
void WriteSectionSetting(const std::wstring& programBaseName, const wchar_t* section,
                         const wchar_t* name, DWORD value);

// Real keyboard and mouse input to whatever has the focus.
void Key(WORD vk, bool up);
void Press(WORD vk, std::initializer_list<WORD> modifiers = {});
// Presses the key again (at most three times) while done() does not follow within seconds: a
// key that lost its modifiers to a focus change on the way has no effect.
bool PressUntil(WORD vk, std::initializer_list<WORD> modifiers, const std::function<bool()>& done);
void TypeText(const std::string& text);
void ClickAt(POINT screen);
// Clicks the dialog's button with that caption ("&No") by its own message; false while there
// is no such button or it is still disabled.
bool ClickButton(HWND dialog, const std::string& caption);
// Returns once the window's thread has handled what was queued for it.
bool Sync(HWND window);
// The window to the front, ready for keys.
bool ActivateWindow(HWND window);

class TRunningProgram {
 public:
  // With a desktop name the program starts on that desktop (see TVirtualDesktop).
  TRunningProgram(const std::wstring& exe, const std::wstring& arguments,
                  const std::vector<std::pair<std::wstring, std::wstring>>& environment = {},
                  const std::wstring& desktop = {});
  ~TRunningProgram();  // ends the process when it still runs
  TRunningProgram(const TRunningProgram&) = delete;
  TRunningProgram& operator=(const TRunningProgram&) = delete;

  bool Started() const { return process_.hProcess != nullptr; }
  bool Running() const;
  bool WaitForExit(DWORD timeoutMs);
  DWORD Pid() const { return process_.dwProcessId; }

  // Visible top-level windows of the process.
  std::vector<HWND> VisibleWindows() const;
  // The main window once it is visible (waits), else null.
  HWND MainWindow(DWORD timeoutMs = 20000);
  // A visible top-level window other than the main window (a dialog), or null.
  HWND Dialog() const;
  HWND WaitForDialog(DWORD timeoutMs = 15000);
  // Every text of a window and its children.
  static std::vector<std::string> Texts(HWND window);
  std::string Title();
  // The main window to the front with the keyboard focus.
  bool Activate();
  // The window of the program that has the keyboard focus.
  HWND Focused() const;

  // The two lists: 0 presets (left), 1 translators.
  HWND List(int which);
  int RowCount(int which);
  std::string Cell(int which, int row, int column);
  std::vector<std::string> Column(int which, int column = 0);
  bool Checked(int which, int row);
  bool RowSelected(int which, int row);
  std::string StatusText(int panel);
  // A row's check mark or selection changed by the list's own message, as accessibility
  // tools and other programs do it.
  bool SetRowState(int which, int row, UINT mask, UINT state);
  // A point on a row, right of its name, on the screen.
  POINT RowPoint(int which, int row);
  // The captions of a tree view's items, each child after its parent, indented by two blanks
  // a level.
  std::vector<std::string> TreeItems(HWND tree);
  // The caption of the tree view's selected item.
  std::string TreeSelection(HWND tree);

 private:
  std::string TreeItemText(HWND tree, HTREEITEM item);
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
};

// A desktop of Wine's own, drawn in one window of the display as `explorer /desktop=` makes it,
// for as long as the object lives; the calling thread works on it meanwhile (it must own no
// window), so the program started there and its windows are found and pictured as usual.
class TVirtualDesktop {
 public:
  explicit TVirtualDesktop(const std::wstring& name);
  ~TVirtualDesktop();
  TVirtualDesktop(const TVirtualDesktop&) = delete;
  TVirtualDesktop& operator=(const TVirtualDesktop&) = delete;
  bool Entered() const { return entered_; }
  const std::wstring& Name() const { return name_; }

 private:
  std::wstring name_;
  HDESK desktop_ = nullptr;
  HDESK previous_ = nullptr;
  bool entered_ = false;
};

// The screen part a window covers (plus extra pixels around it) as a 24-bit BMP file.
bool SaveScreenPicture(const RECT& area, const std::wstring& file);

// A toolbar button's rectangle on the screen (TB_GETITEMRECT through memory in the toolbar's
// process); false when the toolbar has no such item.
bool ToolButtonScreenRect(HWND toolbar, int index, RECT& screen);
// A cell of any list view of another process (a dialog page's list included).
std::string ListViewCell(HWND list, int row, int column);
// One character typed as the keyboard would give it, any Unicode character.
void TypeWideChar(wchar_t c);
// Binds the two port aliases of the router example ("Keyboard" in, "Synth" out) to ports, so a
// start that loads it asks nothing about them. The ports have other names: an alias named
// after its own port is dropped at the start when that port is not there.
void BindExampleAliases(const std::wstring& programBaseName);
// The items of another process's combo box, read in that process.
std::vector<std::string> ComboItems(HWND combo);


// --- what the exe test files share -----------------------------------------------------------

// A program built beside the tests by its base name ("Korvanta", "korvanta_testhost").
std::wstring Exe(const wchar_t* name);
// An example project of the sources.
std::wstring ExampleFile(const char* name);
// A folder of the test's own in the temporary folder, made when missing.
std::wstring TempFolder(const wchar_t* name);
// A writable copy of an example project in the temporary folder of that name.
std::wstring CopyExample(const char* name, const wchar_t* folder);
// The text in double quotes, as one argument of a command line.
std::wstring Quoted(const std::wstring& text);
// Whether one of the texts holds that part.
bool Contains(const std::vector<std::string>& texts, const std::string& part);
// A file's bytes, empty when it cannot be read.
std::string FileBytes(const std::wstring& file);
// Text typed as the keyboard would give it, any character.
void TypeWide(const std::wstring& text);

// A file of that name in the folder the tests' pictures go to.
std::wstring ShotFile(const wchar_t* name);
// A picture of the window (plus extra pixels around it, cut at the screen's top and left
// edges) into ShotFile(name). Painted through first, unless asWindowLeftIt: then only what
// the window itself marked for painting is painted, so what it failed to redraw shows.
bool SaveWindowShot(HWND window, const wchar_t* name, int extra = 0, bool asWindowLeftIt = false);

// The text a window answers WM_GETTEXT with (for a control of another process its own text,
// not the caption the system keeps for it).
std::string WindowText(HWND window);
// The texts the window's children give when asked by message, as a screen reader asks, a
// line each.
std::string ChildTexts(HWND window);
// The visible child window of that class (a lower-case part of its name), or that passes the
// test, that lies highest, then leftmost, or null.
HWND TopChild(HWND window, const wchar_t* className);
HWND TopChildWhere(HWND window, const std::function<bool(HWND)>& test);
// Whether the window's class name holds that lower-case part.
bool OfClass(HWND window, const wchar_t* lowerCasePart);
// A project of the test's own in the temporary folder of that name: one preset "Keys" holding
// the translators' key=value lines.
std::wstring WriteProject(const wchar_t* folder, const wchar_t* name, const std::string& translators);
// The value of a key=value line of the file, or "(none)".
std::string FileValue(const std::wstring& file, const std::string& key);
// The program's main window, shown or hidden in the notification area, or null.
HWND MainWindowShownOrNot(DWORD pid);
// The most rows any list view inside the window has, shown or not; -1 without a list.
int MostListRows(HWND window);
// The child window whose class name holds that lower-case part, showing that text, or null;
// with visibleOnly only a visible one.
HWND ChildWithText(HWND window, const wchar_t* className, const std::string& text,
                   bool visibleOnly = false);
// A visible window of the program whose title starts with the text, or null.
HWND WindowTitled(const TRunningProgram& program, const std::string& start);
// A visible window of the program with a text that holds that part (a message box), or null.
HWND WindowSaying(const TRunningProgram& program, const std::string& part);
// The drop-down menu window while a menu is open, or null.
HWND OpenMenuWindow();

// A point on the name of a list's row, on the screen: a click there on the selected row
// starts renaming it.
POINT NamePoint(TRunningProgram& program, int which, int row);
// A click on the middle of the window.
void ClickCenter(HWND window);
// The translator editor's name field (on its Options page, shown with F5) that shows `shown`,
// clicked and typed over with `typed`; null when it never took the keys.
HWND TypeOverEditorName(TRunningProgram& program, HWND editor, const std::string& shown,
                        const std::string& typed);
// The in-place edit box a list shows while a row is renamed, or null.
HWND ListEditBox(HWND list);
// A text value in another section than "Current" of the program's settings.
void WriteSectionSetting(const std::wstring& programBaseName, const wchar_t* section,
                         const wchar_t* name, const std::wstring& value);

// The test host's MIDI input feed (KV_TEST_MIDI_FEED): the file appears with its whole text at
// once; short messages (hexadecimal, a line each) are played into the input, true once taken;
// played again (at most five times) while done() does not follow, as a message that arrives
// while the program is still starting up is not processed yet.
bool WriteWhole(const std::wstring& file, const std::string& text);
bool PlayIntoInput(const std::wstring& feed, const std::string& messages);
bool PlayUntil(const std::wstring& feed, const std::string& messages,
               const std::function<bool()>& done);

}  // namespace kv::test
