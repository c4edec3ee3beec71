#include "engine/project.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/exception.h"
#include "base/ini_file.h"
#include "engine/tests/test_actions.h"
#include "engine/trans_timer_manager.h"
#include "engine/translate_params.h"
#include "midi/model/router.h"

namespace kv {
namespace {

class FakeTimers : public TTransTimerManager {
 public:
  int killAll = 0;
  int PurgeAndCountActive() override { return 0; }
  void KillAll() override { ++killAll; }
  void Pause() override {}
  void Resume() override {}
  void StartNamedTimer(std::string_view, uint32_t, TOwnCallback, int32_t, int32_t) override {}
  bool KillTimer(std::string_view) override { return false; }
  int32_t GetNameId(std::string_view, bool) override { return 0; }
};

struct Errors : TCascadedErrorMessageHandler {
  std::vector<std::string> texts;
  Errors() {
    SetReceiver([this](int, const std::string& text) { texts.push_back(text); });
  }
};

class ProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::RegisterTestActions();
    project.SetTimerManager(&timers);
    project.SetOnProjectChanged([this] { ++projectChanges; });
    project.SetOnPresetsChanged([this] { ++presetsChanges; });
    dir = std::filesystem::temp_directory_path() /
          ("kv_project_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  void Read(const std::string& text, bool append = false, Errors* errors = nullptr) {
    TMemIniFile ini;
    ini.SetText(text);
    project.ReadProject(ini, "file.kvxp", false, append, errors);
  }
  std::string Written() {
    TMemIniFile ini;
    project.WriteProject(ini);
    return ini.GetText();
  }
  std::string File(const std::string& name) const { return (dir / name).string(); }
  static std::string Slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int i = 0; i < project.GetPresetCount(); ++i)
      names.push_back(project.GetPreset(i)->GetName());
    return names;
  }

  TGlobalTranslateParams params;
  FakeTimers timers;  // outlives the project, which kills all timers when it goes
  TMidiRouter router{MidiAliasManager()};
  int locks = 0, unlocks = 0, opened = 0;
  std::vector<std::pair<std::string, int>> activations;
  TPresetHandler project{&params,
                         [this] { ++opened; },
                         [this](TPresetHandler&, TTransList& p, int index) {
                           activations.emplace_back(p.GetName(), index);
                         },
                         [this] { ++unlocks; },
                         [this] { ++locks; },
                         &router};
  int projectChanges = 0, presetsChanges = 0;
  std::filesystem::path dir;
};

constexpr const char* kVersion2 =
    "[Project]\r\nVersion=2\r\nAuthor=Me\r\nAuthorContact=me@example.org\r\n"
    "Comments=line one\\r\\nline two\r\nDefaultInPorts=MIDA00010008ProjKeys\r\n"
    "DefaultOutPorts=MIDA0000\r\n\r\n"
    "[Preset.0]\r\nName=Main\r\nActive=1\r\nPresetSwitchIgnore=0\r\n"
    "DefaultOutPorts=MIDA00010009ProjSynth\r\nName0=Note\r\nIncoming0=MID1903C7F\r\n"
    "Outgoing0=None\r\nOptions0=Actv01Stop01OutO00StMa00000001ga=ga+1Xyz9tail\r\n"
    "Name1=Unknown\r\nIncoming1=Xyz1ABCD\r\nOutgoing1=MID1803C00\r\nOptions1=Actv00Stop00OutO01\r\n"
    "\r\n[Preset.1]\r\nName=Side\r\nActive=0\r\nPresetSwitchIgnore=1\r\n\r\n"
    "[MIDI.routes]\r\nIn0=ProjKeys\r\nOut0=ProjSynth\r\n";

