#pragma once
// Seam: finding another program's window and posting it a message, as the window-message
// action needs them.
//
// Lifecycle (base/seam.h): GetWindowSystem() returns the process-wide implementation: the
// Win32 calls in the Windows build (engine/system/win/target_window_system_win.cpp), a
// TWindowRecorder natively. A test (or the checking tool) puts its own in place for a scope
// with TScopedWindowSystem, opened and closed while no other thread posts.
//
// Thread: the action runs on any thread (MIDI input, timer, dispatcher, main), so every call
// is thread-safe and none of them sends a message to a window: a window of this program
// belongs to the main thread, which may be waiting for the calling thread.
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/seam.h"

namespace kv {

using TWindowHandle = uintptr_t;

class IWindowSystem {
 public:
  virtual ~IWindowSystem() = default;
  virtual bool IsWindow(TWindowHandle window) = 0;
  // FindWindowA: a top-level window of the class and with exactly the title; a missing
  // argument matches any. 0 when none.
  virtual TWindowHandle FindWindow(const std::optional<std::string>& windowClass,
                                   const std::optional<std::string>& title) = 0;
  // The top-level windows in the system's order.
  virtual std::vector<TWindowHandle> TopLevelWindows() = 0;
  // The window's class name, at most maxLength characters.
  virtual std::string GetClassName(TWindowHandle window, size_t maxLength) = 0;
  // The window's whole title, read without sending the window a message.
  virtual std::string GetWindowTitle(TWindowHandle window) = 0;
  // PostMessageA; wParam is the 32-bit value zero-extended, lParam sign-extended.
  virtual bool PostMessage(TWindowHandle window, uint32_t message, uint32_t wParam,
                           int32_t lParam) = 0;
  // The system's text for the last error of the calling thread (at most 400 characters),
  // empty when it has none.
  virtual std::string LastErrorText() = 0;
  // RegisterWindowMessageA; 0 on failure.
  virtual uint32_t RegisterWindowMessage(const std::string& name) = 0;
};

// The build's own implementation: the Win32 calls, or a recorder natively.
IWindowSystem& DefaultWindowSystem();
using TWindowSystemSeam = TSeam<IWindowSystem, DefaultWindowSystem>;
inline IWindowSystem& GetWindowSystem() { return TWindowSystemSeam::Get(); }
using TScopedWindowSystem = TWindowSystemSeam::TScope;

// A stand-in with a list of pretend top-level windows. Every post is recorded as a line
// "post <class>/<title> <msg> <wparam> <lparam>" (numbers in decimal); OnLine, when set
// before use, also receives each line. Registered names get numbers from 0xC000 up, the
// same number for the same name (ignoring case, as the system does).
//
// Lock: mutex_ guards windows_, registered_, lines_ and posted_; OnLine is called without it.
class TWindowRecorder : public IWindowSystem {
 public:
  struct Window {
    TWindowHandle handle;
    std::string windowClass;
    std::string title;
  };
  struct Posted {
    TWindowHandle window;
    uint32_t message;
    uint32_t wParam;
    int32_t lParam;
  };

  // Adds a window (handles from 0x1000 up); returns its handle.
  TWindowHandle AddWindow(const std::string& windowClass, const std::string& title);
  void CloseWindow(TWindowHandle window);

  bool IsWindow(TWindowHandle window) override;
  TWindowHandle FindWindow(const std::optional<std::string>& windowClass,
                           const std::optional<std::string>& title) override;
  std::vector<TWindowHandle> TopLevelWindows() override;
  std::string GetClassName(TWindowHandle window, size_t maxLength) override;
  std::string GetWindowTitle(TWindowHandle window) override;
  bool PostMessage(TWindowHandle window, uint32_t message, uint32_t wParam,
                   int32_t lParam) override;
  std::string LastErrorText() override;
  uint32_t RegisterWindowMessage(const std::string& name) override;

  std::vector<std::string> Lines() const;
  std::vector<Posted> PostedMessages() const;
  void ClearRecord();

  std::function<void(const std::string&)> OnLine;
  bool failPosts = false;  // PostMessage fails, with LastErrorText "Access is denied."
  // FindWindow finds every window it is asked for: one with that class and title (empty when
  // not given) is made on the spot. For checking actions without real windows.
  bool openOnFind = false;

 private:
  const Window* Find(TWindowHandle window) const;

  mutable std::mutex mutex_;
  std::vector<Window> windows_;
  TWindowHandle nextHandle_ = 0x1000;
  std::vector<std::string> registered_;
  std::vector<std::string> lines_;
  std::vector<Posted> posted_;
};

}  // namespace kv
