#include "engine/actions/window_message_action.h"

#include <gtest/gtest.h>

#include <chrono>

#include "base/main_thread.h"

#include "base/exception.h"
#include "base/text_helpers.h"
#include "engine/system/target_window_system.h"
#include "engine/translate_params.h"
#include "engine/translator.h"

namespace kv {
namespace {

class WindowMessageTest : public ::testing::Test {
 protected:
  static std::string Target(uint8_t mode, const std::string& title, const std::string& cls) {
    return "TWnd" + std::string(1, '0') + std::string(1, static_cast<char>('0' + mode)) +
           EncodeLengthPrefixed(title) + EncodeLengthPrefixed(cls);
  }
  static std::unique_ptr<TTransMessageAction> Load(const std::string& text) {
    auto action = std::make_unique<TTransMessageAction>(false);
    EXPECT_EQ(action->LoadFromText(text), text.size());
    return action;
  }
  static std::string Error(const std::string& text) {
    TTransMessageAction action(false);
    try {
      action.LoadFromText(text);
    } catch (const Exception& e) {
      return e.Message();
    }
    return "(no error)";
  }

  TWindowRecorder windows;
  TScopedWindowSystem scope{windows};
  TLocalVariables locals{};
  TExecutionContext context{nullptr, 0, nullptr, 0, nullptr, &locals};
};

TEST_F(WindowMessageTest, TargetWindowTextForm) {
  TTargetWindow target;
  target.SetMatchMode(kMatchTitleContains);
  target.SetTitle("Notepad");
  target.SetWindowClass("Edit");
  EXPECT_EQ(target.SaveToText(), "TWnd030007Notepad0004Edit");
  TTargetWindow back;
  EXPECT_EQ(back.LoadFromText("xxTWnd030007Notepad0004Edit", 3), 25u);
  EXPECT_EQ(back.MatchMode(), kMatchTitleContains);
  EXPECT_EQ(back.Title(), "Notepad");
  EXPECT_EQ(back.WindowClass(), "Edit");

  auto error = [](std::string_view text) {
    TTargetWindow t;
    try {
      t.LoadFromText(text, 1);
    } catch (const Exception& e) {
      return e.Message();
    }
    return std::string("(no error)");
  };
  EXPECT_EQ(error("TWnd0600000000"), "Wrong format for target window");
  EXPECT_EQ(error("TWnx0000000000"), "Wrong format for target window");
  EXPECT_EQ(error("TWnd00000000"), "Wrong format for target window");  // too short
  EXPECT_EQ(error("TWnd000009abc0000"), "Wrong string format");
}

TEST_F(WindowMessageTest, FindsWindowsByClassAndEachTitleMode) {
  windows.AddWindow("Other", "Untitled - Notepad");
  const TWindowHandle edit = windows.AddWindow("EditorClass", "Song.txt - Notepad");
  TTargetWindow target;
  EXPECT_FALSE(target.IsDefined());
  EXPECT_FALSE(target.Locate());

  target.SetWindowClass("EditorClass");
  EXPECT_EQ(target.Find(), edit);
  target.SetWindowClass("");
  target.SetMatchMode(kMatchTitleExact);
  target.SetTitle("Song.txt - Notepad");
  EXPECT_EQ(target.Find(), edit);
  target.SetMatchMode(kMatchTitleContains);
  target.SetTitle("Song");
  EXPECT_EQ(target.Find(), edit);
  target.SetMatchMode(kMatchTitleStartsWith);
  target.SetTitle("Song.txt");
  EXPECT_EQ(target.Find(), edit);
  target.SetMatchMode(kMatchTitleEndsWith);
  target.SetTitle("- Notepad");
  EXPECT_NE(target.Find(), 0u);     // the first window in the system's order
  target.SetWindowClass("Editor");  // a class names every class beginning with it
  EXPECT_EQ(target.Find(), edit);
  target.SetTitle("notepad");  // titles compare with case
  EXPECT_EQ(target.Find(), 0u);
}

TEST_F(WindowMessageTest, LongTitlesAreReadWhole) {
  const std::string title = std::string(600, 'x') + " The End";
  const TWindowHandle window = windows.AddWindow("C", title);
  TTargetWindow target;
  target.SetMatchMode(kMatchTitleEndsWith);
  target.SetTitle("The End");
  EXPECT_EQ(target.Find(), window);
}

TEST_F(WindowMessageTest, AClosedWindowIsLookedUpAgain) {
  const TWindowHandle first = windows.AddWindow("Synth", "A");
  TTargetWindow target;
  target.SetWindowClass("Synth");
  EXPECT_EQ(target.GetHandle(), first);
  windows.CloseWindow(first);
  EXPECT_EQ(target.Find(), 0u);
  const TWindowHandle second = windows.AddWindow("Synth", "B");
  EXPECT_EQ(target.GetHandle(), second);

  TTargetWindow byTitle;
  byTitle.SetMatchMode(kMatchTitleExact);
  byTitle.SetTitle("Gone");
  try {
    byTitle.GetHandle();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Could not find window \"Gone\"");
  }
  TTargetWindow byClass;
  byClass.SetWindowClass("Gone");
  try {
    byClass.GetHandle();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Could not find target window");
  }
}

TEST_F(WindowMessageTest, MessageTextForm) {
  const std::string target = Target(3, "Notepad", "");
  auto action = Load("SMsg|D256|W0|L0|T" + target);
  EXPECT_EQ(action->Message().value, 256);
  EXPECT_EQ(action->SaveToText(), "SMsg|D256|W0|L0|T" + target);
  EXPECT_EQ(action->GetDescription(), "Window Message \"256,0,0\"");

  auto tagged = Load("SMsg|Lpp|W-1|C0005Hello|R0006MyMsg1|T" + target);
  EXPECT_EQ(tagged->LParam(), TNumberOrVariable::Variable(1));
  EXPECT_EQ(tagged->WParam().value, -1);
  EXPECT_EQ(tagged->Comment(), "Hello");
  EXPECT_EQ(tagged->RegisteredMessage(), "MyMsg1");
  EXPECT_EQ(tagged->Message().value, 0xC000);
  EXPECT_EQ(tagged->SaveToText(), "SMsg|R0006MyMsg1|W-1|Lpp|C0005Hello|T" + target);
  EXPECT_EQ(tagged->GetDescription(), "Window Message \"Hello\"");

  // A length prefix or target that cannot be read reports its own error.
  EXPECT_EQ(Error("SMsg|D1|W0|L0|R0099abc"), "Wrong string format");
  EXPECT_EQ(Error("SMsg|D1|W0|L0|TTWnd090000"), "Wrong format for target window");
}

// An incomplete text is not loaded: the action stays as it was, and a translator keeps the
// text as an unknown action, with the usual report and no error of the kind's own.
TEST_F(WindowMessageTest, IncompleteTextsAreNotLoaded) {
  const std::string target = Target(3, "Notepad", "");
  for (const std::string& text :
       {"SMsg|D256|W0|T" + target, std::string("SMsg|D256|W0|L0|X1"), std::string("SMsg|D|W0|L0"),
        std::string("SMsg|W0|L0"), std::string("SMsg")}) {
    auto action = Load("SMsg|D7|W8|L9|T" + target);
    EXPECT_EQ(action->LoadFromText(text), 0u) << text;
    EXPECT_EQ(action->SaveToText(), "SMsg|D7|W8|L9|T" + target) << text;

    std::vector<std::string> errors;
    auto kept = CreateActionFromText(text, false,
                                     [&](const std::string& e) { errors.push_back(e); });
    EXPECT_EQ(kept->GetActionType(), kActionUnknown) << text;
    EXPECT_EQ(kept->SaveToText(), text);
    EXPECT_EQ(errors, std::vector<std::string>{"Outgoing Action corrupt or not supported: SMsg"});
  }
}

TEST_F(WindowMessageTest, CopiesKeepTheMessage) {
  auto source = Load("SMsg|D1234|W5|L6|T" + Target(0, "", "Synth"));
  auto copy = source->Clone();
  auto* message = dynamic_cast<TTransMessageAction*>(copy.get());
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(message->Message().value, 1234);
  EXPECT_EQ(message->TargetWindow().WindowClass(), "Synth");
  auto named = Load("SMsg|R0004Ping|W0|L0|T" + Target(0, "", "Synth"));
  auto namedCopy = named->Clone();
  EXPECT_EQ(namedCopy->SaveToText(), named->SaveToText());
}

TEST_F(WindowMessageTest, PostsWithVariables) {
  windows.AddWindow("Synth", "Main");
  locals[0] = 42;
  auto action = Load("SMsg|D1025|Woo|L-7|T" + Target(0, "", "Synth"));
  EXPECT_TRUE(action->ExecuteOutgoing(context));
  EXPECT_EQ(windows.Lines(), (std::vector<std::string>{"post Synth/Main 1025 42 -7"}));

  windows.failPosts = true;
  EXPECT_FALSE(action->ExecuteOutgoing(context));
  windows.failPosts = false;

  auto missing = Load("SMsg|D1|W0|L0|T" + Target(0, "", "NoSuchClass"));
  EXPECT_FALSE(missing->ExecuteOutgoing(context));
  auto undefined = Load("SMsg|D1|W0|L0|T" + Target(2, "", ""));
  EXPECT_FALSE(undefined->ExecuteOutgoing(context));
  EXPECT_EQ(windows.Lines().size(), 1u);
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

TEST(WindowMessageLogTest, ReportsWhatWasSentAndWhatFailed) {
  TMainThreadCalls::Instance().SetMainThread();
  TWindowRecorder windows;
  TScopedWindowSystem scope(windows);
  const TWindowHandle synth = windows.AddWindow("Synth", "Main");
  TGlobalTranslateParams params;
  TExecutionContext context;
  context.params = &params;
  auto make = [](const std::string& cls) {
    auto action = std::make_unique<TTransMessageAction>(false);
    action->LoadFromText("SMsg|D1025|W1|L2|C0002hi|TTWnd000000" + EncodeLengthPrefixed(cls));
    return action;
  };
  auto found = make("Synth");
  auto missing = make("Nothing");
  auto undefined = make("");
  std::vector<std::string> lines;
  params.SetOnLog([&](const std::string& line) { lines.push_back(line); });
  found->ExecuteOutgoing(context);
  missing->ExecuteOutgoing(context);
  undefined->ExecuteOutgoing(context);
  windows.failPosts = true;
  found->ExecuteOutgoing(context);
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (lines.size() < 5 && std::chrono::steady_clock::now() < giveUp)
    TMainThreadCalls::Instance().Serve(5);
  params.SetOnLog({});
  const std::string handle = std::to_string(synth);
  EXPECT_EQ(
      lines,
      (std::vector<std::string>{
          "Sent Windows message hi: HWND=" + handle + ", message=1025, wParam=1, lParam=2",
          "Error sending Windows message hi: could not get HWND !",
          "Error sending Windows message hi: target window not fully defined",
          "Error sending Windows message hi: HWND=" + handle + ", message=1025, wParam=1, lParam=2",
          "Reported error: Access is denied."}));
}

}  // namespace
}  // namespace kv
