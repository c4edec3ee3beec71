#include "base/win/wide.h"

#include <windows.h>

#include "base/unstorable_text.h"

namespace kv::win {

std::wstring Widen(std::string_view s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring r(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), r.data(), n);
  return r;
}

std::string Narrow(std::wstring_view s) {
  if (s.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string r(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), r.data(), n, nullptr,
                      nullptr);
  return r;
}

namespace {

// One character (one or two UTF-16 units) converts exactly: no default character and the
// bytes read back as the same character.
bool Storable(std::wstring_view unit) {
  const UINT codePage = GetACP();
  if (codePage == CP_UTF8) return true;
  char bytes[8];
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, unit.data(),
                                    static_cast<int>(unit.size()), bytes, sizeof(bytes), nullptr,
                                    &usedDefault);
  if (n <= 0 || usedDefault) return false;
  wchar_t back[4];
  const int m = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, n, back, 4);
  return m == static_cast<int>(unit.size()) &&
         std::wstring_view(back, static_cast<size_t>(m)) == unit;
}

}  // namespace

bool NarrowExact(std::wstring_view s, std::string& out, std::vector<char32_t>& unstorable) {
  unstorable.clear();
  for (size_t i = 0; i < s.size();) {
    size_t length = 1;
    char32_t character = s[i];
    if (IS_HIGH_SURROGATE(s[i]) && i + 1 < s.size() && IS_LOW_SURROGATE(s[i + 1])) {
      length = 2;
      character = 0x10000 + ((static_cast<char32_t>(s[i]) - 0xD800) << 10) +
                  (static_cast<char32_t>(s[i + 1]) - 0xDC00);
    }
    if (!Storable(s.substr(i, length))) unstorable.push_back(character);
    i += length;
  }
  if (!unstorable.empty()) return false;
  out = Narrow(s);
  return true;
}

bool NarrowChecked(std::wstring_view s, std::string& out, std::string& error,
                   const std::string& what) {
  std::vector<char32_t> unstorable;
  if (NarrowExact(s, out, unstorable)) {
    error.clear();
    return true;
  }
  error = UnstorableTextMessage(unstorable, what);
  return false;
}

std::optional<std::string> NarrowExactly(std::wstring_view s) {
  std::string out;
  std::vector<char32_t> unstorable;
  if (!NarrowExact(s, out, unstorable)) return std::nullopt;
  return out;
}

}  // namespace kv::win
