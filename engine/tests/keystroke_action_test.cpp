#include "engine/actions/keystroke_action.h"

#include <gtest/gtest.h>

#include <map>

#include "base/exception.h"
#include "engine/system/key_system.h"
#include "engine/trans_timer_manager.h"

namespace kv {
namespace {

// Keeps started timers so that a test fires them by hand.
class FakeTimers : public TTransTimerManager {
 public:
  struct Started {
    uint32_t delay;
    TOwnCallback callback;
    int32_t count;
    int32_t period;
  };
  int PurgeAndCountActive() override { return static_cast<int>(running.size()); }
  void KillAll() override { running.clear(); }
  void Pause() override {}
  void Resume() override {}
  void StartNamedTimer(std::string_view name, uint32_t delayMs, TOwnCallback callback,
                       int32_t count, int32_t periodMs) override {
    running[std::string(name)] = {delayMs, std::move(callback), count, periodMs};
  }
  bool KillTimer(std::string_view name) override {
    ++kills;
    return running.erase(std::string(name)) > 0;
  }
  int32_t GetNameId(std::string_view, bool) override { return 0; }
  void Fire(const std::string& name) { running.at(name).callback(name); }

  std::map<std::string, Started> running;
  int kills = 0;
};

class KeystrokeActionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetKeyRepeatTimerManager(&timers);
    SetApplicationActive(false);
    SetSuppressKeysWhenActive(true);
    SetSuppressKeyInWhenActive(false);
  }
  void TearDown() override {
    SetKeyRepeatTimerManager(nullptr);
    SetApplicationActive(false);
  }

  std::unique_ptr<TTransKeyAction> Load(std::string_view text, bool incoming = false) {
    auto action = std::make_unique<TTransKeyAction>(incoming);
    action->LoadFromText(text);
    return action;
  }
  static std::string Error(std::string_view text) {
    TTransKeyAction action(false);
    try {
      action.LoadFromText(text);
    } catch (const Exception& e) {
      return e.Message();
    }
    return "(no error)";
  }
  static TIncomingEvent KeyEvent(uint8_t vk, uint32_t flags) {
    TKeyData record;
    record.virtualKey = vk;
    DecodeKeyMessage(record, flags);
    TIncomingEvent event;
    event.kind = kActionKeystroke;
    event.context = kContextMainThread;
    KeyDataToWords(record, event.keyData);
    return event;
  }

  TKeyRecorder keys;
  TScopedKeySystem scope{keys};
  FakeTimers timers;
  TExecutionContext context;
};

constexpr uint32_t kFirstDown = 0x001E0001u;
constexpr uint32_t kRepeatDown = 0x401E0001u;
constexpr uint32_t kRelease = 0xC01E0001u;

