#include "engine/variables.h"

#include <gtest/gtest.h>

#include <climits>

#include "engine/event.h"
#include "engine/translate_params.h"

namespace kv {
namespace {

TEST(VariablesTest, NamesAndIndexes) {
  EXPECT_EQ(VariableIndexOf("GA"), 10);
  EXPECT_EQ(VariableIndexOf("Ga"), 10);
  EXPECT_EQ(VariableIndexOf("ga"), 10);
  EXPECT_EQ(VariableIndexOf("gz"), 35);
  EXPECT_EQ(VariableIndexOf("g0"), 36);
  EXPECT_EQ(VariableIndexOf("g9"), 45);
  EXPECT_EQ(VariableIndexOf("ha"), 46);
  EXPECT_EQ(VariableIndexOf("n9"), 297);
  EXPECT_EQ(VariableIndexOf("go"), 24);
  EXPECT_EQ(VariableIndexOf("gg"), 16);  // doubled g is a global
  EXPECT_EQ(VariableIndexOf("oo"), 0);
  EXPECT_EQ(VariableIndexOf("XX"), 9);
  EXPECT_EQ(VariableIndexOf("op"), -1);
  EXPECT_EQ(VariableIndexOf("o"), -1);
  EXPECT_EQ(VariableIndexOf("gaa"), -1);
  EXPECT_EQ(VariableIndexOf("f0"), -1);
  EXPECT_EQ(VariableIndexOf("g_"), -1);
  for (int i = 0; i < kVariableCount; ++i) EXPECT_EQ(VariableIndexOf(VariableNameOf(i)), i);
  EXPECT_EQ(VariableNameOf(-1), "");
  EXPECT_EQ(VariableNameOf(298), "");
}

TEST(VariablesTest, IndexAtChecksItsBounds) {
  EXPECT_EQ(VariableIndexAt("x=ga", 3), 10);
  EXPECT_EQ(VariableIndexAt("x=ga", 4), -1);  // one character left
  EXPECT_EQ(VariableIndexAt("x=ga", 5), -1);
  EXPECT_EQ(VariableIndexAt("x=ga", 0), -1);
  EXPECT_EQ(VariableIndexAt("", 1), -1);
}

TEST(VariablesTest, OutOfRangeIndexNeverTouchesMemory) {
  TLocalVariables locals{};
  TGlobalVariables globals;
  SetVariableValue(298, 5, &locals, &globals);
  SetVariableValue(-7, 5, &locals, &globals);
  SetVariableValue(100000, 5, &locals, &globals);
  EXPECT_EQ(GetVariableValue(298, &locals, &globals), 0);
  EXPECT_EQ(GetVariableValue(-1, &locals, &globals), 0);
  EXPECT_EQ(EvaluateNumberOrVariable(TNumberOrVariable::Variable(5000), &locals, &globals), 0);
  SetVariableValue(3, 7, &locals, &globals);
  SetVariableValue(297, 8, &locals, &globals);
  EXPECT_EQ(locals[3], 7);
  EXPECT_EQ(globals.Get(297), 8);
  // Without a store: nothing happens.
  SetVariableValue(3, 9, nullptr, nullptr);
  EXPECT_EQ(GetVariableValue(3, nullptr, nullptr), 0);
}

TEST(VariablesTest, EvaluateAndPrint) {
  TGlobalTranslateParams params;
  TLocalVariables locals{};
  locals[1] = 42;
  params.Globals().Set(10, -3);
  TExecutionContext ctx;
  ctx.params = &params;
  ctx.locals = &locals;
  EXPECT_EQ(EvaluateNumberOrVariable(TNumberOrVariable::Variable(1), ctx), 42);
  EXPECT_EQ(EvaluateNumberOrVariable(TNumberOrVariable::Variable(10), ctx), -3);
  EXPECT_EQ(EvaluateNumberOrVariable(TNumberOrVariable::Number(7), ctx), 7);
  EXPECT_EQ(EvaluateNumberOrVariable(TNumberOrVariable{9, 7}, ctx), 0);
  EXPECT_EQ(NumberOrVariableToText(TNumberOrVariable::Variable(10)), "ga");
  EXPECT_EQ(NumberOrVariableToText(TNumberOrVariable::Number(-12)), "-12");
  EXPECT_EQ(NumberOrVariableToText(TNumberOrVariable::Variable(10), ctx), "-3");
}

struct ParseCase {
  const char* text;
  size_t used;
  int32_t value;
};

TEST(VariablesTest, ParseNumber) {
  const ParseCase cases[] = {
      {"0x", 2, 0},
      {"-0x", 0, 0},
      {"$-1f", 4, -31},
      {"+-5", 0, 0},
      {"123abc", 3, 123},
      {"-17", 3, -17},
      {"$ff", 3, 255},
      {"0x1F", 4, 31},
      {"0X1", 1, 0},
      {"-$10", 4, -16},
      {"-$-1", 0, 0},
      {"$FFFFFFFF", 9, -1},
      {"-$FFFFFFFF", 10, -1},
      {"$123456789", 10, 0x23456789},
      {"2147483647", 10, INT32_MAX},
      {"2147483648", 10, -1},
      {"-2147483648", 11, INT32_MIN},
      {"99999999999999999999", 20, -1},
      {"", 0, 0},
      {"x", 0, 0},
      {"$", 0, 0},
  };
  for (const ParseCase& c : cases) {
    int32_t value = 12345;
    EXPECT_EQ(ParseNumber(c.text, 1, value), c.used) << c.text;
    if (c.used > 0) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
  int32_t v = 0;
  EXPECT_EQ(ParseNumber("a=5", 3, v), 1u);
  EXPECT_EQ(v, 5);
  EXPECT_EQ(ParseNumber("a=5", 4, v), 0u);
  EXPECT_EQ(ParseNumber("a=5", 0, v), 0u);
}

// What the writer prints must read back as itself, across the whole range.
TEST(VariablesTest, WrittenNumbersReadBack) {
  for (int32_t n : {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX}) {
    TNumberOrVariable field = TNumberOrVariable::Number(n);
    const std::string text = NumberOrVariableToText(field);
    TNumberOrVariable back;
    EXPECT_EQ(ParseNumberOrVariableAt(text, 1, back), text.size());
    EXPECT_EQ(back, field) << text;
  }
  TNumberOrVariable back;
  EXPECT_EQ(ParseNumberOrVariableAt("n9", 1, back), 2u);
  EXPECT_EQ(back, TNumberOrVariable::Variable(297));
}

std::string Expand(std::string_view text, const TGlobalVariables& g,
                   std::vector<std::string>* errors, const TLocalVariables* l = nullptr) {
  std::string out;
  ExpandVariables(text, l, &g, out, errors);
  return out;
}

TEST(VariablesTest, ExpandVariablesFormats) {
  TGlobalVariables g;
  g.Set(10, 255);
  std::vector<std::string> errors;
  EXPECT_EQ(Expand("v=%04x ga%!", g, &errors), "v=00ff!");
  EXPECT_EQ(Expand("%4X ga%", g, &errors), "  FF");
  EXPECT_EQ(Expand("%ga%", g, &errors), "255");
  EXPECT_EQ(Expand("%d ga%", g, &errors), "255");
  EXPECT_EQ(Expand("%x 17%", g, &errors), "11");
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(Expand("%0x ga%", g, &errors), "ff");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Warning: malformed format: length 0 is ignored.");
  errors.clear();
  g.Set(10, -1);
  EXPECT_EQ(Expand("%x ga%", g, &errors), "ffffffff");
  g.Set(10, 65);
  EXPECT_EQ(Expand("%c ga%", g, &errors), "A");
  EXPECT_TRUE(errors.empty());
}

TEST(VariablesTest, ExpandVariablesReportsAndGoesOn) {
  TGlobalVariables g;
  std::vector<std::string> errors;
  EXPECT_EQ(Expand("%c ga%", g, &errors), "?");
  EXPECT_EQ(Expand("100%%", g, &errors), "100%");
  EXPECT_EQ(Expand("100%", g, &errors), "100");
  EXPECT_EQ(Expand("a%x ga", g, &errors), "a");
  EXPECT_EQ(Expand("%q ga%", g, &errors), "");
  EXPECT_EQ(Expand("%l4x ga%", g, &errors), "0");
  EXPECT_EQ(Expand("%x ga zz%", g, &errors), "0");
  EXPECT_EQ(Expand("%d zz%", g, &errors), "0");
  const std::vector<std::string> expected = {
      "ANSI value out of range: ga=0. Using ?.",
      "unterminated % section. Specify %% for a single percent character.",
      "unterminated % section. Specify %% for a single percent character.",
      "Unknown format specifier: q",
      "Unknown extra format specifiers: l4x",
      "syntax error: \"zz\"",
      "not a variable: \"zz\"",
  };
  EXPECT_EQ(errors, expected);
  // Without an error list nothing is reported and the text still expands.
  std::string out;
  ExpandVariables("%c ga%", nullptr, &g, out, nullptr);
  EXPECT_EQ(out, "?");
  TLocalVariables l{};
  l[0] = 3;
  EXPECT_EQ(Expand("n%oo%", g, nullptr, &l), "n3");
}

}  // namespace
}  // namespace kv
