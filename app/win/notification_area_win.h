#pragma once
// The notification area on Windows: Shell_NotifyIconW with the program's record (identifier
// 1, message + icon + tip, callback message 0x7E8 to the owner window, the tip cut to 62
// characters), and the eight state icons loaded from the program's resources.
//
// A test hook, when set, receives every call instead of the shell (Xvfb has no notification
// area); it sees the record exactly as the shell would.
#include <windows.h>
#include <shellapi.h>

#include <array>
#include <functional>
#include <string>

#include "app/tray_animation.h"

namespace kv {

inline constexpr UINT kTrayCallbackMessage = 0x7E8;
inline constexpr UINT kTrayIconId = 1;

class TWinNotificationArea final : public TNotificationArea {
 public:
  explicit TWinNotificationArea(HWND owner) : owner_(owner) {}
  bool Add(TIconHandle icon, const std::string& tip) override;
  bool Modify(TIconHandle icon, const std::string& tip) override;
  bool Remove() override;

  // The record handed to the shell.
  NOTIFYICONDATAW Record(TIconHandle icon, const std::string& tip) const;

  using THook = std::function<BOOL(DWORD message, const NOTIFYICONDATAW& record)>;
  // Process-wide; an empty hook restores the shell. Tests only.
  static void SetHook(THook hook);

 private:
  bool Call(DWORD message, TIconHandle icon, const std::string& tip);
  HWND owner_;
};

// The eight state icons by resource name at the small icon size; 0 for any that is missing.
// Shared icons: the system frees them with the module.
std::array<TIconHandle, 8> LoadTrayIcons(HINSTANCE module = nullptr);
// The program's own icon ("MAINICON"), 0 when missing.
TIconHandle LoadProgramIcon(HINSTANCE module = nullptr);

}  // namespace kv
