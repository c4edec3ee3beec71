// The command line as the controller parses it: options in any case, values, what stays
// unknown, immediate loads after their stage, virtual ports and the close request.
#include "app/tests/controller_fixture.h"
#include "base/texts.h"
#include "engine/project.h"
#include "engine/trans_engine.h"
#include "midi/manager/virtual_port_setup.h"

namespace kv::test {
namespace {

using CommandLineTest = ControllerFixture;

TEST_F(CommandLineTest, FlagsMatchInAnyCaseAndReportOnlyChanges) {
  TKVHighLevel& controller = Make();
  std::vector<std::string> list{"/VERBOSE", "/verbose", "/Debug", "/close", "/nodebug", "/silent"};
  EXPECT_FALSE(controller.ParseCommandLine(list));
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(log_, (std::vector<TLogLine>{{"Verbose mode", 0},
                                         {"Debug mode", 0},
                                         {"will close immediately", 0},
                                         {"No Debug mode", 0},
                                         {"Silent mode", 0}}));
  EXPECT_FALSE(controller.Verbose());
  EXPECT_FALSE(controller.Debug());
}

TEST_F(CommandLineTest, ValuesAndWhatIsLeftUnknown) {
  TKVHighLevel& controller = Make();
  controller.RunCommandLine({"/SETTINGS", "my.kvxs", "/bogus", "/project"});
  EXPECT_EQ(controller.SettingsFile(), "my.kvxs");
  EXPECT_EQ(controller.Params().SettingsFile, "my.kvxs");
  EXPECT_EQ(log_, (std::vector<TLogLine>{
                      {"Parameter /project requires a filename argument.", kLogError},
                      {"Unknown parameter: /bogus", kLogError}}));

  log_.clear();
  controller.RunCommandLine({"/settings"});
  EXPECT_EQ(log_, (std::vector<TLogLine>{
                      {"Parameter /settings requires a filename argument.", kLogError}}));
}

TEST_F(CommandLineTest, ABareProjectFileCountsOnlyAsTheLastArgument) {
  TKVHighLevel& controller = Make();
  controller.RunCommandLine({"Show.KVXP"});
  EXPECT_EQ(controller.Params().ProjectFile, "Show.KVXP");
  EXPECT_TRUE(log_.empty());

  controller.Params().ProjectFile.clear();
  controller.RunCommandLine({"show.kvxp", "/whatever"});
  EXPECT_TRUE(controller.Params().ProjectFile.empty());
  EXPECT_TRUE(Logged("Unknown parameter: show.kvxp", kLogError));
  EXPECT_TRUE(Logged("Unknown parameter: /whatever", kLogError));
}

TEST_F(CommandLineTest, AfterTheirStageFilesLoadAtOnce) {
  TKVHighLevel& controller = Make();
  controller.GoLive();
  int reads = 0;
  controller.OnReadSettings = [&](TCustomIniFile&) { ++reads; };
  const std::string settings = File("late.kvxs", "[Current]\r\n");
  const std::string project = File(
      "late.kvxp", "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Late\r\nActive=1\r\n");
  controller.RunCommandLine({"/settings", settings, "/addproject", project});
  EXPECT_EQ(reads, 1);
  EXPECT_EQ(controller.SettingsFile(), settings);
  EXPECT_EQ(controller.Engine()->Project().GetPresetCount(), 1);
  EXPECT_EQ(controller.Stage(), 5);
}

TEST_F(CommandLineTest, VirtualPortCountsAreChecked) {
  TKVHighLevel& controller = Make();
  controller.RunCommandLine({"/vmpl", "6", "/vmplAtLeast", "many", "/vmpl"});
  EXPECT_EQ(log_, (std::vector<TLogLine>{
                      {"Requested number of virtual MIDI ports 6 out of range.", kLogError},
                      {"Parameter /vmplAtLeast requires a number argument.", kLogError},
                      {"Parameter /vmpl requires a number argument.", kLogError}}));
  log_.clear();
  controller.RunCommandLine({"/vmplAtLeast", "0"});
  EXPECT_EQ(log_, (std::vector<TLogLine>{
                      {"Making sure to have at least 0 virtual MIDI ports.", kLogInfo}}));
}

// No bus driver here: adding ports fails. Shown unless an earlier "/silent" asked for quiet,
// which logs the error instead (an installer's run waits for nobody).
TEST_F(CommandLineTest, VirtualPortErrorsAreLoggedInsteadOfShownAfterSilent) {
  struct TShownErrors final : TVirtualPortSetupHost {
    bool ConfirmWarning(const std::string&) override { return true; }
    bool ErrorOkCancel(const std::string& text) override {
      shown.push_back(text);
      return true;
    }
    void Error(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
  } host;
  SetVirtualPortSetupHost(&host);
  TKVHighLevel& controller = Make();
  controller.RunCommandLine({"/silent", "/vmpl", "2"});
  EXPECT_TRUE(host.shown.empty());
  ASSERT_FALSE(log_.empty());
  EXPECT_EQ(log_.back().level, kLogError);
  EXPECT_EQ(log_.back().message.rfind("Error: Virtual MIDI bus driver not installed.", 0), 0u);

  log_.clear();
  controller.RunCommandLine({"/vmpl", "2", "/silent"});
  EXPECT_EQ(host.shown.size(), 1u);
  for (const TLogLine& line : log_) EXPECT_NE(line.level, kLogError) << line;
  SetVirtualPortSetupHost(nullptr);
}

TEST_F(CommandLineTest, MidiPortOptionsOpenOrRememberTheirPorts) {
  TKVHighLevel& controller = Make();
  controller.StartEngine();
  controller.RunCommandLine({"/midiin", "Keys", "/midiout", "Nowhere", "/midiin"});
  TMidiManager& manager = MidiManager();
  const int keys = manager.IndexOfDevice("Keys", true);
  ASSERT_GE(keys, 0);
  EXPECT_TRUE(manager.GetInput(keys)->IsOpenRequested());  // suspended until the start
  const int nowhere = manager.IndexOfDevice("Nowhere", false);
  ASSERT_GE(nowhere, 0);
  EXPECT_FALSE(manager.GetOutput(nowhere)->IsPresent());
  EXPECT_TRUE(Logged("Parameter /midiin requires a MIDI device argument.", kLogError));
}

TEST_F(CommandLineTest, TheAutostartEntryItselfIsAcceptedSilently) {
  TKVHighLevel& controller = Make();
  controller.RunCommandLine({"/start"});
  EXPECT_TRUE(log_.empty());
}

TEST_F(CommandLineTest, AutostartOptionsAreReported) {
  TKVHighLevel& controller = Make();
  std::vector<std::string> list{"/install"};
  EXPECT_TRUE(controller.ParseCommandLine(list));
  EXPECT_TRUE(Logged("Ignoring /install parameter", kLogInfo));
  list = {"/autostart"};
  EXPECT_TRUE(controller.ParseCommandLine(list));
  EXPECT_EQ(autostart_.machine.values.count(GetProgramTitle()), 1u);
  EXPECT_EQ(log_.back(), (TLogLine{"Installing autostart", kLogInfo}));
  list = {"/noautostart"};
  EXPECT_TRUE(controller.ParseCommandLine(list));
  EXPECT_TRUE(autostart_.machine.values.empty());
}

TEST(CloseRequest, LookedForOnceInTheProgramsArguments) {
  SetProgramArgumentsForTests({"/debug", "/CLOSE"});
  EXPECT_TRUE(IsCloseRequested());
  SetProgramArgumentsForTests({"/closed", "x"});
  EXPECT_FALSE(IsCloseRequested());
  SetProgramArgumentsForTests({"/close"});
  EXPECT_TRUE(IsCloseRequested());
  SetProgramArgumentsForTests({});
}

}  // namespace
}  // namespace kv::test