TEST_F(ProjectTest, CurrentVersionRoundTripsExactly) {
  Errors errors;
  Read(kVersion2, false, &errors);
  ASSERT_EQ(errors.texts.size(), 2u);
  EXPECT_EQ(errors.texts[0],
            "Error while loading preset \"Main\", Translator \"Note\":\r\n    corrupt options: "
            "Xyz9tail");
  EXPECT_EQ(errors.texts[1],
            "Error while loading preset \"Main\", Translator \"Unknown\":\r\n    Incoming Action "
            "corrupt or not supported: Xyz1");
  EXPECT_EQ(Names(), (std::vector<std::string>{"Main", "Side"}));
  EXPECT_EQ(project.GetAuthor(), "Me");
  EXPECT_EQ(project.GetComments(), "line one\r\nline two");
  EXPECT_EQ(project.GetFileName(), "file.kvxp");
  EXPECT_EQ(project.GetDefaultInPorts().GetDisplayText(), "ProjKeys");
  EXPECT_EQ(project.GetPreset(0)->GetCount(), 2);
  EXPECT_TRUE(project.GetPreset(1)->PresetSwitchIgnore());
  ASSERT_EQ(project.Router().GetRoutes().GetCount(), 1);
  EXPECT_TRUE(project.Router().GetRoutes().GetRoute(0).IsValid());

  const std::string first = Written();
  EXPECT_NE(first.find("Comments=line one\\r\\nline two\r\n"), std::string::npos);
  EXPECT_NE(first.find("Options0=Actv01Stop01OutO00StMa00000001ga=ga+1Xyz9tail\r\n"),
            std::string::npos);
  EXPECT_NE(first.find("[MIDI.routes]\r\nIn0=ProjKeys\r\nOut0=ProjSynth\r\n"), std::string::npos);
  Read(first);
  EXPECT_EQ(Written(), first);
}

TEST_F(ProjectTest, LoadingNotifiesOnceAndDoesNotReportActivations) {
  Read(kVersion2);
  EXPECT_EQ(projectChanges, 1);
  EXPECT_EQ(presetsChanges, 1);
  EXPECT_TRUE(activations.empty());
  EXPECT_EQ(locks, unlocks);
  EXPECT_GT(locks, 0);
  EXPECT_FALSE(project.IsLoading());

  params.Globals().Set(10, 5);
  project.NotifyProjectOpened();
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(params.Globals().Get(10), 0);
  EXPECT_GE(timers.killAll, 1);
  ASSERT_EQ(activations.size(), 1u);
  EXPECT_EQ(activations[0], std::make_pair(std::string("Main"), 0));
}

