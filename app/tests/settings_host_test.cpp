// The settings dialog's host over the main window's options: what each option changes in the
// window, only on a real change; the Startup shortcut following what the folder allows; the
// window brought back when the icon it hides behind goes; the virtual ports looked for again
// only after their number changed. Then the dialog's model over this host, as the program runs
// it.
#include "app/main_window/settings_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/controller/controller.h"
#include "base/settings_registry.h"
#include "midi/manager/virtual_port_setup.h"

namespace kv::test {
namespace {

class RecordingWindow final : public TMainOptionsWindow {
 public:
  bool SetStartupShortcut(bool on) override {
    log.push_back(on ? "shortcut on" : "shortcut off");
    return shortcutWorks;
  }
  void TrayIconOptionChanged() override { log.push_back("tray icon"); }
  void TrayAnimationOptionChanged() override { log.push_back("lamps"); }
  void DescriptionsOptionChanged() override { log.push_back("descriptions"); }
  bool MainWindowHidden() override { return hidden; }
  void ShowMainWindow() override {
    log.push_back("show window");
    hidden = false;
  }
  bool ProjectPropertiesVisible() override { return projectVisible; }
  void VirtualPortsChanged() override { log.push_back("ports changed"); }

  std::vector<std::string> log;
  bool shortcutWorks = true;
  bool hidden = false;
  bool projectVisible = false;
};

class FakePorts final : public TVirtualPortControl {
 public:
  bool BusAvailable() override { return bus; }
  int Count() override { return count; }
  int SetCount(int wanted) override {
    ++calls;
    if (refuse) return kVirtualPortsFailed;
    if (bus) count = wanted;
    return kVirtualPortsAsWanted;
  }
  bool bus = true;
  int count = 2;
  bool refuse = false;
  int calls = 0;
};

constexpr size_t Index(TSettingsOption option) { return static_cast<size_t>(option); }

struct SettingsHostTest : ::testing::Test {
  TMainSettings settings;
  RecordingWindow window;
  FakePorts ports;
  TMainSettingsHost host{settings, window, ports};
};

TEST_F(SettingsHostTest, OptionsReadFromTheWindowsSettingsAndTheShortcut) {
  settings.startMinimized = true;
  settings.showSplashScreen = false;
  settings.showTrayIcon = true;
  settings.trayAnimation = false;
  settings.minimizeToTray = true;
  settings.friendlyDescriptions = true;
  host.SetAutostart(true);
  const TSettingsOptions options = host.ReadOptions();
  EXPECT_TRUE(options[Index(TSettingsOption::StartMinimized)]);
  EXPECT_TRUE(options[Index(TSettingsOption::Autostart)]);
  EXPECT_FALSE(options[Index(TSettingsOption::ShowSplashScreen)]);
  EXPECT_TRUE(options[Index(TSettingsOption::ShowTrayIcon)]);
  EXPECT_FALSE(options[Index(TSettingsOption::AnimateTray)]);
  EXPECT_TRUE(options[Index(TSettingsOption::MinimizeToTray)]);
  EXPECT_TRUE(options[Index(TSettingsOption::FriendlyDescriptions)]);
}

TEST_F(SettingsHostTest, EachOptionLandsInItsOwnSettingAndTheWindowFollowsOnlyChanges) {
  // The dialog applies all seven every time: values as they are do nothing.
  for (size_t i = 0; i < kSettingsOptionCount; ++i)
    host.ApplyOption(static_cast<TSettingsOption>(i), host.ReadOptions()[i]);
  EXPECT_TRUE(window.log.empty()) << ::testing::PrintToString(window.log);

  host.ApplyOption(TSettingsOption::StartMinimized, true);
  host.ApplyOption(TSettingsOption::ShowSplashScreen, false);
  host.ApplyOption(TSettingsOption::MinimizeToTray, true);
  EXPECT_TRUE(settings.startMinimized);
  EXPECT_FALSE(settings.showSplashScreen);
  EXPECT_TRUE(settings.minimizeToTray);
  EXPECT_TRUE(window.log.empty());  // read when they are needed

  host.ApplyOption(TSettingsOption::ShowTrayIcon, false);
  host.ApplyOption(TSettingsOption::AnimateTray, false);
  host.ApplyOption(TSettingsOption::FriendlyDescriptions, true);
  EXPECT_FALSE(settings.showTrayIcon);
  EXPECT_FALSE(settings.trayAnimation);
  EXPECT_TRUE(settings.friendlyDescriptions);
  EXPECT_EQ(window.log, (std::vector<std::string>{"tray icon", "lamps", "descriptions"}));
  // None of them touched another option's setting.
  EXPECT_TRUE(settings.startMinimized);
  EXPECT_FALSE(settings.showSplashScreen);
  EXPECT_TRUE(settings.minimizeToTray);
}

TEST_F(SettingsHostTest, TheShortcutOptionFollowsWhatTheFolderAllows) {
  host.ApplyOption(TSettingsOption::Autostart, true);
  EXPECT_TRUE(host.Autostart());
  host.ApplyOption(TSettingsOption::Autostart, true);  // already there: not made again
  EXPECT_EQ(window.log, std::vector<std::string>{"shortcut on"});

  // A shortcut that cannot be removed is still there: the dialog shows it so next time.
  window.shortcutWorks = false;
  host.ApplyOption(TSettingsOption::Autostart, false);
  EXPECT_TRUE(host.Autostart());
  EXPECT_TRUE(host.ReadOptions()[Index(TSettingsOption::Autostart)]);
  window.shortcutWorks = true;
  host.ApplyOption(TSettingsOption::Autostart, false);
  EXPECT_FALSE(host.Autostart());
  EXPECT_EQ(window.log,
            (std::vector<std::string>{"shortcut on", "shortcut off", "shortcut off"}));
}

TEST_F(SettingsHostTest, AWindowHiddenBehindTheIconComesBackWhenTheIconGoes) {
  window.hidden = true;
  host.ApplyOption(TSettingsOption::ShowTrayIcon, false);
  EXPECT_EQ(window.log, (std::vector<std::string>{"tray icon", "show window"}));
  EXPECT_FALSE(window.hidden);

  // Showing the icon again leaves the window as it is.
  window.log.clear();
  window.hidden = true;
  host.ApplyOption(TSettingsOption::ShowTrayIcon, true);
  EXPECT_EQ(window.log, std::vector<std::string>{"tray icon"});
  EXPECT_TRUE(window.hidden);
}

TEST_F(SettingsHostTest, VirtualPortsAreLookedForAgainOnlyAfterTheirNumberChanged) {
  EXPECT_TRUE(host.IsVirtualMidiBusAvailable());
  EXPECT_EQ(host.GetVirtualPortCount(), 2);
  EXPECT_EQ(host.SetVirtualPortCount(2), kVirtualPortsAsWanted);
  EXPECT_TRUE(window.log.empty());
  EXPECT_EQ(host.SetVirtualPortCount(3), kVirtualPortsAsWanted);
  EXPECT_EQ(ports.count, 3);
  EXPECT_EQ(window.log, std::vector<std::string>{"ports changed"});

  // Cancelled or failed: nothing changed.
  ports.refuse = true;
  EXPECT_EQ(host.SetVirtualPortCount(1), kVirtualPortsFailed);
  EXPECT_EQ(window.log.size(), 1u);

  // Without the bus the dialog asks for none, which is no change.
  ports.refuse = false;
  ports.bus = false;
  EXPECT_FALSE(host.IsVirtualMidiBusAvailable());
  EXPECT_EQ(host.SetVirtualPortCount(0), kVirtualPortsAsWanted);
  EXPECT_EQ(window.log.size(), 1u);
}

// A page that does nothing, standing in for the "MIDI Ports" page.
class QuietPage final : public TPropertyPanel {
 public:
  void LoadValues() override {}
  void Revert() override {}
  void Apply(bool) override {}
};

class QuietMessages final : public TPropsMessages {
 public:
  void ShowError(const std::string& text) override { shown.push_back(text); }
  void ShowInfo(const std::string& text) override { shown.push_back(text); }
  bool AskYesNo(const std::string& text, uint32_t) override {
    shown.push_back(text);
    return false;
  }
  std::vector<std::string> shown;
};

struct SettingsDialogOverHostTest : SettingsHostTest {
  TMemorySettingsRegistry registry;
  TScopedSettingsRegistry registryScope{registry};
  QuietMessages messages;
  QuietPage page;

