// Runs the native kvcheck binary on project files and checks what it prints and writes.
#include <gtest/gtest.h>

#include "tools/kvcheck/tests/kvcheck_runner.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Path(const std::string& name) {
  return std::string(KVCHECK_TEMP_DIR) + "/" + name;
}

std::string Write(const std::string& name, const std::string& text) {
  std::ofstream(Path(name), std::ios::binary) << text;
  return Path(name);
}

std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

TEST(KvcheckProjectTest, ListsPresetsReportsErrorsAndWritesTheCurrentVersion) {
  const std::string in = Write("kvcheck_in.kvxp",
                               "[Drums]\r\nName0=kick\r\nIncoming0=ZZZZ\r\n\r\n"
                               "[Bass]\r\nName0=a\r\nIncoming0=Tim0TimT0003Abc\r\n"
                               "Name1=b\r\nIncoming1=Tim0TimT0003Def\r\n");
  const std::string out = Path("kvcheck_out.kvxp");
  Result r = RunTool("project " + in + " " + out);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "error=Error while loading preset \"Drums\", Translator \"kick\":\\r\\n    Incoming "
            "Action corrupt or not supported: ZZZZ\n"
            "presets=2\n"
            "preset 0 active=1 translators=2 name=Bass\n"
            "preset 1 active=0 translators=1 name=Drums\n");
  const std::string written = Slurp(out);
  EXPECT_EQ(written.rfind("[Project]\r\nVersion=2\r\n", 0), 0u);
  EXPECT_NE(written.find("[Preset.1]\r\nName=Drums\r\n"), std::string::npos);

  // The written file reads back to the same listing and the same text.
  const std::string again = Path("kvcheck_again.kvxp");
  r = RunTool("project " + out + " " + again);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(Slurp(again), written);
}

TEST(KvcheckProjectTest, UnreadableInputAndBadCommandLines) {
  Result r = RunTool("project " + Path("does-not-exist.kvxp") + " " + Path("x.kvxp"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.rfind("error=Error: Cannot load file: ", 0), 0u);
  EXPECT_EQ(RunTool("project only-one").status, 2);

  const std::string tooNew = Write("kvcheck_v3.kvxp", "[Project]\r\nVersion=3\r\n");
  r = RunTool("project " + tooNew + " " + Path("v3out.kvxp"));
  EXPECT_EQ(r.status, 1);  // refused before anything is read
  EXPECT_NE(r.out.find("error=This project file is incompatible"), std::string::npos);
  EXPECT_EQ(r.out.find("presets="), std::string::npos);
}

}  // namespace
