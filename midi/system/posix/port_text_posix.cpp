#include "midi/system/port_text.h"

namespace kv {

std::string NarrowFromUtf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) out += c < 256 ? static_cast<char>(c) : '?';
  return out;
}

std::u16string Utf16FromNarrow(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) out += static_cast<char16_t>(static_cast<unsigned char>(c));
  return out;
}

}  // namespace kv
