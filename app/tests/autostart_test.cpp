// The Run-key entry: machine-wide first, then for this user, with the messages a log-on start
// and a removal leave behind; the shortcut's file name.
#include "app/tests/controller_fixture.h"
#include "base/platform.h"
#include "base/texts.h"

namespace kv::test {
namespace {

using AutostartTest = ControllerFixture;

TEST_F(AutostartTest, InstallFallsBackToThisUser) {
  TKVHighLevel& controller = Make();
  controller.InstallAutostart();
  EXPECT_EQ(autostart_.machine.values[GetProgramTitle()],
            '"' + GetProgramPath() + "\" /start");
  EXPECT_EQ(log_.back(), (TLogLine{"Successfully installed autostart of " + GetProgramTitle(),
                                   kLogVerbose}));

  autostart_.machine = {};
  autostart_.machine.writable = false;
  controller.InstallAutostart();
  EXPECT_EQ(autostart_.user.values.count(GetProgramTitle()), 1u);
  EXPECT_TRUE(Logged("Install: Could not add entry to reg key: " + std::string(kRunKeyPath),
                     kLogInfo));
  EXPECT_EQ(log_.back(),
            (TLogLine{"Successfully installed autostart of " + GetProgramTitle() + " for this user",
                      kLogVerbose}));

  autostart_.user.openable = false;
  controller.InstallAutostart();
  EXPECT_EQ(log_.back(),
            (TLogLine{"Unable to install autostart for " + GetProgramTitle() + "!", kLogError}));
}

TEST_F(AutostartTest, RemoveTellsWhereItWasAndWhenItWasNowhere) {
  TKVHighLevel& controller = Make();
  autostart_.user.values[GetProgramTitle()] = 'x';
  controller.RemoveAutostart();
  EXPECT_TRUE(autostart_.user.values.empty());
  EXPECT_EQ(log_.back(), (TLogLine{"Successfully uninstalled " + GetProgramTitle() +
                                       " for this user",
                                   kLogVerbose}));

  log_.clear();
  controller.RemoveAutostart();
  const TLogLine nothing{"Uninstall: nothing to uninstall -- is not installed!", kLogInfo};
  EXPECT_EQ(log_, (std::vector<TLogLine>{
                      nothing, nothing,
                      {"Could not uninstall " + GetProgramTitle() + ", since it was not installed.",
                       kLogVerbose}}));

  log_.clear();
  autostart_.machine.values[GetProgramTitle()] = 'x';
  autostart_.machine.writable = false;
  autostart_.user.exists = false;
  controller.RemoveAutostart();
  EXPECT_EQ(log_.back(), (TLogLine{"Unable to uninstall " + GetProgramTitle() + "!", kLogError}));
}

TEST(ShellLinkName, LnkIsAppendedOnlyWhenMissing) {
  EXPECT_EQ(LinkFileName("C:\\Startup\\Korvanta"), "C:\\Startup\\Korvanta.lnk");
  EXPECT_EQ(LinkFileName("C:\\Startup\\Korvanta.LNK"), "C:\\Startup\\Korvanta.LNK");
  EXPECT_EQ(LinkFileName("C:\\Start.up\\Korvanta"), "C:\\Start.up\\Korvanta.lnk");
}

}  // namespace
}  // namespace kv::test
