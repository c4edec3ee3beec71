#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <vector>

#include "base/platform.h"
#include "base/text.h"
#include "base/win/wide.h"

namespace kv {

using win::Narrow;
using win::Widen;

static DWORD Attributes(const std::string& path) {
  return GetFileAttributesW(Widen(path).c_str());
}

bool FileExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirExists(const std::string& path) {
  std::string p = path;
  if (p.size() == 2 && p[1] == ':') p += '\\';
  const DWORD a = Attributes(p);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFileReadOnly(const std::string& path) {
  const DWORD a = Attributes(path);
  return a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_READONLY) != 0;
}

bool ForceFolders(const std::string& path) {
  std::string p = path;
  while (!p.empty() && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  if (p.empty()) return false;
  if (DirExists(p)) return true;
  const size_t sep = p.find_last_of("\\/");
  if (sep != std::string::npos && sep > 0 && !(sep == 2 && p[1] == ':' && p.size() == 3)) {
    const std::string parent = p.substr(0, sep);
    if (!(parent.size() == 2 && parent[1] == ':') && !ForceFolders(parent)) return false;
  }
  return CreateDirectoryW(Widen(p).c_str(), nullptr) || DirExists(p);
}

std::string ExpandLongPath(const std::string& path) {
  const std::wstring w = Widen(path);
  const DWORD n = GetLongPathNameW(w.c_str(), nullptr, 0);
  if (n == 0) return path;
  std::wstring out(n, L'\0');
  const DWORD got = GetLongPathNameW(w.c_str(), out.data(), n);
  if (got == 0 || got >= n) return path;
  out.resize(got);
  const std::string r = Narrow(out);
  return (FileExists(r) || DirExists(r)) ? r : path;
}

bool DeleteFileAt(const std::string& path) {
  return DeleteFileW(Widen(path).c_str()) != 0;
}

std::vector<std::string> FileNamesStartingWith(const std::string& folder,
                                               const std::string& prefix) {
  std::vector<std::string> names;
  const std::wstring head = Widen(prefix);
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileExW((Widen(folder) + head + L"*").c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    // The pattern also matches short (8.3) names: the long name is the one that counts.
    const std::wstring_view name(found.cFileName);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || name.size() < head.size() ||
        CompareStringOrdinal(name.data(), static_cast<int>(head.size()), head.data(),
                             static_cast<int>(head.size()), TRUE) != CSTR_EQUAL)
      continue;
    // A name the code page cannot hold is no name this program made.
    if (std::optional<std::string> narrow = win::NarrowExactly(name))
      names.push_back(std::move(*narrow));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

bool DeleteFileUnlessHeld(const std::string& path) {
  // Opened without sharing, the file cannot be open anywhere else, and it goes when this
  // handle closes; a file another process has open refuses the open instead.
  const HANDLE h = CreateFileW(Widen(path).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                               FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

// --- TReplacementFile ---

static HANDLE AsHandle(intptr_t h) {
  return reinterpret_cast<HANDLE>(h);
}

TReplacementFile::TReplacementFile(const std::string& path) : path_(path) {
  // Shared for deletion only, so that it can be moved into place while still held.
  const HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                               CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) handle_ = reinterpret_cast<intptr_t>(h);
}

TReplacementFile::~TReplacementFile() {
  Close();
}

void TReplacementFile::Close() {
  if (handle_ == kClosed) return;
  CloseHandle(AsHandle(handle_));
  handle_ = kClosed;
}

bool TReplacementFile::Write(std::string_view bytes) {
  if (handle_ == kClosed) return false;
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(AsHandle(handle_), bytes.data(), chunk, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

bool TReplacementFile::Flush() {
  return handle_ != kClosed && FlushFileBuffers(AsHandle(handle_));
}

bool TReplacementFile::MoveTo(const std::string& target) {
  const std::wstring from = Widen(path_), to = Widen(target);
  // The system refuses to replace a read-only file, except where the process's rights
  // override the attribute; the user's wish holds there too.
  if (FileExists(target) && IsFileReadOnly(target)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  const DWORD how = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  if (MoveFileExW(from.c_str(), to.c_str(), how)) {
    Close();
    return true;
  }
  // A system that will not move a file while it is open gets it closed first: the file is
  // then unheld for the moment of the move.
  if (GetLastError() != ERROR_SHARING_VIOLATION) return false;
  Close();
  return MoveFileExW(from.c_str(), to.c_str(), how) != 0;
}

std::string LastSystemErrorText() {
  const DWORD code = GetLastError();
  wchar_t* buf = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::string text = n ? TrimRight(Narrow(std::wstring_view(buf, n))) : std::string();
  if (buf) LocalFree(buf);
  if (text.empty()) text = "system error " + IntToStr(code);
  return text;
}

std::string GetProgramPath() {
  static const std::string path = [] {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
      const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
      if (n == 0) return std::string();
      if (n < buf.size()) return ExpandLongPath(Narrow(std::wstring_view(buf.data(), n)));
      buf.resize(buf.size() * 2);
    }
  }();
  return path;
}

std::string GetProgramFolder() {
  const std::string p = GetProgramPath();
  const size_t slash = p.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : p.substr(0, slash);
}

static std::wstring QueryVersionString(const std::vector<char>& block, const std::wstring& key) {
  wchar_t* value = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(block.data(), (L"\\StringFileInfo\\" + key + L"\\FileVersion").c_str(),
                      reinterpret_cast<void**>(&value), &len) ||
      !value || len == 0)
    return {};
  std::wstring r(value, len);
  while (!r.empty() && r.back() == L'\0') r.pop_back();
  return r;
}

std::string GetFileVersionText(const std::string& file) {
  const std::wstring w = Widen(file);
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(w.c_str(), &handle);
  if (size == 0) return {};
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(w.c_str(), 0, size, block.data())) return {};
  std::wstring text;
  WORD* translation = nullptr;
  UINT len = 0;
  if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                     reinterpret_cast<void**>(&translation), &len) &&
      translation && len >= 4) {
    const std::string key = IntToHex(translation[0], 4) + IntToHex(translation[1], 4);
    text = QueryVersionString(block, Widen(key));
  }
  if (text.empty()) text = QueryVersionString(block, L"040904E4");
  if (text.empty()) text = QueryVersionString(block, L"00000000");
  return Narrow(text);
}

bool IsWindowsVistaOrLater() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&info)) return false;
#pragma GCC diagnostic pop
  return info.dwMajorVersion >= 6;
}

