#include "base/utils.h"

#include <cmath>
#include <cstdio>

#include "base/platform.h"
#include "base/text.h"

namespace kv {

std::string IntToStrZeroPad(int64_t value, int width) {
  std::string r = IntToStr(value);
  while (static_cast<int>(r.size()) < width) r.insert(r.begin(), '0');
  return r;
}

std::string RemoveTrailingBackslash(std::string_view path) {
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

std::string AddTrailingBackslash(std::string_view path) {
  std::string r(path);
  if (!r.empty() && r.back() != '\\') r += '\\';
  return r;
}

std::string StripExtension(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot < 1) return std::string(name);
  return std::string(name.substr(0, dot));
}

static size_t NameStart(std::string_view path) {
  const size_t sep = path.find_last_of("\\/:");
  return sep == std::string_view::npos ? 0 : sep + 1;
}

std::string ExtractFileName(std::string_view path) {
  return std::string(path.substr(NameStart(path)));
}

std::string ExtractFilePath(std::string_view path) {
  return std::string(path.substr(0, NameStart(path)));
}

std::string ExtractFileExt(std::string_view path) {
  const size_t start = NameStart(path);
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < start) return {};
  return std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  const size_t start = NameStart(path);
  size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < start) dot = path.size();
  return std::string(path.substr(0, dot)) + std::string(ext);
}

std::string RemoveAllChars(std::string_view text, char c) {
  std::string r;
  r.reserve(text.size());
  for (char ch : text)
    if (ch != c) r += ch;
  return r;
}

std::string MakeValidFileName(std::string_view text) {
  static constexpr std::string_view kBad = "/\\*:?\"<>|";
  std::string r;
  for (char ch : text)
    if (kBad.find(ch) == std::string_view::npos) r += ch;
  return r;
}

bool ResolveToProgramFolder(std::string& path, std::string_view programFolder) {
  if (path.size() >= 2) {
    const bool unc = (path[0] == '\\' && path[1] == '\\') || (path[0] == '/' && path[1] == '/');
    if (unc || path[1] == ':') return false;
    if (path[0] == '\\' || path[0] == '/') {
      const std::string drive = programFolder.size() >= 2 && programFolder[1] == ':'
                                    ? std::string(programFolder.substr(0, 2))
                                    : std::string();
      path = drive + path;
      return true;
    }
  }
  path = RemoveTrailingBackslash(programFolder) + "\\" + path;
  return true;
}

bool ResolveToProgramFolder(std::string& path) {
  return ResolveToProgramFolder(path, GetProgramFolder());
}

std::string ProgramVersionFromFileVersion(std::string_view fileVersion) {
  const size_t last = fileVersion.rfind('.');
  if (last == std::string_view::npos || last < 1) return {};
  std::string r(fileVersion.substr(0, last));
  const size_t inner = r.rfind('.');
  if (inner != std::string::npos && inner >= 1) r.erase(inner, 1);
  return r;
}

std::string ProgramBuildFromFileVersion(std::string_view fileVersion) {
  const size_t last = fileVersion.rfind('.');
  if (last == std::string_view::npos) return {};
  return std::string(fileVersion.substr(last + 1));
}

int ProgramBuildNumberFromFileVersion(std::string_view fileVersion) {
  return StrToIntDef(ProgramBuildFromFileVersion(fileVersion), 0);
}

std::string GetProgramVersion() {
  return ProgramVersionFromFileVersion(GetFileVersionText(GetProgramPath()));
}
std::string GetProgramBuild() {
  return ProgramBuildFromFileVersion(GetFileVersionText(GetProgramPath()));
}
int GetProgramBuildNumber() {
  return ProgramBuildNumberFromFileVersion(GetFileVersionText(GetProgramPath()));
}

int HexPairToByte(std::string_view text, size_t position) {
  static constexpr std::string_view kHex = "0123456789ABCDEF";
  if (position < 1 || position + 1 > text.size()) return -1;
  const size_t hi = kHex.find(UpCaseChar(text[position - 1]));
  const size_t lo = kHex.find(UpCaseChar(text[position]));
  if (hi == std::string_view::npos || lo == std::string_view::npos) return -1;
  return static_cast<int>(hi * 16 + lo);
}

bool StrToIntCheck(std::string_view text, int32_t& value) {
  auto v = TryStrToInt(text);
  if (!v) return false;
  value = *v;
  return true;
}

bool StrBeginsWith(std::string_view text, std::string_view part, bool ignoreCase) {
  if (part.size() > text.size()) return false;
  const std::string_view head = text.substr(0, part.size());
  return ignoreCase ? AnsiSameText(head, part) : head == part;
}

bool StrEndsWith(std::string_view text, std::string_view part, bool ignoreCase) {
  if (part.size() > text.size()) return false;
  const std::string_view tail = text.substr(text.size() - part.size());
  return ignoreCase ? AnsiSameText(tail, part) : tail == part;
}

std::string GetProgramBaseName() {
  return StripExtension(ExtractFileName(GetProgramPath()));
}

}  // namespace kv
