// The main window's notification-area icon and its row of activity lamps: when each shows,
// the tray menu and clicks, and the lamp thread that lights both.
#include <windows.h>

#include <memory>

#include "app/main_window/main_messages.h"
#include "app/main_window/win/main_form.h"
#include "app/main_window/win/main_form_parts.h"
#include "app/shell/activity_lamps.h"
#include "app/shell/tray_animation.h"
#include "app/shell/win/lamp_panel.h"
#include "app/shell/win/tray_icons_win.h"
#include "base/clock.h"
#include "base/utils.h"
#include "controls/win/img_control.h"
#include "ui/application.h"
#include "ui/canvas.h"
#include "ui/label.h"
#include "ui/tray_icon.h"

namespace kv {

namespace {
constexpr UINT kTrayIconId = 1;
constexpr int kLampLineHeight = 18;
constexpr int kLampIndent = 8;
}  // namespace

void TTransForm::CreateTray() {
  // The icon object exists from the start; ApplyTrayIcon shows it after start-up.
  trayIcon_ = std::make_unique<ui::TTrayIcon>(*this, kTrayIconId, kTrayCallbackMessage);
  trayIcon_->OnContextMenu = [this](ui::TPoint) { TrayCallback(kTrayRightButtonUp); };
  trayIcon_->OnDblClick = [this] { TrayCallback(kTrayDoubleClick); };
  tray_ = std::make_unique<TTrayAnimation>(trayIcon_->State(), LoadTrayIcons(), LoadProgramIcon(),
                                           TrayTooltip(kProgramTitle, GetProgramVersion()));
  lampPanel_ = std::make_unique<TLampPanel>(lamps_, tray_.get());
}

void TTransForm::BuildLampRow() {
  // The event monitor: a row of lamps, each with its label, just above the status bar.
  lampRow_ = &Add<ui::TPanel>(*this, ui::TRect::FromBounds(0, 0, 600, kLampLineHeight + 2));
  lampRow_->SetAlign(ui::TAlign::Bottom);
  ui::TWindowCanvas canvas(lampRow_->Handle());
  canvas.SetFont(lampRow_->Font());
  const int textHeight = canvas.TextHeight("Xg");
  for (int i = 0; i < kLampCount; ++i) {
    if (!*kLampCaptions[i]) continue;
    lamps_[i] = &lampRow_->Add<TImgControl>(*lampRow_, ui::TRect::FromBounds(0, 0, 9, 9));
    lampLabels_[i] = &lampRow_->Add<ui::TLabel>(
        *lampRow_, kLampCaptions[i],
        ui::TRect::FromBounds(0, 0, canvas.TextWidth(kLampCaptions[i]) + 2, textHeight));
  }
  lampRow_->SetVisible(false);  // until the display is decided at first show
  LayoutLampRow();
}

void TTransForm::LayoutLampRow() {
  // The lamps wrap onto a further line where the window is too narrow for all of them.
  if (!lampRow_) return;
  const int available = ClientRect().Width() - 4;
  int x = kLampIndent, line = 0;
  for (int i = 0; i < kLampCount; ++i) {
    if (!lamps_[i]) continue;
    const int width = 12 + lampLabels_[i]->Width();
    if (x > kLampIndent && x + width > available) {
      x = kLampIndent;
      ++line;
    }
    const int middle = 3 + kLampLineHeight / 2 + line * kLampLineHeight;
    lamps_[i]->SetBounds(x, middle - 4, 9, 9);
    const int labelHeight = lampLabels_[i]->Height();
    lampLabels_[i]->SetBounds(x + 12, middle - labelHeight / 2, lampLabels_[i]->Width(),
                              labelHeight);
    x += width + 10;
  }
  const int height = (line + 1) * kLampLineHeight + 2;
  if (lampRow_->Height() != height) {
    lampRow_->SetBounds(lampRow_->BoundsRect().left, lampRow_->BoundsRect().top,
                        lampRow_->Width(), height);
    Realign();
  }
}

void TTransForm::ApplyTrayIcon() {
  if (tray_) tray_->SetVisible(settings_.showTrayIcon);
  actions_->minimizeToTray->SetEnabled(settings_.showTrayIcon);
  ReevaluateLamps();
}

void TTransForm::ReevaluateLamps() {
  const bool trayExists = tray_ != nullptr;
  const TActivityDisplay display =
      DecideActivityDisplay(settings_, Visible(), trayExists, trayExists && tray_->Animated(),
                            trayExists && tray_->Shown());
  if (!display.ThreadNeeded()) {
    activity_.Free();
  } else if (lampPanel_) {
    TShowEvents& events =
        activity_.Make(*lampPanel_, kLampMaxPosition, [] { return GetTickMs(); });
    events.SetTrayEnabled(display.trayAnimation);
    events.SetLampsEnabled(display.lamps);
  }
  if (lampRow_ && lampRow_->Visible() != display.lamps) {
    lampRow_->SetVisible(display.lamps);
    Realign();
  }
}

void TTransForm::FreeActivityDisplay() {
  // The thread first: it calls the lamps and the icon.
  activity_.Free();
  if (trayIcon_) trayIcon_->TakeAway();
  lampPanel_.reset();
  tray_.reset();
  trayIcon_.reset();
}

void TTransForm::HideToTray() {
  if (!HidesToTray(settings_)) return;
  Hide();
  menus_->trayShow->SetCaption(kTrayShowCaption);
  if (tray_) tray_->Reshow();
  ReevaluateLamps();
}

void TTransForm::ShowFromTray() {
  menus_->trayShow->SetCaption(kTrayMinimizeCaption);
  if (HidesToTray(settings_)) {
    Show();
    BringToFront();
  }
  ReevaluateLamps();
}

void TTransForm::TrayShowMinimize() {
  const bool minimized = IsIconic(Handle()) != 0;
  if (ShowMinimizeMinimizes(Visible(), minimized)) {
    if (HidesToTray(settings_))
      HideToTray();
    else
      ShowWindow(Handle(), SW_MINIMIZE);
    menus_->trayShow->SetCaption(kTrayShowCaption);
  } else {
    if (minimized) ShowWindow(Handle(), SW_RESTORE);
    if (!Visible()) Show();
    ShowFromTray();
  }
}

void TTransForm::TrayCallback(LPARAM lp) {
  const TTrayAction action = DecideTrayClick(static_cast<uint32_t>(lp), Visible(),
                                             IsIconic(Handle()) != 0, ui::Application().Active());
  switch (action) {
    case TTrayAction::BringToFront:
      ui::Application().BringToFront();
      break;
    case TTrayAction::ToggleShowMinimize:
      TrayShowMinimize();
      break;
    case TTrayAction::OpenMenu: {
      SetForegroundWindow(Handle());
      POINT p{};
      GetCursorPos(&p);
      RebuildTrayPresets();
      menus_->tray.Popup(p.x, p.y, Handle());
      break;
    }
    case TTrayAction::None:
      break;
  }
}

}  // namespace kv