  std::unique_ptr<TSettingsForm> Open() {
    auto form = std::make_unique<TSettingsForm>(messages, host, page, "Zarn's Korvanta Pro");
    form->Create();
    form->SelectPage(0);
    form->Show();
    return form;
  }
};

TEST_F(SettingsDialogOverHostTest, OkWritesTheEditedOptionsAndTouchesOnlyTheirWindowParts) {
  auto form = Open();
  EXPECT_TRUE(form->Option(TSettingsOption::ShowTrayIcon));
  EXPECT_EQ(form->VirtualPortsItem(), 1);  // two pairs present
  form->EditOption(TSettingsOption::FriendlyDescriptions, true);
  form->EditOption(TSettingsOption::StartMinimized, true);
  ASSERT_TRUE(form->Close(TModalResult::OK));
  EXPECT_TRUE(settings.friendlyDescriptions);
  EXPECT_TRUE(settings.startMinimized);
  EXPECT_EQ(window.log, std::vector<std::string>{"descriptions"});
  EXPECT_EQ(ports.count, 2);
  EXPECT_TRUE(messages.shown.empty());

  // Cancel leaves the window's settings alone.
  form = Open();
  form->EditOption(TSettingsOption::ShowSplashScreen, false);
  ASSERT_TRUE(form->Close(TModalResult::Cancel));
  EXPECT_TRUE(settings.showSplashScreen);
}

TEST_F(SettingsDialogOverHostTest, ImportedOptionsAreNotPutBackByTheOpenDialog) {
  auto form = Open();
  form->EditOption(TSettingsOption::StartMinimized, true);  // Apply is enabled
  // Settings imported from a file while the dialog is open.
  settings.showTrayIcon = false;
  settings.friendlyDescriptions = true;
  form->ReloadOptions();
  EXPECT_FALSE(form->Option(TSettingsOption::ShowTrayIcon));
  EXPECT_FALSE(form->OptionEnabled(TSettingsOption::AnimateTray));
  ASSERT_TRUE(form->Close(TModalResult::OK));
  EXPECT_FALSE(settings.showTrayIcon);
  EXPECT_TRUE(settings.friendlyDescriptions);
  EXPECT_FALSE(settings.startMinimized);  // the import's value replaced the edit
  EXPECT_TRUE(window.log.empty()) << ::testing::PrintToString(window.log);
}

}  // namespace
}  // namespace kv::test
