#pragma once
// The converter between hexadecimal and decimal numbers on the editor's help page. Each side
// shows the other's value, or nothing when its text is not a number.
#include <string>
#include <string_view>

namespace kv {

struct THexConversion {
  bool ok = false;
  std::string text;   // the other field's text; empty when !ok
  std::string error;  // why the text is not a number
};

// Upper-case hexadecimal without leading zeros ("0" for zero); negative numbers as their
// 32-bit pattern. Texts other than a decimal number in 32 bits (signed or unsigned) fail.
THexConversion DecimalToHexText(std::string_view decimal);

// Leading "0"s, then leading blanks, are dropped; at most 8 hexadecimal digits of either case
// are read as an unsigned 32-bit value. A text of only zeros is 0; an empty text fails with
// "Null string.", more than 8 digits with "Overflow", any other character with
// "not hexadecimal.".
THexConversion HexToDecimalText(std::string_view hex);

}  // namespace kv
