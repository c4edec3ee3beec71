// Value-or-variable fields, the rule chooser and the hexadecimal converter.
#include <gtest/gtest.h>

#include "editor/hex_converter.h"
#include "editor/rule_chooser.h"
#include "editor/value_fields.h"
#include "engine/rules.h"

namespace kv {
namespace {

TEST(ValueFieldsTest, ParsesOnlyTheWholeTrimmedText) {
  TNumberOrVariable value;
  ASSERT_TRUE(ParseNumberOrVariable("pp ", value));
  EXPECT_EQ(value, TNumberOrVariable::Variable(1));
  ASSERT_TRUE(ParseNumberOrVariable("  0x1F", value));
  EXPECT_EQ(value, TNumberOrVariable::Number(31));
  ASSERT_TRUE(ParseNumberOrVariable("-12", value));
  EXPECT_EQ(value, TNumberOrVariable::Number(-12));

  value = TNumberOrVariable::Number(7);
  for (const char* bad : {"12x", "12abc", "", "   ", "pp qq", "x"}) {
    EXPECT_FALSE(ParseNumberOrVariable(bad, value)) << bad;
  }
  EXPECT_EQ(value, TNumberOrVariable::Number(7)) << "a failed parse leaves the value alone";
}

TEST(ValueFieldsTest, OffersTheFortySixNamesInIndexOrder) {
  const auto& names = VariableNameList();
  ASSERT_EQ(names.size(), 46u);
  EXPECT_EQ(names[0], "oo");
  EXPECT_EQ(names[9], "xx");
  EXPECT_EQ(names[10], "ga");
  EXPECT_EQ(names[35], "gz");
  EXPECT_EQ(names[36], "g0");
  EXPECT_EQ(names[45], "g9");
}

TEST(ValueFieldsTest, ShowsNumbersVariablesAndBadIndexes) {
  TComboModel combo;
  combo.FillVariableNames();
  ShowNumberOrVariable(combo, TNumberOrVariable::Variable(VariableIndexOf("gc")));
  EXPECT_EQ(combo.itemIndex, 12);
  EXPECT_EQ(combo.text, "gc");

  ShowNumberOrVariable(combo, TNumberOrVariable::Number(-5));
  EXPECT_EQ(combo.itemIndex, -1);
  EXPECT_EQ(combo.text, "-5");

  ShowNumberOrVariable(combo, TNumberOrVariable::Variable(VariableIndexOf("ha")));
  EXPECT_EQ(combo.itemIndex, -1);
  EXPECT_EQ(combo.text, "ha");

  ShowNumberOrVariable(combo, TNumberOrVariable::Variable(298));
  EXPECT_EQ(combo.itemIndex, -1);
  EXPECT_EQ(combo.text, "#Err");

  SelectComboByObject(combo, 40);
  EXPECT_EQ(combo.text, "g4");
  SelectComboByObject(combo, 99);
  EXPECT_EQ(combo.itemIndex, -1);
}

TEST(RuleChooserTest, MapsItemsAndCodes) {
  EXPECT_EQ(RuleTypeToChooserIndex(kStepAssign), 0);
  EXPECT_EQ(RuleTypeToChooserIndex(kStepGoto), 2);
  EXPECT_EQ(RuleTypeToChooserIndex(kStepExitSkip), 5);
  EXPECT_EQ(RuleTypeToChooserIndex(kStepSkipNext), 1) << "codes without an item";
  EXPECT_EQ(RuleChooserCaptions().size(), 7u);
}

TEST(RuleChooserTest, OkNeedsAChoiceAndTheConditionKeepsTheCode) {
  TRuleChooserModel none(kStepGoto, false);
  EXPECT_FALSE(none.OkEnabled());
  EXPECT_FALSE(none.Confirm()) << "Cancel, or OK without a choice, adds nothing";

  TRuleChooserModel chosen(kStepGoto, true);
  EXPECT_EQ(chosen.ItemIndex(), 2);
  chosen.SelectItem(4);
  ASSERT_TRUE(chosen.Confirm());
  EXPECT_EQ(chosen.StepCode(), kStepExitExecute);
  EXPECT_FALSE(chosen.Condition());

  TRuleChooserModel conditional(kStepGoto, true);
  conditional.SelectItem(kRuleChooserConditionItem);
  ASSERT_TRUE(conditional.Confirm());
  EXPECT_TRUE(conditional.Condition());
  EXPECT_EQ(conditional.StepCode(), kStepGoto);
}

TEST(HexConverterTest, ShowsZeroAndFullWidthValuesUnsigned) {
  EXPECT_EQ(HexToDecimalText("0").text, "0");
  EXPECT_TRUE(HexToDecimalText("000").ok);
  EXPECT_EQ(HexToDecimalText("FFFFFFFF").text, "4294967295");
  EXPECT_EQ(HexToDecimalText("80000000").text, "2147483648");
  EXPECT_EQ(HexToDecimalText("00ff").text, "255");
  EXPECT_EQ(DecimalToHexText("0").text, "0");
  EXPECT_EQ(DecimalToHexText("4294967295").text, "FFFFFFFF");
  EXPECT_EQ(DecimalToHexText("-1").text, "FFFFFFFF");
  EXPECT_EQ(DecimalToHexText("255").text, "FF");
}

TEST(HexConverterTest, RefusesWhatIsNotANumber) {
  EXPECT_EQ(HexToDecimalText("").error, "Null string.");
  EXPECT_EQ(HexToDecimalText("123456789").error, "Overflow");
  EXPECT_EQ(HexToDecimalText("12G").error, "not hexadecimal.");
  EXPECT_TRUE(HexToDecimalText("12G").text.empty());
  EXPECT_FALSE(DecimalToHexText("12a").ok);
  EXPECT_FALSE(DecimalToHexText("").ok);
  EXPECT_FALSE(DecimalToHexText("4294967296").ok);
}

}  // namespace
}  // namespace kv
