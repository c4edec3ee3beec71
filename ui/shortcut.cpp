#include "ui/shortcut.h"

#include "base/text.h"

namespace kv::ui {
namespace {

struct NamedKey {
  uint8_t key;
  const char* name;
};

constexpr NamedKey kNamedKeys[] = {
    {8, "BkSp"},     {9, "Tab"},      {13, "Enter"},   {27, "Esc"},     {32, "Space"},
    {33, "PgUp"},    {34, "PgDn"},    {35, "End"},     {36, "Home"},    {37, "Left"},
    {38, "Up"},      {39, "Right"},   {40, "Down"},    {45, "Ins"},     {46, "Del"},
    {0x6A, "Num *"}, {0x6B, "Num +"}, {0x6D, "Num -"}, {0x6F, "Num /"},
};

struct Modifier {
  TShortCut bit;
  std::string_view text;
};
constexpr Modifier kModifiers[] = {{kScCtrl, "Ctrl+"}, {kScShift, "Shift+"}, {kScAlt, "Alt+"}};

}  // namespace

std::string KeyName(uint8_t key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
  if (key >= 0x60 && key <= 0x69) return "Num " + std::string(1, char('0' + key - 0x60));
  if (key >= 0x70 && key <= 0x87) return 'F' + IntToStr(key - 0x70 + 1);
  for (const NamedKey& k : kNamedKeys) {
    if (k.key == key) return k.name;
  }
  return "";
}

std::string ShortCutToText(TShortCut shortCut) {
  std::string name = KeyName(ShortCutKey(shortCut));
  if (name.empty()) return "";
  std::string text;
  for (const Modifier& m : kModifiers) {
    if (shortCut & m.bit) text += m.text;
  }
  return text + name;
}

TShortCut TextToShortCut(std::string_view text) {
  TShortCut modifiers = 0;
  bool found = true;
  while (found) {
    found = false;
    for (const Modifier& m : kModifiers) {
      if (text.size() > m.text.size() && SameText(text.substr(0, m.text.size()), m.text)) {
        modifiers |= m.bit;
        text.remove_prefix(m.text.size());
        found = true;
      }
    }
  }
  for (int key = 1; key < 256; ++key) {
    std::string name = KeyName(static_cast<uint8_t>(key));
    if (!name.empty() && SameText(name, text)) return static_cast<TShortCut>(modifiers | key);
  }
  return kScNone;
}

}  // namespace kv::ui
