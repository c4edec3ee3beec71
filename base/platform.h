#pragma once
// Calls to the operating system that portable code needs: files and folders, the program's
// own path and version, the shell, the settings registry, debugger output and thread
// priority. Each has a Windows implementation (base/win/platform_win.cpp) and a portable
// stand-in (base/posix/platform_posix.cpp) so that native tests link and run; the stand-in
// answers what a test of portable logic needs and nothing more (no shell, no registry).
//
// Paths are the program's ANSI byte strings with Windows separators.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

bool FileExists(const std::string& path);
// True when the path names a folder; a bare drive such as "C:" is tested with "\" appended.
bool DirExists(const std::string& path);
// The file's read-only attribute; a file whose attributes cannot be read counts as read-only.
bool IsFileReadOnly(const std::string& path);
// Creates the folder and every missing parent (a trailing "\" is ignored). False on failure.
bool ForceFolders(const std::string& path);
// Every component replaced by its long name as found on disk; unchanged when the result
// names neither a file nor a folder.
std::string ExpandLongPath(const std::string& path);
bool DeleteFileAt(const std::string& path);
// The names, without folder, of the files in folder (ending with its separator; empty for
// the current folder) whose names begin with prefix as this system compares names (ignoring
// case on Windows).
std::vector<std::string> FileNamesStartingWith(const std::string& folder,
                                               const std::string& prefix);
// Deletes the file unless a process holds it open (it may still be writing it, as a
// TReplacementFile does). False when the file stays.
bool DeleteFileUnlessHeld(const std::string& path);

// A new file written to take another file's place in one step. It is created only under a
// name no file has, and while this object keeps it open it counts as held: another save's
// sweep of leftovers (DeleteFileUnlessHeld) leaves it alone. A call that fails returns false
// and LastSystemErrorText says why; the destructor closes the file and leaves it where it is.
class TReplacementFile {
 public:
  explicit TReplacementFile(const std::string& path);
  ~TReplacementFile();
  TReplacementFile(const TReplacementFile&) = delete;
  TReplacementFile& operator=(const TReplacementFile&) = delete;

  bool IsOpen() const { return handle_ != kClosed; }
  bool Write(std::string_view bytes);
  // Pushes what was written through the system's caches onto the disk.
  bool Flush();
  // Puts the file in target's place (target may exist, but a read-only target is refused),
  // returning once the move is on the disk, and closes it.
  bool MoveTo(const std::string& target);

 private:
  static constexpr intptr_t kClosed = -1;
  void Close();

  std::string path_;
  intptr_t handle_ = kClosed;  // the system's handle (Windows) or file descriptor
};
// The last system error as text, for error messages.
std::string LastSystemErrorText();

// The program file's long full path (cached) and its folder (no trailing "\").
std::string GetProgramPath();
std::string GetProgramFolder();
// The "FileVersion" text of a file's version block; empty without one.
std::string GetFileVersionText(const std::string& file);
bool IsWindowsVistaOrLater();

// Shell special folders (CSIDL numbers); empty when the shell cannot give it.
std::string GetSpecialFolder(int folderId);
std::string GetMyDocumentsFolder();
std::string GetCommonAppDataFolder();
// Starts the file with its default verb, shown normally; true when the shell reports success.
// window is the owner window's handle as a number (0 for none).
bool ShellOpen(uintptr_t window, const std::string& file, const std::string& parameters,
               const std::string& folder);
// A leading "\" removed; true when the key under the root opens for reading. root is one of
// the kRegRoot values.
enum class RegRoot { CurrentUser, LocalMachine };
bool RegKeyExists(RegRoot root, const std::string& subkey);

// Debugger output (OutputDebugString on Windows, standard error elsewhere).
void DebugOutput(const std::string& text);

enum class ThreadPriority { Normal, Higher, Highest, TimeCritical };
void SetCurrentThreadPriority(ThreadPriority priority);

}  // namespace kv
