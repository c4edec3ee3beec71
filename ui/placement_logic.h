#pragma once
// The arithmetic and the settings keys of stored window placement, apart from any window:
// what a window's state writes to a settings section, what reading a section makes of a
// window, centring, and keeping a window on the work area. ui/placement.h applies these to
// real windows.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/ini_file.h"
#include "ui/geometry.h"

namespace kv::ui {

// Which parts of a placement are stored (a set of bits). The keys are the caller's prefix
// followed by "Height" and "Width", "Top" and "Left", "State", "Visible", "Style".
enum : int {
  kPlaceSize = 1,
  kPlacePosition = 2,
  kPlaceMaximized = 4,
  kPlaceMinimized = 8,
  kPlaceVisible = 16,
  kPlaceStyle = 32,
};

enum class TWindowState { Normal = 0, Minimized = 1, Maximized = 2 };
enum class TFormStyle { Normal = 0, StayOnTop = 3 };

// The stored "Left"/"Top" value that means "never stored: centre the window".
inline constexpr int kPlacementUnset = -10000;
// At least this many pixels of a window stay on the work area.
inline constexpr int kPlacementMargin = 30;
// A stored width or height below this cannot have come from a usable window.
inline constexpr int kPlacementMinExtent = 64;

// A window as the placement functions see it.
struct TPlacementWindow {
  TRect bounds;                   // screen coordinates, as shown now
  std::optional<TRect> restored;  // normal-state bounds relative to the work area, if known
  TWindowState state = TWindowState::Normal;
  bool visible = false;
  TFormStyle style = TFormStyle::Normal;
  // The application's main window, or any window while there is none yet.
  bool isMainForm = false;
  bool applicationMinimized = false;
};

// What reading a placement asks of a window.
struct TPlacementResult {
  TRect bounds;                           // screen coordinates, applied in one call
  std::optional<TWindowState> state;      // for a window other than the main one
  std::optional<int> initialShowCommand;  // for the main window: 7 minimised, 3 maximised
  std::optional<TFormStyle> style;
  bool designedPosition = false;  // a stay-on-top window keeps the stored position
  std::optional<bool> visible;    // for a window other than the main one
  bool hideMainForm = false;      // the main window is not to be shown at start
};

// Left and top that centre a window of the size over the reference (integer halves rounded
// toward zero).
TPoint CenteredPosition(TSize window, const TRect& reference);
// Pulls bounds back so that kPlacementMargin pixels stay visible across and the title bar
// stays reachable; with shrink the window is first made no larger than the work area.
TRect KeepOnWorkArea(TRect bounds, const TRect& workArea, bool shrink);
// Puts a window of the size at left/top (any values a store may hold, far beyond the screen
// among them) wholly on the work area; with shrink it is first made no larger than the work
// area, else a window larger than the work area keeps its size and its top-left corner shows.
TRect MoveOntoWorkArea(int64_t left, int64_t top, TSize size, const TRect& workArea, bool shrink);

// The work area of the monitor nearest to a rectangle on the virtual screen.
using TWorkAreaNear = std::function<TRect(const TRect&)>;

// Writes the keys the flags name. Errors of the store propagate (the window layer swallows
// them).
void WritePlacement(TCustomIniFile& ini, std::string_view section, int flags,
                    std::string_view prefix, const TPlacementWindow& window, const TRect& workArea);
// Reads the keys the flags name; centreOver is the rectangle a window without stored position
// is centred over (the owner's when it is a visible window, else the work area). Stored
// positions are relative to workArea; the window ends wholly on the work area of the monitor
// nearest to where the store put it (workAreaNear; workArea itself when not given). A stored
// size of no use (below kPlacementMinExtent) gives the window's own size.
TPlacementResult ReadPlacement(const TCustomIniFile& ini, std::string_view section, int flags,
                               std::string_view prefix, const TPlacementWindow& window,
                               const TRect& workArea, const TRect& centreOver,
                               const TWorkAreaNear& workAreaNear = {});

}  // namespace kv::ui
