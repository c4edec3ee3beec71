// The rules page: the builder follows the caret line and rewrites it.
#include <gtest/gtest.h>

#include <algorithm>

#include "editor/help_texts.h"
#include "editor/rules_page.h"
#include "engine/rules.h"

namespace kv {
namespace {

class RulesPageTest : public ::testing::Test {
 protected:
  void SetUp() override { page_.SetOnModified([this] { ++modified_; }); }

  void LoadAt(std::vector<std::string> lines, int caret) {
    page_.Load(std::move(lines), "");
    page_.SetCaret(caret, false);
  }

  TRulesPage page_;
  int modified_ = 0;
};

TEST_F(RulesPageTest, BuilderPageFollowsTheCaretLine) {
  LoadAt({"pp=1", "", "ga = 5 xy", "label \"top\"", "if pp>0 then ga=ga+1", "goto \"top\""}, 0);
  EXPECT_EQ(page_.Page(), TRulesPage::kPageIfThen);
  EXPECT_EQ(page_.ActionPage(), TRulesPage::kActionAssignment);
  EXPECT_FALSE(page_.ConditionVisible());

  page_.SetCaret(1, false);
  EXPECT_EQ(page_.Page(), TRulesPage::kPageNone);
  page_.SetCaret(0, true);
  EXPECT_EQ(page_.Page(), TRulesPage::kPageNone) << "a selection shows no rule";

  page_.SetCaret(2, false);
  EXPECT_EQ(page_.Page(), TRulesPage::kPageError);
  EXPECT_EQ(page_.ErrorText(), "Erronous rule: unknown text at end of line");

  page_.SetCaret(3, false);
  EXPECT_EQ(page_.Page(), TRulesPage::kPageLabel);
  EXPECT_EQ(page_.LabelName(), "top");

  page_.SetCaret(4, false);
  EXPECT_TRUE(page_.ConditionVisible());
  EXPECT_EQ(page_.ActionPage(), TRulesPage::kActionExpression);
  EXPECT_EQ(page_.IfComparison().text, ">");
  EXPECT_EQ(page_.RuleType().SelectedObject(), kStepAdd);
  EXPECT_EQ(page_.ExprOperator().text, "+");
  EXPECT_EQ(modified_, 0) << "moving the caret changes nothing";
}

TEST_F(RulesPageTest, JumpListOffersOnlyNamesOfRulesThatParse) {
  LoadAt({"goto \"b\"", "label \"a\"", "label \"broken", "label \"a\"", "label \"c\" x"}, 0);
  EXPECT_EQ(page_.ActionPage(), TRulesPage::kActionGoto);
  EXPECT_EQ(page_.JumpTo().items, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(page_.JumpTo().text, "b");
}

TEST_F(RulesPageTest, ValidBuilderEditRewritesTheLine) {
  LoadAt({"pp=1", "qq=2"}, 1);
  page_.AssignValue().text = "ga";
  page_.BuilderChanged();
  EXPECT_EQ(page_.Lines(), (std::vector<std::string>{"pp=1", "qq=ga"}));
  EXPECT_FALSE(page_.LineSelected());
  EXPECT_EQ(modified_, 1);
}

TEST_F(RulesPageTest, InvalidFieldSelectsTheLineAndKeepsItBound) {
  LoadAt({"pp=1", "qq=2", "rr=3"}, 1);
  page_.AssignTarget().text = "5";  // a number cannot be assigned to
  page_.BuilderChanged();
  EXPECT_TRUE(page_.LineSelected());
  EXPECT_EQ(page_.Lines()[1], "qq=2");
  // The window reports the builder's own selection of that line.
  page_.SetCaret(1, true);
  EXPECT_EQ(page_.CurrentLine(), 1);

  page_.AssignTarget().text = "ss";
  page_.BuilderChanged();
  EXPECT_EQ(page_.Lines(), (std::vector<std::string>{"pp=1", "ss=2", "rr=3"}));
  EXPECT_FALSE(page_.LineSelected());

  page_.AssignValue().text = "";
  page_.BuilderChanged();
  EXPECT_EQ(page_.Lines()[1], "ss=2") << "an empty operand is invalid too";
}

TEST_F(RulesPageTest, RuleNamesWithADoubleQuoteAreRefused) {
  LoadAt({"label \"a\"", "goto \"a\""}, 0);
  page_.LabelName() = "say \"hi\"";
  page_.BuilderChanged();
  EXPECT_EQ(page_.Lines()[0], "label \"a\"");
  EXPECT_TRUE(page_.LineSelected());

  page_.SetCaret(1, false);
  page_.JumpTo().text = "x\"";
  page_.BuilderChanged();
  EXPECT_EQ(page_.Lines()[1], "goto \"a\"");
  page_.JumpTo().text = "end";
  page_.BuilderChanged();
  EXPECT_EQ(page_.Lines()[1], "Goto \"end\"");
}

TEST_F(RulesPageTest, ChangingTheRuleTypeRewritesAConditionalLine) {
  LoadAt({"if pp==1 then qq=2", "bad line"}, 0);
  page_.RuleTypeChosen(1);  // Expression
  EXPECT_EQ(page_.ActionPage(), TRulesPage::kActionExpression);
  EXPECT_EQ(page_.Lines()[0], "if pp==1 then qq=2+0");

  const int exitItem = static_cast<int>(page_.RuleType().items.size()) - 1;
  page_.RuleTypeChosen(exitItem);
  EXPECT_EQ(page_.Lines()[0], "if pp==1 then exit rules, skip Outgoing Action");
  page_.SetCaret(1, false);
  page_.RuleTypeChosen(0);
  EXPECT_EQ(page_.Lines()[1], "bad line") << "a line that does not parse is left alone";
}

TEST_F(RulesPageTest, AddInsertsAtTheCurrentLine) {
  LoadAt({"pp=1", "qq=2"}, 1);
  page_.AddRule(kStepAssign, true);
  EXPECT_EQ(page_.Lines(), (std::vector<std::string>{"pp=1", "if 0==0 then pp=0", "qq=2"}));
  EXPECT_EQ(page_.CurrentLine(), 1);
  EXPECT_TRUE(page_.ConditionVisible());
  EXPECT_EQ(modified_, 1);

  page_.SetCaret(5, false);
  page_.AddRule(kStepExitExecute, false);
  EXPECT_EQ(page_.Lines().back(), "exit rules, execute Outgoing Action");
}

TEST_F(RulesPageTest, BuildReportsEveryLineThatDoesNotParse) {
  page_.Load({"pp=1", "oops", "", "ga=5x", "qq=2"}, "Notes");
  std::vector<std::string> errors;
  const TTransStepMath rules = page_.BuildRules(errors);
  EXPECT_EQ(rules.Count(), 2u);
  EXPECT_EQ(rules.Description(), "Notes");
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].rfind("Line 2: parse error: ", 0), 0u) << errors[0];
  EXPECT_EQ(errors[1], "Line 4: parse error: unknown text at end of line");
}

// A rule the help shows is one a user may copy into the rules text: each must parse, and the
// rules page shows every one.
TEST(EditorHelpTest, EveryRuleTheHelpShowsParses) {
  const auto& pages = EditorHelpPages();
  const auto rules = std::find_if(pages.begin(), pages.end(),
                                  [](const THelpPageText& p) { return p.caption == "Rules"; });
  ASSERT_NE(rules, pages.end());
  ASSERT_FALSE(HelpRuleExamples().empty());
  for (const std::string& example : HelpRuleExamples()) {
    TTransStepMathEntry entry;
    EXPECT_TRUE(entry.ParseText(example)) << example << ": " << entry.parseError;
    EXPECT_NE(rules->text.find(example), std::string::npos) << example;
  }
}

}  // namespace
}  // namespace kv
