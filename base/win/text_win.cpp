#include <windows.h>

#include "base/text.h"
#include "base/win/wide.h"

namespace kv {

int AnsiCompareText(std::string_view a, std::string_view b) {
  const std::wstring wa = win::Widen(a);
  const std::wstring wb = win::Widen(b);
  const int r = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.data(),
                               static_cast<int>(wa.size()), wb.data(), static_cast<int>(wb.size()));
  if (r == 0) return CompareText(a, b);  // the locale could not compare: fall back to ASCII
  return r - CSTR_EQUAL;
}

}  // namespace kv
