// The shell's small windows as a user meets them under Wine: the notification-area icon and
// the lamps following activity, the log and error windows, the message dialogs' delay, the
// splash and About box, and the other-programs window. Real messages and real mouse input;
// pictures of the windows are saved beside the build for a reviewer's eyes.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "app/shell/activity_lamps.h"
#include "app/shell/other_programs_streams.h"
#include "app/shell/tray_animation.h"
#include "app/shell/win/err_form.h"
#include "app/shell/win/gui_utils.h"
#include "app/shell/win/lamp_panel.h"
#include "app/shell/win/logger_form.h"
#include "app/shell/win/tray_icons_win.h"
#include "app/shell/win/other_programs_form.h"
#include "app/shell/win/splash_form.h"
#include "base/ini_file.h"
#include "base/texts.h"
#include "controls/text_editor/win/text_editor_window.h"
#include "controls/win/img_control.h"
#include "controls/win/web_label.h"
#include "ui/application.h"
#include "ui/button.h"
#include "ui/edit.h"
#include "ui/graphics.h"
#include "ui/message_dialog.h"
#include "ui/tests/win/ui_test_support.h"
#include "ui/tray_icon.h"

namespace kv {
namespace {

using ui::testing::MakeForeground;
using ui::testing::PumpFor;
using ui::testing::PumpUntil;

void ClickAt(int x, int y) {
  SetCursorPos(x, y);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
}

void ClickCentre(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// A picture of the window as the screen shows it, under the build folder.
bool SaveShot(HWND window, const char* name) {
  PumpFor(300);  // let the painting settle
  RECT r;
  GetWindowRect(window, &r);
  ui::TBitmap shot;
  return shot.CaptureScreen(r.left, r.top, r.right - r.left, r.bottom - r.top) &&
         shot.SaveToFile(std::string(KV_SHOT_DIR) + "/" + name);
}

// A plain main window that counts the start-up continuations it receives.
class TTestMainForm : public ui::TForm {
 public:
  TTestMainForm() : TForm(Params()) {}
  int continuations = 0;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == kStartupContinuationMessage) ++continuations;
    return TForm::WndProc(msg, wp, lp);
  }

 private:
  static ui::TFormParams Params() {
    ui::TFormParams p;
    p.caption = "Main";
    p.bounds = ui::TRect::FromBounds(40, 40, 500, 360);
    return p;
  }
};

class ShellWindowsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ui::Application().Initialize(); }
  void SetUp() override {
    main_ = std::make_unique<TTestMainForm>();
    ui::Application().SetMainForm(main_.get());
    main_->Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(main_->Handle()) != 0; }));
  }
  void TearDown() override {
    TGUIUtils::Instance().CloseErrorWindow();
    PumpFor(50);
    ui::Application().SetMainForm(nullptr);
    main_.reset();
  }
  std::unique_ptr<TTestMainForm> main_;
};

struct TShellCall {
  DWORD message;
  NOTIFYICONDATAW record;
};

