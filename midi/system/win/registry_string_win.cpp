#include <windows.h>

#include <vector>

#include "base/win/wide.h"
#include "midi/system/registry_string.h"

namespace kv {

namespace {

class TRegKey {
 public:
  explicit TRegKey(const std::wstring& path) {
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  ~TRegKey() {
    if (key_) RegCloseKey(key_);
  }
  TRegKey(const TRegKey&) = delete;
  TRegKey& operator=(const TRegKey&) = delete;
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

bool DefaultReadLocalMachineString(const std::string& key, const std::string& value,
                                   size_t maxChars, std::string& text) {
  TRegKey regKey(win::Widen(key));
  if (!regKey.Get() || maxChars == 0) return false;
  // One spare character beyond the limit, so the text is terminated even when the stored
  // value is not.
  std::vector<wchar_t> buffer(maxChars + 1, L'\0');
  DWORD type = 0;
  DWORD bytes = static_cast<DWORD>(maxChars * sizeof(wchar_t));
  const std::wstring valueName = win::Widen(value);
  const LONG r = RegQueryValueExW(regKey.Get(), valueName.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(buffer.data()), &bytes);
  if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  size_t chars = bytes / sizeof(wchar_t);
  if (chars > maxChars) chars = maxChars;
  buffer[chars] = L'\0';
  text = win::Narrow(std::wstring_view(buffer.data()));  // up to the first terminator
  return true;
}

}  // namespace kv
