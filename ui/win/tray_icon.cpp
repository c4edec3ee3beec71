#include "ui/tray_icon.h"

#include <commctrl.h>
#include <windowsx.h>

#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "base/win/wide.h"
#include "ui/guard.h"
#include "ui/window.h"

namespace kv::ui {

struct TScopedNotifyIconHook::TState {
  std::mutex mutex;  // guards calls and result
  std::vector<TCall> calls;
  bool result = true;
};

namespace {

std::mutex hookMutex;  // guards hook
std::shared_ptr<TScopedNotifyIconHook::TState> hook;

BOOL NotifyIcon(DWORD message, NOTIFYICONDATAW& data) {
  std::shared_ptr<TScopedNotifyIconHook::TState> h;
  {
    std::lock_guard lock(hookMutex);
    h = hook;
  }
  if (!h) return Shell_NotifyIconW(message, &data);
  std::lock_guard lock(h->mutex);
  h->calls.push_back({message, data});
  return h->result;
}

// Cut to at most max UTF-16 units, never between the halves of a surrogate pair.
std::wstring CutTip(std::wstring tip, size_t max) {
  if (tip.size() <= max) return tip;
  size_t n = max;
  if (n > 0 && tip[n - 1] >= 0xD800 && tip[n - 1] <= 0xDBFF) --n;
  tip.resize(n);
  return tip;
}

}  // namespace

bool TTrayIcon::TShell::Call(TNotifyIconCall call, const TNotifyIconData& d) {
  NOTIFYICONDATAW data{};
  // The form every shell since Windows 2000 understands; the later fields stay unused.
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;
  data.hWnd = reinterpret_cast<HWND>(d.owner);
  data.uID = d.id;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = d.callbackMessage;
  data.hIcon = reinterpret_cast<HICON>(d.icon);
  std::wstring tip = CutTip(win::Widen(d.tip), kMaxTipLength);
  tip.copy(data.szTip, tip.size());
  data.szTip[tip.size()] = L'\0';
  DWORD message = call == TNotifyIconCall::Add      ? NIM_ADD
                  : call == TNotifyIconCall::Modify ? NIM_MODIFY
                                                    : NIM_DELETE;
  if (message != NIM_DELETE || !ending) return NotifyIcon(message, data) != FALSE;
  // The icon's last removal. The shell answers it only once it has dealt with it, and a
  // notification area may first take its own window away (Wine's, without a window manager,
  // waits two seconds for that): the ending program waits a moment, not that long. The call
  // carries copies only, so it may finish after this object is gone.
  auto result = std::make_shared<std::promise<BOOL>>();
  std::future<BOOL> answered = result->get_future();
  std::thread([result, data]() mutable { result->set_value(NotifyIcon(NIM_DELETE, data)); })
      .detach();
  if (answered.wait_for(std::chrono::milliseconds(kEndingWaitMs)) != std::future_status::ready)
    return true;
  return answered.get() != FALSE;
}

TTrayIcon::TTrayIcon(TWindow& owner, UINT id, UINT callbackMessage)
    : owner_(owner.Handle()),
      id_(id),
      callbackMessage_(callbackMessage),
      state_(shell_, {reinterpret_cast<uintptr_t>(owner.Handle()), id, callbackMessage, 0, ""}) {
  if (owner_) {
    SetWindowSubclass(owner_, &TTrayIcon::OwnerProc, reinterpret_cast<UINT_PTR>(this),
                      reinterpret_cast<DWORD_PTR>(this));
  }
}

void TTrayIcon::TakeAway() {
  shell_.ending = true;
  state_.SetVisible(false);
}

TTrayIcon::~TTrayIcon() {
  TakeAway();
  if (owner_) RemoveWindowSubclass(owner_, &TTrayIcon::OwnerProc, reinterpret_cast<UINT_PTR>(this));
}

LRESULT CALLBACK TTrayIcon::OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                      DWORD_PTR refData) {
  auto* self = reinterpret_cast<TTrayIcon*>(refData);
  if (msg == self->callbackMessage_ && wp == self->id_) {
    Guarded([&] { self->Callback(LOWORD(lp)); });
    return 0;
  }
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &TTrayIcon::OwnerProc, reinterpret_cast<UINT_PTR>(self));
    self->owner_ = nullptr;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

void TTrayIcon::Callback(UINT mouseMessage) {
  switch (TrayMouseEventOf(mouseMessage)) {
    case TTrayMouseEvent::Click:
      OnClick();
      break;
    case TTrayMouseEvent::DoubleClick:
      OnDblClick();
      break;
    case TTrayMouseEvent::ContextMenu: {
      DWORD pos = GetMessagePos();  // the callback carries no position
      OnContextMenu(TPoint{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)});
      break;
    }
    case TTrayMouseEvent::None:
      break;
  }
}

TScopedNotifyIconHook::TScopedNotifyIconHook(bool result) : state_(std::make_shared<TState>()) {
  state_->result = result;
  std::lock_guard lock(hookMutex);
  hook = state_;
}

TScopedNotifyIconHook::~TScopedNotifyIconHook() {
  std::lock_guard lock(hookMutex);
  if (hook == state_) hook.reset();
}

std::vector<TScopedNotifyIconHook::TCall> TScopedNotifyIconHook::Calls() const {
  std::lock_guard lock(state_->mutex);
  return state_->calls;
}

void TScopedNotifyIconHook::SetResult(bool result) {
  std::lock_guard lock(state_->mutex);
  state_->result = result;
}

}  // namespace kv::ui
