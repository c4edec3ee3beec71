#include <windows.h>

#include "engine/system/mouse_system.h"

namespace kv {
namespace {

class TWinMouseSystem : public IMouseSystem {
 public:
  void SendMouse(uint32_t flags, int32_t dx, int32_t dy, int32_t data) override {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.mouseData = static_cast<DWORD>(data);
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
  }

  void GetScreenSize(int32_t& width, int32_t& height) override {
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
  }
};

}  // namespace

IMouseSystem& DefaultMouseSystem() {
  static TWinMouseSystem system;
  return system;
}

}  // namespace kv
