// A stand-in for the outside key-input library, for the tests: a low-level keyboard hook on
// a thread of its own reports every key, typed or injected, to the receiver window as
// "WATCH_KEY_EVENT" (wParam the virtual key, lParam the keyboard-message flags word). Only
// key watching (kind 1) is offered; other kinds are refused.
//
// Lock: gLock guards gReceiver, gThread, gThreadId and gDown. The hook procedure posts with
// the lock released.
#include <windows.h>

#include <cstdint>

namespace {

constexpr int32_t kKindKeys = 1;

CRITICAL_SECTION gLock;
HINSTANCE gInstance = nullptr;
HWND gReceiver = nullptr;
HANDLE gThread = nullptr;
DWORD gThreadId = 0;
bool gDown[256] = {};
UINT gKeyMessage = 0;

class Hold {
 public:
  Hold() { EnterCriticalSection(&gLock); }
  ~Hold() { LeaveCriticalSection(&gLock); }
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;
};

// The flags word of the keyboard message the key would make.
uint32_t FlagsWord(const KBDLLHOOKSTRUCT& key, bool wasDown) {
  const bool up = (key.flags & LLKHF_UP) != 0;
  uint32_t flags = 1 | ((key.scanCode & 0xFF) << 16);
  if (key.flags & LLKHF_EXTENDED) flags |= 1u << 24;
  if (key.flags & LLKHF_ALTDOWN) flags |= 1u << 29;
  if (up || wasDown) flags |= 1u << 30;
  if (up) flags |= 1u << 31;
  return flags;
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const uint8_t vk = static_cast<uint8_t>(key.vkCode);
    HWND receiver;
    uint32_t flags;
    {
      Hold hold;
      receiver = gReceiver;
      flags = FlagsWord(key, gDown[vk]);
      gDown[vk] = (key.flags & LLKHF_UP) == 0;
    }
    if (receiver != nullptr)
      PostMessageA(receiver, gKeyMessage, vk, static_cast<LPARAM>(static_cast<int32_t>(flags)));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI HookThread(void* ready) {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before we say ready
  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardProc, gInstance, 0);
  SetEvent(static_cast<HANDLE>(ready));
  if (hook == nullptr) return 1;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  UnhookWindowsHookEx(hook);
  return 0;
}

bool StartHook() {
  Hold hold;
  if (gThread != nullptr) return true;
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  gThread = CreateThread(nullptr, 0, HookThread, ready, 0, &gThreadId);
  if (gThread != nullptr) WaitForSingleObject(ready, 10000);
  CloseHandle(ready);
  for (bool& down : gDown) down = false;
  return gThread != nullptr;
}

void StopHook() {
  HANDLE thread;
  DWORD id;
  {
    Hold hold;
    thread = gThread;
    id = gThreadId;
    gThread = nullptr;
    gThreadId = 0;
  }
  if (thread == nullptr) return;
  PostThreadMessageW(id, WM_QUIT, 0, 0);
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
}

bool Watching() {
  Hold hold;
  return gThread != nullptr;
}

}  // namespace

extern "C" {

__declspec(dllexport) int32_t WINAPI StartWatching(int32_t kind) {
  return kind == kKindKeys && StartHook() ? 1 : 0;
}

__declspec(dllexport) int32_t WINAPI StopWatching(int32_t kind) {
  if (kind != kKindKeys) return 0;
  StopHook();
  return 1;
}

__declspec(dllexport) int32_t WINAPI IsWatching(int32_t kind) {
  return kind == kKindKeys && Watching() ? 1 : 0;
}

__declspec(dllexport) BYTE WINAPI StillWatching() {
  return Watching() ? 1 : 0;
}

__declspec(dllexport) void WINAPI StopAll() {
  StopHook();
}

// One receiver at a time: another window that still exists keeps the library.
__declspec(dllexport) BYTE WINAPI SetReceiver(HWND window) {
  Hold hold;
  if (window != nullptr && gReceiver != nullptr && gReceiver != window && IsWindow(gReceiver))
    return 0;
  gReceiver = window;
  return 1;
}

__declspec(dllexport) HWND WINAPI GetReceiver() {
  Hold hold;
  return gReceiver;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    gInstance = instance;
    InitializeCriticalSection(&gLock);
    gKeyMessage = RegisterWindowMessageA("WATCH_KEY_EVENT");
  } else if (reason == DLL_PROCESS_DETACH) {
    DeleteCriticalSection(&gLock);
  }
  return TRUE;
}
