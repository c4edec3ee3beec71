// kvcheck cmdline: the program's command line, run as a normal start runs it.
#include <gtest/gtest.h>

#include <string>

#include "tools/kvcheck/tests/kvcheck_runner.h"

namespace {

// The lines after the log lines, without the settings file (it lies beside the tool).
std::string Tail(const std::string& out) {
  std::string tail;
  size_t start = 0;
  while (start < out.size()) {
    size_t end = out.find('\n', start);
    if (end == std::string::npos) end = out.size();
    const std::string line = out.substr(start, end - start);
    if (line.rfind("log ", 0) != 0 && line.rfind("settings=", 0) != 0) tail += line + "\n";
    start = end + 1;
  }
  return tail;
}

TEST(KvcheckCmdline, OptionsValuesAndUnknownsInOrder) {
  const Result r =
      RunTool("cmdline /DEBUG /settings my.kvxs /verbose /vmpl 6 /bogus /close show.kvxp");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.substr(0, r.out.find("project=")),
            "log 0 Debug mode\n"
            "log 0 Verbose mode\n"
            "log 2 Requested number of virtual MIDI ports 6 out of range.\n"
            "log 0 will close immediately\n"
            "log 2 Unknown parameter: /bogus\n");
  EXPECT_NE(r.out.find("settings=my.kvxs\n"), std::string::npos);
  EXPECT_EQ(Tail(r.out),
            "project=show.kvxp\ndebug=1\nverbose=1\nclose=1\nautostart=untouched\nresult=0\n");
}

TEST(KvcheckCmdline, AutostartGoesToARecorderAndTheStartArgumentIsQuiet) {
  Result r = RunTool("cmdline /autostart /start");
  EXPECT_EQ(r.out.substr(0, r.out.find("project=")),
            "log 1 Successfully installed autostart of Zarn's Korvanta Pro\n"
            "log 0 Installing autostart\n");
  EXPECT_NE(r.out.find("autostart=installed\nresult=1\n"), std::string::npos);
  r = RunTool("cmdline /uninstall");
  EXPECT_NE(r.out.find("log 0 Uninstall: nothing to uninstall -- is not installed!\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("autostart=untouched\nresult=1\n"), std::string::npos);
  r = RunTool("cmdline");
  EXPECT_EQ(Tail(r.out), "project=\ndebug=0\nverbose=0\nclose=0\nautostart=untouched\nresult=0\n");
}

TEST(KvcheckCmdline, MissingValuesAreReported) {
  Result r = RunTool("cmdline /vmpl x /midiin");
  EXPECT_EQ(r.out.substr(0, r.out.find("project=")),
            "log 2 Parameter /vmpl requires a number argument.\n"
            "log 2 Parameter /midiin requires a MIDI device argument.\n");
  // A value is whatever follows, even another option.
  r = RunTool("cmdline /project /debug");
  EXPECT_EQ(Tail(r.out),
            "project=/debug\ndebug=0\nverbose=0\nclose=0\nautostart=untouched\nresult=0\n");
}

}  // namespace
