#include "ui/edit_keys.h"

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

bool PlainKeyKept(uint8_t key, bool shift, bool multiLine) {
  switch (key) {
    case kBack: case kDelete: case kInsert:
    case kLeft: case kRight: case kHome: case kEnd: case kUp: case kDown:
    case kReturn:
      return true;
    case kEscape:
      return !shift;  // Shift+Esc stays a shortcut (the panic key must work everywhere)
    case kPrior: case kNext:
      return multiLine;
    default:
      return TypesCharacter(key);
  }
}

bool CtrlKeyKept(uint8_t key, bool multiLine) {
  switch (key) {
    case kBack: case kDelete: case kInsert:
    case kLeft: case kRight: case kHome: case kEnd:
    case 'A': case 'C': case 'V': case 'X': case 'Z': case 'Y':
      return true;
    case kUp: case kDown: case kPrior: case kNext:
      return multiLine;
    default:
      return false;
  }
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
