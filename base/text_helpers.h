#pragma once
// The small text routines the stored forms of actions, rules and projects are built from:
// fixed-width hexadecimal, length-prefixed strings, escapes for multi-line values, byte dumps,
// path joining, and THashStringSet, which gives names stable integer ids.
//
// Positions are 1-based, as in the stored forms. Every helper checks its bounds: a stretch
// that reaches outside the text reads as invalid, never past the end.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// 0 to 15 for a hexadecimal digit of either case, -1 for any other character.
int HexDigitValue(char c);
// The whole text as hexadecimal (either case); -1 when any character is not a hexadecimal
// digit; 0 for an empty text; more than 8 digits keep the low 32 bits.
int32_t HexToInt(std::string_view text);
// The same for count characters from the 1-based position; -1 when the stretch does not lie
// inside the text (position 0 included).
int32_t HexToIntAt(std::string_view text, size_t position, size_t count);
// Upper-case hexadecimal, padded with "0" to at least digits; when keep >= 1 and the text is
// longer, only its last keep digits remain.
std::string IntToHexFixed(int64_t value, int digits, int keep);

inline constexpr size_t kMaxLengthPrefixed = 65535;
// Length as 4 upper-case hexadecimal digits, then the text. A text longer than 65535
// characters is cut to its first 65535, so that what is written always reads back.
std::string EncodeLengthPrefixed(std::string_view text);
// Reads a length-prefixed string at the 1-based position into out and returns 4 + length.
// Throws kv::Exception "Wrong string format" when fewer than 4 characters remain, the length
// is not hexadecimal or reaches beyond the text's end.
size_t DecodeLengthPrefixed(std::string_view text, size_t position, std::string& out);

bool StrHasPrefix(std::string_view text, std::string_view prefix, bool ignoreCase);

// Two upper-case digits per byte separated by one blank, every byte shown: a SysEx piece
// may carry bytes after an F7, and a log that hid them would hide what was sent.
std::string BytesToHexText(const uint8_t* bytes, size_t count);

// "\" -> "\\", tab -> "\t", CR -> "\r", LF -> "\n", character 8 -> "\a"; and back.
std::string EscapeText(std::string_view text);
std::string UnescapeText(std::string_view text);

bool IsAbsolutePath(std::string_view path);
std::string MakeAbsolutePath(std::string_view path, std::string_view folder);

// Upper-cased names with ids from one program-wide counter (starting at 1) that all sets
// share, so an id is unique in the whole run.
// Lock: an internal mutex guards the names; any thread may use a set.
class THashStringSet {
 public:
  // The name's id; a missing name gets the next id when add is set, else 0.
  int32_t GetId(std::string_view name, bool add);
  // The name (upper-cased) of an id, empty when this set does not hold it.
  std::string NameOf(int32_t id) const;
  void Clear();
  size_t Count() const;

 private:
  struct Entry {
    std::string name;
    int32_t id;
  };
  mutable std::mutex mutex_;  // guards entries_
  std::vector<Entry> entries_;
};

}  // namespace kv
