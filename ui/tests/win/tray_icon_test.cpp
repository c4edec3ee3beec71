// The notification-area icon: the records it hands the shell (through the test hook, as
// Xvfb has no notification area) and the callback messages its owner receives.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ui/application.h"
#include "ui/form.h"
#include "ui/tests/win/ui_test_support.h"
#include "ui/tray_icon.h"

namespace kv::ui {
namespace {

using testing::PumpUntil;

constexpr UINT kCallback = 0x7E8;

class TrayIconTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application().Initialize(); }
  static TFormParams Params() {
    return testing::FormParams("Tray", TRect::FromBounds(60, 60, 300, 200));
  }
  TScopedNotifyIconHook shell;
  TForm form{Params()};
};

TEST_F(TrayIconTest, TheShellGetsTheRecordOfEveryChange) {
  HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
  HICON other = LoadIconW(nullptr, IDI_WARNING);
  {
    TTrayIcon tray(form, 1, kCallback);
    tray.SetIcon(icon);
    tray.SetTip("Korvanta V" + std::string(70, '9'));  // longer than any shell shows
    tray.SetVisible(true);
    tray.SetIcon(other);
    EXPECT_TRUE(tray.Shown());
  }  // freed while shown: the icon goes
  auto calls = shell.Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(calls[1].message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(calls[2].message, static_cast<DWORD>(NIM_DELETE));
  const NOTIFYICONDATAW& add = calls[0].data;
  EXPECT_EQ(add.cbSize, DWORD{NOTIFYICONDATAW_V2_SIZE});
  EXPECT_EQ(add.hWnd, form.Handle());
  EXPECT_EQ(add.uID, 1u);
  EXPECT_EQ(add.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(add.uCallbackMessage, kCallback);
  EXPECT_EQ(add.hIcon, icon);
  EXPECT_EQ(std::wstring(add.szTip), L"Korvanta V" + std::wstring(52, L'9'));
  EXPECT_EQ(calls[1].data.hIcon, other);
}

TEST_F(TrayIconTest, AnIconTheShellLostComesBackWithTheNextRefresh) {
  TTrayIcon tray(form, 1, kCallback);
  tray.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
  tray.SetVisible(true);
  shell.SetResult(false);  // the modify finds no icon
  tray.Refresh();
  shell.SetResult(true);
  tray.Refresh();
  auto calls = shell.Calls();
  std::vector<DWORD> messages;
  for (const auto& c : calls) messages.push_back(c.message);
  EXPECT_EQ(messages, (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_ADD, NIM_MODIFY}));
}

TEST_F(TrayIconTest, CallbackMessagesReachTheOwnerAsEvents) {
  form.Show();
  TTrayIcon tray(form, 1, kCallback);
  std::vector<std::string> heard;
  tray.OnClick = [&] { heard.push_back("click"); };
  tray.OnDblClick = [&] { heard.push_back("double"); };
  tray.OnContextMenu = [&](TPoint) { heard.push_back("menu"); };
  PostMessageW(form.Handle(), kCallback, 2, WM_LBUTTONUP);  // another icon's: says nothing
  // What the shell posts for a double click, then a right click.
  for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_MOUSEMOVE,
                     WM_RBUTTONDOWN, WM_RBUTTONUP}) {
    PostMessageW(form.Handle(), kCallback, 1, mouse);
  }
  ASSERT_TRUE(PumpUntil([&] { return heard.size() >= 4; }));
  // The owner keeps its own messages.
  form.SetText("Still mine");
  EXPECT_EQ(form.Text(), "Still mine");
  EXPECT_EQ(heard, (std::vector<std::string>{"click", "double", "click", "menu"}));
}

TEST_F(TrayIconTest, TheIconMayOutliveItsOwnersWindow) {
  auto owner = std::make_unique<TForm>(Params());
  TTrayIcon tray(*owner, 1, kCallback);
  tray.SetVisible(true);
  owner.reset();
  tray.SetVisible(false);
  EXPECT_EQ(shell.Calls().size(), 2u);
}

}  // namespace
}  // namespace kv::ui
