#pragma once
// Conversion between the program's ANSI byte strings and the UTF-16 of the Win32 calls.
// Only code at the Win32 boundary uses these.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv::win {

std::wstring Widen(std::string_view s);
// Lossy: a character the ANSI code page cannot hold becomes its default character ("?").
std::string Narrow(std::wstring_view s);
// The ANSI form of a text that the code page holds exactly; nullopt when it would lose or
// change characters (a file name so narrowed would name another file or none).
std::optional<std::string> NarrowExactly(std::wstring_view s);

// Narrowing for text that will be stored: false when the ANSI code page cannot hold some of
// the characters exactly (no best-fit look-alikes either); `unstorable` then lists each such
// character in order, and `out` is left as it was.
bool NarrowExact(std::wstring_view s, std::string& out, std::vector<char32_t>& unstorable);
// The same, with the message that refuses the text (base/unstorable_text.h) in `error`;
// `what` names the field ("The alias name").
bool NarrowChecked(std::wstring_view s, std::string& out, std::string& error,
                   const std::string& what = {});

}  // namespace kv::win
