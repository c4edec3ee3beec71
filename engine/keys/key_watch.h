#pragma once
// Watching keys typed in any program through the outside key-input library, which the
// program loads by name and which reports to a receiver window through registered window
// messages. TWatch binds one such library: load, bind its seven exports, own the receiver
// window, dispatch its messages. The library and the window sit behind IKeyInLibrary.
//
// Thread: everything runs on the main thread (the receiver window's messages, project
// notifications, the start and stop calls). No lock.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/seam.h"
#include "engine/system/target_window_system.h"

namespace kv {

// The three registered messages the library posts to the receiver.
enum class TWatchMessage { Shell, Key, Mouse };
inline constexpr const char* kWatchShellEventMessage = "WATCH_SHELL_EVENT";
inline constexpr const char* kWatchKeyEventMessage = "WATCH_KEY_EVENT";
inline constexpr const char* kWatchMouseEventMessage = "WATCH_MOUSE_EVENT";

// Kinds of watching; this program uses only keys.
inline constexpr int32_t kWatchKeys = 1;

// Seam: the outside library and the receiver window its reports arrive at.
//
// Lifecycle: Load, then (when it succeeded) CreateReceiver and BindExports; the exports may be
// called only while bound. Unload destroys the receiver and frees the library, forgetting the
// bindings; after it, Load may come again. GetKeyInLibrary() gives the program's one
// (base/seam.h): the Win32 one (engine/keys/win/key_watch_win.cpp), or natively one that
// never loads (key input is off). Tests give TWatch their own.
class IKeyInLibrary {
 public:
  using THandler = std::function<void(TWatchMessage message, uintptr_t wParam, intptr_t lParam)>;

  virtual ~IKeyInLibrary() = default;
  virtual bool Load(const std::string& fileName) = 0;
  virtual bool IsLoaded() const = 0;
  // Finds the seven exports by name; false when any is missing.
  virtual bool BindExports() = 0;
  virtual bool IsBound() const = 0;
  // A hidden window whose registered messages go to handler; 0 when none could be made.
  virtual TWindowHandle CreateReceiver(THandler handler) = 0;
  virtual void Unload() = 0;

  // The exports.
  virtual int32_t StartWatching(int32_t kind) = 0;
  virtual int32_t StopWatching(int32_t kind) = 0;
  virtual int32_t IsWatching(int32_t kind) = 0;
  virtual bool StillWatching() = 0;
  virtual void StopAll() = 0;
  virtual bool SetReceiver(TWindowHandle window) = 0;
  virtual TWindowHandle GetReceiver() = 0;

  // An information message to the user.
  virtual void ShowInformation(const std::string& text) = 0;
  // For shell events: the window's title (at most 300 characters) and whether it is the
  // program's own main window.
  virtual std::string GetWindowTitle(TWindowHandle window) = 0;
  virtual bool IsOwnMainWindow(TWindowHandle window) = 0;
};

// The build's own library: loaded by name on Windows, never loaded natively.
IKeyInLibrary& DefaultKeyInLibrary();
using TKeyInLibrarySeam = TSeam<IKeyInLibrary, DefaultKeyInLibrary>;
inline IKeyInLibrary& GetKeyInLibrary() { return TKeyInLibrarySeam::Get(); }

class TWatch {
 public:
  using TShellReceiver =
      std::function<void(TWatch& watch, TWindowHandle window, const std::string& title)>;
  using TKeyReceiver = std::function<void(TWatch& watch, uint32_t virtualKey, uint32_t flags)>;
  // (watch, button, x, y): button 0 for moves.
  using TMouseMoveReceiver = std::function<void(TWatch& watch, int button, int x, int y)>;
  // (watch, button, x, y, 64 for a double click else 0).
  using TMouseButtonReceiver =
      std::function<void(TWatch& watch, int button, int x, int y, int doubleClick)>;

  explicit TWatch(IKeyInLibrary& library);
  ~TWatch();
  TWatch(const TWatch&) = delete;
  TWatch& operator=(const TWatch&) = delete;

  void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }
  const std::string& FileName() const { return fileName_; }

  // Loads once: a failed load is not tried again.
  void Load();
  void Unload();
  int32_t Start(int32_t kind);
  int32_t Stop(int32_t kind);  // unloads once nothing is watched any more
  int32_t IsWatchingKind(int32_t kind);
  bool IsAvailable();
  bool IsLoaded() const { return library_.IsLoaded(); }
  bool Failed() const { return failed_; }

  // The receiver window's messages, as its window procedure hands them on.
  void WndProc(TWatchMessage message, uintptr_t wParam, intptr_t lParam);

  TKeyReceiver OnKey;
  TShellReceiver OnShell[4];  // event types 1 to 4
  TMouseMoveReceiver OnMouseMove;
  TMouseButtonReceiver OnMouseDown;
  TMouseButtonReceiver OnMouseUp;
  bool reportOwnWindow = false;   // shell events about our own main window
  bool reportEveryTitle = false;  // type 4 also when the title did not change

 private:
  void HandleKeyEvent(uintptr_t virtualKey, intptr_t flags);
  void HandleShellEvent(TWindowHandle window, intptr_t type);
  void HandleMouseEvent(uintptr_t code, intptr_t position);

  IKeyInLibrary& library_;
  TWindowHandle window_ = 0;
  std::string fileName_ = "peerhook.dll";
  bool failed_ = false;
  std::string lastTitle_;
};

}  // namespace kv
