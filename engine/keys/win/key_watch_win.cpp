#include <windows.h>

#include "base/texts.h"
#include "base/win/wide.h"
#include "engine/keys/key_watch.h"

namespace kv {
namespace {

constexpr wchar_t kReceiverClass[] = L"KvKeyInReceiver";

class TWinKeyInLibrary : public IKeyInLibrary {
 public:
  TWinKeyInLibrary()
      : shellMessage_(RegisterWindowMessageA(kWatchShellEventMessage)),
        keyMessage_(RegisterWindowMessageA(kWatchKeyEventMessage)),
        mouseMessage_(RegisterWindowMessageA(kWatchMouseEventMessage)) {}
  ~TWinKeyInLibrary() override { Unload(); }

  bool Load(const std::string& fileName) override {
    if (module_ == nullptr) module_ = LoadLibraryW(win::Widen(fileName).c_str());
    return module_ != nullptr;
  }
  bool IsLoaded() const override { return module_ != nullptr; }

  bool BindExports() override {
    bound_ = module_ != nullptr && Bind(startWatching_, "StartWatching") &&
             Bind(stopWatching_, "StopWatching") && Bind(isWatching_, "IsWatching") &&
             Bind(stillWatching_, "StillWatching") && Bind(stopAll_, "StopAll") &&
             Bind(setReceiver_, "SetReceiver") && Bind(getReceiver_, "GetReceiver");
    return bound_;
  }
  bool IsBound() const override { return bound_; }

  TWindowHandle CreateReceiver(THandler handler) override {
    DestroyReceiver();
    handler_ = std::move(handler);
    RegisterClassOnce();
    window_ = CreateWindowExW(0, kReceiverClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (window_ != nullptr)
      SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return reinterpret_cast<TWindowHandle>(window_);
  }

  void Unload() override {
    DestroyReceiver();
    bound_ = false;
    startWatching_ = stopWatching_ = isWatching_ = nullptr;
    stillWatching_ = nullptr;
    stopAll_ = nullptr;
    setReceiver_ = nullptr;
    getReceiver_ = nullptr;
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
  }

  int32_t StartWatching(int32_t kind) override { return bound_ ? startWatching_(kind) : 0; }
  int32_t StopWatching(int32_t kind) override { return bound_ ? stopWatching_(kind) : 0; }
  int32_t IsWatching(int32_t kind) override { return bound_ ? isWatching_(kind) : 0; }
  bool StillWatching() override { return bound_ && stillWatching_() != 0; }
  void StopAll() override {
    if (bound_) stopAll_();
  }
  bool SetReceiver(TWindowHandle window) override {
    return bound_ && setReceiver_(reinterpret_cast<HWND>(window)) != 0;
  }
  TWindowHandle GetReceiver() override {
    return bound_ ? reinterpret_cast<TWindowHandle>(getReceiver_()) : 0;
  }

  void ShowInformation(const std::string& text) override {
    MessageBoxW(nullptr, win::Widen(text).c_str(), win::Widen(GetProgramTitle()).c_str(),
                MB_OK | MB_ICONINFORMATION);
  }

  std::string GetWindowTitle(TWindowHandle window) override {
    wchar_t buffer[301] = {};
    const int n = InternalGetWindowText(reinterpret_cast<HWND>(window), buffer, 301);
    return n > 0 ? win::Narrow(std::wstring_view(buffer, static_cast<size_t>(n))) : std::string();
  }

  bool IsOwnMainWindow(TWindowHandle window) override {
    DWORD process = 0;
    GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &process);
    return process == GetCurrentProcessId();
  }

 private:
  using TKindFn = int32_t(WINAPI*)(int32_t);
  using TBoolFn = BYTE(WINAPI*)();
  using TVoidFn = void(WINAPI*)();
  using TSetReceiverFn = BYTE(WINAPI*)(HWND);
  using TGetReceiverFn = HWND(WINAPI*)();

  template <class F>
  bool Bind(F& fn, const char* name) {
    fn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    return fn != nullptr;
  }

  static void RegisterClassOnce() {
    static const bool registered = [] {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = WndProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = kReceiverClass;
      return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
  }

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TWinKeyInLibrary*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && self->handler_) {
      if (msg == self->keyMessage_) return self->Dispatch(TWatchMessage::Key, wp, lp);
      if (msg == self->shellMessage_) return self->Dispatch(TWatchMessage::Shell, wp, lp);
      if (msg == self->mouseMessage_) return self->Dispatch(TWatchMessage::Mouse, wp, lp);
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

  LRESULT Dispatch(TWatchMessage message, WPARAM wp, LPARAM lp) {
    try {
      handler_(message, static_cast<uintptr_t>(wp), static_cast<intptr_t>(lp));
    } catch (...) {
      // A failing receiver must not unwind through the system's message dispatch.
    }
    return 0;
  }

  void DestroyReceiver() {
    if (window_ != nullptr) {
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      DestroyWindow(window_);
    }
    window_ = nullptr;
  }

  const UINT shellMessage_;
  const UINT keyMessage_;
  const UINT mouseMessage_;
  HMODULE module_ = nullptr;
  HWND window_ = nullptr;
  THandler handler_;
  bool bound_ = false;
  TKindFn startWatching_ = nullptr;
  TKindFn stopWatching_ = nullptr;
  TKindFn isWatching_ = nullptr;
  TBoolFn stillWatching_ = nullptr;
  TVoidFn stopAll_ = nullptr;
  TSetReceiverFn setReceiver_ = nullptr;
  TGetReceiverFn getReceiver_ = nullptr;
};

}  // namespace

IKeyInLibrary& DefaultKeyInLibrary() {
  static TWinKeyInLibrary library;
  return library;
}

}  // namespace kv
