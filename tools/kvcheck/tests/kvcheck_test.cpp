// Runs the native kvcheck binary and checks what it prints.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct Result {
  std::string out;
  int status = -1;
};

Result RunKvcheck(const std::string& args) {
  Result r;
  const std::string command = std::string(KVCHECK_PATH) + " " + args + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string TempFile(const std::string& name, const std::string& text) {
  const std::string path = std::string(KVCHECK_TEMP_DIR) + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

TEST(KvcheckTest, UnknownActionTexts) {
  const Result r = RunKvcheck("action in Xyz1ABCD ''");
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
  const std::string file = TempFile("kvcheck_rules.txt",
                                    "if pp>0 then ga=ga+pp\r\n"
                                    "bad line\n"
                                    "\n"
                                    "if ga>=10 then exit rules, skip Outgoing Action\n");
  Result r = RunKvcheck("rules " + file + " pp=3 ga=4");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "error=Line 2: parse error: syntax error\n"
            "stored=StMa00000002if(pp>0)ga=ga+ppif(ga>=10)noexecute\n"
            "result=1\n"
            "pp=3\n"
            "ga=7\n");
  r = RunKvcheck("rules " + file + " pp=7 ga=4");
  EXPECT_NE(r.out.find("result=0\n"), std::string::npos);
  EXPECT_NE(r.out.find("ga=11\n"), std::string::npos);
}

TEST(KvcheckTest, RulesErrorEndsTheRun) {
  const std::string file = TempFile("kvcheck_div.txt", "ga=ga/gb\n");
  const Result r = RunKvcheck("rules " + file + " ga=1");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "stored=StMa00000001ga=ga/gb\nerror=Division by zero\nresult=0\nga=1\n");
}

TEST(KvcheckTest, BadCommandLines) {
  EXPECT_EQ(RunKvcheck("").status, 2);
  EXPECT_EQ(RunKvcheck("nosuch").status, 2);
  EXPECT_EQ(RunKvcheck("action sideways X").status, 2);
  EXPECT_EQ(RunKvcheck("rules").status, 2);
  EXPECT_EQ(RunKvcheck("rules /nonexistent/file ga=1").status, 1);
  const std::string file = TempFile("kvcheck_empty.txt", "");
  EXPECT_EQ(RunKvcheck("rules " + file + " zz=1").status, 2);
}

}  // namespace
