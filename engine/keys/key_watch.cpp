#include "engine/keys/key_watch.h"

namespace kv {

TWatch::TWatch(IKeyInLibrary& library) : library_(library) {}

TWatch::~TWatch() {
  Unload();
}

void TWatch::Load() {
  if (library_.IsLoaded() || failed_) return;
  if (!library_.Load(fileName_)) {
    failed_ = true;
    Unload();
    return;
  }
  window_ =
      library_.CreateReceiver([this](TWatchMessage message, uintptr_t wParam, intptr_t lParam) {
        WndProc(message, wParam, lParam);
      });
  if (window_ == 0 || !library_.BindExports()) {
    failed_ = true;
    Unload();
    return;
  }
  if (library_.SetReceiver(window_)) return;
  library_.ShowInformation("Another instance already uses " + fileName_ + ".\r\nOverriding it.");
  library_.SetReceiver(0);
  if (library_.SetReceiver(window_)) return;
  library_.ShowInformation("Unable to override.\r\nSystem watching is disabled.");
  failed_ = true;
  // The other receiver keeps the library: unloading leaves it alone, as it is not ours.
  Unload();
}

void TWatch::Unload() {
  if (library_.IsBound() && window_ != 0 && library_.GetReceiver() == window_) {
    library_.SetReceiver(0);
    library_.StopAll();
  }
  window_ = 0;
  library_.Unload();
}

int32_t TWatch::Start(int32_t kind) {
  Load();
  return library_.IsBound() ? library_.StartWatching(kind) : 0;
}

int32_t TWatch::Stop(int32_t kind) {
  if (!library_.IsLoaded() || !library_.IsBound()) return 0;
  const int32_t result = library_.StopWatching(kind);
  if (!library_.StillWatching()) Unload();
  return result;
}

int32_t TWatch::IsWatchingKind(int32_t kind) {
  Load();
  return library_.IsBound() ? library_.IsWatching(kind) : 0;
}

bool TWatch::IsAvailable() {
  Load();
  return library_.IsLoaded();
}

void TWatch::WndProc(TWatchMessage message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case TWatchMessage::Key:
      HandleKeyEvent(wParam, lParam);
      break;
    case TWatchMessage::Shell:
      HandleShellEvent(static_cast<TWindowHandle>(wParam), lParam);
      break;
    case TWatchMessage::Mouse:
      HandleMouseEvent(wParam, lParam);
      break;
  }
}

void TWatch::HandleKeyEvent(uintptr_t virtualKey, intptr_t flags) {
  if (OnKey) OnKey(*this, static_cast<uint32_t>(virtualKey), static_cast<uint32_t>(flags));
}

void TWatch::HandleShellEvent(TWindowHandle window, intptr_t type) {
  if (type < 1 || type > 4) return;
  if (!reportOwnWindow && library_.IsOwnMainWindow(window)) return;
  const std::string title = library_.GetWindowTitle(window);
  if (type == 4) {
    if (!reportEveryTitle && title == lastTitle_) return;
    lastTitle_ = title;
  }
  if (const TShellReceiver& receiver = OnShell[type - 1]) receiver(*this, window, title);
}

void TWatch::HandleMouseEvent(uintptr_t code, intptr_t position) {
  const int high = static_cast<int16_t>((static_cast<uintptr_t>(position) >> 16) & 0xFFFF);
  const int low = static_cast<int16_t>(static_cast<uintptr_t>(position) & 0xFFFF);
  if (code == 0) {
    if (OnMouseMove) OnMouseMove(*this, 0, high, low);
    return;
  }
  if (code > 9) return;
  const int button = static_cast<int>((code - 1) / 3);
  const int what = static_cast<int>((code - 1) % 3);  // 0 down, 1 up, 2 double
  const TMouseButtonReceiver& receiver = what == 1 ? OnMouseUp : OnMouseDown;
  if (receiver) receiver(*this, button, high, low, what == 2 ? 64 : 0);
}

}  // namespace kv
