#pragma once
// TTargetWindow: which window of another program an action talks to, described by a match
// mode with a title pattern and a class name; looked up when needed and cached while the
// window lives. Lookups go through the window seam (engine/target_window_system.h).
//
// Thread: the description (mode, title, class) changes only on the main thread while no
// event uses the target (the editor builds a new action). Locate may run on several threads
// at once; cacheMutex_ guards the cached handle and the lookup flag and is held only while
// they are read or written, never during a lookup.
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "engine/system/target_window_system.h"

namespace kv {

enum TWindowMatchMode : uint8_t {
  kMatchClassOnly = 0,
  kMatchHandle = 1,
  kMatchTitleExact = 2,
  kMatchTitleContains = 3,
  kMatchTitleStartsWith = 4,
  kMatchTitleEndsWith = 5,
};

class TTargetWindow {
 public:
  TTargetWindow() = default;
  TTargetWindow(const TTargetWindow&) = delete;
  TTargetWindow& operator=(const TTargetWindow&) = delete;

  void SetTitle(std::string title);
  void SetWindowClass(std::string windowClass);
  // A new mode drops the cached handle.
  void SetMatchMode(uint8_t mode);
  // Mode 1: the window to use.
  void SetHandle(TWindowHandle window);
  void Assign(const TTargetWindow& source);
  void Clear();

  uint8_t MatchMode() const { return mode_; }
  const std::string& Title() const { return title_; }
  const std::string& WindowClass() const { return class_; }
  TWindowHandle CachedHandle() const;

  // "TWnd", the mode as 2 hexadecimal digits, the title and the class length-prefixed.
  std::string SaveToText() const;
  // Reads the form at the 1-based position; returns the characters used. Throws
  // kv::Exception "Wrong format for target window" or "Wrong string format".
  size_t LoadFromText(std::string_view text, size_t position);

  // True when a window is found (and cached).
  bool Locate();
  // The window found (and cached), 0 when none.
  TWindowHandle Find();
  // The located window; throws kv::Exception "Could not find target window" or
  // "Could not find window \"<title>\"".
  TWindowHandle GetHandle();
  // A class, or a title with a mode other than 0.
  bool IsDefined() const;
  // Whether a window passes the mode's class and title tests.
  bool MatchWindowProc(IWindowSystem& system, TWindowHandle window) const;

 private:
  TWindowHandle Lookup(IWindowSystem& system) const;
  void MarkLookup();

  mutable std::mutex cacheMutex_;  // guards handle_ and lookupNeeded_
  TWindowHandle handle_ = 0;
  bool lookupNeeded_ = true;
  uint8_t mode_ = kMatchClassOnly;
  std::string title_;
  std::string class_;
};

}  // namespace kv
