#include "engine/translator.h"

#include <gtest/gtest.h>

#include "engine/actions/midi_action_text.h"
#include "engine/tests/test_actions.h"
#include "engine/translate_params.h"
#include "engine/actions/unknown_action.h"

namespace kv {
namespace {

struct TranslatorTest : ::testing::Test {
  std::vector<std::string> errors;
  TTransMsgErrorCallback onError = [this](TTransMsg&, const std::string& text) {
    errors.push_back(text);
  };
  void SetUp() override { test::RegisterTestActions(); }

  TTransMsgPtr Build(std::string_view in, std::string_view out, const char* options) {
    std::string opts = options ? options : "";
    return TTransMsg::CreateFromText(in, out, options ? &opts : nullptr, onError);
  }
};

TEST_F(TranslatorTest, OptionsDefaultsAndFlags) {
  auto t = Build("MID1903C7F", "None", "");
  EXPECT_TRUE(t->Active());
  EXPECT_FALSE(t->Stop());
  EXPECT_FALSE(t->OutputOriginal());
  EXPECT_EQ(t->GetOptionsText(), "Actv01Stop00OutO00");
  t = Build("MID1903C7F", "None", "Actv00");
  EXPECT_FALSE(t->Active());
  EXPECT_FALSE(t->Stop());
  t = Build("MID1903C7F", "None", "Actv01Stop0AOutO01");
  EXPECT_TRUE(t->Stop());
  EXPECT_TRUE(t->OutputOriginal());
  EXPECT_TRUE(errors.empty());
}

TEST_F(TranslatorTest, DelayOption) {
  auto t = Build("MID1903C7F", "MID1903C7F", "Actv01Stop00OutO01Dlay250:Millis");
  EXPECT_EQ(t->GetOptionsText(), "Actv01Stop00OutO01Dlay250:Millis");
  EXPECT_EQ(t->GetOutgoingDescription(), "MIDI 903C7F, delay:250millisec");
  TExecutionContext ctx;
  EXPECT_EQ(t->GetDelayMs(ctx), 250);

  t = Build("MID1903C7F", "None", "Dlay$FF:Millis");
  EXPECT_EQ(t->Outgoing()->GetDelay(), TNumberOrVariable::Number(255));
  t = Build("MID1903C7F", "None", "Dlayga:Seconds");
  EXPECT_EQ(t->GetOptionsText(), "Actv01Stop00OutO00Dlayga:Seconds");
  TGlobalTranslateParams params;
  params.Globals().Set(VariableIndexOf("ga"), 3);
  ctx.params = &params;
  EXPECT_EQ(t->GetDelayMs(ctx), 3000);
  EXPECT_TRUE(errors.empty());

  t = Build("MID1903C7F", "None", "Actv01DlayFF:Millis");
  EXPECT_EQ(t->OptionTail(), "DlayFF:Millis");
  EXPECT_EQ(t->Outgoing()->GetDelayUnit(), kDelayNone);
  t = Build("MID1903C7F", "None", "Dlay ");
  EXPECT_EQ(t->OptionTail(), "Dlay ");
  t = Build("MID1903C7F", "None", "Dlay5:Minutes");
  EXPECT_EQ(t->OptionTail(), "Dlay5:Minutes");
  const std::vector<std::string> expected = {
      "corrupt options: DlayFF:Millis", "corrupt options: Dlay ", "corrupt options: Dlay5:Minutes"};
  EXPECT_EQ(errors, expected);
}

TEST_F(TranslatorTest, DelayWithoutOutgoingAction) {
  auto t = TTransMsg::Create();
  EXPECT_FALSE(t->ParseOptions("Actv00Dlay100:Millis", onError));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "[internal error] cannot specify delay if no outgoing action is defined.");
  EXPECT_EQ(t->OptionTail(), "Dlay100:Millis");
}

TEST_F(TranslatorTest, UnknownOptionsAreKeptAsTail) {
  auto t = Build("MID1903C7F", "None", "Actv01Xyz9 and more");
  EXPECT_EQ(t->OptionTail(), "Xyz9 and more");
  EXPECT_EQ(t->GetOptionsText(), "Actv01Stop00OutO00Xyz9 and more");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "corrupt options: Xyz9 and more");
  // Rules followed by a tail keep that tail whole.
  errors.clear();
  t = Build("MID1903C7F", "None", "Actv01StMa00000001ga=1Zzzz%s%n");
  EXPECT_TRUE(t->HasRules());
  EXPECT_EQ(t->OptionTail(), "Zzzz%s%n");
  EXPECT_EQ(t->GetOptionsText(), "Actv01Stop00OutO00StMa00000001ga=1Zzzz%s%n");
  // A short stray at the end is corrupt, never read past.
  t = Build("MID1903C7F", "None", "Actv01Ac");
  EXPECT_EQ(t->OptionTail(), "Ac");
  t = Build("MID1903C7F", "None", "Actv0");
  EXPECT_EQ(t->OptionTail(), "Actv0");
}

