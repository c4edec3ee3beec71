// The classes-root registry reads of the browser search.
#include <windows.h>

#include <optional>
#include <string>

#include "base/win/wide.h"

namespace kv {

std::optional<std::string> ReadClassRootDefault(const std::string& key) {
  HKEY hkey = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, win::Widen(key).c_str(), 0, KEY_READ, &hkey) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  wchar_t buffer[1026] = {};
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  const LONG rc =
      RegQueryValueExW(hkey, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(hkey);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
  buffer[size / sizeof(wchar_t)] = 0;
  return win::Narrow(buffer);
}

}  // namespace kv
