#include "engine/system/mouse_system.h"

#include "base/text.h"

namespace kv {

std::string MouseEventLine(uint32_t flags, int32_t dx, int32_t dy, int32_t data) {
  std::string line = "mouse";
  auto add = [&line](const char* what) { line += std::string(" ") + what; };
  if (flags & kMouseMove) {
    add((flags & kMouseAbsolute) ? "moveto" : "move");
    line += ' ' + IntToStr(dx) + ' ' + IntToStr(dy);
  }
  if (flags & kMouseLeftDown) add("leftdown");
  if (flags & kMouseLeftUp) add("leftup");
  if (flags & kMouseRightDown) add("rightdown");
  if (flags & kMouseRightUp) add("rightup");
  if (flags & kMouseMiddleDown) add("middledown");
  if (flags & kMouseMiddleUp) add("middleup");
  if (flags & kMouseXDown) add("xdown");
  if (flags & kMouseXUp) add("xup");
  if (flags & kMouseWheel) add("wheel");
  if (flags & kMouseHWheel) add("hwheel");
  if (flags & (kMouseXDown | kMouseXUp | kMouseWheel | kMouseHWheel)) line += ' ' + IntToStr(data);
  return line;
}

void TMouseRecorder::SendMouse(uint32_t flags, int32_t dx, int32_t dy, int32_t data) {
  const std::string line = MouseEventLine(flags, dx, dy, data);
  {
    std::lock_guard<std::mutex> hold(mutex_);
    lines_.push_back(line);
    events_.push_back({flags, dx, dy, data});
  }
  if (OnLine) OnLine(line);
}

void TMouseRecorder::GetScreenSize(int32_t& width, int32_t& height) {
  width = screenWidth;
  height = screenHeight;
}

std::vector<std::string> TMouseRecorder::Lines() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return lines_;
}

std::vector<TMouseRecorder::Sent> TMouseRecorder::Events() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return events_;
}

void TMouseRecorder::ClearRecord() {
  std::lock_guard<std::mutex> hold(mutex_);
  lines_.clear();
  events_.clear();
}

}  // namespace kv
