#pragma once
// Helpers of the controls' tests under Wine: a visible top-most form to put controls on,
// message pumping until a condition holds (with a generous bound), pixels read back from
// the screen, and real keyboard input.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "controls/go_to_web.h"
#include "ui/application.h"
#include "ui/form.h"

namespace kv::test {

inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Pumps until done() or 10 seconds passed (by the clock: a busy queue wakes the wait early);
// returns done().
inline bool PumpUntil(const std::function<bool()>& done) {
  const ULONGLONG giveUp = GetTickCount64() + 10000;
  while (!done() && GetTickCount64() < giveUp) {
    Pump();
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return done();
}

inline std::unique_ptr<ui::TForm> MakeForm(int width = 640, int height = 480) {
  ui::Application().Initialize();
  ui::TFormParams p;
  p.caption = "controls test";
  p.bounds = ui::TRect::FromBounds(20, 20, width, height);
  auto form = std::make_unique<ui::TForm>(p);
  form->Show();
  SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(form->Handle());
  Pump();
  return form;
}

// A pixel of a window's client area as the screen shows it (0x00BBGGRR).
inline COLORREF ScreenPixel(HWND window, int x, int y) {
  UpdateWindow(window);
  GdiFlush();
  POINT p{x, y};
  ClientToScreen(window, &p);
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return c;
}

// Real key presses (the thread keyboard hook sees only real input).
inline void SendKey(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof(in));
}

// A browser registered for "http" whose program exists; starting it succeeds and writes
// "program parameters" to started when given.
TBrowserSeams StandInBrowser(std::string* started = nullptr);

// Saves a window's screen picture as a BMP file.
bool SaveWindowBitmap(HWND window, const std::wstring& path);

}  // namespace kv::test
