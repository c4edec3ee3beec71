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
// Replaces target with source in one step (target may exist). False on failure.
bool ReplaceFileWith(const std::string& source, const std::string& target);
bool DeleteFileAt(const std::string& path);
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
