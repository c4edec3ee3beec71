#pragma once
// Keyboard shortcuts of menu items and actions: a virtual-key code in the low byte and the
// modifier bits above it, with their display texts ("Ctrl+C", "Ctrl+Shift+Up", "Alt+Enter",
// "Del", "F2").
#include <cstdint>
#include <string>
#include <string_view>

namespace kv::ui {

using TShortCut = uint16_t;

inline constexpr TShortCut kScShift = 0x2000;
inline constexpr TShortCut kScCtrl = 0x4000;
inline constexpr TShortCut kScAlt = 0x8000;
inline constexpr TShortCut kScNone = 0;

constexpr TShortCut MakeShortCut(uint8_t virtualKey, bool shift, bool ctrl, bool alt) {
  return static_cast<TShortCut>(virtualKey | (shift ? kScShift : 0) | (ctrl ? kScCtrl : 0) |
                                (alt ? kScAlt : 0));
}
constexpr uint8_t ShortCutKey(TShortCut s) {
  return static_cast<uint8_t>(s & 0xFF);
}

// "" for kScNone and for keys without a name.
std::string ShortCutToText(TShortCut shortCut);
// Modifiers ("Ctrl+", "Shift+", "Alt+", in any order and case) and a key name; kScNone when
// the text names no key.
TShortCut TextToShortCut(std::string_view text);
// The name of a virtual key as shortcut texts use it ("A", "F2", "Up", "Enter"); "" if none.
std::string KeyName(uint8_t virtualKey);

}  // namespace kv::ui
