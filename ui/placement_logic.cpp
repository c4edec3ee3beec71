#include "ui/placement_logic.h"

#include <algorithm>
#include <cstdint>

#include "base/utils.h"

namespace kv::ui {
namespace {

std::string Key(std::string_view prefix, std::string_view name) {
  std::string key(prefix);
  key += name;
  return key;
}

// One axis: the window's start so that [start, start + extent) lies in [low, high); a window
// longer than the range starts at low.
int64_t OntoRange(int64_t start, int64_t extent, int64_t low, int64_t high) {
  return std::max(low, std::min(start, high - extent));
}

// A coordinate far outside any screen, brought into the range where sums cannot overflow.
int Tame(int64_t value) {
  constexpr int64_t kLimit = int64_t{1} << 29;
  return static_cast<int>(std::clamp(value, -kLimit, kLimit));
}

}  // namespace

TPoint CenteredPosition(TSize window, const TRect& reference) {
  return {reference.left + reference.Width() / 2 - window.cx / 2,
          reference.top + reference.Height() / 2 - window.cy / 2};
}

TRect KeepOnWorkArea(TRect bounds, const TRect& work, bool shrink) {
  int width = bounds.Width();
  int height = bounds.Height();
  if (shrink) {
    width = IntMin(width, work.Width());
    height = IntMin(height, work.Height());
  }
  int64_t left = bounds.left;
  int64_t top = bounds.top;
  if (left > work.right) left = work.right - kPlacementMargin;
  if (left + width - kPlacementMargin < work.left)
    left = int64_t{work.left} - width + kPlacementMargin;
  if (top > work.bottom) top = work.bottom - kPlacementMargin;
  if (top < work.top) top = work.top;
  return TRect::FromBounds(Tame(left), Tame(top), width, height);
}

TRect MoveOntoWorkArea(int64_t left, int64_t top, TSize size, const TRect& work, bool shrink) {
  int width = size.cx;
  int height = size.cy;
  if (shrink) {
    width = IntMin(width, work.Width());
    height = IntMin(height, work.Height());
  }
  const int64_t x = OntoRange(left, width, work.left, work.right);
  const int64_t y = OntoRange(top, height, work.top, work.bottom);
  return TRect::FromBounds(static_cast<int>(x), static_cast<int>(y), width, height);
}

void WritePlacement(TCustomIniFile& ini, std::string_view section, int flags,
                    std::string_view prefix, const TPlacementWindow& window,
                    const TRect& workArea) {
  bool useRestored = false;
  if (flags & (kPlaceMaximized | kPlaceMinimized)) {
    int state = 0;
    if (window.isMainForm && window.applicationMinimized) {
      state = (flags & kPlaceMinimized) ? 1 : 0;
    } else if (window.state == TWindowState::Minimized && (flags & kPlaceMinimized)) {
      state = 1;
      useRestored = true;
    } else if (window.state == TWindowState::Maximized && (flags & kPlaceMaximized)) {
      state = 2;
      useRestored = true;
    }
    ini.WriteInteger(section, Key(prefix, "State"), state);
  }
  TRect place = window.bounds.Offset(-workArea.left, -workArea.top);
  if (useRestored && window.restored) place = *window.restored;
  if (flags & kPlacePosition) {
    ini.WriteInteger(section, Key(prefix, "Top"), place.top);
    ini.WriteInteger(section, Key(prefix, "Left"), place.left);
  }
  if (flags & kPlaceSize) {
    ini.WriteInteger(section, Key(prefix, "Height"), place.Height());
    ini.WriteInteger(section, Key(prefix, "Width"), place.Width());
  }
  if (flags & kPlaceVisible) ini.WriteBool(section, Key(prefix, "Visible"), window.visible);
  if (flags & kPlaceStyle) {
    ini.WriteInteger(section, Key(prefix, "Style"), static_cast<int>(window.style));
  }
}

TPlacementResult ReadPlacement(const TCustomIniFile& ini, std::string_view section, int flags,
                               std::string_view prefix, const TPlacementWindow& window,
                               const TRect& workArea, const TRect& centreOver,
                               const TWorkAreaNear& workAreaNear) {
  TPlacementResult result;
  int width = window.bounds.Width();
  int height = window.bounds.Height();
  if (flags & kPlaceSize) {
    height = ini.ReadInteger(section, Key(prefix, "Height"), height);
    width = ini.ReadInteger(section, Key(prefix, "Width"), width);
    // A damaged store must not give a window that cannot be seen or grabbed.
    if (width < kPlacementMinExtent) width = window.bounds.Width();
    if (height < kPlacementMinExtent) height = window.bounds.Height();
  }
  int64_t left = window.bounds.left;
  int64_t top = window.bounds.top;
  if (flags & kPlacePosition) {
    const int storedTop = ini.ReadInteger(section, Key(prefix, "Top"), kPlacementUnset);
    const int storedLeft = ini.ReadInteger(section, Key(prefix, "Left"), kPlacementUnset);
    if (storedTop == kPlacementUnset || storedLeft == kPlacementUnset) {
      const TPoint centred = CenteredPosition({width, height}, centreOver);
      left = centred.x;
      top = centred.y;
    } else {
      left = int64_t{storedLeft} + workArea.left;
      top = int64_t{storedTop} + workArea.top;
    }
  }
  // A window out of reach is of no use: every placement ends on a screen, the one nearest
  // to where the store put it.
  const TRect wanted{Tame(left), Tame(top), Tame(left + width), Tame(top + height)};
  const TRect work = workAreaNear ? workAreaNear(wanted) : workArea;
  result.bounds = MoveOntoWorkArea(left, top, {width, height}, work, (flags & kPlaceSize) != 0);

  if (flags & (kPlaceMaximized | kPlaceMinimized)) {
    int state = ini.ReadInteger(section, Key(prefix, "State"), static_cast<int>(window.state));
    bool minimized = state == 1 && (flags & kPlaceMinimized);
    bool maximized = state == 2 && (flags & kPlaceMaximized);
    if (window.isMainForm) {
      if (minimized) result.initialShowCommand = 7;
      if (maximized) result.initialShowCommand = 3;
    } else if (minimized) {
      result.state = TWindowState::Minimized;
    } else if (maximized) {
      result.state = TWindowState::Maximized;
    }
  }
  if (flags & kPlaceStyle) {
    int style = ini.ReadInteger(section, Key(prefix, "Style"), static_cast<int>(window.style));
    result.style = style == static_cast<int>(TFormStyle::StayOnTop) ? TFormStyle::StayOnTop
                                                                    : TFormStyle::Normal;
    if ((flags & kPlacePosition) && result.style == TFormStyle::StayOnTop) {
      result.designedPosition = true;
    }
  }
  if (flags & kPlaceVisible) {
    bool visible = ini.ReadBool(section, Key(prefix, "Visible"), window.isMainForm);
    if (window.isMainForm) {
      result.hideMainForm = !visible;
    } else {
      result.visible = visible;
    }
  }
  return result;
}

}  // namespace kv::ui
