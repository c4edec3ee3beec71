#include "engine/system/target_window_system.h"

#include <algorithm>

#include "base/text.h"

namespace kv {

namespace {
constexpr uint32_t kFirstRegisteredMessage = 0xC000;
}  // namespace

// ---------------------------------------------------------------------------------------
// TWindowRecorder

TWindowHandle TWindowRecorder::AddWindow(const std::string& windowClass, const std::string& title) {
  std::lock_guard<std::mutex> hold(mutex_);
  const TWindowHandle handle = nextHandle_++;
  windows_.push_back({handle, windowClass, title});
  return handle;
}

void TWindowRecorder::CloseWindow(TWindowHandle window) {
  std::lock_guard<std::mutex> hold(mutex_);
  std::erase_if(windows_, [window](const Window& w) { return w.handle == window; });
}

const TWindowRecorder::Window* TWindowRecorder::Find(TWindowHandle window) const {
  for (const Window& w : windows_)
    if (w.handle == window) return &w;
  return nullptr;
}

bool TWindowRecorder::IsWindow(TWindowHandle window) {
  std::lock_guard<std::mutex> hold(mutex_);
  return Find(window) != nullptr;
}

TWindowHandle TWindowRecorder::FindWindow(const std::optional<std::string>& windowClass,
                                          const std::optional<std::string>& title) {
  std::lock_guard<std::mutex> hold(mutex_);
  for (const Window& w : windows_) {
    if (windowClass && !SameText(*windowClass, w.windowClass)) continue;
    if (title && *title != w.title) continue;
    return w.handle;
  }
  if (!openOnFind) return 0;
  const TWindowHandle handle = nextHandle_++;
  windows_.push_back({handle, windowClass.value_or(""), title.value_or("")});
  return handle;
}

std::vector<TWindowHandle> TWindowRecorder::TopLevelWindows() {
  std::lock_guard<std::mutex> hold(mutex_);
  std::vector<TWindowHandle> handles;
  for (const Window& w : windows_) handles.push_back(w.handle);
  return handles;
}

std::string TWindowRecorder::GetClassName(TWindowHandle window, size_t maxLength) {
  std::lock_guard<std::mutex> hold(mutex_);
  const Window* w = Find(window);
  return w != nullptr ? w->windowClass.substr(0, maxLength) : std::string();
}

std::string TWindowRecorder::GetWindowTitle(TWindowHandle window) {
  std::lock_guard<std::mutex> hold(mutex_);
  const Window* w = Find(window);
  return w != nullptr ? w->title : std::string();
}

bool TWindowRecorder::PostMessage(TWindowHandle window, uint32_t message, uint32_t wParam,
                                  int32_t lParam) {
  std::string line;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    const Window* w = Find(window);
    if (w == nullptr || failPosts) return false;
    line = "post " + w->windowClass + "/" + w->title + " " + IntToStr(message) + " " +
           IntToStr(wParam) + " " + IntToStr(lParam);
    lines_.push_back(line);
    posted_.push_back({window, message, wParam, lParam});
  }
  if (OnLine) OnLine(line);
  return true;
}

std::string TWindowRecorder::LastErrorText() {
  return failPosts ? "Access is denied." : "";
}

uint32_t TWindowRecorder::RegisterWindowMessage(const std::string& name) {
  if (name.empty()) return 0;
  std::lock_guard<std::mutex> hold(mutex_);
  for (size_t i = 0; i < registered_.size(); ++i)
    if (SameText(registered_[i], name)) return kFirstRegisteredMessage + static_cast<uint32_t>(i);
  registered_.push_back(name);
  return kFirstRegisteredMessage + static_cast<uint32_t>(registered_.size() - 1);
}

std::vector<std::string> TWindowRecorder::Lines() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return lines_;
}

std::vector<TWindowRecorder::Posted> TWindowRecorder::PostedMessages() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return posted_;
}

void TWindowRecorder::ClearRecord() {
  std::lock_guard<std::mutex> hold(mutex_);
  lines_.clear();
  posted_.clear();
}

}  // namespace kv
