#include "ui/tray_icon_logic.h"

#include <utility>

namespace kv::ui {
namespace {
// Mouse message numbers (the portable build has no <windows.h>).
constexpr unsigned kLeftUp = 0x202, kLeftDouble = 0x203, kRightUp = 0x205;
}  // namespace

TTrayMouseEvent TrayMouseEventOf(unsigned mouseMessage) {
  switch (mouseMessage) {
    case kLeftUp:
      return TTrayMouseEvent::Click;
    case kLeftDouble:
      return TTrayMouseEvent::DoubleClick;
    case kRightUp:
      return TTrayMouseEvent::ContextMenu;
    default:
      return TTrayMouseEvent::None;
  }
}

TTrayIconState::TTrayIconState(INotifyIconShell& shell, TNotifyIconData data)
    : shell_(shell), data_(std::move(data)) {}

void TTrayIconState::SetVisible(bool on) {
  std::lock_guard lock(mutex_);
  ShowLocked(on);
}

void TTrayIconState::ShowLocked(bool on) {
  if (on) {
    bool present = shown_ && shell_.Call(TNotifyIconCall::Modify, data_);
    if (!present) shell_.Call(TNotifyIconCall::Add, data_);
  } else if (shown_) {
    shell_.Call(TNotifyIconCall::Delete, data_);
  }
  shown_ = on;
}

bool TTrayIconState::Shown() const {
  std::lock_guard lock(mutex_);
  return shown_;
}

void TTrayIconState::Refresh() {
  std::lock_guard lock(mutex_);
  if (shown_) ShowLocked(true);
}

void TTrayIconState::SetIcon(uintptr_t icon) {
  if (icon == 0) return;
  std::lock_guard lock(mutex_);
  // The lamp thread sets the same icon again and again: the shell hears of changes only.
  if (icon == data_.icon) return;
  data_.icon = icon;
  if (shown_) ShowLocked(true);
}

void TTrayIconState::SetTip(std::string tip) {
  std::lock_guard lock(mutex_);
  data_.tip = std::move(tip);
  if (shown_) ShowLocked(true);
}

TNotifyIconData TTrayIconState::Data() const {
  std::lock_guard lock(mutex_);
  return data_;
}

}  // namespace kv::ui
