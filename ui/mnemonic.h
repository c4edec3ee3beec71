#pragma once
// Mnemonics of captions: "&Name:" underlines N and Alt+N reaches the control; "&&" is a plain
// ampersand. The dialog manager reads the same rule from the window text.
#include <string>
#include <string_view>

namespace kv::ui {

// The upper-case ASCII letter or digit (or other character) after the first single "&", or 0
// when the caption has none.
char MnemonicOf(std::string_view caption);
// The caption as shown: every "&" that marks a mnemonic removed, "&&" shown as "&".
std::string StripMnemonics(std::string_view caption);

}  // namespace kv::ui
