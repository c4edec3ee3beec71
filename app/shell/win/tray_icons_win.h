#pragma once
// The pictures of the notification-area icon: the eight activity states and the program's own
// icon, from the program's resources at the small icon size.
#include <windows.h>

#include <array>

#include "app/shell/tray_animation.h"

namespace kv {

// By resource name; 0 for any that is missing. Shared icons: the system frees them with the
// module.
std::array<TIconHandle, 8> LoadTrayIcons(HINSTANCE module = nullptr);
// The program's own icon (icon 1), 0 when missing.
TIconHandle LoadProgramIcon(HINSTANCE module = nullptr);

}  // namespace kv
