// Runs the native kvcheck binary and checks what it prints.
#include <gtest/gtest.h>

#include "tools/kvcheck/tests/kvcheck_runner.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

TEST(KvcheckTest, UnknownActionTexts) {
  const Result r = RunTool("action in Xyz1ABCD ''");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "error=Incoming Action corrupt or not supported: Xyz1\n"
            "kind=0 used=8\n"
            "text=Xyz1ABCD\n"
            "desc=Unknown Action: Xyz1ABCD\n"
            "short=Unknown Action: Xyz1\n"
            "\n"
            "kind=0 used=0\n"
            "text=\n"
            "desc=unknown empty action\n"
            "short=unknown empty action\n"
            "\n");
}

TEST(KvcheckTest, RulesParseStoreAndRun) {
  const std::string file = WriteTempFile("kvcheck_rules.txt",
                                         "if pp>0 then ga=ga+pp\r\n"
                                         "bad line\n"
                                         "\n"
                                         "if ga>=10 then exit rules, skip Outgoing Action\n");
  Result r = RunTool("rules " + file + " pp=3 ga=4");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "error=Line 2: parse error: syntax error\n"
            "stored=StMa00000002if(pp>0)ga=ga+ppif(ga>=10)noexecute\n"
            "result=1\n"
            "pp=3\n"
            "ga=7\n");
  r = RunTool("rules " + file + " pp=7 ga=4");
  EXPECT_NE(r.out.find("result=0\n"), std::string::npos);
  EXPECT_NE(r.out.find("ga=11\n"), std::string::npos);
}

TEST(KvcheckTest, RulesErrorEndsTheRun) {
  const std::string file = WriteTempFile("kvcheck_div.txt", "ga=ga/gb\n");
  const Result r = RunTool("rules " + file + " ga=1");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "stored=StMa00000001ga=ga/gb\nerror=Division by zero\nresult=0\nga=1\n");
}

TEST(KvcheckTest, BadCommandLines) {
  EXPECT_EQ(RunTool("").status, 2);
  EXPECT_EQ(RunTool("nosuch").status, 2);
  EXPECT_EQ(RunTool("action sideways X").status, 2);
  EXPECT_EQ(RunTool("rules").status, 2);
  EXPECT_EQ(RunTool("rules /nonexistent/file ga=1").status, 1);
  const std::string file = WriteTempFile("kvcheck_empty.txt", "");
  EXPECT_EQ(RunTool("rules " + file + " zz=1").status, 2);
}

}  // namespace
