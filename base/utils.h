#pragma once
// Small shared functions: numbers as text, paths, versions, hexadecimal pairs and string
// tests. Those that ask the operating system are in base/platform.h.
#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

inline int IntMin(int a, int b) {
  return a < b ? a : b;
}
inline int IntMax(int a, int b) {
  return a > b ? a : b;
}

std::string IntToStrZeroPad(int64_t value, int width);

std::string RemoveTrailingBackslash(std::string_view path);
std::string AddTrailingBackslash(std::string_view path);
// The text before the last "." when that "." is at (1-based) position 2 or later.
std::string StripExtension(std::string_view name);
std::string ExtractFileName(std::string_view path);  // after the last "\", "/" or ":"
std::string ExtractFilePath(std::string_view path);  // up to and including that separator
std::string ExtractFileExt(std::string_view path);   // from the last "." of the name, or ""
std::string ChangeFileExt(std::string_view path, std::string_view ext);
std::string RemoveAllChars(std::string_view text, char c);
// Deletes the characters / \ * : ? " < > and |.
std::string MakeValidFileName(std::string_view text);

// A relative path is put under programFolder; a path that begins with one "\" or "/" gets
// the program folder's drive. Returns true when the path was changed.
bool ResolveToProgramFolder(std::string& path, std::string_view programFolder);
// The same against the running program's folder.
bool ResolveToProgramFolder(std::string& path);

// Version texts from a file version such as "1.7.2.1285": "1.72", "1285", 1285.
std::string ProgramVersionFromFileVersion(std::string_view fileVersion);
std::string ProgramBuildFromFileVersion(std::string_view fileVersion);
int ProgramBuildNumberFromFileVersion(std::string_view fileVersion);
// The same for the running program's own file version.
std::string GetProgramVersion();
std::string GetProgramBuild();
int GetProgramBuildNumber();

// The two characters at the 1-based position as a hexadecimal byte, or -1.
int HexPairToByte(std::string_view text, size_t position);
// True when the whole text is an integer.
bool StrToIntCheck(std::string_view text, int32_t& value);
bool StrBeginsWith(std::string_view text, std::string_view part, bool ignoreCase);
bool StrEndsWith(std::string_view text, std::string_view part, bool ignoreCase);

// The program file's name without folder and extension.
std::string GetProgramBaseName();

}  // namespace kv