// Rules that fail to load leave nothing half-built beside the tail that keeps their text.
TEST_F(TranslatorTest, CorruptRulesAreKeptOnlyAsTail) {
  const char* options = "Actv01StMa00000002ga=1??";
  auto t = Build("MID1903C7F", "None", options);
  EXPECT_FALSE(t->HasRules());
  EXPECT_EQ(t->OptionTail(), "StMa00000002ga=1??");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "corrupt options: corrupt rule");
  // Saved and read again, the text stays as it was.
  EXPECT_EQ(t->GetOptionsText(), "Actv01Stop00OutO00StMa00000002ga=1??");
  auto again = Build(t->GetIncomingText(), t->GetOutgoingText(), t->GetOptionsText().c_str());
  EXPECT_EQ(again->GetOptionsText(), t->GetOptionsText());
}

TEST_F(TranslatorTest, SidesThatCannotBeReadBecomeUnknownActions) {
  auto t = Build("ZZZZ", "", nullptr);
  EXPECT_EQ(t->GetIncomingType(), kActionUnknown);
  EXPECT_EQ(t->GetIncomingText(), "ZZZZ");
  EXPECT_EQ(t->GetOutgoingText(), "");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Incoming Action corrupt or not supported: ZZZZ");

  // None is outgoing only: as the incoming side it is kept as an unknown action.
  errors.clear();
  t = Build("None", "None", nullptr);
  EXPECT_EQ(t->GetIncomingType(), kActionUnknown);
  EXPECT_EQ(t->GetOutgoingType(), kActionNone);
  EXPECT_EQ(t->GetIncomingText(), "None");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Incoming Action corrupt or not supported: None");

  // A load error drops the action; its message comes first.
  errors.clear();
  t = Build("MID1903", "Xy", nullptr);
  EXPECT_EQ(t->GetIncomingText(), "MID1903");
  EXPECT_EQ(t->GetOutgoingText(), "Xy");
  const std::vector<std::string> expected = {"invalid MIDI message",
                                             "Incoming Action corrupt or not supported: MID1",
                                             "Outgoing Action corrupt or not supported: Xy"};
  EXPECT_EQ(errors, expected);
}

TEST_F(TranslatorTest, LegacyHexMidiTextBecomesAMidiAction) {
  auto t = Build("90 40", "b0 07 ga", nullptr);
  EXPECT_EQ(t->GetIncomingType(), kActionMidi);
  EXPECT_EQ(t->GetIncomingText(), "MID19040");
  EXPECT_EQ(t->GetOutgoingText(), "MID1b007ga");
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(IsLegacyMidiText("903C"));
  EXPECT_TRUE(IsLegacyMidiText("ga 3C"));
  EXPECT_FALSE(IsLegacyMidiText("90 4"));
  EXPECT_FALSE(IsLegacyMidiText("9G40"));
  EXPECT_FALSE(IsLegacyMidiText(""));
  EXPECT_EQ(ConvertLegacyMidiText("90 3C pp", "", {}), "MID1903Cpp");
  EXPECT_EQ(ConvertLegacyMidiText("903Cpp", "", {"OutA"}), "MID2MIDA00010004OutA903Cpp");
  EXPECT_EQ(ConvertLegacyMidiText("903C", "Note", {}), "MID1MIDD0004Note903C");
}

TEST_F(TranslatorTest, MatchAndExecute) {
  auto t = Build("MID1903C7F", "None", "OutO01");
  const uint8_t bytes[] = {0x90, 0x3C, 0x7F};
  TIncomingEvent event;
  event.kind = kActionMidi;
  event.data = bytes;
  event.length = 3;
  uint16_t activity = 0;
  EXPECT_TRUE(t->MatchIncoming(event, activity));
  EXPECT_EQ(event.passThrough, 1);
  EXPECT_EQ(activity, kActivityMatched);
  TExecutionContext ctx;
  t->ExecuteOutgoing(ctx, activity);
  EXPECT_EQ(activity, kActivityMatched | kActivityOtherOut);

  event.kind = kActionTimer;  // another kind never matches
  EXPECT_FALSE(t->MatchIncoming(event, activity));
  event.kind = kActionMidi;
  t->SetActive(false);
  EXPECT_FALSE(t->MatchIncoming(event, activity));
  activity = 0;
  t->ExecuteOutgoing(ctx, activity);
  EXPECT_EQ(activity, 0);

  auto throwing = Build("MID1903C7F", "Thro", nullptr);
  EXPECT_NO_THROW(throwing->ExecuteOutgoing(ctx, activity));
  EXPECT_EQ(activity, 0);
}

