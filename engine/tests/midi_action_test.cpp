#include "engine/actions/midi_action.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exception.h"
#include "engine/action_registry.h"
#include "engine/actions/midi_action_text.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "engine/tests/midi_action_recorder.h"
#include "engine/translate_params.h"
#include "engine/translator.h"
#include "engine/variables.h"

namespace kv {
namespace {

using testing::TMidiSendRecorder;

constexpr int kOo = 0;
constexpr int kPp = 1;
constexpr int kGa = 10;

std::unique_ptr<TTransMidiAction> Load(std::string_view text, bool incoming = true) {
  auto action = std::make_unique<TTransMidiAction>(incoming);
  EXPECT_EQ(action->LoadFromText(text), text.size()) << text;
  return action;
}

std::string LoadError(std::string_view text) {
  TTransMidiAction action(true);
  try {
    action.LoadFromText(text);
  } catch (const Exception& e) {
    return e.what();
  }
  return "(loaded)";
}

// An alias of the test's own, bound to a manager slot as the MIDI manager would bind it.
TMidiAlias* Alias(const std::string& name, uint8_t kind, int32_t slot) {
  TMidiAlias* alias = MidiAliasManager().Lookup(name, kind, true);
  alias->SetDeviceIndex(slot);
  return alias;
}

TIncomingEvent MidiEvent(const std::vector<uint8_t>& bytes, int32_t source = 0) {
  TIncomingEvent event;
  event.kind = kActionMidi;
  event.value = source;
  event.data = bytes.data();
  event.length = static_cast<int32_t>(bytes.size());
  return event;
}

bool Offer(TTransMidiAction& action, const std::vector<uint8_t>& bytes, int32_t source = 0) {
  TIncomingEvent event = MidiEvent(bytes, source);
  return action.MatchIncoming(event);
}

// --- text forms -----------------------------------------------------------------------------

TEST(MidiActionTextTest, PlainPatternsRoundTripWithoutBlanks) {
  EXPECT_EQ(Load("MID1903C7F")->SaveToText(), "MID1903C7F");
  auto spaced = Load("MID1 90 3C  7F ");
  EXPECT_EQ(spaced->GetMidiText(), "903C7F");
  EXPECT_EQ(spaced->SaveToText(), "MID1903C7F");
  EXPECT_EQ(spaced->GetPattern().Length(), 3);
  EXPECT_TRUE(spaced->GetPattern().Variables().empty());
  // An untagged text is a plain MIDI text; lower case stays as typed.
  EXPECT_EQ(Load("b0 07 ga")->SaveToText(), "MID1b007ga");
}

TEST(MidiActionTextTest, DescriptionAndPortBlocks) {
  auto action = Load("MID2MIDA00010004OutA903Cpp", false);
  ASSERT_TRUE(action->HasOwnPorts());
  ASSERT_EQ(action->GetOwnPorts()->GetCount(), 1);
  EXPECT_EQ(action->GetOwnPorts()->GetItem(0)->GetName(), "OutA");
  EXPECT_EQ(action->GetOwnPorts()->GetItem(0)->GetKind(), makMidiOut);
  EXPECT_EQ(action->SaveToText(), "MID2MIDA00010004OutA903Cpp");

  // An incoming action makes its aliases of kind MIDI IN.
  auto in = Load("MID2MIDA00010004OutA903Cpp", true);
  EXPECT_EQ(in->GetOwnPorts()->GetItem(0)->GetKind(), makMidiIn);

  auto described = Load("MID2MIDD0005HelloMIDA00020002P10002P2F07E7FF7", false);
  EXPECT_EQ(described->GetMidiDescription(), "Hello");
  EXPECT_EQ(described->GetOwnPorts()->GetCount(), 2);
  EXPECT_EQ(described->SaveToText(), "MID2MIDD0005HelloMIDA00020002P10002P2F07E7FF7");

  EXPECT_EQ(Load("MID1MIDD0002Hi9040")->SaveToText(), "MID1MIDD0002Hi9040");
  // No port block after MID2: no ports, and the text is written back as MID1.
  EXPECT_EQ(Load("MID2903C7F")->SaveToText(), "MID1903C7F");
  EXPECT_EQ(Load("MID2MIDA0000903C7F")->SaveToText(), "MID1903C7F");
}

TEST(MidiActionTextTest, MalformedTextsFailAndLeaveTheActionAsItWas) {
  // MID1 has no port block: its MIDA is MIDI text, which does not parse.
  EXPECT_EQ(LoadError("MID1MIDA00010004OutA9040"), "\"Ou\" is not a valid variable.");
  EXPECT_EQ(LoadError("MID2MIDAzz010004OutA9040"),
            "Wrong alias list format: the entry count is not hexadecimal");
  EXPECT_EQ(LoadError("MID1MIDD0009Hi"), "Wrong string format");

  TTransMidiAction action(false);
  action.LoadFromText("MID2MIDD0002HiMIDA00010004OutA903C7F");
  EXPECT_THROW(action.LoadFromText("MID1903"), Exception);
  EXPECT_EQ(action.SaveToText(), "MID2MIDD0002HiMIDA00010004OutA903C7F");
}

// A MIDI text that begins like a description block (variable mi, byte DD) used to be written
// straight after MID1 and so read back as a description.
TEST(MidiActionTextTest, MidiTextThatLooksLikeADescriptionBlockReadsBack) {
  auto action = Load("MID1MIDD0000MIDD0000");
  EXPECT_EQ(action->GetMidiText(), "MIDD0000");
  const std::string saved = action->SaveToText();
  EXPECT_EQ(saved, "MID1MIDD0000MIDD0000");
  EXPECT_EQ(Load(saved)->GetMidiText(), "MIDD0000");
  EXPECT_EQ(ConvertLegacyMidiText("MIDD00", "", {}), "MID1MIDD0000MIDD00");
  // With a description or a port block first there is nothing to mistake.
  EXPECT_EQ(ConvertLegacyMidiText("MIDD00", "x", {}), "MID1MIDD0001xMIDD00");
  EXPECT_EQ(ConvertLegacyMidiText("MIDD00", "", {"P"}),
            "MID2MIDA00010001PMIDD00");
}

TEST(MidiActionTextTest, ParsingErrors) {
  EXPECT_EQ(LoadError("MID1903C7"), "invalid MIDI message");
  EXPECT_EQ(LoadError("MID1 90 3 C 7"), "invalid MIDI message");
  EXPECT_EQ(LoadError("MID190zz40"), "\"zz\" is not a valid variable.");
  EXPECT_EQ(LoadError("MID190%s40"), "\"%s\" is not a valid variable.");

  std::string vars200, vars201;
  for (int i = 0; i < 200; ++i) vars200 += "oo";
  vars201 = vars200 + "pp";
  EXPECT_EQ(Load("MID1" + vars200)->GetPattern().Variables().size(), 200u);
  EXPECT_EQ(LoadError("MID1" + vars201), "Too many variables !");
}

// A pattern of a few variables and one of many keep every variable with its position, also
// through a copy.
TEST(MidiActionTextTest, VariablesKeepTheirPositions) {
  auto few = Load("MID1B0ooPP");
  ASSERT_EQ(few->GetPattern().Variables().size(), 2u);
  EXPECT_EQ(few->GetPattern().Variables()[1].position, 2);
  EXPECT_EQ(few->GetPattern().VariableAt(2), kPp);

  auto many = Load("MID1F0oo7EppGAqq01rrssF7");
  const std::vector<std::pair<int32_t, int32_t>> expected = {
      {1, kOo}, {3, kPp}, {4, kGa}, {5, 2}, {7, 3}, {8, 4}};
  const std::unique_ptr<TTransAction> copy = many->Clone();
  for (const auto* action : {many.get(), dynamic_cast<TTransMidiAction*>(copy.get())}) {
    ASSERT_NE(action, nullptr);
    const TMidiPattern& pattern = action->GetPattern();
    ASSERT_EQ(pattern.Variables().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(pattern.Variables()[i].position, expected[i].first) << i;
      EXPECT_EQ(pattern.Variables()[i].variable, expected[i].second) << i;
      EXPECT_EQ(pattern.VariableAt(expected[i].first), expected[i].second) << i;
    }
    for (int32_t fixed : {0, 2, 6, 9}) EXPECT_EQ(pattern.VariableAt(fixed), -1) << fixed;
    EXPECT_EQ(pattern.VariableAt(10), -1);
    EXPECT_EQ(pattern.Bytes()[6], 0x01);
  }
}

TEST(MidiActionTextTest, PatternsStopAt600BytesButKeepTheirText) {
  std::string text;
  for (int i = 0; i < 650; ++i) text += "F0";
  auto action = Load("MID1" + text);
  EXPECT_EQ(action->GetPattern().Length(), 600);
  EXPECT_EQ(action->GetExecutionLevel(), kLevelNotCallback);
  EXPECT_EQ(action->SaveToText(), "MID1" + text);
  // Pairs past the 600th are not read at all.
  EXPECT_EQ(Load("MID1" + text.substr(0, 1200) + "zz")->GetPattern().Length(), 600);
}

TEST(MidiActionTextTest, BuiltFromAnAliasList) {
  TMidiAliasList ports;
  ports.Add(Alias("MaBuiltA", makMidiOut, -1));
  ports.Add(Alias("MaBuiltB", makMidiOut, -1));
  EXPECT_EQ(FormatMidiActionText("90 3C pp", "Note", &ports),
            "MID2MIDD0004NoteMIDA00020008MaBuiltA0008MaBuiltB903Cpp");
  EXPECT_EQ(FormatMidiActionText("903C", "", nullptr),
            "MID1903C");
  TMidiAliasList empty;
  EXPECT_EQ(FormatMidiActionText("903C", "", &empty), "MID1903C");
}

// --- kind, descriptions ---------------------------------------------------------------------

TEST(MidiActionDescriptionTest, KindAndLevels) {
  auto action = Load("MID1903C7F");
  EXPECT_EQ(action->GetActionType(), kActionMidi);
  EXPECT_EQ(action->GetDirections(), kDirectionBoth);
  EXPECT_EQ(action->GetExecutionLevel(), kLevelAnyThread);
  EXPECT_EQ(Load("MID1F07E7FF7")->GetExecutionLevel(), kLevelNotCallback);
}

TEST(MidiActionDescriptionTest, DescriptionsOfPatterns) {
  auto action = Load("MID1903C7F");
  EXPECT_EQ(action->GetSpacedMidiText(), "90 3C 7F");
  EXPECT_EQ(action->GetDescription(), "MIDI 90 3C 7F");
  EXPECT_FALSE(action->GetShortDescription().empty());
  EXPECT_NE(action->GetShortDescription(), "90 3C 7F");  // named, not just spaced

  auto described = Load("MID1MIDD0004Kick903C7F");
  EXPECT_EQ(described->GetDescription(), "Kick");
  EXPECT_EQ(described->GetShortDescription(), "Kick");
}

// Describing an action with an empty pattern used to compute a negative length.
TEST(MidiActionDescriptionTest, EmptyPatternsDescribeSafely) {
  TTransMidiAction empty(true);
  EXPECT_EQ(empty.GetSpacedMidiText(), "");
  EXPECT_EQ(empty.GetDescription(), "MIDI ");
  EXPECT_EQ(empty.GetShortDescription(), "");
  EXPECT_EQ(Load("MID1")->GetDescription(), "MIDI ");
  EXPECT_EQ(InsertHexSpaces(""), "");
  EXPECT_EQ(InsertHexSpaces("9"), "9");
  EXPECT_EQ(InsertHexSpaces("903"), "90 3");
  EXPECT_EQ(InsertHexSpaces("903C7F"), "90 3C 7F");
}

TEST(MidiActionDescriptionTest, ByteDescriptionsAndLogLines) {
  const uint8_t note[] = {0x90, 0x3C, 0x64};
  EXPECT_EQ(DescribeMidiBytes(note, 3), "MIDI 90 3C 64");
  EXPECT_EQ(DescribeMidiBytes(note, 0), "MIDI");
  const uint8_t sysex[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
  EXPECT_EQ(DescribeMidiBytes(sysex, 6), "MIDI 6 bytes: F0 7E 7F 06 01 F7");

  std::vector<uint8_t> twenty(20, 0x11), long25(25, 0x22);
  twenty[0] = long25[0] = 0xF0;
  long25[24] = 0xF7;
  std::string expected20 = "MIDI 20 bytes: F0";
  for (int i = 1; i < 20; ++i) expected20 += " 11";
  EXPECT_EQ(DescribeMidiBytes(twenty.data(), 20), expected20);
  std::string expected25 = "MIDI 25 bytes: F0";
  for (int i = 1; i < 19; ++i) expected25 += " 22";
  EXPECT_EQ(DescribeMidiBytes(long25.data(), 25), expected25 + "...F7");

  auto action = Load("MID1903Cpp");
  EXPECT_EQ(DescribeMidiMatch(action->GetPattern(), note, 3), "MIDI 90 3C 64,  pp=0x64");
  EXPECT_EQ(DescribeMidiMatch(Load("MID1903C64")->GetPattern(), note, 3), "MIDI 90 3C 64");
  EXPECT_EQ(DescribeMidiMatch(Load("MID1ooppqq")->GetPattern(), note, 3),
            "MIDI 90 3C 64,  oo=0x90 pp=0x3C qq=0x64");
  EXPECT_EQ(DescribeMidiSend(note, 3, true), "MIDI 90 3C 64");
  EXPECT_EQ(DescribeMidiSend(note, 3, false), "MIDI 90 3C 64 [port closed]");
}

// --- matching -------------------------------------------------------------------------------

TEST(MidiActionMatchTest, ShortMessagesAndCapturedVariables) {
  auto action = Load("MID1903Cpp");
  TGlobalTranslateParams params;
  std::vector<uint8_t> on = {0x90, 0x3C, 0x40};
  TIncomingEvent event = MidiEvent(on);
  event.params = &params;
  ASSERT_TRUE(action->MatchIncoming(event));
  EXPECT_EQ(event.locals[kPp], 64);

  EXPECT_FALSE(Offer(*action, {0x80, 0x3C, 0x40}));
  EXPECT_EQ(action->GetPendingCount(0), 0);
  EXPECT_FALSE(Offer(*action, {0x90, 0x3D, 0x40}));

  // Globals go to the engine's set; the full byte is stored.
  auto global = Load("MID1F0gaF7");
  std::vector<uint8_t> sysex = {0xF0, 0xC8, 0xF7};
  TIncomingEvent e2 = MidiEvent(sysex);
  e2.params = &params;
  ASSERT_TRUE(global->MatchIncoming(e2));
  EXPECT_EQ(params.Globals().Get(kGa), 0xC8);

  TTransMidiAction empty(true);
  EXPECT_FALSE(Offer(empty, {0x90, 0x3C, 0x40}));
  TIncomingEvent none = MidiEvent({});
  EXPECT_FALSE(action->MatchIncoming(none));
}

TEST(MidiActionMatchTest, PiecesAndSequencesAreJoined) {
  auto action = Load("MID1F07E7FF7");
  EXPECT_FALSE(Offer(*action, {0xF0, 0x7E}));
  EXPECT_EQ(action->GetPendingCount(0), 2);
  EXPECT_TRUE(Offer(*action, {0x7F, 0xF7}));
  EXPECT_EQ(action->GetPendingCount(0), 0);

  // A channel message between the pieces discards the first piece.
  EXPECT_FALSE(Offer(*action, {0xF0, 0x7E}));
  EXPECT_FALSE(Offer(*action, {0x90, 0x3C, 0x40}));
  EXPECT_EQ(action->GetPendingCount(0), 0);
  EXPECT_FALSE(Offer(*action, {0x7F, 0xF7}));

  // A realtime byte between the pieces does not.
  EXPECT_FALSE(Offer(*action, {0xF0, 0x7E}));
  EXPECT_FALSE(Offer(*action, {0xF8}));
  EXPECT_TRUE(Offer(*action, {0x7F, 0xF7}));

  // Two controller messages that together spell a pattern, with variables in both.
  auto nrpn = Load("MID1B063ooB062pp");
  std::vector<uint8_t> first = {0xB0, 0x63, 0x05}, second = {0xB0, 0x62, 0x11};
  EXPECT_FALSE(Offer(*nrpn, first));
  TIncomingEvent event = MidiEvent(second);
  ASSERT_TRUE(nrpn->MatchIncoming(event));
  EXPECT_EQ(event.locals[kOo], 5);
  EXPECT_EQ(event.locals[kPp], 0x11);

  // A complete message longer than the pattern never matches.
  EXPECT_FALSE(Offer(*Load("MID1F07E"), {0xF0, 0x7E, 0x7F, 0xF7}));
}

// Pieces from two ports used to go into one buffer, so two ports sending at once joined each
// other's bytes into a false match.
TEST(MidiActionMatchTest, PiecesAreCollectedPerPort) {
  auto action = Load("MID1F07E7FF7");
  EXPECT_FALSE(Offer(*action, {0xF0, 0x7E}, 1));
  EXPECT_FALSE(Offer(*action, {0xF0, 0x7E}, 2));
  // Port 3 has nothing pending: its second half is no match.
  EXPECT_FALSE(Offer(*action, {0x7F, 0xF7}, 3));
  // A channel message on port 2 breaks only port 2's run.
  EXPECT_FALSE(Offer(*action, {0x90, 0x3C, 0x40}, 2));
  EXPECT_EQ(action->GetPendingCount(1), 2);
  EXPECT_EQ(action->GetPendingCount(2), 0);
  EXPECT_TRUE(Offer(*action, {0x7F, 0xF7}, 1));
  EXPECT_FALSE(Offer(*action, {0x7F, 0xF7}, 2));
  // A single whole message matches on any port while another port waits.
  EXPECT_FALSE(Offer(*action, {0xF0, 0x7E}, 1));
  EXPECT_TRUE(Offer(*action, {0xF0, 0x7E, 0x7F, 0xF7}, 4));
  EXPECT_EQ(action->GetPendingCount(1), 2);
  // Loading the action again forgets what was pending.
  action->LoadFromText("MID1F07E7FF7");
  EXPECT_EQ(action->GetPendingCount(1), 0);
}

TEST(MidiActionMatchTest, PortsChooseTheInputs) {
  TGlobalTranslateParams params;
  TPresetHandler project(&params, {}, {}, {}, {});
  params.SetProject(&project);
  TTransList preset;
  std::vector<uint8_t> on = {0x90, 0x3C, 0x40};
  auto from = [&](TTransMidiAction& action, int32_t source) {
    TIncomingEvent event = MidiEvent(on, source);
    event.params = &params;
    event.currentPreset = &preset;
    return action.MatchIncoming(event);
  };

  auto any = Load("MID1903C40");
  EXPECT_TRUE(from(*any, 7));

  TMidiAliasList projectIn;
  projectIn.Add(Alias("MaProjectIn", makMidiIn, 5));
  project.SetDefaultInPorts(&projectIn);
  EXPECT_TRUE(from(*any, 5));
  EXPECT_FALSE(from(*any, 7));

  TMidiAliasList presetIn;
  presetIn.Add(Alias("MaPresetIn", makMidiIn, 6));
  preset.SetDefaultInPorts(&presetIn);
  EXPECT_TRUE(from(*any, 6));
  EXPECT_FALSE(from(*any, 5));

  Alias("MaOwnIn", makMidiIn, 3);
  auto own = Load("MID2MIDA00010007MaOwnIn903C40");
  EXPECT_TRUE(from(*own, 3));
  EXPECT_FALSE(from(*own, 6));
  EXPECT_FALSE(from(*own, -1));

  // Unbound aliases (slot -1) accept no port, not even an unknown source.
  auto unbound = Load("MID2MIDA0001000BMaUnboundIn903C40");
  EXPECT_FALSE(from(*unbound, 0));
  EXPECT_FALSE(from(*unbound, -1));
  params.SetProject(nullptr);
}

// --- sending --------------------------------------------------------------------------------

class MidiActionSendTest : public ::testing::Test {
 protected:
  bool Run(TTransMidiAction& action, TTransList* preset = nullptr) {
    TExecutionContext context;
    context.params = &params;
    context.preset = preset;
    context.locals = &locals;
    return action.ExecuteOutgoing(context);
  }

  TMidiSendRecorder recorder;
  TScopedMidiOutputSink scope{recorder};
  TGlobalTranslateParams params;
  TLocalVariables locals{};
};

TEST_F(MidiActionSendTest, ShortMessagesArePackedWithTheLowByteOfVariables) {
  auto action = Load("MID1B007oo", false);
  locals[kOo] = 300;
  EXPECT_TRUE(Run(*action));
  auto sends = recorder.Sends();
  ASSERT_EQ(sends.size(), 1u);
  EXPECT_FALSE(sends[0].isLong);
  EXPECT_TRUE(sends[0].toAll);
  EXPECT_EQ(sends[0].packed, 0x2C07B0u);

  // Shorter patterns pack zeros after their bytes; globals are read from the params.
  params.Globals().Set(kGa, 0x1C1);
  EXPECT_TRUE(Run(*Load("MID1C0ga", false)));
  EXPECT_EQ(recorder.Sends().back().packed, 0xC1C0u);
  EXPECT_TRUE(Run(*Load("MID1F8", false)));
  EXPECT_EQ(recorder.Sends().back().packed, 0xF8u);
}

TEST_F(MidiActionSendTest, LongPatternsAreSentWhole) {
  auto action = Load("MID1F07E7Fooga06F7", false);
  locals[kOo] = 0x12;
  params.Globals().Set(kGa, -1);
  EXPECT_TRUE(Run(*action));
  auto sends = recorder.Sends();
  ASSERT_EQ(sends.size(), 1u);
  EXPECT_TRUE(sends[0].isLong);
  EXPECT_EQ(sends[0].bytes, (std::vector<uint8_t>{0xF0, 0x7E, 0x7F, 0x12, 0xFF, 0x06, 0xF7}));
  // The stored pattern itself is not written by a send.
  EXPECT_EQ(action->SaveToText(), "MID1F07E7Fooga06F7");
  EXPECT_EQ(action->GetPattern().Bytes()[3], 0);
}

TEST_F(MidiActionSendTest, PortsChooseTheOutputs) {
  TPresetHandler project(&params, {}, {}, {}, {});
  params.SetProject(&project);
  TTransList preset;
  auto action = Load("MID1903C40", false);

  EXPECT_TRUE(Run(*action, &preset));
  EXPECT_TRUE(recorder.Sends().back().toAll);

  TMidiAliasList projectOut;
  projectOut.Add(Alias("MaProjectOut", makMidiOut, 1));
  project.SetDefaultOutPorts(&projectOut);
  Run(*action, &preset);
  EXPECT_EQ(recorder.Sends().back().ports, std::vector<std::string>{"MaProjectOut"});

  TMidiAliasList presetOut;
  presetOut.Add(Alias("MaPresetOut", makMidiOut, 2));
  preset.SetDefaultOutPorts(&presetOut);
  Run(*action, &preset);
  EXPECT_EQ(recorder.Sends().back().ports, std::vector<std::string>{"MaPresetOut"});
  Run(*action, nullptr);  // no preset in the context: the project's
  EXPECT_EQ(recorder.Sends().back().ports, std::vector<std::string>{"MaProjectOut"});

  auto own = Load("MID2MIDA00020004OutA0004OutBF07E7FF7", false);
  Run(*own, &preset);
  EXPECT_TRUE(recorder.Sends().back().isLong);
  EXPECT_EQ(recorder.Sends().back().ports, (std::vector<std::string>{"OutA", "OutB"}));
  params.SetProject(nullptr);
}

TEST_F(MidiActionSendTest, NothingSentIsReportedAsFalse) {
  recorder.SetResult(false);
  EXPECT_FALSE(Run(*Load("MID1903C40", false)));
  EXPECT_EQ(recorder.Sends().size(), 1u);

  TTransMidiAction empty(false);
  EXPECT_FALSE(Run(empty));
  EXPECT_EQ(recorder.Sends().size(), 1u);
}

TEST(MidiActionNoSinkTest, WithoutASinkThePortIsClosed) {
  TMidiOutputSink* previous = GetMidiOutputSink();
  SetMidiOutputSink(nullptr);
  TLocalVariables locals{};
  TExecutionContext context;
  context.locals = &locals;
  EXPECT_FALSE(Load("MID1903C40", false)->ExecuteOutgoing(context));
  EXPECT_FALSE(Load("MID1F07E7FF7", false)->ExecuteOutgoing(context));
  SetMidiOutputSink(previous);
}

// --- ports, copies, registration ------------------------------------------------------------

TEST(MidiActionPortsTest, GetSetAndNames) {
  TTransMidiAction action(false);
  TMidiAliasList list;
  action.GetPorts(nullptr, false);
  action.GetPorts(&list, false);
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(action.GetOwnPorts(), nullptr);

  TMidiAliasList named;
  for (const char* name : {"MaNameA", "MaNameB"})
    named.Add(MidiAliasManager().Lookup(name, makMidiOut, true));
  action.SetPorts(&named);
  ASSERT_TRUE(action.HasOwnPorts());
  EXPECT_EQ(action.GetOwnPorts()->GetDisplayText(), "MaNameA, MaNameB");
  EXPECT_EQ(action.GetOwnPorts()->GetItem(0),
            MidiAliasManager().Lookup("MaNameA", makMidiOut, false));

  list.Add(MidiAliasManager().Lookup("MaNameB", makMidiOut, false));
  list.Add(Alias("MaNameC", makMidiOut, -1));
  action.GetPorts(&list, true);  // collects without duplicates
  EXPECT_EQ(list.GetDisplayText(), "MaNameB, MaNameC, MaNameA");
  action.GetPorts(&list, false);
  EXPECT_EQ(list.GetDisplayText(), "MaNameA, MaNameB");

  TMidiAliasList other;
  other.Add(MidiAliasManager().Lookup("MaNameC", makMidiOut, false));
  action.SetPorts(&other);
  EXPECT_EQ(action.GetOwnPorts()->GetDisplayText(), "MaNameC");
  TMidiAliasList empty;
  action.SetPorts(&empty);
  EXPECT_FALSE(action.HasOwnPorts());
}

TEST(MidiActionPortsTest, CloneAssignAndClear) {
  auto action = Load("MID2MIDD0002HiMIDA00010004OutA90ooF7", false);
  auto copy = action->Clone();
  EXPECT_FALSE(copy->IsIncoming());
  EXPECT_EQ(copy->SaveToText(), action->SaveToText());
  auto* midi = dynamic_cast<TTransMidiAction*>(copy.get());
  ASSERT_NE(midi, nullptr);
  EXPECT_EQ(midi->GetPattern().Length(), 3);
  EXPECT_EQ(midi->GetPattern().VariableAt(1), kOo);

  TTransMidiAction target(false);
  target.Assign(*action);
  EXPECT_EQ(target.SaveToText(), action->SaveToText());
  // The copies do not share the port list.
  target.SetPorts(nullptr);
  EXPECT_TRUE(action->HasOwnPorts());

  target.Clear();
  EXPECT_EQ(target.SaveToText(), "MID1");
  EXPECT_EQ(target.GetPattern().Length(), 0);
}

TEST(MidiActionRegistryTest, BothTagsMakeMidiActions) {
  RegisterMidiActions();
  for (const char* text : {"MID1903C7F", "MID2MIDA00010004OutA903C7F"}) {
    auto action = CreateTransActionFromText(text, false);
    ASSERT_NE(dynamic_cast<TTransMidiAction*>(action.get()), nullptr) << text;
    action->LoadFromText(text);
    EXPECT_EQ(action->SaveToText(), text);
  }
}

// A translator read from an old project turns a plain hexadecimal text into a MIDI action.
TEST(MidiActionRegistryTest, TranslatorsReadLegacyTexts) {
  RegisterMidiActions();
  std::vector<std::string> errors;
  auto onError = [&](const std::string& text) { errors.push_back(text); };
  auto legacy = CreateActionFromText("90 3C pp", true, onError);
  ASSERT_NE(dynamic_cast<TTransMidiAction*>(legacy.get()), nullptr);
  EXPECT_EQ(legacy->SaveToText(), "MID1903Cpp");
  // An old text that begins with variable mi and byte DD stays a MIDI text.
  auto mi = CreateActionFromText("MIDD00", false, onError);
  ASSERT_NE(dynamic_cast<TTransMidiAction*>(mi.get()), nullptr);
  EXPECT_EQ(dynamic_cast<TTransMidiAction*>(mi.get())->GetMidiText(), "MIDD00");
  EXPECT_TRUE(errors.empty());
  // A corrupt pattern is kept as an unknown action with the parser's message.
  auto bad = CreateActionFromText("MID1903", true, onError);
  ASSERT_NE(bad, nullptr);
  EXPECT_EQ(bad->GetActionType(), kActionUnknown);
  EXPECT_EQ(bad->SaveToText(), "MID1903");
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(errors.front(), "invalid MIDI message");
}

}  // namespace
}  // namespace kv
