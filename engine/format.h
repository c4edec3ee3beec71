#pragma once
// Fills the program's message texts ("IN %d.%d: %s") with values. Only the format comes
// from the program; names and texts a user typed are arguments, never formats, so a "%" in
// them is printed as it stands.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kv {

class TFormatArg {
 public:
  TFormatArg(std::string_view s) : text_(s), isNumber_(false) {}
  TFormatArg(const std::string& s) : text_(s), isNumber_(false) {}
  TFormatArg(const char* s) : text_(s ? s : ""), isNumber_(false) {}
  TFormatArg(int32_t n) : number_(n), isNumber_(true) {}
  TFormatArg(int64_t n) : number_(n), isNumber_(true) {}
  TFormatArg(uint32_t n) : number_(n), isNumber_(true) {}
  TFormatArg(uint64_t n) : number_(static_cast<int64_t>(n)), isNumber_(true) {}

  std::string Text() const;
  int64_t Number() const { return isNumber_ ? number_ : 0; }

 private:
  std::string_view text_;
  int64_t number_ = 0;
  bool isNumber_;
};

// Replaces each %s, %d and %u with the next argument (a number given for %s prints in
// decimal; a text given for %d prints as it stands) and "%%" with "%". A conversion without
// an argument left prints nothing; any other "%" is copied.
std::string FormatText(std::string_view format, std::initializer_list<TFormatArg> args);

}  // namespace kv
