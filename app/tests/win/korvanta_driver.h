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
  TRunningProgram(const std::wstring& exe, const std::wstring& arguments,
                  const std::vector<std::pair<std::wstring, std::wstring>>& environment = {});
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

// The screen part a window covers (plus extra pixels around it) as a 24-bit BMP file.
bool SaveScreenPicture(const RECT& area, const std::wstring& file);

// A toolbar button's rectangle on the screen (TB_GETITEMRECT through memory in the toolbar's
// process); false when the toolbar has no such item.
bool ToolButtonScreenRect(HWND toolbar, int index, RECT& screen);
// A cell of any list view of another process (a dialog page's list included).
std::string ListViewCell(HWND list, int row, int column);
// One character typed as the keyboard would give it, any Unicode character.
void TypeWideChar(wchar_t c);
// Binds the two port aliases of the router example ("Keyboard" in, "Synth" out) to ports of
// their own names, so a start that loads it asks nothing about them.
void BindExampleAliases(const std::wstring& programBaseName);
// The items of another process's combo box, read in that process.
std::vector<std::string> ComboItems(HWND combo);

}  // namespace kv::test
