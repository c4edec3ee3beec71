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

std::optional<std::string> NarrowExactly(std::wstring_view s) {
  if (s.empty()) return std::string();
  // UTF-8 holds every character (and takes no default-character flag).
  if (GetACP() == CP_UTF8) return Narrow(s);
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.data(),
                                    static_cast<int>(s.size()), nullptr, 0, nullptr, &lossy);
  if (n <= 0 || lossy) return std::nullopt;
  std::string r(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.data(), static_cast<int>(s.size()), r.data(),
                      n, nullptr, &lossy);
  if (lossy) return std::nullopt;
  return r;
}

}  // namespace kv::win
