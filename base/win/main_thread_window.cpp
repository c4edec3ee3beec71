#include "base/win/main_thread_window.h"

#include <atomic>

#include "base/main_thread.h"

namespace kv::win {
namespace {
constexpr UINT kServeCalls = WM_APP + 0x3A1;
constexpr wchar_t kClassName[] = L"KvMainThreadCalls";
std::atomic<HWND> g_window{nullptr};
}  // namespace

TMainThreadWindow::TMainThreadWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &TMainThreadWindow::WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);  // a second window reuses the class
  hwnd_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                          nullptr);
  TMainThreadCalls& calls = TMainThreadCalls::Instance();
  calls.SetMainThread();
  g_window.store(hwnd_);
  calls.SetWaker([] {
    if (HWND w = g_window.load()) PostMessageW(w, kServeCalls, 0, 0);
  });
}

TMainThreadWindow::~TMainThreadWindow() {
  TMainThreadCalls::Instance().SetWaker(nullptr);
  g_window.store(nullptr);
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK TMainThreadWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kServeCalls) {
    TMainThreadCalls::Instance().Serve(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace kv::win
