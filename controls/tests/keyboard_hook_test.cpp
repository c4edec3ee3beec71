#include "controls/keyboard_hook.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "controls/vk_edit_logic.h"

namespace kv {
namespace {

TKeyData Key(uint8_t vk, bool up = false, bool repeat = false) {
  TKeyData k;
  k.virtualKey = vk;
  k.repeatCount = 1;
  k.previousState = (up || repeat) ? 1 : 0;
  k.transition = up ? 1 : 0;
  return k;
}

TEST(KeyboardHook, InstalledExactlyWhileSomeoneSubscribes) {
  EXPECT_FALSE(TKeyboardHook::HookInstalled());
  {
    TKeyboardHook a, b;
    a.Subscribe();
    b.Subscribe();
    EXPECT_TRUE(TKeyboardHook::HookInstalled());
    a.Unsubscribe();
    EXPECT_TRUE(TKeyboardHook::HookInstalled());
  }  // b leaves by being destroyed
  EXPECT_FALSE(TKeyboardHook::HookInstalled());
  EXPECT_EQ(TKeyboardHook::SubscriberCount(), 0);
  TKeyboardHook c;
  c.Subscribe();
  EXPECT_TRUE(TKeyboardHook::HookInstalled());
}

TEST(KeyboardHook, EverySubscriberSeesTheKeyAndAnyClaimSwallowsIt) {
  TKeyboardHook a, b;
  int seenA = 0, seenB = 0;
  a.OnKey = [&](TKeyboardHook&, const TKeyData&, bool& claimed) {
    ++seenA;
    claimed = true;
  };
  b.OnKey = [&](TKeyboardHook&, const TKeyData&, bool& claimed) {
    ++seenB;
    EXPECT_FALSE(claimed);  // each call starts unclaimed
  };
  a.Subscribe();
  b.Subscribe();
  EXPECT_TRUE(TKeyboardHook::DispatchKey(Key('A')));
  EXPECT_EQ(seenA, 1);
  EXPECT_EQ(seenB, 1);
  a.Unsubscribe();
  EXPECT_FALSE(TKeyboardHook::DispatchKey(Key('A')));
}

TEST(KeyboardHook, UnsubscribingOrThrowingInsideACallbackBreaksNothing) {
  auto a = std::make_unique<TKeyboardHook>();
  TKeyboardHook b, c;
  std::vector<char> calls;
  a->OnKey = [&](TKeyboardHook& self, const TKeyData&, bool&) {
    calls.push_back('a');
    self.Unsubscribe();
  };
  b.OnKey = [&](TKeyboardHook&, const TKeyData&, bool& claimed) {
    calls.push_back('b');
    claimed = true;
    throw std::runtime_error("subscriber failed");
  };
  c.OnKey = [&](TKeyboardHook&, const TKeyData&, bool&) {
    calls.push_back('c');
    a.reset();  // destroys a subscriber already walked past
  };
  a->Subscribe();
  b.Subscribe();
  c.Subscribe();
  bool claimed = false;
  EXPECT_NO_THROW(claimed = TKeyboardHook::DispatchKey(Key('X')));
  EXPECT_TRUE(claimed);  // claimed before it threw
  EXPECT_EQ(calls, (std::vector<char>{'a', 'b', 'c'}));
  calls.clear();
  TKeyboardHook::DispatchKey(Key('X'));
  EXPECT_EQ(calls, (std::vector<char>{'b', 'c'}));
}

class TestEdit : public TVKEditLogic {
 public:
  std::vector<std::string> shown;