TEST_F(ShellWindowsTest, TheTrayIconIsAddedFollowsActivityAndIsRemoved) {
  ui::TScopedNotifyIconHook shell;  // Xvfb has no notification area
  auto lastIcon = [&] {
    auto calls = shell.Calls();
    return reinterpret_cast<TIconHandle>(calls.back().data.hIcon);
  };

  const std::array<TIconHandle, 8> icons = LoadTrayIcons();
  for (TIconHandle icon : icons) ASSERT_NE(icon, 0u);
  // The lamp controls of the main window, in the slots that have one.
  std::array<TImgControl*, kLampCount> lamps{};
  for (int i = 0; i < kLampCount; ++i)
    if (*kLampCaptions[i])
      lamps[i] = &main_->Add<TImgControl>(*main_, ui::TRect::FromBounds(10 + 14 * i, 300, 9, 9));
  {
    ui::TTrayIcon icon(*main_, 1, 0x7E8);
    TTrayAnimation tray(icon.State(), icons, LoadProgramIcon(),
                        TrayTooltip(GetProgramTitle(), "1.72 " + std::string(60, 'x')));
    TLampPanel panel(lamps, &tray);
    ASSERT_TRUE(panel.StripLoaded());
    ASSERT_TRUE(tray.Animated());

    tray.SetVisible(true);
    auto now = shell.Calls();
    ASSERT_EQ(now.size(), 1u);
    const NOTIFYICONDATAW& added = now[0].data;
    EXPECT_EQ(now[0].message, DWORD{NIM_ADD});
    EXPECT_EQ(added.cbSize, DWORD{NOTIFYICONDATAW_V2_SIZE});
    EXPECT_EQ(added.hWnd, main_->Handle());
    EXPECT_EQ(added.uID, 1u);
    EXPECT_EQ(added.uFlags, 7u);
    EXPECT_EQ(added.uCallbackMessage, 0x7E8u);
    EXPECT_EQ(reinterpret_cast<TIconHandle>(added.hIcon), icons[0]);
    EXPECT_EQ(wcslen(added.szTip), 62u);

    {
      TShowEvents events(panel, kLampMaxPosition, [] { return GetTickCount(); });
      events.SetLampsEnabled(true);
      events.SetTrayEnabled(true);
      events.Trigger(2 | 4 | 1);  // MIDI in, MIDI out, translating
      ASSERT_TRUE(PumpUntil([&] { return lastIcon() == icons[7]; }));
      EXPECT_EQ(shell.Calls().back().message, DWORD{NIM_MODIFY});
      ASSERT_TRUE(PumpUntil([&] { return lamps[1]->Position() > 0; }));
      // The afterglow ends: the lamps go dark and the icon is idle again.
      ASSERT_TRUE(PumpUntil([&] { return lastIcon() == icons[0] && lamps[1]->Position() == 0; }));
      EXPECT_EQ(lamps[2]->Position(), 0);
      events.Trigger(2);
      ASSERT_TRUE(PumpUntil([&] { return lastIcon() == icons[1]; }));
      events.StopLamps();
      EXPECT_EQ(lastIcon(), icons[0]);
    }
  }  // the animation goes, and with it the icon
  EXPECT_EQ(shell.Calls().back().message, DWORD{NIM_DELETE});
  EXPECT_EQ(shell.Calls().back().data.uID, 1u);
}

TEST_F(ShellWindowsTest, TheLogWindowShowsLinesFromAnyThreadAndKeepsItsPlace) {
  TMemIniFile settings;
  TLoggerForm& log = TLoggerForm::ShowLogWindow(&settings);
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(log.Handle()) != 0; }));
  EXPECT_FALSE(log.DumpButton().Enabled());
  for (int i = 0; i < 8; ++i) TLoggerForm::Log("MIDI IN [Keyboard] Note On ch 1 key " + std::to_string(60 + i));
  std::thread worker([] {
    for (int i = 0; i < 4; ++i) TLoggerForm::PostLine("Timer 'pulse' fired, step " + std::to_string(i));
  });
  worker.join();
  ASSERT_TRUE(PumpUntil([&] { return log.Memo().Lines().Count() >= 12; }));
  EXPECT_EQ(log.Memo().Lines()[11], "Timer 'pulse' fired, step 3");
  MakeForeground(log.Handle());
  EXPECT_TRUE(SaveShot(log.Handle(), "shell-log.bmp"));

  int dumps = 0;
  log.SetDumpHandler([&] { ++dumps; });
  EXPECT_TRUE(log.DumpButton().Enabled());
  ClickCentre(log.DumpButton().Handle());
  ASSERT_TRUE(PumpUntil([&] { return dumps == 1; }));
  ClickCentre(log.ClearButton().Handle());
  ASSERT_TRUE(PumpUntil([&] { return log.Memo().Lines().Count() <= 1; }));

  bool closed = false;
  log.SetCloseHandler([&] { closed = true; });
  ClickCentre(log.CloseButton().Handle());
  ASSERT_TRUE(PumpUntil([&] { return TLoggerForm::Instance() == nullptr; }));
  EXPECT_TRUE(closed);
  EXPECT_TRUE(settings.ValueExists("LogWindow", "Width"));
  EXPECT_TRUE(settings.ValueExists("LogWindow", "Left"));
  // A line posted after the window closed goes nowhere.
  TLoggerForm::PostLine("late");
  PumpFor(50);
  EXPECT_EQ(TLoggerForm::Instance(), nullptr);
}

