#include "engine/translate_params.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "base/main_thread.h"
#include "engine/action_registry.h"
#include "engine/format.h"

namespace kv {
namespace {

TEST(ParamsTest, ActivityFlags) {
  EXPECT_EQ(ActivityFlagForActionType(kActionUnknown, true), 0);
  EXPECT_EQ(ActivityFlagForActionType(kActionMidi, true), 2);
  EXPECT_EQ(ActivityFlagForActionType(kActionMidi, false), 4);
  EXPECT_EQ(ActivityFlagForActionType(kActionKeystroke, false), 256);
  EXPECT_EQ(ActivityFlagForActionType(kActionMouse, true), 512);
  EXPECT_EQ(ActivityFlagForActionType(kActionTimer, true), 32);
  EXPECT_EQ(ActivityFlagForActionType(kActionWindowMessage, true), 0);
  EXPECT_EQ(ActivityFlagForActionType(kActionWindowMessage, false), 2048);
  for (int k : {5, 6, 7, 9, 10}) {
    EXPECT_EQ(ActivityFlagForActionType(k, true), 8192);
    EXPECT_EQ(ActivityFlagForActionType(k, false), 16384);
  }
  EXPECT_EQ(ActivityFlagForActionType(11, true), 0);
  EXPECT_EQ(ActivityFlagForActionType(-1, false), 0);
}

TEST(ParamsTest, StatisticsCountPerKindAndIgnoreStrayKinds) {
  TTransStats stats;
  stats.CountEvent(1);
  stats.CountEvent(1);
  stats.CountMatch(4);
  stats.CountOutgoing(11);  // no row for it, still counted in the total
  EXPECT_EQ(stats.Events(), 2u);
  EXPECT_EQ(stats.EventsOfKind(1), 2u);
  EXPECT_EQ(stats.MatchesOfKind(4), 1u);
  EXPECT_EQ(stats.Outgoing(), 1u);
  EXPECT_EQ(stats.OutgoingOfKind(11), 0u);
}

TEST(ParamsTest, SetEnabledCallsReceiverOnlyOnChange) {
  TGlobalTranslateParams params;
  int calls = 0;
  params.SetOnEnabledChange([&](TGlobalTranslateParams& p) {
    ++calls;
    EXPECT_EQ(&p, &params);
  });
  EXPECT_TRUE(params.IsEnabled());
  params.SetEnabled(true);
  EXPECT_EQ(calls, 0);
  params.SetEnabled(false);
  params.SetEnabled(false);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(params.IsEnabled());
}

TEST(ParamsTest, LogLinesCarryPresetAndTranslatorIndexes) {
  TMainThreadCalls::Instance().SetMainThread();
  TGlobalTranslateParams params;
  EXPECT_FALSE(params.IsLogging());
  params.Log("dropped while off");
  std::vector<std::string> got;
  params.SetOnLog([&](const std::string& line) { got.push_back(line); });
  EXPECT_TRUE(params.IsLogging());
  TIncomingEvent event;
  event.presetIndex = 2;
  event.translatorIndex = 5;
  // A user's text with format characters in it is printed as it stands.
  params.LogIncoming("name %s %d %n", event);
  TExecutionContext ctx;
  ctx.presetIndex = 1;
  params.LogOutgoing("out", ctx);
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (got.size() < 2 && std::chrono::steady_clock::now() < giveUp) {
    TMainThreadCalls::Instance().Serve(5);
  }
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], "IN 2.5: name %s %d %n");
  EXPECT_EQ(got[1], "OUT 1.0: out");
  params.SetOnLog({});
  EXPECT_FALSE(params.IsLogging());
}

TEST(ParamsTest, PresetChangeRequest) {
  TGlobalTranslateParams params;
  EXPECT_FALSE(params.RequestPresetChange(nullptr, 2, 0, "x"));
  int mode = -1;
  std::string name;
  params.SetOnPresetChangeRequest([&](TTransAction*, int m, int32_t, const std::string& n) {
    mode = m;
    name = n;
  });
  EXPECT_TRUE(params.RequestPresetChange(nullptr, 4, 0, "Lead"));
  EXPECT_EQ(mode, 4);
  EXPECT_EQ(name, "Lead");
}

TEST(ParamsTest, ErrorHandlerPassesToItsReceiver) {
  TCascadedErrorMessageHandler silent;
  silent.ReportError(1, "nobody listens");
  std::string got;
  TCascadedErrorMessageHandler handler(
      [&](int code, const std::string& text) { got = std::to_string(code) + ":" + text; });
  handler.ReportError(2, "broken %s");
  EXPECT_EQ(got, "2:broken %s");
}

TEST(FormatTest, FillsOnlyTheProgramsFormat) {
  EXPECT_EQ(FormatText("IN %d.%d: %s", {1, 2, "a%sb"}), "IN 1.2: a%sb");
  EXPECT_EQ(FormatText("100%% %s", {}), "100% ");
  EXPECT_EQ(FormatText("%x %", {5}), "%x %");
  EXPECT_EQ(FormatText("%d", {std::string("text")}), "text");
  EXPECT_EQ(FormatText("%s", {int64_t{-7}}), "-7");
}

}  // namespace
}  // namespace kv
