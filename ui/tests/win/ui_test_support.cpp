#include "ui/tests/win/ui_test_support.h"

#include <utility>
#include <vector>

#include "ui/application.h"

namespace kv::ui::testing {

bool PumpUntil(const std::function<bool()>& done, unsigned maxMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > maxMs) return false;
    Application().ProcessMessages();
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void PumpFor(unsigned ms) {
  DWORD start = GetTickCount();
  PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

namespace {
INPUT Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}
}  // namespace

void SendKey(WORD key, bool ctrl, bool shift) {
  std::vector<INPUT> inputs;
  if (ctrl) inputs.push_back(Key(VK_CONTROL, false));
  if (shift) inputs.push_back(Key(VK_SHIFT, false));
  inputs.push_back(Key(key, false));
  inputs.push_back(Key(key, true));
  if (shift) inputs.push_back(Key(VK_SHIFT, true));
  if (ctrl) inputs.push_back(Key(VK_CONTROL, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void SendAltKey(WORD key) {
  INPUT inputs[4] = {Key(VK_MENU, false), Key(key, false), Key(key, true), Key(VK_MENU, true)};
  SendInput(4, inputs, sizeof(INPUT));
}

namespace {
// Absolute coordinates in 1/65536 of the screen, rounded up so that they map back onto the
// very pixel asked for.
INPUT Mouse(POINT screen, DWORD flags) {
  const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(screen.x) * 65536 + w - 1) / w);
  in.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(screen.y) * 65536 + h - 1) / h);
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return in;
}
}  // namespace

bool MoveMouse(POINT screen) {
  INPUT in = Mouse(screen, 0);
  SendInput(1, &in, sizeof(INPUT));
  return PumpUntil(
      [&] {
        POINT at{};
        return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
      },
      5000);
}

void SendMouseButton(POINT screen, bool down) {
  INPUT in = Mouse(screen, down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
  SendInput(1, &in, sizeof(INPUT));
}

void ClickMouse(POINT screen) {
  INPUT in[2] = {Mouse(screen, MOUSEEVENTF_LEFTDOWN), Mouse(screen, MOUSEEVENTF_LEFTUP)};
  SendInput(2, in, sizeof(INPUT));
}

bool MakeForeground(HWND hwnd) {
  return PumpUntil(
      [&] {
        if (GetForegroundWindow() == hwnd) return true;
        SetForegroundWindow(hwnd);
        return false;
      },
      5000);
}

TFormParams FormParams(std::string caption, const TRect& bounds) {
  TFormParams p;
  p.caption = std::move(caption);
  p.bounds = bounds;
  return p;
}

}  // namespace kv::ui::testing