TEST_F(ShellWindowsTest, TheErrorWindowIsOnTopAndTakesLinesFromAMidiLikeThread) {
  TGUIUtils& utils = TGUIUtils::Instance();
  TMemIniFile settings;
  utils.SetSettings(&settings);
  utils.StartErrorGroup();
  EXPECT_EQ(utils.ErrorWindow(), nullptr);
  EXPECT_FALSE(utils.ShowIfNewErrors());

  // A MIDI input hook reports while it holds its device lock, which the main thread also
  // takes: a report that waited for the main thread would hang here.
  std::mutex deviceLock;
  std::atomic<bool> done{false};
  std::thread midi([&] {
    for (int i = 0; i < 30; ++i) {
      std::lock_guard<std::mutex> hold(deviceLock);
      utils.AddError("MIDI IN 'Keyboard': buffer overrun " + std::to_string(i));
    }
    done = true;
  });
  ASSERT_TRUE(PumpUntil([&] {
    std::lock_guard<std::mutex> hold(deviceLock);
    return done && utils.ErrorWindow() && utils.ErrorWindow()->Lines().Lines().size() == 30;
  }));
  midi.join();
  TErrForm& errors = *utils.ErrorWindow();
  EXPECT_EQ(errors.Lines().Lines()[29], "MIDI IN 'Keyboard': buffer overrun 29");
  EXPECT_TRUE(IsWindowVisible(errors.Handle()));
  EXPECT_TRUE(GetWindowLongW(errors.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(errors.Text(), "Errors");

  utils.StartErrorGroup();
  utils.AddError("ERROR:\r\nCould not open \"C:\\Shows\\missing.kvp\"");
  ASSERT_TRUE(PumpUntil([&] { return errors.MemoError().Lines().Count() >= 33; }));
  EXPECT_EQ(errors.Lines().Lines()[30], std::string(26, '-'));
  MakeForeground(errors.Handle());
  EXPECT_TRUE(SaveShot(errors.Handle(), "shell-errors.bmp"));
  utils.StartErrorGroup();
  EXPECT_FALSE(utils.ShowIfNewErrors());

  // Closed, then a new error: a fresh window with only that line.
  ClickCentre(errors.CloseButton().Handle());
  ASSERT_TRUE(PumpUntil([&] { return utils.ErrorWindow() == nullptr; }));
  EXPECT_TRUE(settings.ValueExists("ErrorWindow", "Top"));
  utils.AddError("Port 'Out 2' vanished");
  ASSERT_NE(utils.ErrorWindow(), nullptr);
  EXPECT_EQ(utils.ErrorWindow()->Lines().Lines(), std::vector<std::string>{"Port 'Out 2' vanished"});
  utils.SetSettings(nullptr);
}

TEST_F(ShellWindowsTest, TheInformationDialogKeepsOkDisabledForAMoment) {
  bool checked = false;
  ui::SetMessageDialogObserver([&](ui::TMessageForm& dialog) {
    ui::Application().Post([&] {
      ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(dialog.Handle()) != 0; }));
      MakeForeground(dialog.Handle());
      ui::TButton* ok = dialog.ButtonFor(ui::mrOk);
      ASSERT_NE(ok, nullptr);
      const DWORD start = GetTickCount();
      EXPECT_FALSE(ok->Enabled());
      ClickCentre(ok->Handle());  // a click meanwhile does not answer
      PumpFor(200);
      EXPECT_FALSE(ok->Enabled());
      EXPECT_TRUE(dialog.Visible());
      ASSERT_TRUE(PumpUntil([&] { return ok->Enabled(); }));
      EXPECT_GE(GetTickCount() - start, 400u);
      checked = true;
      ClickCentre(ok->Handle());
    });
  });
  TGUIUtils::ShowInfo("The example presets were installed.");
  ui::SetMessageDialogObserver(nullptr);
  EXPECT_TRUE(checked);
}

