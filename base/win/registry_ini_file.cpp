#include "base/win/registry_ini_file.h"

#include <windows.h>

#include <vector>

#include "base/text.h"
#include "base/win/wide.h"

namespace kv {

using win::Narrow;
using win::Widen;

namespace {

// An open registry key, closed when it goes out of scope.
class RegKey {
 public:
  RegKey() = default;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey() {
    if (h_) RegCloseKey(h_);
  }
  bool Open(const std::wstring& path, REGSAM access) {
    return RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, &h_) == ERROR_SUCCESS;
  }
  LONG Create(const std::wstring& path) {
    return RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                           nullptr, &h_, nullptr);
  }
  HKEY get() const { return h_; }

 private:
  HKEY h_ = nullptr;
};

[[noreturn]] void Fail(const std::string& what, LONG code) {
  SetLastError(static_cast<DWORD>(code));
  wchar_t* buf = nullptr;
  FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::string reason = buf ? TrimRight(Narrow(buf)) : "error " + IntToStr(code);
  if (buf) LocalFree(buf);
  throw EFileError(what + ": " + reason);
}

// Reads a value's type and bytes; false when it does not exist.
bool QueryValue(HKEY key, const std::wstring& name, DWORD& type, std::vector<BYTE>& data) {
  DWORD size = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return false;
  data.assign(size + sizeof(wchar_t), 0);
  DWORD got = size;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &got) != ERROR_SUCCESS)
    return false;
  data.resize(got);
  return true;
}

std::string StringValue(const std::vector<BYTE>& data) {
  std::wstring w(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  while (!w.empty() && w.back() == L'\0') w.pop_back();
  return Narrow(w);
}

}  // namespace

TRegistryIniFile::TRegistryIniFile(std::string keyPath, bool writable)
    : keyPath_(std::move(keyPath)), writable_(writable) {
  while (!keyPath_.empty() && keyPath_.front() == '\\') keyPath_.erase(0, 1);
}

std::wstring TRegistryIniFile::SectionPath(std::string_view section) const {
  std::string p = keyPath_;
  if (!section.empty()) p += "\\" + std::string(section);
  return Widen(p);
}

bool TRegistryIniFile::KeyExists() const {
  RegKey k;
  return k.Open(Widen(keyPath_), KEY_READ);
}

std::string TRegistryIniFile::ReadString(std::string_view section, std::string_view key,
                                         std::string_view def) const {
  RegKey k;
  if (!k.Open(SectionPath(section), KEY_READ)) return std::string(def);
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!QueryValue(k.get(), Widen(key), type, data)) return std::string(def);
  if (type == REG_SZ || type == REG_EXPAND_SZ) return StringValue(data);
  if (type == REG_DWORD && data.size() >= 4) {
    int32_t v;
    memcpy(&v, data.data(), 4);
    return IntToStr(v);
  }
  return std::string(def);
}

void TRegistryIniFile::WriteString(std::string_view section, std::string_view key,
                                   std::string_view value) {
  if (!writable_)
    throw EFileError("The settings key \"" + keyPath_ + "\" is open for reading only");
  RegKey k;
  if (LONG r = k.Create(SectionPath(section)); r != ERROR_SUCCESS)
    Fail("Cannot create the registry key \"" + keyPath_ + "\\" + std::string(section) + "\"", r);
  const std::wstring w = Widen(value);
  const LONG r = RegSetValueExW(k.get(), Widen(key).c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(w.c_str()),
                                static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t)));
  if (r != ERROR_SUCCESS) Fail("Cannot write the registry value \"" + std::string(key) + "\"", r);
}

int32_t TRegistryIniFile::ReadInteger(std::string_view section, std::string_view key,
                                      int32_t def) const {
  RegKey k;
  if (!k.Open(SectionPath(section), KEY_READ)) return def;
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!QueryValue(k.get(), Widen(key), type, data)) return def;
  if (type == REG_DWORD && data.size() >= 4) {
    int32_t v;
    memcpy(&v, data.data(), 4);
    return v;
  }
  if (type == REG_SZ || type == REG_EXPAND_SZ) return StrToIntDef(Trim(StringValue(data)), def);
  return def;
}

void TRegistryIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  if (!writable_)
    throw EFileError("The settings key \"" + keyPath_ + "\" is open for reading only");
  RegKey k;
  if (LONG r = k.Create(SectionPath(section)); r != ERROR_SUCCESS)
    Fail("Cannot create the registry key \"" + keyPath_ + "\\" + std::string(section) + "\"", r);
  const DWORD v = static_cast<DWORD>(value);
  const LONG r = RegSetValueExW(k.get(), Widen(key).c_str(), 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&v), sizeof v);
  if (r != ERROR_SUCCESS) Fail("Cannot write the registry value \"" + std::string(key) + "\"", r);
}

bool TRegistryIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TRegistryIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteInteger(section, key, value ? 1 : 0);
}

std::vector<std::string> TRegistryIniFile::ReadSections() const {
  std::vector<std::string> names;
  RegKey k;
  if (!k.Open(Widen(keyPath_), KEY_READ)) return names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD len = 256;
    const LONG r = RegEnumKeyExW(k.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr);
    if (r != ERROR_SUCCESS) break;
    names.push_back(Narrow(std::wstring_view(name, len)));
  }
  return names;
}

std::vector<std::string> TRegistryIniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  RegKey k;
  if (!k.Open(SectionPath(section), KEY_READ)) return keys;
  std::vector<wchar_t> name(16384);
  for (DWORD i = 0;; ++i) {
    DWORD len = static_cast<DWORD>(name.size());
    const LONG r = RegEnumValueW(k.get(), i, name.data(), &len, nullptr, nullptr, nullptr, nullptr);
    if (r != ERROR_SUCCESS) break;
    keys.push_back(Narrow(std::wstring_view(name.data(), len)));
  }
  return keys;
}

bool TRegistryIniFile::SectionExists(std::string_view section) const {
  RegKey k;
  return k.Open(SectionPath(section), KEY_READ);
}

bool TRegistryIniFile::ValueExists(std::string_view section, std::string_view key) const {
  RegKey k;
  if (!k.Open(SectionPath(section), KEY_READ)) return false;
  return RegQueryValueExW(k.get(), Widen(key).c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

void TRegistryIniFile::EraseSection(std::string_view section) {
  if (!writable_)
    throw EFileError("The settings key \"" + keyPath_ + "\" is open for reading only");
  const LONG r = RegDeleteTreeW(HKEY_CURRENT_USER, SectionPath(section).c_str());
  if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND)
    Fail("Cannot delete the registry key \"" + std::string(section) + "\"", r);
}

void TRegistryIniFile::DeleteKey(std::string_view section, std::string_view key) {
  if (!writable_)
    throw EFileError("The settings key \"" + keyPath_ + "\" is open for reading only");
  RegKey k;
  if (!k.Open(SectionPath(section), KEY_WRITE)) return;
  const LONG r = RegDeleteValueW(k.get(), Widen(key).c_str());
  if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND)
    Fail("Cannot delete the registry value \"" + std::string(key) + "\"", r);
}

}  // namespace kv
