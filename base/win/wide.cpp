#include "base/win/wide.h"

#include <windows.h>

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

}  // namespace kv::win