TEST_F(TranslatorTest, CloneAndAssignKeepEverything) {
  auto t = Build("MID1903C7F", "MID1B007", "Actv00Stop01OutO01Dlaygb:SecondsStMa00000001ga=1Qqqq");
  t->SetName("orig");
  auto c = t->Clone();
  EXPECT_EQ(c->Name(), "orig");
  EXPECT_EQ(c->GetIncomingText(), t->GetIncomingText());
  EXPECT_EQ(c->GetOutgoingText(), t->GetOutgoingText());
  EXPECT_EQ(c->GetOptionsText(), t->GetOptionsText());
  EXPECT_NE(c->Id(), t->Id());
  EXPECT_NE(c->Rules(), t->Rules());
  auto n = TTransMsg::Create("keep");
  n->Assign(t.get());
  EXPECT_EQ(n->Name(), "keep");
  EXPECT_EQ(n->GetOptionsText(), t->GetOptionsText());
  n->Assign(nullptr);
  EXPECT_EQ(n->Incoming(), nullptr);
  EXPECT_EQ(n->GetOptionsText(), "Actv01Stop00OutO00");
}

TEST_F(TranslatorTest, Emptiness) {
  EXPECT_TRUE(TTransMsg::Create()->IsEmpty());
  EXPECT_TRUE(Build("", "", "")->IsEmpty());
  EXPECT_FALSE(Build("Qq", "", "")->IsEmpty());
  EXPECT_FALSE(Build("", "", "Actv01Junk")->IsEmpty());
  EXPECT_FALSE(Build("", "None", "")->IsEmpty());
  EXPECT_FALSE(Build("", "", "StMa00000001ga=1")->IsEmpty());
}

TEST_F(TranslatorTest, ClipboardRoundTripAndShortBlocks) {
  auto t = Build("MID1903C7F", "None", "Stop01StMa00000001ga=1");
  t->SetName("name with = and %s");
  std::vector<std::string> lines;
  t->CopyToStrings(lines);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Name=name with = and %s");
  EXPECT_EQ(lines[3], "Options=Actv01Stop01OutO00StMa00000001ga=1");
  // Keys in another order still paste.
  std::swap(lines[1], lines[3]);
  size_t index = 0;
  auto p = TTransMsg::Create();
  EXPECT_TRUE(p->PasteFromStrings(lines, index, onError));
  EXPECT_EQ(index, 4u);
  EXPECT_EQ(p->Name(), t->Name());
  EXPECT_EQ(p->GetIncomingText(), t->GetIncomingText());
  EXPECT_EQ(p->GetOptionsText(), t->GetOptionsText());

  // Fewer than four lines left: nothing is read past the end.
  std::vector<std::string> shortList = {"Name=x", "Incoming="};
  index = 0;
  EXPECT_FALSE(p->PasteFromStrings(shortList, index, onError));
  EXPECT_EQ(index, 2u);
  EXPECT_EQ(p->Name(), t->Name());
  index = 7;
  EXPECT_FALSE(p->PasteFromStrings(lines, index, onError));
  // A block with a key missing is skipped whole.
  std::vector<std::string> broken = {"Name=x", "Incoming=", "Outgoing=", "Opts="};
  index = 0;
  EXPECT_FALSE(p->PasteFromStrings(broken, index, onError));
  EXPECT_EQ(index, 4u);
}

TEST_F(TranslatorTest, ExtraReferencesKeepARemovedTranslatorAlive) {
  auto owner = Build("MID1903C7F", "None", nullptr);
  EXPECT_EQ(owner->ExtraReferences(), 0);
  TTransMsgPtr queued = owner->AddRef();
  EXPECT_EQ(owner->ExtraReferences(), 1);
  std::weak_ptr<TTransMsg> watch = owner;
  owner.reset();  // removed from its preset
  EXPECT_FALSE(watch.expired());
  queued.reset();  // the queued action ran
  EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace kv
