#include "ui/placement_logic.h"

#include "base/utils.h"

namespace kv::ui {
namespace {

std::string Key(std::string_view prefix, std::string_view name) {
  std::string key(prefix);
  key += name;
  return key;
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
  int left = bounds.left;
  int top = bounds.top;
  if (left > work.right) left = work.right - kPlacementMargin;
  if (left + width - kPlacementMargin < work.left) left = work.left - width + kPlacementMargin;
  if (top > work.bottom) top = work.bottom - kPlacementMargin;
  if (top < work.top) top = work.top;
  return TRect::FromBounds(left, top, width, height);
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
                               const TRect& workArea, const TRect& centreOver) {
  TPlacementResult result;
  int width = window.bounds.Width();
  int height = window.bounds.Height();
  if (flags & kPlaceSize) {
    height = ini.ReadInteger(section, Key(prefix, "Height"), height);
    width = ini.ReadInteger(section, Key(prefix, "Width"), width);
    // A damaged store must not give a window that cannot be seen or grabbed.
    if (width <= 0) width = window.bounds.Width();
    if (height <= 0) height = window.bounds.Height();
  }
  TPoint pos = window.bounds.TopLeft();
  if (flags & kPlacePosition) {
    int top = ini.ReadInteger(section, Key(prefix, "Top"), kPlacementUnset);
    int left = ini.ReadInteger(section, Key(prefix, "Left"), kPlacementUnset);
    if (top == kPlacementUnset || left == kPlacementUnset) {
      pos = CenteredPosition({width, height}, centreOver);
    } else {
      pos = {left + workArea.left, top + workArea.top};
    }
  }
  result.bounds = KeepOnWorkArea(TRect::FromBounds(pos.x, pos.y, width, height), workArea,
                                 (flags & kPlaceSize) != 0);

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