std::string GetSpecialFolder(int folderId) {
  wchar_t buf[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, buf))) return {};
  return Narrow(buf);
}

std::string GetMyDocumentsFolder() {
  return GetSpecialFolder(CSIDL_PERSONAL);
}

std::string GetCommonAppDataFolder() {
  std::string p = GetSpecialFolder(CSIDL_COMMON_APPDATA);
  while (!p.empty() && p.back() == '\\') p.pop_back();
  return p;
}

bool ShellOpen(uintptr_t window, const std::string& file, const std::string& parameters,
               const std::string& folder) {
  const std::wstring f = Widen(file), p = Widen(parameters), d = Widen(folder);
  const HINSTANCE r = ShellExecuteW(reinterpret_cast<HWND>(window), nullptr, f.c_str(),
                                    p.empty() ? nullptr : p.c_str(),
                                    d.empty() ? nullptr : d.c_str(), SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(r) > 32;
}

bool RegKeyExists(RegRoot root, const std::string& subkey) {
  std::string key = subkey;
  if (!key.empty() && key.front() == '\\') key.erase(0, 1);
  HKEY h = nullptr;
  const HKEY base = root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  if (RegOpenKeyExW(base, Widen(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

void DebugOutput(const std::string& text) {
  OutputDebugStringW(Widen(text).c_str());
}

void SetCurrentThreadPriority(ThreadPriority priority) {
  int p = THREAD_PRIORITY_NORMAL;
  switch (priority) {
    case ThreadPriority::Normal:
      p = THREAD_PRIORITY_NORMAL;
      break;
    case ThreadPriority::Higher:
      p = THREAD_PRIORITY_ABOVE_NORMAL;
      break;
    case ThreadPriority::Highest:
      p = THREAD_PRIORITY_HIGHEST;
      break;
    case ThreadPriority::TimeCritical:
      p = THREAD_PRIORITY_TIME_CRITICAL;
      break;
  }
  SetThreadPriority(GetCurrentThread(), p);
}

}  // namespace kv
