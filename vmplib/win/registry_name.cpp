#include "vmplib/win/registry_name.h"

#include <windows.h>

#include <string>

namespace kv::vmpl::win {

bool ReadHklmNameValue(std::u16string_view keyPath, RegistryValue& value) {
  const std::wstring path(keyPath.begin(), keyPath.end());
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  BYTE buffer[kMaxNameValueBytes];
  DWORD type = 0, size = sizeof buffer;
  const LONG r = RegQueryValueExW(key, L"Name", nullptr, &type, buffer, &size);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS) return false;
  value.type = type;
  value.data.assign(buffer, buffer + (size < sizeof buffer ? size : sizeof buffer));
  return true;
}

}  // namespace kv::vmpl::win