TEST_F(ShellWindowsTest, TheSplashShowsTheVersionHidesAfterItsTimeAndOnlyThenContinues) {
  const DWORD start = GetTickCount();
  ShowStartupSplash(main_.get());
  TSplashForm1* splash = TSplashForm1::StartupSplashWindow();
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(IsWindowVisible(splash->Handle()));
  EXPECT_EQ(splash->VersionText(), "V1.72 build 1285");
  EXPECT_EQ(splash->EditionText(), "Pro");
  EXPECT_TRUE(GetWindowLongW(splash->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(splash->Width(), splash->PictureWidth());
  // The main window's first show: the splash is counting, so nothing is posted yet.
  ContinueStartupAfterSplash();
  EXPECT_TRUE(SaveShot(splash->Handle(), "shell-splash.bmp"));

  bool continuedWhileVisible = false;
  ASSERT_TRUE(PumpUntil(
      [&] {
        if (TSplashForm1::StartupSplashWindow() && main_->continuations > 0) continuedWhileVisible = true;
        return TSplashForm1::StartupSplashWindow() == nullptr;
      },
      15000));
  EXPECT_FALSE(continuedWhileVisible);
  EXPECT_GE(GetTickCount() - start, 2500u);
  ASSERT_TRUE(PumpUntil([&] { return main_->continuations == 1; }));
  PumpFor(100);
  EXPECT_EQ(main_->continuations, 1);

  // Without a splash the continuation is posted at once.
  ContinueStartupAfterSplash();
  ASSERT_TRUE(PumpUntil([&] { return main_->continuations == 2; }));
}

TEST_F(ShellWindowsTest, AClickHidesTheSplashAtOnce) {
  ShowStartupSplash(main_.get());
  TSplashForm1* splash = TSplashForm1::StartupSplashWindow();
  ASSERT_NE(splash, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(splash->Handle()) != 0; }));
  ClickCentre(splash->Handle());
  ASSERT_TRUE(PumpUntil([&] { return main_->continuations == 1; }, 2500));
  EXPECT_EQ(TSplashForm1::StartupSplashWindow(), nullptr);
}

TEST_F(ShellWindowsTest, TheSplashStaysWhileTheMainWindowIsMinimisedAndLeavesItMinimised) {
  ShowStartupSplash(main_.get());
  TSplashForm1* splash = TSplashForm1::StartupSplashWindow();
  ASSERT_NE(splash, nullptr);
  const HWND splashWindow = splash->Handle();
  main_->ShowWithCommand(SW_MINIMIZE);
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(main_->Handle()) != 0; }));
  PumpFor(100);
  EXPECT_TRUE(IsWindowVisible(splashWindow));
  ASSERT_TRUE(PumpUntil([&] { return main_->continuations == 1; }, 15000));
  PumpFor(100);
  EXPECT_TRUE(IsIconic(main_->Handle()));
  main_->ShowWithCommand(SW_RESTORE);
}

