#include <windows.h>

#include "engine/system/target_window_system.h"

namespace kv {
namespace {

HWND ToHwnd(TWindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<TWindowHandle>*>(list)->push_back(
      reinterpret_cast<TWindowHandle>(window));
  return TRUE;
}

class TWinWindowSystem : public IWindowSystem {
 public:
  bool IsWindow(TWindowHandle window) override { return ::IsWindow(ToHwnd(window)) != FALSE; }

  TWindowHandle FindWindow(const std::optional<std::string>& windowClass,
                           const std::optional<std::string>& title) override {
    return reinterpret_cast<TWindowHandle>(FindWindowA(windowClass ? windowClass->c_str() : nullptr,
                                                       title ? title->c_str() : nullptr));
  }

  std::vector<TWindowHandle> TopLevelWindows() override {
    std::vector<TWindowHandle> list;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&list));
    return list;
  }

  std::string GetClassName(TWindowHandle window, size_t maxLength) override {
    std::string buffer(maxLength + 1, '\0');
    const int n = GetClassNameA(ToHwnd(window), buffer.data(), static_cast<int>(buffer.size()));
    buffer.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return buffer;
  }

  std::string GetWindowTitle(TWindowHandle window) override {
    // InternalGetWindowText reads the title the system keeps, so a window of a busy thread
    // (our own main thread, too) is never sent WM_GETTEXT. The buffer grows until the whole
    // title fits.
    for (size_t size = 256; size <= (1u << 20); size *= 4) {
      std::wstring buffer(size, L'\0');
      const int n = InternalGetWindowText(ToHwnd(window), buffer.data(), static_cast<int>(size));
      if (n <= 0) return {};
      if (static_cast<size_t>(n) < size - 1) {
        buffer.resize(static_cast<size_t>(n));
        const int bytes =
            WideCharToMultiByte(CP_ACP, 0, buffer.data(), n, nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
        if (bytes > 0)
          WideCharToMultiByte(CP_ACP, 0, buffer.data(), n, text.data(), bytes, nullptr, nullptr);
        return text;
      }
    }
    return {};
  }

  bool PostMessage(TWindowHandle window, uint32_t message, uint32_t wParam,
                   int32_t lParam) override {
    return PostMessageA(ToHwnd(window), message, static_cast<WPARAM>(wParam),
                        static_cast<LPARAM>(lParam)) != FALSE;
  }

  std::string LastErrorText() override {
    const DWORD error = GetLastError();
    if (error == 0) return {};
    char buffer[401] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, buffer, sizeof buffer - 1, nullptr);
    std::string text(buffer, n);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
  }

  uint32_t RegisterWindowMessage(const std::string& name) override {
    return RegisterWindowMessageA(name.c_str());
  }
};

}  // namespace

IWindowSystem& DefaultWindowSystem() {
  static TWinWindowSystem system;
  return system;
}

}  // namespace kv
