#pragma once
// Conversion between the program's ANSI byte strings and the UTF-16 of the Win32 calls.
// Only code at the Win32 boundary uses these.
#include <optional>
#include <string>
#include <string_view>

namespace kv::win {

std::wstring Widen(std::string_view s);
std::string Narrow(std::wstring_view s);
// The ANSI form of a text that the code page holds exactly; nullopt when it would lose or
// change characters (a file name so narrowed would name another file or none).
std::optional<std::string> NarrowExactly(std::wstring_view s);

}  // namespace kv::win
