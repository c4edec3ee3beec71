#include "app/controller/win/migration_registry_win.h"

#include <windows.h>

#include "base/win/wide.h"

namespace kv {
namespace {

using win::Narrow;
using win::Widen;

class TKey {
 public:
  TKey(const std::string& path, REGSAM access) {
    const size_t start = path.find_first_not_of('\\');
    const std::string relative = start == std::string::npos ? std::string() : path.substr(start);
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(relative).c_str(), 0, access, &key_) !=
        ERROR_SUCCESS)
      key_ = nullptr;
  }
  ~TKey() {
    if (key_) RegCloseKey(key_);
  }
  TKey(const TKey&) = delete;
  TKey& operator=(const TKey&) = delete;
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

// Registry text may or may not carry its terminating zero; take what is there up to the first.
std::string TextOf(const std::vector<BYTE>& data, DWORD size) {
  std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
  const size_t zero = text.find(L'\0');
  if (zero != std::wstring::npos) text.resize(zero);
  return Narrow(text);
}

}  // namespace

bool TWinMigrationRegistry::KeyExists(const std::string& path) {
  return static_cast<bool>(TKey(path, KEY_READ));
}

std::optional<std::vector<std::string>> TWinMigrationRegistry::SubKeys(const std::string& path) {
  TKey key(path, KEY_READ);
  if (!key) return std::nullopt;
  DWORD count = 0, longest = 0;
  if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return std::nullopt;
  std::vector<std::string> names;
  std::wstring name(longest + 1, L'\0');
  for (DWORD i = 0; i < count; ++i) {
    DWORD length = static_cast<DWORD>(name.size());
    if (RegEnumKeyExW(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
        ERROR_SUCCESS)
      names.push_back(Narrow(std::wstring(name.data(), length)));
  }
  return names;
}

std::optional<std::vector<TMigrationRegistry::TValue>> TWinMigrationRegistry::Values(
    const std::string& path) {
  TKey key(path, KEY_READ);
  if (!key) return std::nullopt;
  DWORD count = 0, longestName = 0, longestData = 0;
  if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                       &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS)
    return std::nullopt;
  std::vector<TValue> values;
  std::wstring name(longestName + 1, L'\0');
  std::vector<BYTE> data(longestData + sizeof(wchar_t));
  for (DWORD i = 0; i < count; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size());
    if (RegEnumValueW(key.get(), i, name.data(), &nameLength, nullptr, &type, data.data(),
                      &size) != ERROR_SUCCESS)
      continue;
    TValue value{Narrow(std::wstring(name.data(), nameLength)), std::nullopt};
    if (type == REG_SZ || type == REG_EXPAND_SZ) value.text = TextOf(data, size);
    values.push_back(std::move(value));
  }
  return values;
}

bool TWinMigrationRegistry::DeleteKeyTree(const std::string& path, const std::string& subKey) {
  TKey key(path, KEY_ALL_ACCESS);
  return key && RegDeleteTreeW(key.get(), Widen(subKey).c_str()) == ERROR_SUCCESS;
}

}  // namespace kv
