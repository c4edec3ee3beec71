#pragma once
// Helpers of the window tests: pumping messages until something happened (with a generous
// bound, never a fixed wait), and real keyboard input.
#include <windows.h>

#include <functional>
#include <string>

#include "ui/form.h"

namespace kv::ui::testing {

// Handles messages until done() is true; false when maxMs passed first.
bool PumpUntil(const std::function<bool()>& done, unsigned maxMs = 10000);
// Handles messages for a while (lets asynchronous painting and activation settle).
void PumpFor(unsigned ms);
// A key press and release through SendInput, with modifiers held around it.
void SendKey(WORD key, bool ctrl = false, bool shift = false);
// The key pressed and released with Alt held (a mnemonic).
void SendAltKey(WORD key);
// Makes the window the foreground window (real input goes there).
bool MakeForeground(HWND hwnd);
// Real mouse input through SendInput at a screen point: a move there, a left press or release
// there, or a click (two make a double click). MoveMouse returns false when the pointer never
// got there (a display that takes no synthetic mouse input).
bool MoveMouse(POINT screen);
void SendMouseButton(POINT screen, bool down);
void ClickMouse(POINT screen);
// A sizeable test form at screen bounds.
TFormParams FormParams(std::string caption, const TRect& bounds);

}  // namespace kv::ui::testing