TEST_F(ShellWindowsTest, TheAboutBoxIsRoundedReusedAndNeverContinues) {
  TSplashForm1& about = ShowAboutBox(main_.get());
  EXPECT_FALSE(about.TimerRunning());
  EXPECT_FALSE(about.StartupSplash());
  EXPECT_EQ(about.VersionText(), "V1.72 build 1285");
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(about.Handle(), region), COMPLEXREGION);
  EXPECT_FALSE(PtInRegion(region, 0, 0));
  EXPECT_TRUE(PtInRegion(region, about.Width() / 2, about.Height() / 2));
  EXPECT_TRUE(PtInRegion(region, 10, 0));
  DeleteObject(region);
  EXPECT_TRUE(SaveShot(about.Handle(), "shell-about.bmp"));

  EXPECT_EQ(&ShowAboutBox(main_.get()), &about);
  ContinueStartupAfterSplash();  // the About box is no start-up splash
  ASSERT_TRUE(PumpUntil([&] { return main_->continuations == 1; }));
  ClickCentre(about.Handle());
  ASSERT_TRUE(PumpUntil([&] { return TSplashForm1::AboutBox() == nullptr; }));
  PumpFor(100);
  EXPECT_EQ(main_->continuations, 1);
}

TEST_F(ShellWindowsTest, TheOtherProgramsWindowWalksTheShuffledOrder) {
  TPublicityForm& window = ShowOtherProgramsWindow(main_.get());
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(window.Handle()) != 0; }));
  ASSERT_TRUE(window.Error().empty()) << window.Error();
  EXPECT_EQ(window.PictureBitmap().Width(), 300);
  EXPECT_EQ(window.PictureBitmap().Height(), 50);
  EXPECT_EQ(window.Picture().Width(), 300);
  std::set<std::string> seen{window.Entry().name};
  EXPECT_EQ(window.Link().Url(), window.Entry().link);
  EXPECT_FALSE(window.Description().Text().empty());
  MakeForeground(window.Handle());
  EXPECT_TRUE(SaveShot(window.Handle(), "shell-other-programs.bmp"));

  // Three companions: Next shows the other two before the first comes back.
  for (int i = 0; i < 2; ++i) {
    const std::string before = window.Entry().name;
    ClickCentre(window.NextButton().Handle());
    ASSERT_TRUE(PumpUntil([&] { return window.Entry().name != before; }));
    seen.insert(window.Entry().name);
  }
  EXPECT_EQ(seen, (std::set<std::string>{"certprep", "hubsetup", "vmplib"}));
  EXPECT_EQ(seen.count(GetProgramTitle()), 0u);
  ClickCentre(window.OkButton().Handle());
  ASSERT_TRUE(PumpUntil([&] { return TPublicityForm::Instance() == nullptr; }));
}

// Resources as a test builds them: the program's own, with every picture's checksum broken.
class TBrokenPictures final : public TPublicityResources {
 public:
  std::optional<std::string> Named(const std::string& name) override { return own_.Named(name); }
  std::optional<std::string> Numbered(int32_t id) override {
    std::optional<std::string> bytes = own_.Numbered(id);
    if (bytes && bytes->size() > 200) (*bytes)[200] = static_cast<char>((*bytes)[200] ^ 0x21);
    return bytes;
  }

 private:
  TModulePublicityResources own_;
};

TEST_F(ShellWindowsTest, ABrokenResourceClosesTheWindowButNotTheProgram) {
  TBrokenPictures resources;
  TPublicityPresenter presenter(resources, GetProgramTitle(), [](int) { return 0; });
  ShowOtherProgramsWindow(main_.get(), &presenter);
  ASSERT_TRUE(PumpUntil([&] { return TPublicityForm::Instance() == nullptr; }));
  const std::string error = TPublicityForm::LastError();
  EXPECT_EQ(error.rfind("Resource ", 0), 0u);
  EXPECT_EQ(error.substr(error.size() - 10), " not valid");
  EXPECT_FALSE(ui::Application().Terminated());
  EXPECT_TRUE(IsWindow(main_->Handle()));
}

}  // namespace
}  // namespace kv
