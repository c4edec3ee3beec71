#include "app/shell/win/tray_icons_win.h"

#include "base/win/wide.h"

namespace kv {

std::array<TIconHandle, 8> LoadTrayIcons(HINSTANCE module) {
  if (!module) module = GetModuleHandleW(nullptr);
  std::array<TIconHandle, 8> icons{};
  const int size = GetSystemMetrics(SM_CXSMICON);
  for (size_t i = 0; i < icons.size(); ++i)
    icons[i] = reinterpret_cast<TIconHandle>(
        LoadImageW(module, win::Widen(kTrayIconNames[i]).c_str(), IMAGE_ICON, size, size, LR_SHARED));
  return icons;
}

TIconHandle LoadProgramIcon(HINSTANCE module) {
  if (!module) module = GetModuleHandleW(nullptr);
  const int size = GetSystemMetrics(SM_CXSMICON);
  return reinterpret_cast<TIconHandle>(
      LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace kv
