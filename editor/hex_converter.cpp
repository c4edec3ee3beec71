#include "editor/hex_converter.h"

#include <charconv>
#include <cstdint>

#include "base/text.h"
#include "base/text_helpers.h"

namespace kv {
namespace {

constexpr size_t kMaxHexDigits = 8;

THexConversion Fail(std::string error) {
  return {false, {}, std::move(error)};
}

}  // namespace

THexConversion DecimalToHexText(std::string_view decimal) {
  const std::string text = Trim(decimal);
  int64_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return Fail("not a number");
  if (value < INT32_MIN || value > UINT32_MAX) return Fail("Overflow");
  return {true, IntToHexFixed(static_cast<uint32_t>(value), 1, 0), {}};
}

THexConversion HexToDecimalText(std::string_view hex) {
  size_t i = 0;
  while (i < hex.size() && hex[i] == '0') ++i;
  const bool hadZeros = i > 0;
  while (i < hex.size() && hex[i] == ' ') ++i;
  const std::string_view digits = hex.substr(i);
  if (digits.empty()) return hadZeros ? THexConversion{true, "0", {}} : Fail("Null string.");
  if (digits.size() > kMaxHexDigits) return Fail("Overflow");
  uint32_t value = 0;
  for (char c : digits) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return Fail("not hexadecimal.");
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return {true, std::to_string(value), {}};
}

}  // namespace kv
