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
