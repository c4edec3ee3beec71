#include "ui/edit_keys.h"

#include <algorithm>
#include <initializer_list>

namespace kv::ui {
namespace {

// Virtual-key codes (the portable build has no <windows.h>).
constexpr uint8_t kBack = 8, kReturn = 13, kEscape = 27, kSpace = 32, kPrior = 33, kNext = 34,
                  kEnd = 35, kHome = 36, kLeft = 37, kUp = 38, kRight = 39, kDown = 40,
                  kInsert = 45, kDelete = 46;

// Keys that type a character (AltGr, which is Ctrl+Alt, types with them too).
bool TypesCharacter(uint8_t key) {
  return key == kSpace || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') ||
         (key >= 0x60 && key <= 0x6F && key != 0x6C) ||  // number pad digits and operators
         (key >= 0xBA && key <= 0xC0) || (key >= 0xDB && key <= 0xDF) || key == 0xE2;
}

bool In(uint8_t key, std::initializer_list<uint8_t> keys) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

bool PlainKeyKept(uint8_t key, bool shift, bool multiLine) {
  if (In(key, {kBack, kDelete, kInsert, kLeft, kRight, kHome, kEnd, kUp, kDown, kReturn})) {
    return true;
  }
  if (key == kEscape) return !shift;  // Shift+Esc stays a shortcut: the panic key works anywhere
  if (In(key, {kPrior, kNext})) return multiLine;
  return TypesCharacter(key);
}

bool CtrlKeyKept(uint8_t key, bool multiLine) {
  if (In(key,
         {kBack, kDelete, kInsert, kLeft, kRight, kHome, kEnd, 'A', 'C', 'V', 'X', 'Z', 'Y'})) {
    return true;
  }
  return multiLine && In(key, {kUp, kDown, kPrior, kNext});
}

}  // namespace

bool EditKeepsShortCut(TShortCut shortCut, bool multiLine) {
  const uint8_t key = ShortCutKey(shortCut);
  const bool shift = (shortCut & kScShift) != 0;
  const bool ctrl = (shortCut & kScCtrl) != 0;
  const bool alt = (shortCut & kScAlt) != 0;
  if (ctrl && alt) return TypesCharacter(key);  // AltGr
  if (alt) return key == kBack;                 // Alt+Backspace undoes
  if (ctrl) return CtrlKeyKept(key, multiLine);
  return PlainKeyKept(key, shift, multiLine);
}

}  // namespace kv::ui
