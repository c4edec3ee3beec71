// The controller's stages, log routing, settings and project loading, and the binding of the
// project's port aliases, against the real engine and MIDI manager over the loopback stand-in.
#include <atomic>
#include <memory>
#include <chrono>
#include <thread>

#include "app/tests/controller_fixture.h"
#include "base/ini_file.h"
#include "base/settings_key.h"
#include "base/texts.h"
#include "engine/project.h"
#include "engine/trans_engine.h"

namespace kv::test {
namespace {

// Note-on 60 from any input becomes controller 7 (value = velocity) on the alias "Synth".
const char* kProject =
    "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Main\r\nActive=1\r\n"
    "Name0=n\r\nIncoming0=MID1903Cpp\r\nOutgoing0=MID2MIDA00010005SynthB007pp\r\n"
    "Options0=Actv01Stop00OutO00\r\n";

template <typename Condition>
bool WaitFor(Condition condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    TMainThreadCalls::Instance().Serve(5);
  }
  return true;
}

using ControllerTest = ControllerFixture;

TEST_F(ControllerTest, GoLiveRunsEveryStageInOrderAndMidiFlowsEndToEnd) {
  TKVHighLevel& controller = Make();
  EXPECT_EQ(controller.Stage(), 1);
  EXPECT_EQ(controller.Engine(), nullptr);
  controller.Params().ProjectFile = File("live.kvxp", kProject);
  std::vector<std::string> order;
  controller.OnReadSettings = [&](TCustomIniFile&) { order.push_back("settings"); };
  controller.OnMissingAliases = [&](TMidiAliasList& missing) {
    order.push_back("aliases " + std::to_string(missing.GetCount()));
  };
  controller.RunCommandLine({"/midiin", "Keys", "/midiout", "Synth"});
  controller.GoLive();
  EXPECT_EQ(controller.Stage(), 5);
  ASSERT_NE(controller.Engine(), nullptr);
  EXPECT_EQ(order, (std::vector<std::string>{"settings", "aliases 0"}));
  EXPECT_FALSE(MidiManager().IsSuspended());
  // The project's alias had no device: it was bound to the port of the same name.
  EXPECT_EQ(MidiAliasManager().Lookup("Synth", makMidiOut, false)->GetDeviceName(), "Synth");
  EXPECT_TRUE(Logged("Process started", kLogInfo));
  EXPECT_TRUE(Logged("Loaded Project file.", kLogInfo));

  ASSERT_TRUE(WaitFor([&] {
    return MidiManager().GetInput(MidiManager().IndexOfDevice("Keys", true))->IsOpen();
  }));
  ASSERT_TRUE(loop_.FeedShort("Keys", 0x653C90));
  ASSERT_TRUE(WaitFor([&] { return !loop_.Sent("Synth").empty(); }));
  EXPECT_EQ(loop_.Sent("Synth")[0].bytes, (std::vector<uint8_t>{0xB0, 0x07, 0x65}));

  // A settings or project load after the start never takes the stage back.
  controller.LoadSettings(true, true);
  controller.LoadProject(false, false);
  EXPECT_EQ(controller.Stage(), 5);

  controller.Shutdown();
  EXPECT_EQ(controller.Stage(), 6);
  EXPECT_EQ(controller.Engine(), nullptr);
  EXPECT_TRUE(Logged("ended.", kLogInfo));
  controller.GoLive();  // past it: nothing happens
  EXPECT_EQ(controller.Stage(), 6);
}

TEST_F(ControllerTest, LogSendsLevelOneToTheDebuggerOnlyWhenVerbose) {
  TKVHighLevel& controller = Make();
  controller.Log("info", kLogInfo);
  controller.Log("detail", kLogVerbose);
  controller.Log("bad", kLogError);
  const std::string title = GetProgramTitle();
  EXPECT_EQ(debug_, (std::vector<std::string>{title + ": info", title + ": bad"}));
  EXPECT_EQ(log_.size(), 3u);  // the receiver gets every level
  controller.SetVerbose(true);
  controller.Log("detail", kLogVerbose);
  EXPECT_EQ(debug_.back(), title + ": detail");
  controller.LogRuntimeError("Message queue is full (actions are discarded)");
  EXPECT_EQ(log_.back(),
            (TLogLine{"ERROR:\r\nMessage queue is full (actions are discarded)", kLogError}));
}

TEST_F(ControllerTest, LogFromAnotherThreadIsPostedToTheMainThread) {
  TKVHighLevel& controller = Make();
  std::thread::id receiver;
  std::atomic<int> calls{0};
  controller.SetOnLog([&](const std::string&, int) {
    receiver = std::this_thread::get_id();
    ++calls;
  });
  std::thread other([&] { controller.Log("from a MIDI thread", kLogError); });
  other.join();  // returned without the main thread serving anything
  EXPECT_EQ(calls.load(), 0);
  ASSERT_TRUE(WaitFor([&] { return calls.load() == 1; }));
  EXPECT_EQ(receiver, std::this_thread::get_id());
  // A line posted just before the controller goes finds no receiver, not a freed controller.
  std::thread late([&] { controller.Log("late", kLogError); });
  late.join();
  controller_.reset();
  while (TMainThreadCalls::Instance().Serve(0)) {
  }
  EXPECT_EQ(calls.load(), 1);
}

TEST_F(ControllerTest, DebugAndVerboseRouteTheEngineLogToTheController) {
  TKVHighLevel& controller = Make();
  controller.StartEngine();
  EXPECT_FALSE(controller.Engine()->Params().IsLogging());
  controller.SetDebug(true);
  EXPECT_TRUE(controller.Engine()->Params().IsLogging());
  controller.SetDebug(false);
  EXPECT_FALSE(controller.Engine()->Params().IsLogging());
}

TEST_F(ControllerTest, FirstRunSetsDefaultsAndSavesToTheWriteKey) {
  TKVHighLevel& controller = Make();
  controller.SetSettingsFile((dir_ / "none.kvxs").string());
  int defaults = 0;
  controller.OnReadSettings = [&](TCustomIniFile& ini) {
    EXPECT_FALSE(ini.SectionExists("Current"));
    ++defaults;
  };
  controller.OnWriteSettings = [&](TCustomIniFile& ini) {
    ini.WriteInteger("Current", "Left", 12);
  };
  EXPECT_FALSE(controller.LoadSettings(true, true));
  EXPECT_EQ(defaults, 1);
  EXPECT_EQ(controller.LoadedFrom(), 0);
  EXPECT_EQ(controller.Stage(), 3);
  EXPECT_TRUE(controller.SaveSettings(true, false));
  EXPECT_TRUE(Logged("Settings saved successfully to <registry>.", kLogInfo));
  EXPECT_EQ(registry_.Key(GetSettingsRegKey(false))->ReadInteger("Current", "Left", 0), 12);

  // The next start reads it back.
  int read = 0;
  controller.OnReadSettings = [&](TCustomIniFile& ini) {
    read = ini.ReadInteger("Current", "Left", 0);
  };
  EXPECT_TRUE(controller.LoadSettings(true, false));
  EXPECT_EQ(read, 12);
  EXPECT_EQ(controller.LoadedFrom(), TKVHighLevel::kLoadedFromRegistry);
}

TEST_F(ControllerTest, ASettingsFileReadsOverTheRegistryAndACommandLineFileReplacesIt) {
  registry_.Key(GetSettingsRegKey(true))->WriteString("Current", "Who", "registry");
  TKVHighLevel& controller = Make();
  controller.SetSettingsFile(File("beside.kvxs", "[Current]\r\nWho=file\r\n"));
  std::vector<std::string> seen;
  controller.OnReadSettings = [&](TCustomIniFile& ini) {
    seen.push_back(ini.ReadString("Current", "Who", ""));
  };
  EXPECT_TRUE(controller.LoadSettings(true, true));
  EXPECT_EQ(seen, (std::vector<std::string>{"registry", "file"}));
  EXPECT_EQ(controller.LoadedFrom(),
            TKVHighLevel::kLoadedFromRegistry | TKVHighLevel::kLoadedFromFile);

  seen.clear();
  const std::string named = File("named.kvxs", "[Current]\r\nWho=named\r\n");
  controller.Params().SettingsFile = named;
  EXPECT_TRUE(controller.LoadSettings(true, true));
  EXPECT_EQ(seen, (std::vector<std::string>{"named"}));  // the registry was not read
  EXPECT_EQ(controller.SettingsFile(), named);
  EXPECT_EQ(controller.LoadedFrom(), TKVHighLevel::kLoadedFromFile);
}

TEST_F(ControllerTest, AFileWithoutCurrentIsRefused) {
  TKVHighLevel& controller = Make();
  controller.SetSettingsFile(File("other.kvxs", "[Something]\r\nx=1\r\n"));
  int reads = 0;
  controller.OnReadSettings = [&](TCustomIniFile&) { ++reads; };
  EXPECT_FALSE(controller.LoadSettings(false, true));
  EXPECT_TRUE(Logged("This is not a file with " + GetProgramTitle() + " settings !", kLogError));
  EXPECT_EQ(reads, 1);  // only the defaults, from the refused file
  EXPECT_EQ(controller.LoadedFrom(), 0);
}

TEST_F(ControllerTest, TheExitSaveGoesWhereTheSettingsCameFromAndARefusedFileChangesNothing) {
  const std::string writeKey = GetSettingsRegKey(false);
  registry_.Key(GetSettingsRegKey(true))->WriteString("Current", "Who", "registry");
  TKVHighLevel& controller = Make();
  std::string who;
  controller.OnReadSettings = [&](TCustomIniFile& ini) {
    who = ini.ReadString("Current", "Who", "default");
  };
  controller.OnWriteSettings = [&](TCustomIniFile& ini) { ini.WriteString("Current", "Who", who); };

  // A refused file beside the program: the registry's values stay and go back to the registry.
  const std::string refused = File("beside.kvxs", "[Something]\r\nx=1\r\n");
  controller.SetSettingsFile(refused);
  EXPECT_FALSE(controller.LoadSettings(true, true));
  EXPECT_EQ(who, "registry");
  registry_.Key(writeKey)->WriteString("Current", "Who", "untouched");
  EXPECT_TRUE(controller.SaveSettingsWhereLoaded());
  EXPECT_EQ(registry_.Key(writeKey)->ReadString("Current", "Who", ""), "registry");
  EXPECT_EQ(ReadFileBytes(refused), "[Something]\r\nx=1\r\n");

  // Named on the command line: a missing file is created, the registry left as it was.
  registry_.Key(writeKey)->WriteString("Current", "Who", "untouched");
  const std::string missing = (dir_ / "named.kvxs").string();
  controller.Params().SettingsFile = missing;
  controller.LoadSettings(true, true);
  EXPECT_TRUE(controller.SaveSettingsWhereLoaded());
  EXPECT_TRUE(TMemIniFile(missing).SectionExists("Current"));
  EXPECT_EQ(registry_.Key(writeKey)->ReadString("Current", "Who", ""), "untouched");

  // Named but refused, or a name the code page could not hold: nothing is written anywhere.
  controller.Params().SettingsFile = refused;
  controller.LoadSettings(true, true);
  EXPECT_FALSE(controller.SaveSettingsWhereLoaded());
  EXPECT_EQ(ReadFileBytes(refused), "[Something]\r\nx=1\r\n");
  controller.Params().SettingsFile = (dir_ / "????.kvxs").string();
  controller.LoadSettings(true, true);
  EXPECT_TRUE(Logged("The settings file name \"" + (dir_ / "????.kvxs").string() +
                         "\" has characters this program cannot store: the settings are "
                         "neither read from nor saved to it.",
                     kLogError));
  EXPECT_FALSE(controller.SaveSettingsWhereLoaded());
  EXPECT_EQ(registry_.Key(writeKey)->ReadString("Current", "Who", ""), "untouched");

  // A file that cannot be written gives the reason, naming the file, for the exit to show; a
  // save that then works leaves none.
  const std::string unwritable = (dir_ / "later" / "named.kvxs").string();
  controller.Params().SettingsFile = unwritable;
  controller.LoadSettings(true, true);
  EXPECT_FALSE(controller.SaveSettingsWhereLoaded());
  EXPECT_EQ(controller.LastSaveError().rfind("Cannot save \"" + unwritable + "\": ", 0), 0u)
      << controller.LastSaveError();
  std::filesystem::create_directories(dir_ / "later");
  EXPECT_TRUE(controller.SaveSettingsWhereLoaded());
  EXPECT_EQ(controller.LastSaveError(), "");
}

TEST_F(ControllerTest, ProjectLoadReportsAMissingFileAndOffersDocumentsInOrder) {
  TKVHighLevel& controller = Make();
  controller.SetProjectFile("");
  EXPECT_FALSE(controller.LoadProject(false, true));
  EXPECT_TRUE(log_.empty() || log_.back().level != kLogError);

  const std::string missing = (dir_ / "gone.kvxp").string();
  controller.SetProjectFile(missing);
  EXPECT_FALSE(controller.LoadProject(false, true));
  EXPECT_TRUE(Logged("ERROR: Project file does not exist: \r\n" + missing, kLogError));

  const std::string project = File("show.kvxp", kProject);
  File("show.url", "[InternetShortcut]\r\n");
  File("show.pdf", "%PDF");
  controller.SetProjectFile(project);
  dialogs_.answer = true;
  EXPECT_TRUE(controller.LoadProject(false, true));
  ASSERT_EQ(dialogs_.questions.size(), 2u);
  EXPECT_EQ(dialogs_.questions[0],
            "The project has associated documentation in PDF format.\r\nDo you want to open it "
            "now?");
  EXPECT_EQ(dialogs_.questions[1],
            "The project has an associated web page.\r\nDo you want to see it now?");
  EXPECT_EQ(dialogs_.opened.size(), 2u);
  EXPECT_EQ(controller.Engine()->Project().GetPresetCount(), 1);
}

// A file that is no project is refused with its reason and the open project stays; a good
// one is opened once: its active preset is announced a single time.
TEST_F(ControllerTest, ProjectLoadRefusesANonProjectAndOpensAGoodOneOnce) {
  TKVHighLevel& controller = Make();
  controller.SetProjectFile(File("good.kvxp", kProject));
  controller.EnsureStage(4);
  TTransEngine& engine = *controller.Engine();
  // The receiver stays until the engine goes: the dispatcher may still walk the project-opened
  // event with it after the last check, so it holds its own counter.
  auto counted = std::make_shared<std::atomic<int>>(0);
  engine.SetOnEvent([counted](TTransEngine&, const TIncomingEvent& e) {
    if (e.kind == kActionPresetChange) ++*counted;
  });
  const std::atomic<int>& activations = *counted;
  EXPECT_TRUE(controller.LoadProject(false, false));
  EXPECT_EQ(activations, 1);
  EXPECT_FALSE(controller.ProjectRefused());

  const std::string junk = File("junk.kvxp", std::string("\x7f"
                                                         "ELF\x02\x01\x01\0\0",
                                                         9));
  controller.SetProjectFile(junk);
  EXPECT_FALSE(controller.LoadProject(false, false));
  EXPECT_TRUE(controller.ProjectRefused());
  EXPECT_TRUE(Logged("This is not a project file:\r\n" + junk +
                         "\r\nNothing was loaded: no project, preset or translator in it.",
                     kLogError));
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(engine.Project().GetPresetCount(), 1);
  EXPECT_NE(engine.Project().GetFileName().find("good.kvxp"), std::string::npos);
}

TEST_F(ControllerTest, AliasesAreBoundOnlyWithAReceiverAndUnusedPortsClose) {
  TKVHighLevel& controller = Make();
  controller.Params().ProjectFile = File("bind.kvxp", kProject);
  controller.GoLive();  // no OnMissingAliases: nothing bound
  EXPECT_EQ(MidiAliasManager().Lookup("Synth", makMidiOut, false)->GetDeviceName(), "");

  std::vector<int> missingCounts;
  controller.OnMissingAliases = [&](TMidiAliasList& missing) {
    missingCounts.push_back(missing.GetCount());
  };
  // An alias no port is named after stays missing; Synth finds its port.
  TMidiAliasList ports;
  ports.Add(MidiAliasManager().Lookup("Ghost", makMidiOut, true));
  controller.Engine()->Project().SetDefaultOutPorts(&ports);
  controller.BindUsedAliases(false);
  EXPECT_TRUE(missingCounts.empty());  // no report asked for
  controller.BindUsedAliases(true);
  EXPECT_EQ(missingCounts, (std::vector<int>{1}));
  EXPECT_EQ(MidiAliasManager().Lookup("Synth", makMidiOut, false)->GetDeviceName(), "Synth");
  EXPECT_EQ(MidiAliasManager().Lookup("Ghost", makMidiOut, false)->GetDeviceName(), "");
  controller.Engine()->Project().SetDefaultOutPorts(nullptr);

  // Keys is open but no alias uses it: it closes; Synth is used: it opens after the question.
  const int keys = MidiManager().FindOrAddDevice("Keys", true, false, true);
  MidiManager().OpenInput(keys, false);
  ASSERT_TRUE(MidiManager().GetInput(keys)->IsOpen());
  dialogs_.answer = true;
  EXPECT_TRUE(controller.OpenUsedPorts(true));
  EXPECT_EQ(dialogs_.questions.back(), "Do you want to open the MIDI ports used in this preset now?");
  EXPECT_EQ(dialogs_.delays.back(), 1000u);
  EXPECT_FALSE(MidiManager().GetInput(keys)->IsOpen());
  EXPECT_TRUE(MidiManager().GetOutput(MidiManager().IndexOfDevice("Synth", false))->IsOpen());
  EXPECT_FALSE(controller.OpenUsedPorts(true));  // nothing left to do
}

TEST_F(ControllerTest, OpeningAPortWhoseDeviceIsGoneIsReportedPerPort) {
  TKVHighLevel& controller = Make();
  controller.GoLive();
  MidiAliasManager().AddAlias("Far", "Elsewhere", makMidiOut, false);
  TMidiAliasList ports;
  ports.Add(MidiAliasManager().Lookup("Far", makMidiOut, false));
  controller.Engine()->Project().SetDefaultOutPorts(&ports);
  EXPECT_TRUE(controller.OpenUsedPorts(false));
  EXPECT_TRUE(Logged("Error: MIDI device \"Elsewhere\" does not exist\r\nPlease plug it in or "
                     "assign a new device to this alias.",
                     kLogError));
}

// A device swapped for another keeps the port count: the device-change report's scan leaves
// it to the forced one 10 s later, the user's rescan finds it at once. Both arm that one.
TEST_F(ControllerTest, TheUsersRescanFindsASwappedDeviceAtOnce) {
  loop_.AddInput("Spare");
  loop_.AddInput("Pads");
  loop_.Unplug("Pads");
  TKVHighLevel& controller = Make();
  controller.GoLive();
  int armed = 0;
  MidiManager().SetRescanTimer([&](uint32_t) { ++armed; });
  loop_.Unplug("Spare");
  loop_.Plug("Pads");
  controller.RescanDevices();
  EXPECT_LT(MidiManager().IndexOfDevice("Pads", true), 0);
  controller.RescanDevices(true);
  EXPECT_GE(MidiManager().IndexOfDevice("Pads", true), 0);
  EXPECT_EQ(armed, 2);
}

TEST_F(ControllerTest, DeviceAndVirtualPortAliases) {
  TKVHighLevel& controller = Make();
  controller.GoLive();
  TMidiAliasManager& aliases = MidiAliasManager();
  controller.MakeDeviceAliases();
  ASSERT_NE(aliases.Lookup("Keys", makMidiIn, false), nullptr);
  EXPECT_EQ(aliases.Lookup("Keys", makMidiIn, false)->GetDeviceName(), "Keys");
  EXPECT_EQ(aliases.Lookup("Synth", makMidiOut, false)->GetDeviceName(), "Synth");

  // An own-name alias whose device is gone goes; one bound elsewhere stays.
  aliases.AddAlias("Old", "Old", makMidiIn, false);
  aliases.AddAlias("Mine", "Old", makMidiIn, false);
  controller.RemoveStaleDeviceAliases();
  EXPECT_LT(aliases.IndexOf("Old", makMidiIn), 0);
  EXPECT_GE(aliases.IndexOf("Mine", makMidiIn), 0);

  // Without create: the numbered virtual-port aliases go, up to the first gap, both ways.
  const std::string base = controller.VirtualPortAliasBase();
  for (const uint8_t kind : {makMidiIn, makMidiOut}) {
    aliases.AddAlias(base + " 1", "v1", kind, true);
    aliases.AddAlias(base + " 2", "v2", kind, true);
    aliases.AddAlias(base + " 4", "v4", kind, true);
  }
  controller.MakeVirtualPortAliases(false);
  for (const uint8_t kind : {makMidiIn, makMidiOut}) {
    EXPECT_LT(aliases.IndexOf(base + " 1", kind), 0);
    EXPECT_LT(aliases.IndexOf(base + " 2", kind), 0);
    EXPECT_GE(aliases.IndexOf(base + " 4", kind), 0);
  }
}

}  // namespace
}  // namespace kv::test
