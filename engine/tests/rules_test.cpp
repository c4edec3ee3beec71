#include "engine/rules.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>

#include "base/exception.h"
#include "base/main_thread.h"
#include "engine/translate_params.h"

namespace kv {
namespace {

TTransStepMathEntry Parsed(std::string_view line) {
  TTransStepMathEntry e;
  EXPECT_TRUE(e.ParseText(line)) << line << ": " << e.parseError;
  return e;
}

std::string ParseError(std::string_view line) {
  TTransStepMathEntry e;
  EXPECT_FALSE(e.ParseText(line)) << line;
  return e.parseError;
}

TEST(RulesParseTest, StatementsAndConditions) {
  TTransStepMathEntry e = Parsed("IF pp>0 THEN ga=ga+1");
  EXPECT_EQ(e.condition, kCondGreater);
  EXPECT_EQ(e.stepType, kStepAdd);
  EXPECT_EQ(e.GetText(), "if pp>0 then ga=ga+1");
  EXPECT_EQ(Parsed("ifpp>0thenga=1").GetText(), "if pp>0 then ga=1");
  EXPECT_EQ(Parsed("  ga = $10 ^ oo ").GetText(), "ga=16^oo");
  EXPECT_EQ(Parsed("ga=-5").GetText(), "ga=-5");
  EXPECT_EQ(Parsed("if ga<=-1 then skip next rule").stepType, kStepSkipNext);
  EXPECT_EQ(Parsed("SKIP NEXT 2 RULES").stepType, kStepSkipNext2);
  EXPECT_EQ(Parsed("exit rules, execute Outgoing Action").stepType, kStepExitExecute);
  EXPECT_EQ(Parsed("if ga==0 then exit rules, skip Outgoing Action").stepType, kStepExitSkip);
  EXPECT_EQ(Parsed("goto \"a b\"").GetText(), "Goto \"a b\"");
  EXPECT_EQ(Parsed("label \"x\"").GetText(), "Label \"x\"");
  // "if" followed by "=" assigns to the global variable if.
  e = Parsed("if = 3");
  EXPECT_FALSE(e.HasCondition());
  EXPECT_EQ(e.target, TNumberOrVariable::Variable(VariableIndexOf("if")));
  for (const char* cond : {"<=", "==", "!=", ">=", "<", ">"}) {
    EXPECT_EQ(Parsed(std::string("if ga") + cond + "1 then gb=1").GetConditionText(),
              std::string("ga") + cond + "1");
  }
}

TEST(RulesParseTest, QuotedNamesKeepEscapedQuotes) {
  TTransStepMathEntry e = Parsed(R"(goto "a\"b")");
  EXPECT_EQ(e.labelName, R"(a\"b)");
  EXPECT_EQ(ParseError(R"(goto "a\")"), "unterminated string");
  EXPECT_EQ(ParseError("goto x"), "double quote expected");
  EXPECT_EQ(ParseError("label"), "double quote expected");
}

TEST(RulesParseTest, Errors) {
  EXPECT_EQ(ParseError("ga = 5 xy"), "unknown text at end of line");
  EXPECT_EQ(ParseError("ga=5x"), "unknown text at end of line");
  EXPECT_EQ(ParseError("ga=ga+"), "second operand expected");
  EXPECT_EQ(ParseError("ga="), "syntax error");
  EXPECT_EQ(ParseError("ga 5"), "syntax error");
  EXPECT_EQ(ParseError("zz=5"), "syntax error");
  // A number as the target is refused when typed.
  EXPECT_EQ(ParseError("5 = 1"), "syntax error");
  EXPECT_EQ(ParseError("if zz>1 then ga=1"), "variable or number expected");
  EXPECT_EQ(ParseError("if ga 1 then ga=1"), "erronous \"if\" statement.");
  EXPECT_EQ(ParseError("if ga>1 ga=1"), "erronous \"if\" statement.");
  EXPECT_EQ(ParseError("if ga>1 then"), "syntax error");
}

TEST(RulesParseTest, ParseLinesReportsPerLineAndGoesOn) {
  TTransStepMath rules;
  std::vector<std::string> errors = {"stale"};
  EXPECT_FALSE(rules.ParseLines({"ga=1", "", "  ", "bad line", "gb=2"}, errors));
  EXPECT_EQ(rules.Count(), 2u);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Line 4: parse error: syntax error");
  EXPECT_TRUE(rules.ParseLines({"gc=3"}, errors));
  EXPECT_EQ(rules.Count(), 1u);
  EXPECT_TRUE(errors.empty());
  EXPECT_THROW(rules.GetEntry(1), Exception);
  EXPECT_EQ(rules.GetDescription(), "1 rules");
}

TTransStepMath RulesOf(const std::vector<std::string>& lines) {
  TTransStepMath rules;
  std::vector<std::string> errors;
  EXPECT_TRUE(rules.ParseLines(lines, errors)) << (errors.empty() ? "" : errors[0]);
  return rules;
}

TEST(RulesStoredTest, ExampleAndRoundTrip) {
  TTransStepMath rules;
  EXPECT_EQ(rules.LoadFromText("StMa00000002if(pp>0)ga=ga+1skip"), 31u);
  ASSERT_EQ(rules.Count(), 2u);
  EXPECT_EQ(rules.GetEntry(0).GetText(), "if pp>0 then ga=ga+1");
  EXPECT_EQ(rules.GetEntry(1).GetText(), "skip next rule");
  EXPECT_EQ(rules.SaveToText(), "StMa00000002if(pp>0)ga=ga+1skip");

  TTransStepMath all = RulesOf({"ga=1", "gb=ga-2", "gc=gb*-3", "gd=gc/2", "ge=gd|1", "gf=ge&7",
                                "gg=gf^$FF", "if ga!=0 then goto \"L 1\"", "label \"L 1\"",
                                "skip next 2 rules", "exit rules, execute Outgoing Action",
                                "if oo>=-2147483648 then exit rules, skip Outgoing Action"});
  all.SetDescription("my rules");
  const std::string stored = all.SaveToText();
  TTransStepMath back;
  EXPECT_EQ(back.LoadFromText(stored + "Actv01"), stored.size());
  EXPECT_EQ(back.SaveToText(), stored);
  EXPECT_EQ(back.Description(), "my rules");
  std::vector<std::string> a, b;
  all.ListRules(a, true);
  back.ListRules(b, true);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a[0], "Rules: my rules");
  EXPECT_EQ(a[1], "  ga=1");
}

// The writer prints "0" and the next entry may begin with the variable xx: that must not be
// read as a "0x" prefix.
TEST(RulesStoredTest, ZeroBeforeVariableXxReadsBack) {
  TTransStepMath rules = RulesOf({"ga=0", "xx=5", "gb=ga+0", "xx=xx+1"});
  const std::string stored = rules.SaveToText();
  TTransStepMath back;
  ASSERT_NO_THROW(back.LoadFromText(stored)) << stored;
  EXPECT_EQ(back.SaveToText(), stored);
  EXPECT_EQ(back.Count(), 4u);
}

TEST(RulesStoredTest, OlderFormsAndCorruptTexts) {
  TTransStepMath rules;
  // Three entries of the older form, the count says four: corrupt at the end.
  EXPECT_THROW(rules.LoadFromText("StMa00000004ifga==1snifoo<5exifpp>=gano"), Exception);
  EXPECT_EQ(rules.Count(), 3u);
  EXPECT_EQ(rules.LoadFromText("StMa00000003ifga==1snifoo<5exifpp>=gano"), 39u);
  EXPECT_EQ(rules.GetEntry(0).stepType, kStepSkipNext);
  EXPECT_EQ(rules.GetEntry(1).stepType, kStepExitExecute);
  EXPECT_EQ(rules.GetEntry(2).stepType, kStepExitSkip);
  EXPECT_EQ(rules.GetEntry(2).GetText(), "if pp>=ga then exit rules, skip Outgoing Action");
  EXPECT_EQ(rules.LoadFromText("StMa00000001if=5"), 16u);
  EXPECT_EQ(rules.GetEntry(0).GetText(), "if=5");
  for (const char* bad :
       {"StMa", "StMa0000", "XtMa00000000", "StMa0005ab", "StMa0000000G", "StMa00000001",
        "StMa00000001ga", "StMa00000001ga=", "StMa00000001if(", "StMa00000001if(ga)skip",
        "StMa00000001goto0009abc", "StMa00000001ifga==1zz", "StMa00000001foo"}) {
    TTransStepMath r;
    try {
      r.LoadFromText(bad);
      ADD_FAILURE() << bad;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "corrupt rule") << bad;
    }
  }
}