TEST_F(KeystrokeActionTest, TextFormsRoundTrip) {
  auto stroke = Load("KSQ10002041241");
  EXPECT_EQ(stroke->Mode(), kKeyStroke);
  EXPECT_EQ(stroke->SaveToText(), "KAM10000KSQ10002041241");
  EXPECT_EQ(stroke->GetDescription(), "Keystroke: A ");

  auto legacy = Load("Key 041241");
  EXPECT_EQ(legacy->SaveToText(), "KAM10000KSQ10002041241");

  auto down = Load("KAM11100KSQ10001041");
  EXPECT_EQ(down->Mode(), kKeyDown);
  EXPECT_TRUE(down->Repeat());
  EXPECT_EQ(down->RepeatDelay(), GetSystemKeyRepeatDelay());
  EXPECT_EQ(down->RepeatRate(), GetSystemKeyRepeatRate());
  EXPECT_TRUE(down->Keys()->SingleKey());
  EXPECT_EQ(down->GetDescription(), "Key down: A [repeat active]");
  EXPECT_EQ(down->SaveToText(), "KAM11100KSQ10001041");

  TTransKeyAction custom(false);
  custom.LoadFromText("KAM11100KSQ10001041");
  custom.SetRepeatDelay(400);
  custom.SetRepeatRate(20);
  EXPECT_EQ(custom.SaveToText(), "KAM211140190KSQ10001041");
  EXPECT_EQ(custom.GetDescription(), "Key down: A [repeat delay 400ms, speed 20 c/s]");
  auto back = Load(custom.SaveToText());
  EXPECT_EQ(back->RepeatDelay(), 400);
  EXPECT_EQ(back->RepeatRate(), 20);
  EXPECT_EQ(back->LoadFromText("KAM211140190KSQ10001041more"), 23u);

  EXPECT_EQ(Load("KAM12000KSQ10001041")->GetDescription(), "Key up: A");
  EXPECT_EQ(Load("KAM11000KSQ10001041")->GetDescription(), "Key down: A");
  EXPECT_EQ(KeyActionToTextNoRepeat(kKeyDown, custom.Keys()), "KAM11000KSQ10001041");
  // The text without an action: only a repeating key-down says its own delay and rate.
  EXPECT_EQ(KeyActionToText(kKeyDown, true, 400, 20, custom.Keys()), "KAM211140190KSQ10001041");
  EXPECT_EQ(KeyActionToText(kKeyUp, true, 400, 20, custom.Keys()), "KAM12100KSQ10001041");
  EXPECT_EQ(KeyActionToText(kKeyDown, true, 70000, 0, custom.Keys()),
            "KAM21101EA60KSQ10001041");
  EXPECT_EQ(KeyActionToText(kKeyDown, false, 400, 20, nullptr), "");

  TTransKeyAction empty(false);
  EXPECT_EQ(empty.SaveToText(), "");
  EXPECT_EQ(empty.GetDescription(), "");
}

TEST_F(KeystrokeActionTest, CorruptTextsAreRejected) {
  EXPECT_EQ(Error("KAM13000KSQ10001041"), "Undefined type of Key Action");
  EXPECT_EQ(Error("KAM1X000KSQ10001041"), "Undefined type of Key Action");
  EXPECT_EQ(Error("KAM211000190KSQ10001041"), "Illegal key repeat values");
  EXPECT_EQ(Error("KAM2111Z0190KSQ10001041"), "Illegal key repeat values");
  EXPECT_EQ(Error("KAM1100"), "The String is not a Key Sequence!");
  EXPECT_EQ(Error("Junk"), "The String is not a Key Sequence!");
}

TEST_F(KeystrokeActionTest, AssignAndCloneCopyEverything) {
  auto source = Load("KAM211140190KSQ10001041");
  auto copy = source->Clone();
  EXPECT_EQ(copy->SaveToText(), source->SaveToText());
  TTransKeyAction target(false);
  target.LoadFromText("KAM11000KSQ10001041");
  auto sequence = Load("KSQ10004010042242210");
  target.Assign(*sequence);  // a key-down action becomes the whole sequence
  EXPECT_EQ(target.Mode(), kKeyStroke);
  EXPECT_EQ(target.SaveToText(), "KAM10000KSQ10004010042242210");
  TTransKeyAction noKeys(false);
  target.Assign(noKeys);
  EXPECT_EQ(target.Keys(), nullptr);
}

TEST_F(KeystrokeActionTest, TriggersMatchByMode) {
  auto stroke = Load("KSQ10001041", true);
  auto down = Load("KAM11000KSQ10001041", true);
  auto up = Load("KAM12000KSQ10001041", true);
  TIncomingEvent first = KeyEvent('A', kFirstDown);
  TIncomingEvent repeat = KeyEvent('A', kRepeatDown);
  TIncomingEvent release = KeyEvent('A', kRelease);
  TIncomingEvent other = KeyEvent('B', kFirstDown);

  EXPECT_TRUE(stroke->MatchIncoming(first));
  EXPECT_TRUE(stroke->MatchIncoming(repeat));
  EXPECT_FALSE(stroke->MatchIncoming(release));
  EXPECT_FALSE(stroke->MatchIncoming(other));
  EXPECT_TRUE(down->MatchIncoming(first));
  EXPECT_FALSE(down->MatchIncoming(repeat));
  EXPECT_FALSE(down->MatchIncoming(release));
  EXPECT_FALSE(up->MatchIncoming(first));
  EXPECT_TRUE(up->MatchIncoming(release));

  SetApplicationActive(true);
  EXPECT_TRUE(stroke->MatchIncoming(first));  // ignored only when the option says so
  SetSuppressKeyInWhenActive(true);
  EXPECT_FALSE(stroke->MatchIncoming(first));
}