TEST_F(ProjectTest, FileWithoutVersionSortsSectionsAndActivatesTheFirst) {
  const int routesBefore = project.Router().GetRoutes().GetCount();
  Read(
      "[Drums]\r\nName0=kick\r\nIncoming0=MID19924ppqq\r\n\r\n[Bass]\r\nActive=0\r\n"
      "[midi.routes]\r\nIn0=A\r\nOut0=\r\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"Bass", "Drums"}));
  EXPECT_TRUE(project.GetPreset(0)->Active());
  EXPECT_FALSE(project.GetPreset(1)->Active());
  EXPECT_EQ(project.GetPreset(1)->GetCount(), 1);
  // The routes section is read in any case of its name; the route without output is kept
  // but invalid.
  ASSERT_EQ(project.Router().GetRoutes().GetCount(), routesBefore + 1);
  EXPECT_FALSE(project.Router().GetRoutes().GetRoute(routesBefore).IsValid());
  EXPECT_EQ(project.Router().GetRoutes().GetRoute(routesBefore).GetInName(), "");
}

// A preset named after its section takes the switch-ignore flag from that name: switching
// presets leaves it on.
TEST_F(ProjectTest, FileWithoutVersionKeepsAlwaysActiveSectionsOnThroughSwitching) {
  Read("[Drums]\r\nActive=1\r\n\r\n[(always active)]\r\nActive=1\r\n\r\n[Bass]\r\n");
  ASSERT_EQ(Names(), (std::vector<std::string>{"(always active)", "Bass", "Drums"}));
  EXPECT_TRUE(project.GetPreset(0)->PresetSwitchIgnore());
  EXPECT_FALSE(project.GetPreset(1)->PresetSwitchIgnore());
  project.SwitchToPreset(1, nullptr);  // Bass
  EXPECT_TRUE(project.GetPreset(0)->Active());
  EXPECT_TRUE(project.GetPreset(1)->Active());
  EXPECT_FALSE(project.GetPreset(2)->Active());
}

TEST_F(ProjectTest, PresetSectionsAreCountedAndReadByNumber) {
  Read(
      "[Project]\r\nVersion=2\r\n[Preset.0]\r\nName=A\r\n[Preset.2]\r\nName=C\r\n"
      "[preset.9]\r\nName=lower case: not a preset\r\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"A", ""}));
}

TEST_F(ProjectTest, OlderVersionsLoad) {
  Read(
      "[Project]\r\nVersion=1\r\n[Preset.0]\r\nName=(ALWAYS ACTIVE)\r\nActive=yes\r\n"
      "Name0=a\r\nIncoming0=MID1903C7F\r\nOutputOriginal0=1\r\n");
  ASSERT_EQ(project.GetPresetCount(), 1);
  EXPECT_TRUE(project.GetPreset(0)->PresetSwitchIgnore());
  EXPECT_TRUE(project.GetPreset(0)->Active());
  EXPECT_FALSE(project.GetPreset(0)->GetTranslator(0)->OutputOriginal());

  Read("[Project]\r\nVersion=0\r\n[Preset.0]\r\nName=x\r\n");
  EXPECT_EQ(project.GetPresetCount(), 0);
  // Whatever was read, the writer writes the current version.
  EXPECT_NE(Written().find("Version=2\r\n"), std::string::npos);
}

TEST_F(ProjectTest, TooNewFileFailsWithItsMessage) {
  Errors errors;
  Read(kVersion2);
  Read("[Project]\r\nVersion=3\r\n[Preset.0]\r\nName=A\r\n", false, &errors);
  ASSERT_EQ(errors.texts.size(), 1u);
  EXPECT_EQ(errors.texts[0],
            "This project file is incompatible with this version of Zarn's Korvanta. \r\nPlease "
            "update to be able to use this project file.");
  // The open project is left as it was.
  EXPECT_EQ(Names(), (std::vector<std::string>{"Main", "Side"}));
  EXPECT_EQ(project.GetAuthor(), "Me");
  EXPECT_EQ(locks, unlocks);
}

// A file in which the reader finds nothing it knows is refused and the open project stays;
// every older form (no version, presets named after their sections) is still read.
TEST_F(ProjectTest, AFileWithNothingTheReaderKnowsIsRefused) {
  Read(kVersion2);
  const int changes = projectChanges;
  const char kBinary[] = "MZ\x90\0\x03\0\0\0\xff\xff\r\n[\x01\x02]\r\n\x80=\x81\0";
  const std::string binary(kBinary, sizeof(kBinary) - 1);
  for (const std::string& text :
       {std::string(), binary, std::string("[General]\r\nWindow=3\r\n[Recent]\r\nFile1=a\r\n"),
        std::string("just some words\r\nName0=outside any section\r\n")}) {
    Errors errors;
    TMemIniFile ini;
    ini.SetText(text);
    EXPECT_FALSE(project.ReadProject(ini, "junk.kvxp", true, false, &errors));
    ASSERT_EQ(errors.texts.size(), 1u);
    EXPECT_EQ(errors.texts[0],
              "This is not a project file:\r\njunk.kvxp\r\nNothing was loaded: no project, preset "
              "or translator in it.");
  }
  EXPECT_EQ(Names(), (std::vector<std::string>{"Main", "Side"}));
  EXPECT_EQ(project.GetFileName(), "file.kvxp");
  EXPECT_EQ(projectChanges, changes);
  EXPECT_EQ(opened, 0);

  // From a file on disk: refused before the project is touched, the file left as it was.
  const std::string empty = File("empty.kvxp");
  std::ofstream(empty, std::ios::binary).close();
  EXPECT_THROW(project.LoadFromFile(empty, false, true, nullptr), EProjectRefused);
  EXPECT_EQ(project.GetFileName(), "file.kvxp");
  EXPECT_EQ(Slurp(empty), "");

  // Older forms are read: presets as sections without a version, 1.3 preset files with the
  // old flag keys, a project with no preset yet.
  Errors errors;
  TMemIniFile old;
  old.SetText("[Piano]\r\nName0=a\r\nIncoming0=MID1903C7F\r\nOutgoing0=None\r\nStop0=1\r\n");
  EXPECT_TRUE(project.ReadProject(old, "old.ini", false, false, &errors));
  EXPECT_EQ(Names(), std::vector<std::string>{"Piano"});
  Read("[Drums]\r\nActive=1\r\n");
  EXPECT_EQ(Names(), std::vector<std::string>{"Drums"});
  Read("[Project]\r\nVersion=2\r\n");
  EXPECT_EQ(project.GetPresetCount(), 0);
  EXPECT_EQ(project.GetFileName(), "file.kvxp");
  EXPECT_TRUE(errors.texts.empty()) << errors.texts[0];
}

// A file cut off inside a translator, a preset or a route loads what it has and names what
// was lost.
TEST_F(ProjectTest, ATruncatedFileLoadsWhatItCanAndNamesWhatWasLost) {
  const std::string whole(kVersion2);
  Errors errors;
  auto reported = [&errors](const std::string& text) {
    return std::find(errors.texts.begin(), errors.texts.end(), text) != errors.texts.end();
  };
  Read(whole.substr(0, whole.find("Outgoing1=")), false, &errors);
  EXPECT_EQ(Names(), std::vector<std::string>{"Main"});
  ASSERT_EQ(project.GetPreset(0)->GetCount(), 2);
  EXPECT_EQ(project.GetPreset(0)->GetTranslator(1)->Name(), "Unknown");
  EXPECT_TRUE(
      reported("Error while loading preset \"Main\", Translator \"Unknown\":\r\n    incomplete: "
               "Outgoing, Options lost (the file is cut off or damaged here)"))
      << ::testing::PrintToString(errors.texts);

  Read(whole.substr(0, whole.find("Name=Side")) + "Na", false, &errors);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Main", ""}));
  EXPECT_TRUE(reported(
      "Error while loading preset \"Preset.1\":\r\n    incomplete: Name and what followed it "
      "lost (the file is cut off or damaged here)"));

  Read(whole.substr(0, whole.find("Out0=")), false, &errors);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Main", "Side"}));
  EXPECT_TRUE(reported(
      "Error while loading MIDI route 0 from \"ProjKeys\":\r\n    incomplete: Out lost (the "
      "file is cut off or damaged here)"));
  // The whole file reports only its two corrupt translators; older versions wrote fewer keys.
  errors.texts.clear();
  Read(whole, false, &errors);
  Read("[Project]\r\nVersion=1\r\n[Preset.0]\r\nName=A\r\nName0=a\r\nIncoming0=MID1903C7F\r\n",
       false, &errors);
  EXPECT_EQ(errors.texts.size(), 2u) << ::testing::PrintToString(errors.texts);
}

TEST_F(ProjectTest, UnreadablePresetStopsTheLoadAndKeepsWhatWasRead) {
  Errors errors;
  Read(
      "[Project]\r\nVersion=2\r\n[Preset.0]\r\nName=A\r\n[Preset.1]\r\nName=B\r\n"
      "DefaultInPorts=MIDA00010009x\r\n[Preset.2]\r\nName=C\r\n",
      false, &errors);
  EXPECT_EQ(Names(), (std::vector<std::string>{"A"}));
  ASSERT_EQ(errors.texts.size(), 1u);
  EXPECT_EQ(errors.texts[0], "Wrong string format");
  EXPECT_EQ(locks, unlocks);
}

TEST_F(ProjectTest, AppendingKeepsTheProjectAndAddsPresetsAndRoutes) {
  Read(kVersion2);
  Read(
      "[Project]\r\nVersion=2\r\nAuthor=Other\r\n[Preset.0]\r\nName=Extra\r\n"
      "[MIDI.routes]\r\nIn0=AppIn\r\nOut0=AppOut\r\n",
      true);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Main", "Side", "Extra"}));
  EXPECT_EQ(project.GetAuthor(), "Me");
  EXPECT_EQ(project.GetFileName(), "file.kvxp");
  const TMidiRoutes& routes = project.Router().GetRoutes();
  int valid = 0;
  for (int i = 0; i < routes.GetCount(); ++i) valid += routes.GetRoute(i).IsValid();
  EXPECT_EQ(valid, 2);
}

TEST_F(ProjectTest, SaveReplacesTheWholeFileAndReportsFailure) {
  const std::string path = File("song.kvxp");
  {
    std::ofstream f(path, std::ios::binary);
    f << "[Old]\r\n" << std::string(20000, 'x') << "\r\n";
  }
  Read(kVersion2);
  project.SaveToFile(path);
  EXPECT_EQ(project.GetFileName(), path);
  const std::string saved = Slurp(path);
  EXPECT_EQ(saved.find("[Old]"), std::string::npos);
  EXPECT_EQ(saved, Written());

  // A save that cannot be written throws, changes nothing on disk and keeps the file name.
  const std::string nowhere = File("missing-folder/x.kvxp");
  EXPECT_THROW(project.SaveToFile(nowhere), EFileError);
  EXPECT_FALSE(std::filesystem::exists(nowhere));
  EXPECT_EQ(project.GetFileName(), path);
  EXPECT_EQ(Slurp(path), saved);

  project.ClearProject();
  project.LoadFromFile(path, false, false, nullptr);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Main", "Side"}));
  EXPECT_THROW(project.LoadFromFile(File("absent.kvxp"), false, false, nullptr), Exception);
}

TEST_F(ProjectTest, PresetListOperations) {
  EXPECT_TRUE(project.AddPresetNamed("A"));
  EXPECT_FALSE(project.AddPresetNamed("a"));
  EXPECT_TRUE(project.AddPresetNamed("B"));
  EXPECT_TRUE(project.AddPresetNamed("C"));
  EXPECT_EQ(project.FindPreset("c"), 2);
  EXPECT_EQ(project.FindPreset("D"), -1);
  EXPECT_TRUE(project.MovePreset(0, 99, true));  // clamped to the last
  EXPECT_EQ(Names(), (std::vector<std::string>{"B", "C", "A"}));
  EXPECT_FALSE(project.MovePreset(-5, 0, true));
  project.SortPresets();
  EXPECT_EQ(Names(), (std::vector<std::string>{"A", "B", "C"}));
  TLockableTransList& copy = project.AddPresetCopy(*project.GetPreset(1));
  EXPECT_EQ(copy.Owner(), &project.PresetOwner());
  EXPECT_EQ(project.IndexOfPreset(&copy), 3);
  project.DeletePreset(0);
  project.DeletePreset(42);
  EXPECT_EQ(Names(), (std::vector<std::string>{"B", "C", "B"}));
  EXPECT_EQ(project.GetPreset(3), nullptr);
  EXPECT_EQ(locks, unlocks);
}

TEST_F(ProjectTest, ClearingForgetsEverythingAndKillsTimers) {
  Read(kVersion2);
  project.AddTimerName("Fader", 7);
  project.AddTimerName("Other name, same id", 7);
  EXPECT_EQ(project.GetTimerNames().size(), 1u);
  const int killed = timers.killAll;
  projectChanges = presetsChanges = 0;
  project.ClearProject();
  EXPECT_EQ(project.GetPresetCount(), 0);
  EXPECT_EQ(project.GetAuthor(), "");
  EXPECT_EQ(project.GetFileName(), "");
  EXPECT_TRUE(project.GetDefaultInPorts().IsEmpty());
  EXPECT_TRUE(project.GetTimerNames().empty());
  EXPECT_EQ(timers.killAll, killed + 1);
  EXPECT_FALSE(project.Router().GetRoutes().GetRoute(0).IsValid());
  EXPECT_EQ(projectChanges, 1);
  EXPECT_EQ(presetsChanges, 1);
  EXPECT_TRUE(activations.empty());  // cleared presets report no deactivation
}

TEST_F(ProjectTest, TimerNamesReachTheProjectThroughTheProgramWideReceiver) {
  ReportTimerNameChange(nullptr, "Pulse", 12345);
  ASSERT_EQ(project.GetTimerNames().size(), 1u);
  EXPECT_EQ(project.GetTimerNames()[0].name, "Pulse");
}

TEST_F(ProjectTest, NextAndPreviousPresetSkipSwitchIgnorePresets) {
  Read(
      "[Project]\r\nVersion=2\r\n[Preset.0]\r\nName=A\r\nActive=1\r\n[Preset.1]\r\nName=B\r\n"
      "PresetSwitchIgnore=1\r\n[Preset.2]\r\nName=C\r\n");
  auto active = [&] {
    std::string s;
    for (int i = 0; i < project.GetPresetCount(); ++i)
      s += project.GetPreset(i)->Active() ? '1' : '0';
    return s;
  };
  project.ActivateNextPreset();
  EXPECT_EQ(active(), "001");
  ASSERT_EQ(activations.size(), 2u);
  EXPECT_EQ(activations[0], std::make_pair(std::string("A"), 0));  // presets in order
  EXPECT_EQ(activations[1], std::make_pair(std::string("C"), 2));
  project.ActivateNextPreset();
  EXPECT_EQ(active(), "100");
  project.ActivatePreviousPreset();
  EXPECT_EQ(active(), "001");
  project.GetPreset(1)->SetActive(true);
  project.ExecutePresetChange(1, 0, "");
  EXPECT_EQ(active(), "110");  // B keeps its state
}

TEST_F(ProjectTest, SwitchingByIndexNameAndPresetChangeModes) {
  Read(
      "[Project]\r\nVersion=2\r\n[Preset.0]\r\nName=A\r\n[Preset.1]\r\nName=B\r\n"
      "PresetSwitchIgnore=1\r\n[Preset.2]\r\nName=C\r\nActive=1\r\n");
  Errors errors;
  project.SwitchToPreset(7, &errors);
  ASSERT_EQ(errors.texts.size(), 1u);
  EXPECT_EQ(errors.texts[0], "Preset index 7 out of bounds.");

  project.SwitchToPreset(1, nullptr);
  EXPECT_TRUE(project.SwitchIgnoreTarget());
  EXPECT_TRUE(project.GetPreset(1)->Active());
  EXPECT_FALSE(project.GetPreset(2)->Active());
  project.SwitchToPreset(-1, nullptr);
  EXPECT_FALSE(project.SwitchIgnoreTarget());

  project.ExecutePresetChange(3, 2, "");
  EXPECT_TRUE(project.GetPreset(2)->Active());
  project.ExecutePresetChange(2, 0, "a");
  EXPECT_TRUE(project.GetPreset(0)->Active());
  EXPECT_FALSE(project.GetPreset(2)->Active());
  project.ExecutePresetChange(5, 2, "");
  project.ExecutePresetChange(6, 0, "A");
  EXPECT_FALSE(project.GetPreset(0)->Active());
  EXPECT_TRUE(project.GetPreset(2)->Active());
  project.ExecutePresetChange(7, 2, "");
  project.ExecutePresetChange(4, 0, "b");
  EXPECT_FALSE(project.GetPreset(2)->Active());
  project.ExecutePresetChange(5, 99, "");  // not found: nothing happens
  project.ExecutePresetChange(3, -1, "");
  project.ExecutePresetChange(6, 0, "missing");
}

TEST_F(ProjectTest, TextsPortsAndListenersNotify) {
  static int listened = 0;
  listened = 0;
  const TPresetHandler::TProjectListener listener = [](TPresetHandler&) { ++listened; };
  TPresetHandler::AddProjectListener(listener);
  project.SetAuthor("A");
  project.SetAuthor("A");
  project.SetAuthorContact("c");
  project.SetComments("x");
  EXPECT_EQ(projectChanges, 3);
  TMidiAliasList ports;
  ports.Add(MidiAliasManager().Lookup("ProjOut2", makMidiOut, true));
  project.SetDefaultOutPorts(&ports);
  project.SetDefaultOutPorts(&ports);
  EXPECT_EQ(projectChanges, 4);
  project.BeginUpdate();
  project.SetAuthor("B");
  project.SetFileName("f");
  EXPECT_EQ(projectChanges, 4);
  project.EndUpdate();
  EXPECT_EQ(projectChanges, 5);
  EXPECT_EQ(presetsChanges, 1);
  EXPECT_EQ(listened, 6);
  TPresetHandler::RemoveProjectListener(listener);
  project.SetAuthor("C");
  EXPECT_EQ(listened, 6);
  const std::string text = Written();
  EXPECT_NE(text.find("DefaultOutPorts=MIDA00010008ProjOut2\r\n"), std::string::npos);
  EXPECT_NE(text.find("DefaultInPorts=MIDA0000\r\n"), std::string::npos);
}

TEST_F(ProjectTest, RouteChangesAreProjectChanges) {
  const int before = projectChanges;
  project.Router().AddRouteByNames("RcIn", "RcOut");
  EXPECT_EQ(projectChanges, before + 1);
}

// A walk holds a snapshot of the preset list: a preset deleted meanwhile stays alive until
// the walk lets it go.
TEST_F(ProjectTest, SnapshotKeepsADeletedPresetAlive) {
  project.AddPresetNamed("Gone");
  TPresetSnapshot walk = project.GetPresets();
  std::weak_ptr<TLockableTransList> watch = (*walk)[0];
  project.DeletePreset(0);
  EXPECT_FALSE(watch.expired());
  EXPECT_EQ((*walk)[0]->GetName(), "Gone");
  walk.reset();
  EXPECT_TRUE(watch.expired());
}

TEST_F(ProjectTest, WalksRunWhileTheMainThreadEditsThePresetList) {
  Read(kVersion2);
  std::atomic<bool> done{false};
  std::atomic<int> walks{0};
  std::thread walker([&] {
    while (!done.load()) {
      const TPresetSnapshot presets = project.GetPresets();
      for (const TPresetRef& p : *presets) {
        if (!p->Active()) continue;
        p->LockList(false);
        for (int i = 0; i < p->GetCountLocked(); ++i) (void)p->GetTranslatorLocked(i)->Name();
        p->UnlockList(false);
      }
      walks.fetch_add(1);
    }
  });
  while (walks.load() == 0) std::this_thread::yield();
  for (int round = 0; round < 100; ++round) {
    project.AddPresetNamed('P' + std::to_string(round));
    project.GetPreset(project.GetPresetCount() - 1)->SetActive(true);
    project.MovePreset(0, project.GetPresetCount() - 1, false);
    project.DeletePreset(1);
    if (round % 25 == 0) Read(kVersion2);
  }
  done.store(true);
  walker.join();
  EXPECT_GT(project.GetPresetCount(), 0);
}

}  // namespace
}  // namespace kv