// The stored count has four hex digits: one rule more than it can say is refused whole.
TEST(RulesStoredTest, MoreRulesThanTheCountCanHoldAreRefused) {
  TTransStepMath rules;
  for (size_t i = 0; i < kMaxStoredRules; ++i) rules.Add(Parsed("ga=ga+1"));
  TTransStepMath back;
  back.LoadFromText(rules.SaveToText());
  EXPECT_EQ(back.Count(), kMaxStoredRules);
  rules.Add(Parsed("gb=1"));
  try {
    rules.SaveToText();
    ADD_FAILURE() << "saved";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "A translator can hold at most 65535 rules; these are 65536.");
  }
}

// Loading replaces what was there; entries read before a failure stay.
TEST(RulesStoredTest, LoadingReplaces) {
  TTransStepMath rules = RulesOf({"ga=1", "gb=2", "gc=3"});
  rules.LoadFromText("StMa00000001gd=4");
  EXPECT_EQ(rules.Count(), 1u);
  EXPECT_THROW(rules.LoadFromText("StMa00000002ge=5??"), Exception);
  ASSERT_EQ(rules.Count(), 1u);
  EXPECT_EQ(rules.GetEntry(0).GetText(), "ge=5");
}

struct RunFixture : ::testing::Test {
  TGlobalTranslateParams params;
  TIncomingEvent event;
  RunFixture() { event.params = &params; }
  int32_t G(const char* name) { return params.Globals().Get(VariableIndexOf(name)); }
};

