#pragma once
// The virtual-port library speaks UTF-16; the program's text is ANSI bytes. Conversion in the
// port layer goes through these two (Windows: the ANSI code page; natively: each byte is one
// code unit, code units above 255 become "?").
#include <string>
#include <string_view>

namespace kv {

std::string NarrowFromUtf16(std::u16string_view text);
std::u16string Utf16FromNarrow(std::string_view text);

}  // namespace kv