TEST_F(KeystrokeActionTest, OutgoingKeysAreSuppressedWhileTheProgramIsActive) {
  auto stroke = Load("KSQ10001041");
  SetApplicationActive(true);
  EXPECT_FALSE(stroke->ExecuteOutgoing(context));
  EXPECT_EQ(keys.Count(), 0u);
  SetSuppressKeysWhenActive(false);
  EXPECT_TRUE(stroke->ExecuteOutgoing(context));
  EXPECT_EQ(keys.Lines(), (std::vector<std::string>{"key down 65", "key up 65"}));
}

TEST_F(KeystrokeActionTest, KeyDownRepeatsUntilKeyUp) {
  TTransKeyAction down(false);
  down.LoadFromText("KAM211140190KSQ10001041");
  auto up = Load("KAM12000KSQ10001041");
  EXPECT_TRUE(down.ExecuteOutgoing(context));
  const std::string name = down.GetRepeatTimerName();
  EXPECT_EQ(name, " InternalTimer410");
  ASSERT_EQ(timers.running.count(name), 1u);
  EXPECT_EQ(timers.running[name].delay, 400u);
  EXPECT_EQ(timers.running[name].period, 50);
  EXPECT_EQ(timers.running[name].count, 0);
  timers.Fire(name);
  timers.Fire(name);
  EXPECT_EQ(keys.Lines(), (std::vector<std::string>{"key down 65", "key down 65", "key down 65"}));
  EXPECT_TRUE(up->ExecuteOutgoing(context));
  EXPECT_EQ(timers.running.count(name), 0u);
  EXPECT_EQ(keys.Lines().back(), "key up 65");
}

TEST_F(KeystrokeActionTest, KeyUpStopsTheRepeatEvenWhileSuppressed) {
  TTransKeyAction down(false);
  down.LoadFromText("KAM11100KSQ10001041");
  ASSERT_TRUE(down.ExecuteOutgoing(context));
  const std::string name = down.GetRepeatTimerName();
  SetApplicationActive(true);
  // A repeat while we are active does not type into our own window...
  timers.Fire(name);
  EXPECT_EQ(keys.Count(), 1u);
  // ...and the key-up, though it sends nothing, ends the repeat.
  auto up = Load("KAM12000KSQ10001041");
  EXPECT_FALSE(up->ExecuteOutgoing(context));
  EXPECT_EQ(timers.running.count(name), 0u);
}

TEST_F(KeystrokeActionTest, RepeatPeriodNeverReachesZero) {
  TTransKeyAction down(false);
  down.LoadFromText("KAM11100KSQ10001041");
  down.SetRepeatRate(5000);
  EXPECT_EQ(down.RepeatPeriodMs(), 1);
  down.SetRepeatRate(0);
  EXPECT_EQ(down.RepeatPeriodMs(), 1000);
  down.SetRepeatRate(3);
  EXPECT_EQ(down.RepeatPeriodMs(), 333);
  // The stored form clamps what it cannot hold.
  down.SetRepeatRate(5000);
  down.SetRepeatDelay(70000);
  EXPECT_EQ(down.SaveToText(), "KAM211FFEA60KSQ10001041");
}

TEST_F(KeystrokeActionTest, FreeingARepeatingActionStopsItsTimer) {
  auto down = Load("KAM11100KSQ1000151C");  // scan-mode key, extended
  ASSERT_TRUE(down->ExecuteOutgoing(context));
  const std::string name = down->GetRepeatTimerName();
  EXPECT_EQ(name, " InternalTimerFF1");
  down.reset();
  EXPECT_EQ(timers.running.count(name), 0u);

  const int killsBefore = timers.kills;
  Load("KAM11100KSQ10001041").reset();  // never ran: nothing to stop
  EXPECT_EQ(timers.kills, killsBefore);
}

}  // namespace
}  // namespace kv
