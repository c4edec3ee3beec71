#include "ui/mnemonic.h"

namespace kv::ui {

char MnemonicOf(std::string_view caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    char next = caption[i + 1];
    if (next == '&') {
      ++i;  // an escaped ampersand
      continue;
    }
    if (next >= 'a' && next <= 'z') next = static_cast<char>(next - 'a' + 'A');
    return next;
  }
  return 0;
}

std::string StripMnemonics(std::string_view caption) {
  std::string shown;
  shown.reserve(caption.size());
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 == caption.size()) break;  // a lone trailing "&" shows nothing
      ++i;                                 // the marked character, or the escaped "&"
    }
    shown += caption[i];
  }
  return shown;
}

}  // namespace kv::ui
