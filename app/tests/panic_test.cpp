// The panic sequence and its progress, and the global-variable dump.
#include <gtest/gtest.h>

#include "app/controller/panic.h"
#include "app/shell/variable_dump.h"
#include "engine/variables.h"

namespace kv::test {
namespace {

class TPanicRecorder final : public TPanicHost {
 public:
  void StopProcessing() override { events.push_back("stop"); }
  void ResumeProcessing() override { events.push_back("resume"); }
  void SendToOpenOutputs(uint32_t message) override { sent.push_back(message); }
  void Status(const std::string& text) override { status.push_back(text); }
  void Pause(uint32_t ms) override { pauses.push_back(ms); }
  std::vector<std::string> events, status;
  std::vector<uint32_t> sent, pauses;
};

TEST(PanicTest, TheFirstPressSilencesEveryChannelInOrderTheSecondResumes) {
  TPanic panic;
  TPanicRecorder host;
  panic.Press(host);
  EXPECT_TRUE(panic.Stopped());
  EXPECT_EQ(host.events, (std::vector<std::string>{"stop"}));
  ASSERT_EQ(host.sent.size(), 2080u);
  EXPECT_EQ(host.sent[0], 0x000090u);      // channel 1, note 0, velocity 0
  EXPECT_EQ(host.sent[127], 0x007F90u);
  EXPECT_EQ(host.sent[128], 0x0078B0u);    // all sound off
  EXPECT_EQ(host.sent[129], 0x007BB0u);    // all notes off
  EXPECT_EQ(host.sent[130], 0x000091u);
  EXPECT_EQ(host.sent[2079], 0x007BBFu);
  EXPECT_EQ(host.pauses, std::vector<uint32_t>(16, 150));
  ASSERT_EQ(host.status.size(), 18u);
  EXPECT_EQ(host.status.front(), "Panic: 0%");
  EXPECT_EQ(host.status[1], "Panic: 6%");
  EXPECT_EQ(host.status[2], "Panic: 13%");  // 12.5 rounds up
  EXPECT_EQ(host.status[16], "Panic: 100%");
  EXPECT_EQ(host.status.back(), "Press Stop again to resume operation.");

  panic.Press(host);
  EXPECT_FALSE(panic.Stopped());
  EXPECT_EQ(host.events.back(), "resume");
  EXPECT_EQ(host.status.back(), "Resuming normal operation.");
  EXPECT_EQ(host.sent.size(), 2080u);
}

TEST(PanicTest, HalvesRoundUp) {
  const int expected[16] = {6, 13, 19, 25, 31, 38, 44, 50, 56, 63, 69, 75, 81, 88, 94, 100};
  for (int channel = 0; channel < 16; ++channel)
    EXPECT_EQ(PanicPercent(channel), expected[channel]) << channel;
}

TEST(VariableDumpTest, SevenOnTheFirstLineEightOnEachFurther) {
  TGlobalVariables globals;
  EXPECT_EQ(DumpGlobalVariables(globals),
            (std::vector<std::string>{"", "List of all global non-zero variables:", "", "(none)"}));
  for (int i = 0; i < 16; ++i) globals.Set(kFirstGlobalVariable + i, i + 1);
  globals.Set(kFirstGlobalVariable + kGlobalVariableCount - 1, -5);
  const std::vector<std::string> lines = DumpGlobalVariables(globals);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2], "ga=1  gb=2  gc=3  gd=4  ge=5  gf=6  gg=7  ");
  EXPECT_EQ(lines[3], "gh=8  gi=9  gj=10  gk=11  gl=12  gm=13  gn=14  go=15  ");
  EXPECT_EQ(lines[4], "gp=16  n9=-5  ");
}

}  // namespace
}  // namespace kv::test
