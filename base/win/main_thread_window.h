#pragma once
// The hidden message window through which the message loop serves calls made from other
// threads onto the main thread. Create one on the main thread before any worker starts;
// while it exists, TMainThreadCalls posts it a message for every call.
#include <windows.h>

namespace kv::win {

class TMainThreadWindow {
 public:
  TMainThreadWindow();
  ~TMainThreadWindow();
  TMainThreadWindow(const TMainThreadWindow&) = delete;
  TMainThreadWindow& operator=(const TMainThreadWindow&) = delete;

  HWND Handle() const { return hwnd_; }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
};

}  // namespace kv::win
