#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "base/main_thread.h"

#include "base/exception.h"
#include "engine/action_registry.h"
#include "engine/actions/execute_file_action.h"
#include "engine/system/execute_file_system.h"
#include "engine/actions/preset_change_action.h"
#include "engine/actions/special_action.h"
#include "engine/translate_params.h"

namespace kv {
namespace {

template <class T>
std::string Error(std::string_view text) {
  T action(false);
  try {
    action.LoadFromText(text);
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no error)";
}

TEST(EnableActionTest, TextFormAndSwitching) {
  TTransEnableAction action(false);
  EXPECT_EQ(action.LoadFromText("EnDi01tail"), 6u);
  EXPECT_EQ(action.Value(), kEnableProcessing);
  EXPECT_EQ(action.SaveToText(), "EnDi01");
  EXPECT_EQ(action.GetDescription(), "Enable Processing");
  EXPECT_EQ(Error<TTransEnableAction>("EnDi03"), "corrupt enable/disable action");
  EXPECT_EQ(Error<TTransEnableAction>("EnDi1"), "corrupt enable/disable action");
  EXPECT_EQ(Error<TTransEnableAction>("endi01"), "corrupt enable/disable action");

  TGlobalTranslateParams params;
  int changes = 0;
  params.SetOnEnabledChange([&](TGlobalTranslateParams&) { ++changes; });
  TExecutionContext context;
  context.params = &params;
  TTransEnableAction disable(false, kDisableProcessing);
  EXPECT_TRUE(disable.ExecuteOutgoing(context));
  EXPECT_FALSE(params.IsEnabled());
  TTransEnableAction opened(false, kProjectOpened);
  EXPECT_TRUE(opened.ExecuteOutgoing(context));  // changes nothing, still output
  EXPECT_FALSE(params.IsEnabled());
  EXPECT_TRUE(action.ExecuteOutgoing(context));
  EXPECT_TRUE(params.IsEnabled());
  EXPECT_EQ(changes, 2);

  TIncomingEvent event;
  event.value = kProjectOpened;
  EXPECT_TRUE(TTransEnableAction(true, kProjectOpened).MatchIncoming(event));
  EXPECT_FALSE(TTransEnableAction(true, kEnableProcessing).MatchIncoming(event));
}

TEST(NoneActionTest, DoesNothingAndCountsAsOutput) {
  TTransNoneAction none(false);
  EXPECT_EQ(none.LoadFromText("None"), 4u);
  EXPECT_EQ(Error<TTransNoneAction>("Non"), "corrupt none action");
  EXPECT_EQ(none.GetDescription(), "(none)");
  TExecutionContext context;
  EXPECT_TRUE(none.ExecuteOutgoing(context));
  EXPECT_EQ(none.GetDirections(), kDirectionOutgoing);
}

TEST(PresetChangeActionTest, TextForms) {
  TTransPresetChangeAction next(false);
  EXPECT_EQ(next.LoadFromText("Pres0000000"), 10u);
  EXPECT_EQ(next.Code(), kPresetNext);
  EXPECT_EQ(next.SaveToText(), "Pres000000");
  TTransPresetChangeAction bass(false);
  EXPECT_EQ(bass.LoadFromText("Pres040004Bass"), 14u);
  EXPECT_EQ(bass.Name(), "Bass");
  EXPECT_EQ(bass.GetDescription(), "activate preset \"Bass\"");
  TTransPresetChangeAction byVariable(false);
  EXPECT_EQ(byVariable.LoadFromText("Pres05pp"), 8u);
  EXPECT_EQ(byVariable.Number(), TNumberOrVariable::Variable(1));
  EXPECT_EQ(byVariable.GetDescription(), "activate preset number pp");
  EXPECT_EQ(byVariable.SaveToText(), "Pres05pp");
  EXPECT_EQ(TTransPresetChangeAction(true, 8, "", {}).GetDescription(),
            "on activation of this preset");
  EXPECT_EQ(TTransPresetChangeAction(false, 9, "", {}).GetDescription(), "deactivate this preset");

  EXPECT_EQ(Error<TTransPresetChangeAction>("Pres0A0000"), "corrupt preset change action");
  EXPECT_EQ(Error<TTransPresetChangeAction>("Pres05"), "corrupt preset change action");
  EXPECT_EQ(Error<TTransPresetChangeAction>("Pres05zz"), "corrupt preset change action");
  EXPECT_EQ(Error<TTransPresetChangeAction>("Pres040009Bass"), "Wrong string format");
}

TEST(PresetChangeActionTest, TriggersMatchTheirPreset) {
  TIncomingEvent activated;
  activated.kind = kActionPresetChange;
  activated.value = 1;
  activated.presetNumber = 2;
  activated.presetName = "Bass";
  activated.locals[1] = 2;  // the engine sets pp to the preset's index
  TIncomingEvent deactivated = activated;
  deactivated.value = 0;

  TTransPresetChangeAction byName(true, kPresetActivateNamed, "bass", {});
  EXPECT_TRUE(byName.MatchIncoming(activated));
  EXPECT_FALSE(byName.MatchIncoming(deactivated));
  TTransPresetChangeAction byVariable(true, kPresetActivateNumber, "",
                                      TNumberOrVariable::Variable(1));
  EXPECT_TRUE(byVariable.MatchIncoming(activated));
  TTransPresetChangeAction byNumber(true, kPresetDeactivateNumber, "",
                                    TNumberOrVariable::Number(2));
  EXPECT_TRUE(byNumber.MatchIncoming(deactivated));
  EXPECT_FALSE(byNumber.MatchIncoming(activated));

  TTransPresetChangeAction mine(true, kPresetThisActivated, "", {});
  activated.presetIndex = 2;
  EXPECT_TRUE(mine.MatchIncoming(activated));
  activated.presetIndex = 0;
  EXPECT_FALSE(mine.MatchIncoming(activated));
  EXPECT_FALSE(TTransPresetChangeAction(true, kPresetNext, "", {}).MatchIncoming(activated));
}

TEST(PresetChangeActionTest, RunsThroughTheRequest) {
  TGlobalTranslateParams params;
  TExecutionContext context;
  context.params = &params;
  TTransPresetChangeAction toGlobal(false, kPresetSwitchNumber, "ignored",
                                    TNumberOrVariable::Variable(10));
  EXPECT_FALSE(toGlobal.ExecuteOutgoing(context));  // no request bound

  int mode = -1;
  int32_t number = -1;
  std::string name;
  params.SetOnPresetChangeRequest([&](TTransAction*, int m, int32_t n, const std::string& s) {
    mode = m;
    number = n;
    name = s;
  });
  params.Globals().Set(10, 4);
  EXPECT_TRUE(toGlobal.ExecuteOutgoing(context));
  EXPECT_EQ(mode, kPresetSwitchNumber);
  EXPECT_EQ(number, 4);
  TTransPresetChangeAction named(false, kPresetActivateNamed, "Lead", TNumberOrVariable::Number(9));
  EXPECT_TRUE(named.ExecuteOutgoing(context));
  EXPECT_EQ(number, 0);
  EXPECT_EQ(name, "Lead");
  EXPECT_TRUE(
      TTransPresetChangeAction(false, kPresetThisActivated, "", {}).ExecuteOutgoing(context));
}

TEST(ExecuteFileActionTest, TextForm) {
  TTransExecuteFileAction action(false);
  EXPECT_EQ(action.LoadFromText("ExF1000Bnotepad.exe0000"), 23u);
  EXPECT_EQ(action.GetFileName(), "notepad.exe");
  EXPECT_EQ(action.GetParameters(), "");
  EXPECT_EQ(action.SaveToText(), "ExF1000Bnotepad.exe0000");
  EXPECT_EQ(action.GetDescription(), "Start/show notepad.exe");
  EXPECT_FALSE(action.IsIncoming());
  EXPECT_EQ(TTransExecuteFileAction("C:\\Tools\\", "-x").GetDescription(),
            "Start/show [no file set] -x");
  EXPECT_EQ(TTransExecuteFileAction("C:\\A\\b.exe", "-q %oo%").GetDescription(),
            "Start/show b.exe -q %oo%");

  EXPECT_EQ(Error<TTransExecuteFileAction>("ExF1"), "corrupt action");
  EXPECT_EQ(Error<TTransExecuteFileAction>("exf1000Bnotepad.exe0000"), "corrupt action");
  EXPECT_EQ(Error<TTransExecuteFileAction>("ExF1000Bnotepad.exe"), "Wrong string format");
  // A failed load keeps what was there.
  EXPECT_THROW(action.LoadFromText("ExF10003abc00"), Exception);
  EXPECT_EQ(action.GetFileName(), "notepad.exe");
  auto copy = TTransExecuteFileAction("a.exe", "b").Clone();
  EXPECT_EQ(copy->SaveToText(), "ExF10005a.exe0001b");
}

TEST(ExecuteFileActionTest, FileIsJoinedToTheProjectAndQuoted) {
  using A = TTransExecuteFileAction;
  EXPECT_EQ(A::ResolveFile("app.exe", "C:\\Proj\\x.kvxp"), "C:\\Proj\\app.exe");
  EXPECT_EQ(A::ResolveFile("C:\\Program Files\\App\\app.exe", "C:\\Proj\\x.kvxp"),
            "\"C:\\Program Files\\App\\app.exe\"");
  EXPECT_EQ(A::ResolveFile("\"C:\\Program Files\\a.exe\"", ""), "\"C:\\Program Files\\a.exe\"");
  // A project without a file yet leaves a relative name relative, not at the drive's root.
  EXPECT_EQ(A::ResolveFile("app.exe", ""), "app.exe");
  EXPECT_EQ(A::ResolveFile("my app.exe", "D:\\My Proj\\p.kvxp"), "\"D:\\My Proj\\my app.exe\"");
}

TEST(ExecuteFileActionTest, StartsWithExpandedVariables) {
  TExecuteRecorder shell;
  TScopedExecuteSystem scope(shell);
  TGlobalTranslateParams params;
  TLocalVariables locals{};
  locals[0] = 7;
  TExecutionContext context;
  context.params = &params;
  context.locals = &locals;
  TTransExecuteFileAction action("C:\\Tools\\run%oo%.exe", "-n %03d oo%");
  EXPECT_TRUE(action.ExecuteOutgoing(context));
  EXPECT_EQ(shell.Lines(), (std::vector<std::string>{"exec C:\\Tools\\run7.exe -n 007"}));

  TTransExecuteFileAction broken("a.exe", "100%");
  EXPECT_FALSE(broken.ExecuteOutgoing(context));
  shell.fail = true;
  EXPECT_FALSE(action.ExecuteOutgoing(context));
  EXPECT_EQ(shell.Lines().size(), 2u);
}

TEST(SwitchActionsTest, RegistersTheirTagsInOrder) {
  ResetTransActionRegistryForTests();
  RegisterSwitchActions();
  EXPECT_EQ(RegisteredTransActionTags(),
            (std::vector<std::string>{"EnDi", "None", "Pres", "ExF1"}));
  auto created = CreateTransActionFromText("ExF10000", true);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->GetActionType(), kActionExecuteFile);
  ResetTransActionRegistryForTests();
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// Log lines reach their receiver through the main thread; serve it until they are in.
std::vector<std::string> LogOf(TGlobalTranslateParams& params, size_t count,
                               const std::function<void()>& run) {
  TMainThreadCalls::Instance().SetMainThread();
  std::vector<std::string> lines;
  params.SetOnLog([&](const std::string& line) { lines.push_back(line); });
  run();
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (lines.size() < count && std::chrono::steady_clock::now() < giveUp)
    TMainThreadCalls::Instance().Serve(5);
  params.SetOnLog({});
  return lines;
}

TEST(ExecuteFileActionTest, LogsWhatItStartedAndWhyNot) {
  TExecuteRecorder shell;
  TScopedExecuteSystem scope(shell);
  TGlobalTranslateParams params;
  TLocalVariables locals{};
  TExecutionContext context;
  context.params = &params;
  context.locals = &locals;
  context.presetIndex = 1;
  context.translatorIndex = 2;
  TTransExecuteFileAction broken("a.exe", "100%");
  TTransExecuteFileAction plain("b.exe", "");
  TTransExecuteFileAction failing("c d.exe", "-x");
  const auto lines = LogOf(params, 4, [&] {
    EXPECT_FALSE(broken.ExecuteOutgoing(context));
    EXPECT_TRUE(plain.ExecuteOutgoing(context));
    shell.fail = true;
    EXPECT_FALSE(failing.ExecuteOutgoing(context));
  });
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                "OUT 1.2: Error parsing filename \"a.exe\" and parameters \"100%\":",
                "  unterminated % section. Specify %% for a single percent character.",
                "OUT 1.2: Executed b.exe ", "OUT 1.2: Error: Cannot execute \"c d.exe\" -x"}));
}

TEST(EnableActionTest, LogsTheStateItLeaves) {
  TGlobalTranslateParams params;
  TExecutionContext context;
  context.params = &params;
  TTransEnableAction opened(false, kProjectOpened);
  TTransEnableAction disable(false, kDisableProcessing);
  const auto lines = LogOf(params, 2, [&] {
    opened.ExecuteOutgoing(context);
    disable.ExecuteOutgoing(context);
  });
  EXPECT_EQ(lines, (std::vector<std::string>{"OUT 0.0: enabled processing",
                                             "OUT 0.0: disabled processing"}));
}

TEST(PresetChangeActionTest, ThisPresetTriggersNameThePreset) {
  TGlobalTranslateParams params;
  TIncomingEvent event;
  event.params = &params;
  event.value = 1;
  event.presetNumber = 3;
  event.presetIndex = 3;
  event.presetName = "";
  TTransPresetChangeAction mine(true, kPresetThisActivated, "", {});
  const auto lines = LogOf(params, 1, [&] { EXPECT_TRUE(mine.MatchIncoming(event)); });
  EXPECT_EQ(lines, (std::vector<std::string>{"IN 3.0: on activation of this preset ((unnamed))"}));
}

}  // namespace
}  // namespace kv
