// Portable stand-in for the operating-system calls of base/platform.h, for native builds and
// their tests. Paths are used as the host gives them; there is no shell and no registry.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <system_error>

#include "base/platform.h"

namespace kv {

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFileReadOnly(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return true;
  return (st.st_mode & S_IWUSR) == 0;
}

bool ForceFolders(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  if (p.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(p, ec);
  return DirExists(p);
}

std::string ExpandLongPath(const std::string& path) {
  return path;
}

bool ReplaceFileWith(const std::string& source, const std::string& target) {
  return std::rename(source.c_str(), target.c_str()) == 0;
}

bool DeleteFileAt(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

std::string LastSystemErrorText() {
  return std::strerror(errno);
}

std::string GetProgramPath() {
  static const std::string path = [] {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
  }();
  return path;
}

std::string GetProgramFolder() {
  const std::string p = GetProgramPath();
  const size_t slash = p.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : p.substr(0, slash);
}

std::string GetFileVersionText(const std::string&) {
  return {};
}
bool IsWindowsVistaOrLater() {
  return true;
}
std::string GetSpecialFolder(int) {
  return {};
}
std::string GetMyDocumentsFolder() {
  return {};
}
std::string GetCommonAppDataFolder() {
  return {};
}
bool ShellOpen(uintptr_t, const std::string&, const std::string&, const std::string&) {
  return false;
}
bool RegKeyExists(RegRoot, const std::string&) {
  return false;
}

void DebugOutput(const std::string& text) {
  static std::mutex m;
  std::lock_guard<std::mutex> lock(m);
  std::cerr << text << '\n';
}

void SetCurrentThreadPriority(ThreadPriority) {}

}  // namespace kv