 protected:
  void ShowText(const std::string& t) override { shown.push_back(t); }
};

TEST(VKEdit, RecordsPressesAndReleasesButNotRepeats) {
  TestEdit e;
  bool claimed = false;
  e.HandleKey(Key(17), claimed);
  EXPECT_TRUE(claimed);
  e.HandleKey(Key('C'), claimed);
  e.HandleKey(Key('C', false, true), claimed);  // auto-repeat: claimed, not recorded
  e.HandleKey(Key('C', true), claimed);
  e.HandleKey(Key(17, true), claimed);
  EXPECT_EQ(e.Keys().GetCount(), 4);
  EXPECT_EQ(e.DisplayText(), e.Keys().GetDisplayText());
  EXPECT_FALSE(e.DisplayText().empty());
}

TEST(VKEdit, KeysHeldBeforeTheFocusCameAreNeverRecorded) {
  // Ctrl+N pressed in another field moved the focus here; its releases arrive here.
  TestEdit e;
  bool claimed = false;
  e.HandleKey(Key('N', false, true), claimed);  // its auto-repeat, too
  e.HandleKey(Key('N', true), claimed);
  e.HandleKey(Key(17, true), claimed);
  EXPECT_FALSE(claimed) << "passed on to whoever waits for them";
  EXPECT_EQ(e.Keys().GetCount(), 0);
  e.HandleKey(Key('A'), claimed);
  e.ForgetHeldKeys();  // the focus went away and came back while A was held
  e.HandleKey(Key('A', true), claimed);
  EXPECT_EQ(e.Keys().GetCount(), 1);
  e.HandleKey(Key('B'), claimed);
  e.HandleKey(Key('B', true), claimed);
  e.HandleKey(Key('B', true), claimed);  // a second release of one press is not the edit's
  EXPECT_EQ(e.Keys().GetCount(), 3);
}

TEST(VKEdit, TabBackspaceAndCaretKeysFollowTheirOptions) {
  TestEdit e;
  int debugCalls = 0;
  e.OnDebug = [&](const std::string& t) {
    ++debugCalls;
    EXPECT_EQ(t.rfind("List count=", 0), 0u);
  };
  bool claimed = false;
  e.HandleKey(Key(9), claimed);
  EXPECT_FALSE(claimed);
  EXPECT_EQ(debugCalls, 0);
  e.WantTab = true;
  e.HandleKey(Key(9), claimed);
  EXPECT_TRUE(claimed);
  EXPECT_EQ(e.Keys().GetCount(), 1);
  e.HandleKey(Key('A'), claimed);
  e.HandleKey(Key('A', true), claimed);
  claimed = false;
  e.HandleKey(Key(8), claimed);  // deletes the last key (press and release of A)
  EXPECT_TRUE(claimed);
  e.HandleKey(Key(8, false, true), claimed);  // holding it deletes no more
  EXPECT_EQ(e.Keys().GetCount(), 1);
  e.WantSpecialChars = false;
  claimed = true;
  e.HandleKey(Key(36), claimed);  // Home goes to the edit
  EXPECT_FALSE(claimed);
  EXPECT_EQ(e.Keys().GetCount(), 1);
}

TEST(VKEdit, OnlyOneCharReplacesAndVetoStillSwallows) {
  TestEdit e;
  e.SetOnlyOneChar(true);
  bool claimed = false;
  e.HandleKey(Key('A'), claimed);
  e.HandleKey(Key('A', true), claimed);
  e.HandleKey(Key('B'), claimed);
  ASSERT_EQ(e.Keys().GetCount(), 1);
  e.OnKeyEvent = [](const TKeyData&, bool& add) { add = false; };
  const size_t shownBefore = e.shown.size();
  claimed = false;
  e.HandleKey(Key('C'), claimed);
  EXPECT_TRUE(claimed);
  EXPECT_EQ(e.Keys().GetCount(), 1);
  EXPECT_EQ(e.shown.size(), shownBefore + 1);  // redrawn unchanged
  TestEdit copy;
  copy.AssignKeys(e.Keys());
  EXPECT_EQ(copy.DisplayText(), e.DisplayText());
  copy.Clear();
  EXPECT_EQ(copy.DisplayText(), "");
}

}  // namespace
}  // namespace kv
