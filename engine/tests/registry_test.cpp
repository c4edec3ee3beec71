#include "engine/action_registry.h"

#include <gtest/gtest.h>

#include "engine/tests/test_actions.h"
#include "engine/actions/unknown_action.h"

namespace kv {
namespace {

TEST(RegistryTest, TagsAreCaseSensitiveAndExact) {
  test::RegisterTestActions();
  auto midi = CreateTransActionFromText("MID1903C7F", true);
  ASSERT_NE(midi, nullptr);
  EXPECT_EQ(midi->GetActionType(), kActionMidi);
  EXPECT_TRUE(midi->IsIncoming());
  EXPECT_EQ(CreateTransActionFromText("mid1903C7F", true), nullptr);
  auto out = CreateTransActionFromText("None", false);
  ASSERT_NE(out, nullptr);
  EXPECT_FALSE(out->IsIncoming());
}

// A text shorter than a tag is never read past its end.
TEST(RegistryTest, ShortTextsCreateNothing) {
  test::RegisterTestActions();
  for (const char* text : {"", "M", "MI", "MID"}) {
    EXPECT_EQ(CreateTransActionFromText(text, true), nullptr) << text;
  }
  const char buffer[] = {'M', 'I', 'D', '1'};
  EXPECT_EQ(CreateTransActionFromText(std::string_view(buffer, 3), true), nullptr);
}

TEST(RegistryTest, FirstRegistrationOfATagWins) {
  test::RegisterTestActions();
  EXPECT_FALSE(RegisterTransActionClass<test::TTestNoneAction>("MID1"));
  EXPECT_EQ(CreateTransActionFromText("MID1", true)->GetActionType(), kActionMidi);
  EXPECT_FALSE(RegisterTransActionClass<test::TTestNoneAction>("Key"));  // not 4 characters
  RegisterTransActionClass<test::TTestNoneAction>("Key ");  // a second run finds it there
  EXPECT_NE(CreateTransActionFromText("Key 0041", false), nullptr);
  EXPECT_EQ(CreateTransActionFromText("Key0041", false), nullptr);
  const auto tags = RegisteredTransActionTags();
  EXPECT_EQ(std::count(tags.begin(), tags.end(), "MID1"), 1);
}

TEST(UnknownActionTest, KeepsTextVerbatimAndNeverActs) {
  TTransUnknownAction a(true, "Xyz1ABCD");
  EXPECT_EQ(a.SaveToText(), "Xyz1ABCD");
  EXPECT_EQ(a.GetDescription(), "Unknown Action: Xyz1ABCD");
  EXPECT_EQ(a.GetShortDescription(), "Unknown Action: Xyz1");
  EXPECT_EQ(a.LoadFromText("a%s%n"), 5u);
  EXPECT_EQ(a.GetDescription(), "Unknown Action: a%s%n");
  TIncomingEvent event;
  EXPECT_FALSE(a.MatchIncoming(event));
  TExecutionContext ctx;
  EXPECT_FALSE(a.ExecuteOutgoing(ctx));
  EXPECT_EQ(a.GetActionType(), kActionUnknown);
  EXPECT_EQ(a.GetExecutionLevel(), kLevelMainThread);
  EXPECT_EQ(a.GetDirections(), kDirectionBoth);

  TTransUnknownAction empty(false);
  EXPECT_EQ(empty.GetDescription(), "unknown empty action");
  EXPECT_EQ(empty.GetShortDescription(), "unknown empty action");
  auto clone = a.Clone();
  EXPECT_EQ(clone->SaveToText(), "a%s%n");
  EXPECT_TRUE(clone->IsIncoming());
  empty.Assign(a);
  EXPECT_EQ(empty.SaveToText(), "a%s%n");
  test::TTestNoneAction other(false);
  empty.Assign(other);  // another kind: nothing copied
  EXPECT_EQ(empty.SaveToText(), "a%s%n");
}

}  // namespace
}  // namespace kv
