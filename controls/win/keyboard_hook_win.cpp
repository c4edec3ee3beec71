// The thread keyboard hook behind TKeyboardHook.
#include <windows.h>

#include "controls/keyboard_hook.h"

namespace kv {

namespace {

HHOOK gHook = nullptr;  // main thread only

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wp, LPARAM lp) {
  bool claimed = false;
  if (code == HC_ACTION && TKeyboardHook::SubscriberCount() > 0) {
    try {
      TKeyData record;
      record.virtualKey = static_cast<uint8_t>(wp & 0xFF);
      DecodeKeyMessage(record, static_cast<uint32_t>(lp));
      claimed = TKeyboardHook::DispatchKey(record);
    } catch (...) {
      // Nothing may leave a hook procedure; the key goes on as if unclaimed.
    }
  }
  const LRESULT next = CallNextHookEx(gHook, code, wp, lp);
  return (code >= 0 && claimed) ? 1 : next;
}

}  // namespace

bool InstallThreadKeyboardHook() {
  if (gHook) return true;
  gHook = SetWindowsHookExW(WH_KEYBOARD, KeyboardHookProc, nullptr, GetCurrentThreadId());
  return gHook != nullptr;
}

void RemoveThreadKeyboardHook() {
  if (gHook) UnhookWindowsHookEx(gHook);
  gHook = nullptr;
}

}  // namespace kv
