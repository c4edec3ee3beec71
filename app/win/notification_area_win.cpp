#include "app/win/notification_area_win.h"

#include <mutex>

#include "base/win/wide.h"

namespace kv {

namespace {

std::mutex hookMutex;  // guards hook
TWinNotificationArea::THook hook;

}  // namespace

void TWinNotificationArea::SetHook(THook h) {
  std::lock_guard<std::mutex> guard(hookMutex);
  hook = std::move(h);
}

NOTIFYICONDATAW TWinNotificationArea::Record(TIconHandle icon, const std::string& tip) const {
  NOTIFYICONDATAW record{};
  // The form the shell has understood since Windows 2000; the later fields stay unused.
  record.cbSize = NOTIFYICONDATAW_V2_SIZE;
  record.hWnd = owner_;
  record.uID = kTrayIconId;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = kTrayCallbackMessage;
  record.hIcon = reinterpret_cast<HICON>(icon);
  const std::wstring wide = win::Widen(tip.substr(0, 62));
  const size_t n = std::min<size_t>(wide.size(), 62);
  wide.copy(record.szTip, n);
  record.szTip[n] = L'\0';
  return record;
}

bool TWinNotificationArea::Call(DWORD message, TIconHandle icon, const std::string& tip) {
  const NOTIFYICONDATAW record = Record(icon, tip);
  THook current;
  {
    std::lock_guard<std::mutex> guard(hookMutex);
    current = hook;
  }
  if (current) return current(message, record) != FALSE;
  return Shell_NotifyIconW(message, const_cast<NOTIFYICONDATAW*>(&record)) != FALSE;
}

bool TWinNotificationArea::Add(TIconHandle icon, const std::string& tip) {
  return Call(NIM_ADD, icon, tip);
}

bool TWinNotificationArea::Modify(TIconHandle icon, const std::string& tip) {
  return Call(NIM_MODIFY, icon, tip);
}

bool TWinNotificationArea::Remove() {
  return Call(NIM_DELETE, 0, std::string());
}

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
