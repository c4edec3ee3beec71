#include "engine/actions/target_window.h"

#include "base/exception.h"
#include "base/text.h"
#include "base/text_helpers.h"
#include "engine/format.h"

namespace kv {

namespace {
constexpr const char* kWrongTargetFormat = "Wrong format for target window";
constexpr size_t kModeEnd = 6;  // "TWnd" and two digits
}  // namespace

void TTargetWindow::MarkLookup() {
  std::lock_guard<std::mutex> hold(cacheMutex_);
  lookupNeeded_ = true;
}

void TTargetWindow::SetTitle(std::string title) {
  title_ = std::move(title);
  MarkLookup();
}

void TTargetWindow::SetWindowClass(std::string windowClass) {
  class_ = std::move(windowClass);
  MarkLookup();
}

void TTargetWindow::SetMatchMode(uint8_t mode) {
  if (mode == mode_) return;
  mode_ = mode;
  std::lock_guard<std::mutex> hold(cacheMutex_);
  handle_ = 0;
  lookupNeeded_ = true;
}

void TTargetWindow::SetHandle(TWindowHandle window) {
  std::lock_guard<std::mutex> hold(cacheMutex_);
  handle_ = window;
}

void TTargetWindow::Assign(const TTargetWindow& source) {
  if (&source == this) return;
  mode_ = source.mode_;
  title_ = source.title_;
  class_ = source.class_;
  const TWindowHandle handle = source.CachedHandle();
  std::lock_guard<std::mutex> hold(cacheMutex_);
  handle_ = handle;
  lookupNeeded_ = true;
}

void TTargetWindow::Clear() {
  mode_ = kMatchClassOnly;
  title_.clear();
  class_.clear();
  std::lock_guard<std::mutex> hold(cacheMutex_);
  handle_ = 0;
  lookupNeeded_ = true;
}

TWindowHandle TTargetWindow::CachedHandle() const {
  std::lock_guard<std::mutex> hold(cacheMutex_);
  return handle_;
}

std::string TTargetWindow::SaveToText() const {
  return "TWnd" + IntToHex(mode_, 2) + EncodeLengthPrefixed(title_) + EncodeLengthPrefixed(class_);
}

size_t TTargetWindow::LoadFromText(std::string_view text, size_t position) {
  if (position == 0 || position > text.size() || text.size() - (position - 1) <= 13 ||
      text.substr(position - 1, 4) != "TWnd")
    throw Exception(kWrongTargetFormat);
  const int32_t mode = HexToIntAt(text, position + 4, 2);
  if (mode < 0 || mode > kMatchTitleEndsWith) throw Exception(kWrongTargetFormat);
  std::string title, windowClass;
  size_t next = position + kModeEnd;
  next += DecodeLengthPrefixed(text, next, title);
  next += DecodeLengthPrefixed(text, next, windowClass);
  mode_ = static_cast<uint8_t>(mode);
  title_ = std::move(title);
  class_ = std::move(windowClass);
  std::lock_guard<std::mutex> hold(cacheMutex_);
  handle_ = 0;
  lookupNeeded_ = true;
  return next - position;
}

bool TTargetWindow::IsDefined() const {
  return !class_.empty() || (mode_ != kMatchClassOnly && !title_.empty());
}

bool TTargetWindow::MatchWindowProc(IWindowSystem& system, TWindowHandle window) const {
  // The class is compared on the given class's length: a given class names every class that
  // begins with it.
  if (!class_.empty() && system.GetClassName(window, class_.size()) != class_) return false;
  if (mode_ < kMatchTitleExact || mode_ > kMatchTitleEndsWith) return true;
  const std::string text = system.GetWindowTitle(window);
  switch (mode_) {
    case kMatchTitleExact:
      return text == title_;
    case kMatchTitleContains:
      return text.find(title_) != std::string::npos;
    case kMatchTitleStartsWith:
      return text.starts_with(title_);
    default:
      return text.ends_with(title_);
  }
}

TWindowHandle TTargetWindow::Lookup(IWindowSystem& system) const {
  const std::optional<std::string> windowClass =
      class_.empty() ? std::nullopt : std::optional<std::string>(class_);
  switch (mode_) {
    case kMatchClassOnly:
      return system.FindWindow(windowClass, std::nullopt);
    case kMatchTitleExact:
      return system.FindWindow(windowClass, title_);
    case kMatchTitleContains:
    case kMatchTitleStartsWith:
    case kMatchTitleEndsWith:
      for (TWindowHandle window : system.TopLevelWindows())
        if (MatchWindowProc(system, window)) return window;
      return 0;
    default:
      return 0;
  }
}

TWindowHandle TTargetWindow::Find() {
  IWindowSystem& system = GetWindowSystem();
  if (mode_ == kMatchHandle) {
    const TWindowHandle handle = CachedHandle();
    return handle != 0 && system.IsWindow(handle) ? handle : 0;
  }
  if (class_.empty() && (mode_ == kMatchClassOnly || title_.empty())) return 0;
  TWindowHandle cached = 0;
  {
    std::lock_guard<std::mutex> hold(cacheMutex_);
    if (!lookupNeeded_) cached = handle_;
  }
  if (cached != 0 && system.IsWindow(cached)) return cached;
  const TWindowHandle found = Lookup(system);
  std::lock_guard<std::mutex> hold(cacheMutex_);
  handle_ = found;
  lookupNeeded_ = found == 0;
  return found;
}

bool TTargetWindow::Locate() {
  return Find() != 0;
}

TWindowHandle TTargetWindow::GetHandle() {
  if (const TWindowHandle window = Find(); window != 0) return window;
  if (mode_ == kMatchClassOnly || mode_ == kMatchHandle || title_.empty())
    throw Exception("Could not find target window");
  throw Exception(FormatText("Could not find window \"%s\"", {title_}));
}

}  // namespace kv
