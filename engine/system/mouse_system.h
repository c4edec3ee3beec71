#pragma once
// Seam: synthetic mouse input and the primary screen's size, as the mouse action needs them.
//
// Lifecycle (base/seam.h): GetMouseSystem() returns the process-wide implementation:
// SendInput in the Windows build (engine/system/win/mouse_system_win.cpp), a TMouseRecorder
// natively. A test (or the checking tool) puts its own in place for a scope with
// TScopedMouseSystem, opened and closed while no other thread sends mouse input.
//
// Thread: called from the dispatcher and the main thread; implementations are thread-safe.
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/seam.h"

namespace kv {

// mouse_event flags.
enum TMouseFlag : uint32_t {
  kMouseMove = 0x0001,
  kMouseLeftDown = 0x0002,
  kMouseLeftUp = 0x0004,
  kMouseRightDown = 0x0008,
  kMouseRightUp = 0x0010,
  kMouseMiddleDown = 0x0020,
  kMouseMiddleUp = 0x0040,
  kMouseXDown = 0x0080,
  kMouseXUp = 0x0100,
  kMouseWheel = 0x0800,
  kMouseHWheel = 0x1000,
  kMouseAbsolute = 0x8000,
};

class IMouseSystem {
 public:
  virtual ~IMouseSystem() = default;
  // One mouse_event: flags, a move (pixels, or 0..65535 with kMouseAbsolute) and the wheel
  // amount or extra-button mask.
  virtual void SendMouse(uint32_t flags, int32_t dx, int32_t dy, int32_t data) = 0;
  // The primary screen's size in pixels.
  virtual void GetScreenSize(int32_t& width, int32_t& height) = 0;
};

// The build's own implementation: SendInput, or a recorder natively.
IMouseSystem& DefaultMouseSystem();
using TMouseSystemSeam = TSeam<IMouseSystem, DefaultMouseSystem>;
inline IMouseSystem& GetMouseSystem() { return TMouseSystemSeam::Get(); }
using TScopedMouseSystem = TMouseSystemSeam::TScope;

// A stand-in that records every event as a line "mouse <what> <values>": "mouse move dx dy",
// "mouse moveto x y" (absolute 0..65535), "mouse leftdown" (and the other buttons),
// "mouse xdown mask", "mouse wheel amount", "mouse hwheel amount". OnLine, when set before
// use, also receives each line. The screen is screenWidth x screenHeight.
//
// Lock: mutex_ guards lines_ and events_; OnLine is called without it.
class TMouseRecorder : public IMouseSystem {
 public:
  struct Sent {
    uint32_t flags;
    int32_t dx;
    int32_t dy;
    int32_t data;
  };

  void SendMouse(uint32_t flags, int32_t dx, int32_t dy, int32_t data) override;
  void GetScreenSize(int32_t& width, int32_t& height) override;

  std::vector<std::string> Lines() const;
  std::vector<Sent> Events() const;
  void ClearRecord();

  std::function<void(const std::string&)> OnLine;
  int32_t screenWidth = 1024;
  int32_t screenHeight = 768;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
  std::vector<Sent> events_;
};

// The recorder's line for one event.
std::string MouseEventLine(uint32_t flags, int32_t dx, int32_t dy, int32_t data);

}  // namespace kv
