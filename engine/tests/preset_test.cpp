#include "engine/preset.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "base/exception.h"
#include "base/ini_file.h"
#include "engine/tests/test_actions.h"

namespace kv {
namespace {

class PresetTest : public ::testing::Test {
 protected:
  void SetUp() override { test::RegisterTestActions(); }

  static TTransMsgPtr Translator(const std::string& name, const std::string& in = "MID1903C7F",
                                 const std::string& out = "None") {
    const std::string options = "Actv01";
    TTransMsgPtr t = TTransMsg::CreateFromText(in, out, &options);
    t->SetName(name);
    return t;
  }

  static TKeyValueLines Lines(std::initializer_list<std::pair<const char*, const char*>> kv) {
    TKeyValueLines lines;
    for (const auto& [k, v] : kv) lines.Add(k, v);
    return lines;
  }

  // Collects the errors a load reports.
  struct Errors : TCascadedErrorMessageHandler {
    std::vector<std::string> texts;
    Errors() {
      SetReceiver([this](int, const std::string& text) { texts.push_back(text); });
    }
  };
};

TEST_F(PresetTest, FlagTextsAndAlwaysActiveNames) {
  for (const char* t : {"1", "T", "True", "Y", "yes", "t", "y"})
    EXPECT_TRUE(IsTrueFlagText(t)) << t;
  for (const char* t : {"0", "", "no", "F", "x"}) EXPECT_FALSE(IsTrueFlagText(t)) << t;
  EXPECT_TRUE(IsAlwaysActivePresetName("(ALWAYS ACTIVE)"));
  EXPECT_TRUE(IsAlwaysActivePresetName("[always active]"));
  EXPECT_FALSE(IsAlwaysActivePresetName("always active"));
}

// Keys of a preset section are found in any ASCII case, the first line of a key wins (as the
// INI store reads it), and other bytes must match exactly; a section of thousands of keys
// still finds every one.
TEST_F(PresetTest, SectionKeysIgnoreAsciiCaseAndTheFirstLineWins) {
  const TKeyValueLines lines = Lines({{"nAME", "first"},
                                      {"Name", "second"},
                                      {"Incoming0", "MID1903C7F"},
                                      {"\xC4" "ctive", "1"},
                                      {"Stop", ""}});
  EXPECT_EQ(lines.Value("NAME"), "first");
  EXPECT_EQ(lines.Value("incoming0"), "MID1903C7F");
  EXPECT_TRUE(lines.Has("\xC4" "CTIVE"));
  EXPECT_FALSE(lines.Has("\xE4" "ctive"));  // no case folding beyond ASCII
  EXPECT_FALSE(lines.Has("Active"));
  EXPECT_TRUE(lines.Has("STOP"));  // present, though empty
  EXPECT_FALSE(lines.Has("Incoming"));
  EXPECT_FALSE(lines.Has("Incoming00"));
  EXPECT_EQ(lines.Value("Outgoing0"), "");
  EXPECT_FALSE(TKeyValueLines().Has("Name"));

  TMemIniFile ini;
  ini.SetText("[S]\r\nNAME0=a\r\nincoming0=MID1903C7F\r\nName0=b\r\nINCOMING0=MID1903D7F\r\n");
  TLockableTransList p;
  EXPECT_EQ(p.ReadFromStrings(TKeyValueLines::FromSection(ini, "S"), 2, nullptr), 1);
  EXPECT_EQ(p.GetTranslator(0)->Name(), "a");
  EXPECT_EQ(p.GetTranslator(0)->GetIncomingText(), "MID1903C7F");

  TKeyValueLines many;
  for (int i = 0; i < 5000; ++i) many.Add("Key" + std::to_string(i), std::to_string(i));
  many.Add("key17", "later");
  for (int i = 0; i < 5000; i += 499) EXPECT_EQ(many.Value("KEY" + std::to_string(i)), std::to_string(i));
  EXPECT_EQ(many.Value("Key17"), "17");
  EXPECT_FALSE(many.Has("Key5000"));
}

TEST_F(PresetTest, AlwaysActiveNameMakesOldPresetsSwitchIgnore) {
  TLockableTransList v1, v2, keyed;
  v1.ReadFromStrings(Lines({{"Name", "(ALWAYS ACTIVE)"}}), 1, nullptr);
  v2.ReadFromStrings(Lines({{"Name", "(ALWAYS ACTIVE)"}}), 2, nullptr);
  keyed.ReadFromStrings(Lines({{"Name", "(always active)"}, {"PresetSwitchIgnore", "0"}}), 1,
                        nullptr);
  EXPECT_TRUE(v1.PresetSwitchIgnore());
  EXPECT_FALSE(v2.PresetSwitchIgnore());
  EXPECT_FALSE(keyed.PresetSwitchIgnore());
}

TEST_F(PresetTest, ActiveFlagValues) {
  for (const char* v : {"yes", "True"}) {
    TLockableTransList p;
    p.ReadFromStrings(Lines({{"Name", "P"}, {"Active", v}}), 2, nullptr);
    EXPECT_TRUE(p.Active()) << v;
  }
  for (const char* v : {"0", ""}) {
    TLockableTransList p;
    p.ReadFromStrings(Lines({{"Name", "P"}, {"Active", v}}), 2, nullptr);
    EXPECT_FALSE(p.Active()) << v;
  }
}

TEST_F(PresetTest, TranslatorsEndAtTheFirstMissingIndex) {
  TLockableTransList p;
  const int n = p.ReadFromStrings(Lines({{"Name", "P"},
                                         {"Name0", "a"},
                                         {"Incoming0", "MID1903C7F"},
                                         {"Name1", "b"},
                                         {"Incoming1", "MID1903D7F"},
                                         {"Name3", "d"},
                                         {"Incoming3", "MID1903E7F"}}),
                                  2, nullptr);
  EXPECT_EQ(n, 2);
  ASSERT_EQ(p.GetCount(), 2);
  EXPECT_EQ(p.GetTranslator(1)->Name(), "b");
  EXPECT_EQ(p.GetTranslator(1)->GetIncomingText(), "MID1903D7F");
}

// A translator whose name is empty used to end the list when the file was read back, and
// every translator after it was lost.
TEST_F(PresetTest, UnnamedTranslatorDoesNotCutOffTheRest) {
  TLockableTransList p;
  p.SetName("P");
  p.AddTranslator(Translator("first"));
  p.AddTranslator(Translator(""));
  p.AddTranslator(Translator("third"));
  TMemIniFile ini;
  EXPECT_EQ(p.WriteToIni(ini, "Preset.0"), 3);
  TLockableTransList back;
  EXPECT_EQ(back.ReadFromStrings(TKeyValueLines::FromSection(ini, "Preset.0"), 2, nullptr), 3);
  EXPECT_EQ(back.GetTranslator(1)->Name(), "");
  EXPECT_EQ(back.GetTranslator(2)->Name(), "third");
}

TEST_F(PresetTest, WritingSkipsEmptyTranslatorsWithoutGaps) {
  TLockableTransList p;
  p.SetName("P");
  p.SetActive(true);
  p.AddTranslator(Translator("a"));
  p.AddTranslator(TTransMsg::Create("empty"));
  p.AddTranslator(Translator("c", "MID1803C00"));
  TMemIniFile ini;
  ini.SetText("[Preset.0]\r\nName5=stale\r\n");
  EXPECT_EQ(p.WriteToIni(ini, "Preset.0"), 2);
  EXPECT_EQ(ini.ReadString("Preset.0", "Name", ""), "P");
  EXPECT_EQ(ini.ReadString("Preset.0", "Active", ""), "1");
  EXPECT_EQ(ini.ReadString("Preset.0", "PresetSwitchIgnore", ""), "0");
  EXPECT_EQ(ini.ReadString("Preset.0", "Name1", ""), "c");
  EXPECT_EQ(ini.ReadString("Preset.0", "Incoming1", ""), "MID1803C00");
  EXPECT_EQ(ini.ReadString("Preset.0", "Outgoing1", ""), "None");
  EXPECT_EQ(ini.ReadString("Preset.0", "Options1", ""), "Actv01Stop00OutO00");
  EXPECT_FALSE(ini.ValueExists("Preset.0", "Name2"));
  EXPECT_FALSE(ini.ValueExists("Preset.0", "Name5"));
  EXPECT_FALSE(ini.ValueExists("Preset.0", "DefaultInPorts"));
}

TEST_F(PresetTest, OldFilesCarryOutputOriginalAndStopKeys) {
  TLockableTransList v0, v1;
  const auto lines = Lines({{"Name0", "t"},
                            {"Incoming0", "MID1903C7F"},
                            {"Options0", "Actv01Stop00OutO00"},
                            {"OutputOriginal0", "Y"},
                            {"Stop0", "T"}});
  v0.ReadFromStrings(lines, 0, nullptr);
  v1.ReadFromStrings(lines, 1, nullptr);
  EXPECT_TRUE(v0.GetTranslator(0)->OutputOriginal());
  EXPECT_TRUE(v0.GetTranslator(0)->Stop());
  EXPECT_FALSE(v1.GetTranslator(0)->OutputOriginal());
  EXPECT_FALSE(v1.GetTranslator(0)->Stop());
}

TEST_F(PresetTest, TranslatorErrorsNameThePresetAndGoOn) {
  TLockableTransList p;
  Errors errors;
  const int n = p.ReadFromStrings(Lines({{"Name", "Main"},
                                         {"Name0", "bad"},
                                         {"Incoming0", "ZZZZ"},
                                         {"Outgoing0", "None"},
                                         {"Options0", "Actv01Stop00OutO00"},
                                         {"Name1", "good"},
                                         {"Incoming1", "MID1903C7F"},
                                         {"Outgoing1", "None"},
                                         {"Options1", "Actv01Stop00OutO00"}}),
                                  2, &errors);
  EXPECT_EQ(n, 2);
  ASSERT_EQ(errors.texts.size(), 1u);
  EXPECT_EQ(errors.texts[0],
            "Error while loading preset \"Main\", Translator \"bad\":\r\n    Incoming Action "
            "corrupt or not supported: ZZZZ");
  EXPECT_EQ(p.GetTranslator(0)->GetIncomingText(), "ZZZZ");  // kept verbatim
}

TEST_F(PresetTest, MalformedPortListEscapesWithTheLockReleased) {
  TLockableTransList p;
  EXPECT_THROW(
      p.ReadFromStrings(Lines({{"Name", "P"}, {"DefaultOutPorts", "MIDA0001zz"}}), 2, nullptr),
      Exception);
  p.SetName("after");  // takes the write lock: would hang if the reader had kept it
  EXPECT_EQ(p.GetName(), "after");
}

TEST_F(PresetTest, PortsRoundTripAndChangeOnlyWhenMembersDiffer) {
  TLockableTransList p;
  int changes = 0;
  p.SetOnPresetChanged([&](TTransList&) { ++changes; });
  TMidiAliasList ports;
  ports.Add(MidiAliasManager().Lookup("PresetOut", makMidiOut, true));
  p.SetDefaultOutPorts(&ports);
  p.SetDefaultOutPorts(&ports);
  EXPECT_EQ(changes, 1);
  TMemIniFile ini;
  p.WriteToIni(ini, "S");
  EXPECT_EQ(ini.ReadString("S", "DefaultOutPorts", ""), "MIDA00010009PresetOut");
  TLockableTransList back;
  back.ReadFromStrings(TKeyValueLines::FromSection(ini, "S"), 2, nullptr);
  EXPECT_TRUE(back.GetDefaultOutPorts().SameMembers(ports));
  p.SetDefaultOutPorts(nullptr);
  EXPECT_TRUE(p.GetDefaultOutPorts().IsEmpty());
  EXPECT_EQ(changes, 2);
}

TEST_F(PresetTest, ListOperationsAndTheirNotifications) {
  TLockableTransList p;
  int translatorChanges = 0, presetChanges = 0;
  p.SetOnTranslatorsChanged([&](TTransList&) { ++translatorChanges; });
  p.SetOnPresetChanged([&](TTransList&) { ++presetChanges; });
  EXPECT_EQ(p.InsertTranslator(0, Translator("")), -1);
  EXPECT_EQ(p.InsertTranslator(1, Translator("x")), -1);
  EXPECT_EQ(translatorChanges, 0);
  p.AddTranslator(Translator("a"));
  EXPECT_EQ(p.InsertTranslator(0, Translator("b")), 0);
  EXPECT_TRUE(p.MoveTranslator(0, 1));
  EXPECT_FALSE(p.MoveTranslator(0, 2));
  EXPECT_EQ(p.GetTranslator(1)->Name(), "b");
  p.ReplaceTranslator(1, Translator("c"));
  EXPECT_EQ(p.GetTranslator(1)->Name(), "c");
  EXPECT_EQ(translatorChanges, 4);
  p.DeleteTranslator(0, false);
  p.DeleteTranslator(5, true);
  EXPECT_EQ(translatorChanges, 4);
  EXPECT_EQ(p.GetCount(), 1);
  EXPECT_EQ(p.GetTranslator(3), nullptr);

  p.SetName("Name");
  p.SetName("Name");
  p.SetName("NAME");
  EXPECT_EQ(presetChanges, 2);
  EXPECT_TRUE(p.IsNamed("name"));
  p.SetName("");
  EXPECT_EQ(p.GetDisplayName(), "(unnamed)");
  p.SetPresetSwitchIgnore(true);
  p.SetPresetSwitchIgnore(true);
  EXPECT_EQ(presetChanges, 4);

  p.Clear();
  EXPECT_EQ(p.GetCount(), 0);
  EXPECT_EQ(translatorChanges, 5);

  // A paste of many is one change; empty entries are skipped.
  EXPECT_EQ(p.AddTranslators({Translator("d"), nullptr, Translator("e")}), 2);
  EXPECT_EQ(translatorChanges, 6);
  EXPECT_EQ(p.GetTranslator(1)->Name(), "e");
  EXPECT_EQ(p.AddTranslators({nullptr}), 0);
  EXPECT_EQ(translatorChanges, 6);
}

TEST_F(PresetTest, AssignClonesTranslatorsAndCopiesProperties) {
  TLockableTransList source;
  source.SetName("Src");
  source.SetActive(true);
  source.SetPresetSwitchIgnore(true);
  source.AddTranslator(Translator("a"));
  TMidiAliasList ports;
  ports.Add(MidiAliasManager().Lookup("AssignIn", makMidiIn, true));
  source.SetDefaultInPorts(&ports);
  TTransList copy;
  int presetChanges = 0;
  copy.SetOnPresetChanged([&](TTransList&) { ++presetChanges; });
  copy.Assign(source);
  EXPECT_EQ(copy.GetName(), "Src");
  EXPECT_TRUE(copy.Active());
  EXPECT_TRUE(copy.PresetSwitchIgnore());
  ASSERT_EQ(copy.GetCount(), 1);
  EXPECT_NE(copy.GetTranslator(0), source.GetTranslator(0));
  EXPECT_EQ(copy.GetTranslator(0)->GetIncomingText(), "MID1903C7F");
  EXPECT_TRUE(copy.GetDefaultInPorts().SameMembers(ports));
}

// Event producers walk a preset under its read lock while the main thread edits it.
TEST_F(PresetTest, WalksUnderTheReadLockWhileTheListChanges) {
  TLockableTransList p;
  for (int i = 0; i < 8; ++i) p.AddTranslator(Translator('t' + std::to_string(i)));
  std::atomic<bool> done{false};
  std::atomic<int> walks{0};
  std::vector<std::thread> walkers;
  for (int w = 0; w < 2; ++w)
    walkers.emplace_back([&] {
      while (!done.load()) {
        p.LockList(false);
        size_t chars = 0;
        for (int i = 0; i < p.GetCountLocked(); ++i)
          chars += p.GetTranslatorLocked(i)->Name().size();
        chars += p.GetDefaultOutPorts().GetCount();
        p.UnlockList(false);
        EXPECT_GT(chars, 0u);
        walks.fetch_add(1);
      }
    });
  TMidiAliasList ports;
  ports.Add(MidiAliasManager().Lookup("WalkOut", makMidiOut, true));
  while (walks.load() == 0) std::this_thread::yield();
  for (int round = 0; round < 300; ++round) {
    p.AddTranslator(Translator("new"));
    p.DeleteTranslator(0, true);
    p.ReplaceTranslator(3, Translator("r"));
    p.SetName('N' + std::to_string(round));
    p.SetDefaultOutPorts(round % 2 ? &ports : nullptr);
    p.SetActive(round % 2 == 0);
  }
  done.store(true);
  for (std::thread& t : walkers) t.join();
  EXPECT_EQ(p.GetCount(), 8);
}

}  // namespace
}  // namespace kv
