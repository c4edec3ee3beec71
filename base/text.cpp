#include "base/text.h"

#include <charconv>
#include <limits>

namespace kv {

char UpCaseChar(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

static char LowCaseChar(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = UpCaseChar(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = LowCaseChar(c);
  return r;
}

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(UpCaseChar(a[i]));
    const auto cb = static_cast<unsigned char>(UpCaseChar(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

bool AnsiSameText(std::string_view a, std::string_view b) {
  return AnsiCompareText(a, b) == 0;
}

static bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) {
  return TrimLeft(TrimRight(s));
}

std::optional<int32_t> TryStrToInt(std::string_view s) {
  if (s.empty()) return std::nullopt;
  bool negative = false;
  size_t i = 0;
  if (s[0] == '-' || s[0] == '+') {
    negative = s[0] == '-';
    i = 1;
  }
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return std::nullopt;
  uint64_t value = 0;
  const char* first = s.data() + i;
  const char* last = s.data() + s.size();
  auto [ptr, ec] = std::from_chars(first, last, value, base);
  if (ec != std::errc() || ptr != last) return std::nullopt;
  if (base == 16) {
    // Hexadecimal text names a 32-bit pattern: "$FFFFFFFF" is -1.
    if (value > 0xFFFFFFFFull) return std::nullopt;
    auto bits = static_cast<uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<int32_t>(bits);
  }
  const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
  if (value > limit) return std::nullopt;
  if (negative) return static_cast<int32_t>(0 - static_cast<int64_t>(value));
  return static_cast<int32_t>(value);
}

int32_t StrToIntDef(std::string_view s, int32_t def) {
  auto v = TryStrToInt(s);
  return v ? *v : def;
}

std::string IntToStr(int64_t value) {
  return std::to_string(value);
}

std::string IntToHex(uint32_t value, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string r;
  do {
    r.insert(r.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  while (static_cast<int>(r.size()) < digits) r.insert(r.begin(), '0');
  return r;
}

}  // namespace kv