using RulesRunTest = RunFixture;

TEST_F(RulesRunTest, ArithmeticWrapsAndTruncates) {
  TTransStepMath rules =
      RulesOf({"ga=2147483647", "ga=ga+1", "gb=-7", "gb=gb/2", "gc=5", "gc=gc-oo", "gd=65536",
               "gd=gd*gd", "ge=12|3", "gf=12&6", "gg=12^6", "pp=ge"});
  event.locals[0] = 10;
  EXPECT_FALSE(rules.Execute(event));
  EXPECT_EQ(G("ga"), INT32_MIN);
  EXPECT_EQ(G("gb"), -3);
  EXPECT_EQ(G("gc"), -5);
  EXPECT_EQ(G("gd"), 0);
  EXPECT_EQ(G("ge"), 15);
  EXPECT_EQ(G("gf"), 4);
  EXPECT_EQ(G("gg"), 10);
  EXPECT_EQ(event.locals[1], 15);
}

TEST_F(RulesRunTest, DivisionByZeroAndOverflowRaise) {
  TTransStepMath byZero = RulesOf({"ga=5/gb"});
  EXPECT_THROW(byZero.Execute(event), Exception);
  TTransStepMath overflow = RulesOf({"ga=-2147483648", "gb=-1", "gc=ga/gb"});
  EXPECT_THROW(overflow.Execute(event), Exception);
  EXPECT_EQ(G("gc"), 0);
}

TEST_F(RulesRunTest, NumberTargetFromStoredTextAssignsNothing) {
  TTransStepMath rules;
  rules.LoadFromText("StMa000000025=1ga=7");
  ASSERT_EQ(rules.Count(), 2u);
  EXPECT_FALSE(rules.Execute(event));
  EXPECT_EQ(G("ga"), 7);
  // Written so that it cannot run into the entry before it, and reads back as written.
  EXPECT_EQ(rules.SaveToText(), "StMa00000002if(0==0)5=1ga=7");
  TTransStepMath after;
  after.LoadFromText("StMa00000003ga=1$5=1ga=ga");
  const std::string stored = after.SaveToText();
  EXPECT_EQ(stored, "StMa00000003ga=1if(0==0)5=1ga=ga");
  TTransStepMath back;
  EXPECT_EQ(back.LoadFromText(stored), stored.size());
  EXPECT_EQ(back.SaveToText(), stored);
  EXPECT_FALSE(back.Execute(event));
  EXPECT_EQ(G("ga"), 1);
  TTransStepMath huge;
  huge.LoadFromText("StMa0000000199999=1");
  EXPECT_FALSE(huge.Execute(event));
}

TEST_F(RulesRunTest, SkipsExitsAndJumps) {
  params.Globals().Set(VariableIndexOf("ga"), 0);
  TTransStepMath skip = RulesOf({"if ga==0 then exit rules, skip Outgoing Action", "gb=1"});
  EXPECT_TRUE(skip.Execute(event));
  EXPECT_EQ(G("gb"), 0);
  params.Globals().Set(VariableIndexOf("ga"), 1);
  EXPECT_FALSE(skip.Execute(event));
  EXPECT_EQ(G("gb"), 1);

  TTransStepMath flow = RulesOf({"skip next rule", "gc=1", "gc=gc+10", "skip next 2 rules",
                                 "gc=gc+100", "gc=gc+1000", "goto \"end\"", "gc=0", "label \"end\"",
                                 "exit rules, execute Outgoing Action", "gc=0"});
  EXPECT_FALSE(flow.Execute(event));
  EXPECT_EQ(G("gc"), 10);
}

TEST_F(RulesRunTest, GotoWithoutLabelStopsAndLetsTheActionRun) {
  TMainThreadCalls::Instance().SetMainThread();
  std::vector<std::string> lines;
  params.SetOnLog([&](const std::string& line) { lines.push_back(line); });
  TTransStepMath missing = RulesOf({"goto \"nowhere\"", "exit rules, skip Outgoing Action"});
  EXPECT_FALSE(missing.Execute(event));
  const std::string want = "Error: Cannot find jump destination: \"nowhere\"";
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  auto seen = [&] { return std::find(lines.begin(), lines.end(), want) != lines.end(); };
  while (!seen() && std::chrono::steady_clock::now() < giveUp) {
    TMainThreadCalls::Instance().Serve(5);
  }
  EXPECT_TRUE(seen());
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "Goto \"nowhere\"");
  params.SetOnLog({});
}

TEST_F(RulesRunTest, EndlessLoopStopsAfterTheJumpLimit) {
  TTransStepMath loop =
      RulesOf({"label \"top\"", "gd=gd+1", "goto \"TOP\"", "exit rules, skip Outgoing Action"});
  EXPECT_FALSE(loop.Execute(event));
  EXPECT_EQ(G("gd"), kMaxRuleJumps + 1);
}

}  // namespace
}  // namespace kv
