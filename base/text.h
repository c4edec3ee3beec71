#pragma once
// Text helpers on the program's byte strings (ANSI code page, as stored files hold them).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

// ASCII-only case folding and comparison, as the stored formats use.
char UpCaseChar(char c);
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
int CompareText(std::string_view a, std::string_view b);  // <0, 0, >0; ASCII case-insensitive
bool SameText(std::string_view a, std::string_view b);

// Case-insensitive comparison in the user's locale on Windows, ASCII elsewhere. Used for
// names a user types: settings sections and keys, preset and port names.
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

// Blanks and control characters (<= ' ') removed at both ends, at the start, at the end.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// Whole-text decimal integer (an optional sign, digits); also "$hex" and "0x" hex as the
// class library's integer conversion accepts them. Nothing else is an integer.
std::optional<int32_t> TryStrToInt(std::string_view s);
int32_t StrToIntDef(std::string_view s, int32_t def);
std::string IntToStr(int64_t value);
std::string IntToHex(uint32_t value, int digits);  // upper-case, zero-padded to digits

}  // namespace kv
