#include "engine/format.h"

#include "base/text.h"

namespace kv {

std::string TFormatArg::Text() const {
  return isNumber_ ? IntToStr(number_) : std::string(text_);
}

std::string FormatText(std::string_view format, std::initializer_list<TFormatArg> args) {
  std::string out;
  out.reserve(format.size() + 32);
  auto next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%' || i + 1 >= format.size()) {
      out += c;
      continue;
    }
    const char conversion = format[i + 1];
    if (conversion == '%') {
      out += '%';
      ++i;
    } else if (conversion == 's' || conversion == 'd' || conversion == 'u') {
      if (next != args.end()) {
        out += next->Text();
        ++next;
      }
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace kv
