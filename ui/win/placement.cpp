#include "ui/placement.h"

#include "ui/application.h"
#include "ui/form.h"
#include "ui/guard.h"

namespace kv::ui {
namespace {

bool IsMainForm(TForm& form) {
  TForm* main = Application().MainForm();
  return main == nullptr || main == &form;
}

TRect CentreReference(TForm& form) {
  auto* owner = dynamic_cast<TForm*>(form.Owner());
  if (owner && owner->Visible()) return owner->ScreenRect();
  return WorkArea();
}

TPlacementWindow Snapshot(TForm& form, const TRect& work) {
  TPlacementWindow w;
  w.state = form.WindowState();
  w.restored = form.RestoredBounds();
  // A minimised window's own rectangle is off screen; its normal-state rectangle is the
  // one to keep.
  w.bounds = w.state == TWindowState::Minimized ? w.restored->Offset(work.left, work.top)
                                                : form.ScreenRect();
  w.visible = form.Visible();
  w.style = form.FormStyle();
  w.isMainForm = IsMainForm(form);
  w.applicationMinimized = Application().Minimized();
  return w;
}

// The work area of the monitor nearest to the rectangle; the primary one's when the system
// cannot say.
TRect WorkAreaNear(const TRect& rect) {
  const RECT r{rect.left, rect.top, rect.right, rect.bottom};
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  HMONITOR monitor = MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST);
  if (monitor && GetMonitorInfoW(monitor, &info) && info.rcWork.right > info.rcWork.left &&
      info.rcWork.bottom > info.rcWork.top)
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
  return WorkArea();
}

}  // namespace

TRect WorkArea() {
  RECT r{};
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0) && r.right > r.left) {
    return {r.left, r.top, r.right, r.bottom};
  }
  int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return TRect::FromBounds(left, top, GetSystemMetrics(SM_CXVIRTUALSCREEN),
                           GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

void SaveFormPlacement(TForm& form, TCustomIniFile& ini, std::string_view section, int flags,
                       std::string_view prefix) {
  try {
    if (!form.HandleAllocated()) return;
    TRect work = WorkArea();
    WritePlacement(ini, section, flags, prefix, Snapshot(form, work), work);
  } catch (...) {
    // Placement is a convenience: a store that cannot be written loses nothing else.
  }
}

void LoadFormPlacement(TForm& form, const TCustomIniFile& ini, std::string_view section, int flags,
                       std::string_view prefix) {
  try {
    if (!form.HandleAllocated()) return;
    TRect work = WorkArea();
    TPlacementWindow w = Snapshot(form, work);
    if (w.state != TWindowState::Normal) w.bounds = w.restored->Offset(work.left, work.top);
    TPlacementResult r = ReadPlacement(ini, section, flags, prefix, w, work, CentreReference(form),
                                       WorkAreaNear);
    if (form.WindowState() == TWindowState::Normal) {
      form.SetBoundsRect(r.bounds);
    } else {
      WINDOWPLACEMENT wp{};
      wp.length = sizeof(wp);
      GetWindowPlacement(form.Handle(), &wp);
      TRect rel = r.bounds.Offset(-work.left, -work.top);
      wp.rcNormalPosition = {rel.left, rel.top, rel.right, rel.bottom};
      wp.showCmd = form.Visible() ? SW_SHOWNA : SW_HIDE;
      SetWindowPlacement(form.Handle(), &wp);
    }
    if (r.initialShowCommand) Application().SetMainShowCommand(*r.initialShowCommand);
    if (r.state) form.SetWindowState(*r.state);
    if (r.style) {
      form.SetFormStyle(*r.style);
      if (r.designedPosition) form.SetPosition(TFormPosition::Designed);
    }
    if (r.hideMainForm) Application().SetShowMainForm(false);
    if (r.visible) form.SetVisible(*r.visible);
    // Bounds from the store are final: the first show must not centre the form again.
    if (flags & kPlacePosition) form.SetPosition(TFormPosition::Designed);
  } catch (...) {
    // A damaged store leaves the window as it is.
  }
}

void CenterFormOver(TForm& form, TForm* owner) {
  Guarded([&] {
    TRect reference = owner && owner->Visible() ? owner->ScreenRect() : WorkArea();
    TRect bounds = form.ScreenRect();
    TPoint pos = CenteredPosition(bounds.Size(), reference);
    TRect placed = KeepOnWorkArea(TRect::FromBounds(pos.x, pos.y, bounds.Width(), bounds.Height()),
                                  WorkArea(), false);
    SetWindowPos(form.Handle(), nullptr, placed.left, placed.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  });
}

}  // namespace kv::ui
