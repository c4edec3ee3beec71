#include "midi/system/port_text.h"

#include "base/win/wide.h"

namespace kv {

// wchar_t and char16_t have the same layout on Windows.
std::string NarrowFromUtf16(std::u16string_view text) {
  return win::Narrow(std::wstring_view(reinterpret_cast<const wchar_t*>(text.data()), text.size()));
}

std::u16string Utf16FromNarrow(std::string_view text) {
  const std::wstring wide = win::Widen(text);
  return std::u16string(reinterpret_cast<const char16_t*>(wide.data()), wide.size());
}

}  // namespace kv
