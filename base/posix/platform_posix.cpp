// Portable stand-in for the operating-system calls of base/platform.h, for native builds and
// their tests. Paths are used as the host gives them; there is no shell and no registry.
#include <fcntl.h>
#include <sys/file.h>
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

bool DeleteFileAt(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

std::vector<std::string> FileNamesStartingWith(const std::string& folder,
                                               const std::string& prefix) {
  std::vector<std::string> names;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.compare(0, prefix.size(), prefix) == 0 && it->is_regular_file(ec))
      names.push_back(std::move(name));
  }
  return names;
}

// Here a file counts as held while some descriptor has the exclusive lock that
// TReplacementFile takes on its file.
bool DeleteFileUnlessHeld(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return false;
  const bool deleted = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(path.c_str()) == 0;
  ::close(fd);
  return deleted;
}

// --- TReplacementFile ---

TReplacementFile::TReplacementFile(const std::string& path) : path_(path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return;
  }
  handle_ = fd;
}

TReplacementFile::~TReplacementFile() {
  Close();
}

void TReplacementFile::Close() {
  if (handle_ == kClosed) return;
  ::close(static_cast<int>(handle_));
  handle_ = kClosed;
}

bool TReplacementFile::Write(std::string_view bytes) {
  if (handle_ == kClosed) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool TReplacementFile::Flush() {
  return handle_ != kClosed && ::fsync(static_cast<int>(handle_)) == 0;
}

bool TReplacementFile::MoveTo(const std::string& target) {
  if (FileExists(target) && IsFileReadOnly(target)) {
    errno = EACCES;
    return false;
  }
  if (std::rename(path_.c_str(), target.c_str()) != 0) return false;
  // The new name is on the disk once its folder is; a file system that cannot sync a folder
  // has the rename there already, so a failure here does not undo the save.
  const std::string folder = std::filesystem::path(target).parent_path().string();
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  Close();
  return true;
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
