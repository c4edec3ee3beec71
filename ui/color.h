#pragma once
// Colours as the window layer passes them: 0x00BBGGRR for a fixed colour, or a system colour
// (the high bit set, the system colour index in the low byte) that is resolved when drawing,
// so a colour scheme change shows without rebuilding anything.
#include <cstdint>

namespace kv::ui {

using TColor = uint32_t;

constexpr TColor RgbColor(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
constexpr TColor SysColor(int index) {
  return 0x80000000u | static_cast<TColor>(index & 0xFF);
}
constexpr bool IsSysColor(TColor c) {
  return (c & 0xFF000000u) == 0x80000000u;
}
constexpr uint8_t RedOf(TColor c) {
  return c & 0xFF;
}
constexpr uint8_t GreenOf(TColor c) {
  return (c >> 8) & 0xFF;
}
constexpr uint8_t BlueOf(TColor c) {
  return (c >> 16) & 0xFF;
}

inline constexpr TColor clNone = 0x1FFFFFFFu;  // draw nothing
inline constexpr TColor clBlack = RgbColor(0, 0, 0);
inline constexpr TColor clWhite = RgbColor(255, 255, 255);
inline constexpr TColor clRed = RgbColor(255, 0, 0);
inline constexpr TColor clGreen = RgbColor(0, 128, 0);
inline constexpr TColor clBlue = RgbColor(0, 0, 255);
inline constexpr TColor clYellow = RgbColor(255, 255, 0);
inline constexpr TColor clGray = RgbColor(128, 128, 128);
inline constexpr TColor clSilver = RgbColor(192, 192, 192);
inline constexpr TColor clNavy = RgbColor(0, 0, 128);
inline constexpr TColor clMaroon = RgbColor(128, 0, 0);

// System colours (indexes of GetSysColor).
inline constexpr TColor clScrollBar = SysColor(0);
inline constexpr TColor clWindow = SysColor(5);
inline constexpr TColor clWindowFrame = SysColor(6);
inline constexpr TColor clMenu = SysColor(4);
inline constexpr TColor clMenuText = SysColor(7);
inline constexpr TColor clWindowText = SysColor(8);
inline constexpr TColor clHighlight = SysColor(13);
inline constexpr TColor clHighlightText = SysColor(14);
inline constexpr TColor clBtnFace = SysColor(15);
inline constexpr TColor clBtnShadow = SysColor(16);
inline constexpr TColor clGrayText = SysColor(17);
inline constexpr TColor clBtnText = SysColor(18);
inline constexpr TColor clBtnHighlight = SysColor(20);
inline constexpr TColor cl3DDkShadow = SysColor(21);
inline constexpr TColor cl3DLight = SysColor(22);
inline constexpr TColor clInfoText = SysColor(23);
inline constexpr TColor clInfoBk = SysColor(24);
inline constexpr TColor clHotLight = SysColor(26);

}  // namespace kv::ui
