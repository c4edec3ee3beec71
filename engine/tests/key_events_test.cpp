#include "engine/keys/key_events.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "engine/system/key_system.h"

namespace kv {
namespace {

// Every case names keys through the recorder, so names do not depend on a keyboard layout.
class KeyEventsTest : public ::testing::Test {
 protected:
  TKeyRecorder keys;
  TScopedKeySystem scope{keys};

  static TKeyEvent Down(uint16_t vk) { return TKeyEvent(vk, false, false, false, 0); }
  static TKeyEvent Up(uint16_t vk) { return TKeyEvent(vk, false, true, false, 0); }

  std::string Message(const std::function<void()>& fn) {
    try {
      fn();
    } catch (const Exception& e) {
      return e.Message();
    }
    return "(no error)";
  }
};

TEST_F(KeyEventsTest, DecodeSplitsTheFlagsWord) {
  TKeyData record;
  record.virtualKey = 'A';
  DecodeKeyMessage(record, 0xC01E0001u);  // A released: bits 30 and 31
  EXPECT_EQ(record.repeatCount, 1);
  EXPECT_EQ(record.scanCode, 30);
  EXPECT_EQ(record.extended, 0);
  EXPECT_EQ(record.previousState, 1);
  EXPECT_EQ(record.transition, 1);
  EXPECT_TRUE(record.IsKeyUp());
  EXPECT_EQ(record.CharacterText(), "A");

  TKeyData fromScan;                        // no virtual key given: mapped from the scan code
  DecodeKeyMessage(fromScan, 0x21480001u);  // Up arrow, extended, Alt held
  EXPECT_EQ(fromScan.virtualKey, 38);
  EXPECT_EQ(fromScan.extended, 1);
  EXPECT_EQ(fromScan.context, 1);
  EXPECT_TRUE(fromScan.IsFirstKeyDown());
  EXPECT_EQ(fromScan.charLength, 0);

  uint32_t words[4];
  KeyDataToWords(record, words);
  const TKeyData back = KeyDataFromWords(words);
  EXPECT_EQ(back.virtualKey, 'A');
  EXPECT_EQ(back.scanCode, 30);
  EXPECT_TRUE(back.IsKeyUp());
}

TEST_F(KeyEventsTest, EventsAreNamedFromTheKeyTable) {
  EXPECT_EQ(Down('A').Name(), "A");
  EXPECT_EQ(Down('A').ScanCode(), 30);
  EXPECT_EQ(Down(16).Name(), "Shift");
  EXPECT_EQ(Down(96).Name(), "Num 0");
  EXPECT_EQ(Down(220).Name(), "\\\\");
  // Right Ctrl shares its scan code with Ctrl and differs only by the extended flag.
  EXPECT_EQ(TKeyEvent(163, false, false, true, 0).Name(), "Right Ctrl");
  // Row 256 is the numeric pad's Enter.
  const TKeyEvent numEnter(256, false, false, false, 0);
  EXPECT_EQ(numEnter.Name(), "Num Enter");
  EXPECT_EQ(numEnter.VirtualKey(), 13);
  EXPECT_TRUE(numEnter.Extended());
  EXPECT_TRUE(numEnter.ScanMode());
}

TEST_F(KeyEventsTest, KeysWithoutANameShowTheirNumber) {
  EXPECT_EQ(TKeyEvent(7, false, false, true, 0).Name(), "[VK 7 X]");
  EXPECT_EQ(TKeyEvent(7, false, false, false, 0).Name(), "[VK 7]");
  EXPECT_EQ(TKeyEvent(255, true, false, false, 120).Name(), "[scan 120]");
  // A virtual key beyond the table's last row is named without reading past it.
  EXPECT_EQ(TKeyEvent(300, false, false, false, 0).Name(), "[scan 0]");
  EXPECT_EQ(TKeyEvent(0xFFFF, false, false, true, 0).Name(), "[scan 0 X]");
  // An unknown scan code (0) does not borrow the name of another key whose row holds 0.
  EXPECT_EQ(TKeyEvent(12, false, false, false, 0).Name(), "Clear");
  EXPECT_EQ(TKeyEvent(21, false, false, false, 0).Name(), "Kana");
  EXPECT_EQ(TKeyEvent(167, false, false, true, 0).Name(), "Browser Forward");
  EXPECT_EQ(KeyTableRow(257), nullptr);
  EXPECT_EQ(KeyTableRow(-1), nullptr);
}

TEST_F(KeyEventsTest, KeyCodesRoundTrip) {
  std::string text = "241";
  const TKeyEvent up = TKeyEvent::CreateFromText(text);
  EXPECT_TRUE(text.empty());
  EXPECT_EQ(up.VirtualKey(), 0x41);
  EXPECT_TRUE(up.KeyUp());
  EXPECT_EQ(up.KeyCodeText(), "241");

  text = "51cXYZ";  // scan mode, extended, either case
  const TKeyEvent scan = TKeyEvent::CreateFromText(text);
  EXPECT_EQ(text, "XYZ");
  EXPECT_TRUE(scan.ScanMode());
  EXPECT_EQ(scan.VirtualKey(), 255);
  EXPECT_EQ(scan.ScanCode(), 0x1C);
  EXPECT_TRUE(scan.Extended());
  EXPECT_EQ(scan.KeyCodeText(), "51C");

  text = "0G1";
  EXPECT_EQ(Message([&] { TKeyEvent::CreateFromText(text); }), "Key wrong format");
  text = "04";
  EXPECT_EQ(Message([&] { TKeyEvent::CreateFromText(text); }), "Key wrong format");
}

TEST_F(KeyEventsTest, SameKeyComparesVirtualKeyOrScanCodeAndExtended) {
  EXPECT_TRUE(TKeyEvent::SameKey(Down('A'), Up('A')));
  EXPECT_FALSE(TKeyEvent::SameKey(Down('A'), Down('B')));
  EXPECT_FALSE(TKeyEvent::SameKey(Down(17), TKeyEvent(17, false, false, true, 0)));
  const TKeyEvent scan(255, true, false, false, 30);
  TKeyData record;
  record.virtualKey = 200;
  record.scanCode = 30;
  EXPECT_TRUE(TKeyEvent::SameKey(scan, record));
  record.extended = 1;
  EXPECT_FALSE(TKeyEvent::SameKey(scan, record));
}

TEST_F(KeyEventsTest, SequenceTextForms) {
  TKeySequence seq;
  EXPECT_EQ(seq.LoadFromText("KSQ10000"), 8u);
  EXPECT_EQ(seq.GetCount(), 0);
  EXPECT_EQ(seq.LoadFromText("KSQ10002041241tail"), 14u);
  ASSERT_EQ(seq.GetCount(), 2);
  EXPECT_EQ(seq.SaveToText(), "KSQ10002041241");

  TKeySequence legacy;
  EXPECT_EQ(legacy.LoadFromText("Key 041241"), 10u);
  ASSERT_EQ(legacy.GetCount(), 2);
  EXPECT_FALSE(legacy.Keys()[0].KeyUp());
  EXPECT_TRUE(legacy.Keys()[1].KeyUp());
  EXPECT_EQ(legacy.Keys()[1].VirtualKey(), 'A');

  const char* notASequence = "The String is not a Key Sequence!";
  EXPECT_EQ(Message([&] { seq.LoadFromText("KSQ10003041241"); }), notASequence);
  EXPECT_EQ(Message([&] { seq.LoadFromText("KSQ1000"); }), notASequence);
  EXPECT_EQ(Message([&] { seq.LoadFromText("KSQ2000004124"); }), notASequence);
  EXPECT_EQ(Message([&] { seq.LoadFromText("KSQ1zz01041"); }), notASequence);
  // A bad code leaves the list as it was.
  EXPECT_EQ(Message([&] { seq.LoadFromText("KSQ10002041x41"); }), "Key wrong format");
  EXPECT_EQ(seq.SaveToText(), "KSQ10002041241");
}

TEST_F(KeyEventsTest, DisplayTextNestsHeldKeys) {
  TKeySequence seq;
  seq.AddKey(Down(16));
  seq.AddKey(Down('A'));
  seq.AddKey(Up('A'));
  seq.AddKey(Up(16));
  EXPECT_EQ(seq.GetDisplayText(), "Shift(A )");

  TKeySequence taps;
  taps.AddKey(Down('A'));
  taps.AddKey(Up('A'));
  taps.AddKey(Down('B'));
  taps.AddKey(Up('B'));
  EXPECT_EQ(taps.GetDisplayText(), "A B ");

  TKeySequence open;
  open.AddKey(Down(17));
  open.AddKey(Down(16));
  open.AddKey(Down('C'));
  EXPECT_EQ(open.GetDisplayText(), "Ctrl(Shift(C))");
}

TEST_F(KeyEventsTest, RecordingSkipsAutoRepeatAndNotifies) {
  TKeySequence seq;
  int changes = 0;
  seq.OnChange = [&](TKeySequence&) { ++changes; };
  TKeyData record;
  record.virtualKey = 'A';
  DecodeKeyMessage(record, 0x001E0001u);
  seq.RecordKey(record);
  DecodeKeyMessage(record, 0x401E0001u);  // auto-repeat
  seq.RecordKey(record);
  DecodeKeyMessage(record, 0xC01E0001u);
  seq.RecordKey(record);
  EXPECT_EQ(seq.GetCount(), 2);
  EXPECT_EQ(changes, 2);
}

TEST_F(KeyEventsTest, SingleKeyModeKeepsOneKeyDown) {
  TKeySequence seq;
  seq.AddKey(Down('A'));
  seq.AddKey(Up('A'));
  seq.AddKey(Down('B'));
  seq.SetSingleKey(true);
  ASSERT_EQ(seq.GetCount(), 1);
  EXPECT_EQ(seq.Keys()[0].VirtualKey(), 'A');
  seq.AddKey(Up('A'));
  EXPECT_EQ(seq.GetCount(), 1);
  seq.AddKey(Down('C'));
  ASSERT_EQ(seq.GetCount(), 1);
  EXPECT_EQ(seq.Keys()[0].VirtualKey(), 'C');

  TKeySequence upFirst;
  upFirst.AddKey(Up('D'));
  upFirst.SetSingleKey(true);
  EXPECT_FALSE(upFirst.Keys()[0].KeyUp());

  auto copy = seq.Clone();
  EXPECT_TRUE(copy->SingleKey());
  EXPECT_EQ(copy->SaveToText(), seq.SaveToText());
}

TEST_F(KeyEventsTest, DeleteLastKeyRemovesAPressWithItsRelease) {
  TKeySequence seq;
  seq.AddKey(Down(17));
  seq.AddKey(Down('C'));
  seq.AddKey(Up('C'));
  seq.AddKey(Up(17));
  seq.DeleteLastKey();
  ASSERT_EQ(seq.GetCount(), 2);
  EXPECT_EQ(seq.Keys()[0].VirtualKey(), 17);
  EXPECT_EQ(seq.Keys()[1].VirtualKey(), 17);
  EXPECT_TRUE(seq.Keys()[1].KeyUp());

  TKeySequence ups;
  ups.AddKey(Up('A'));
  int changes = 0;
  ups.OnChange = [&](TKeySequence&) { ++changes; };
  ups.DeleteLastKey();
  EXPECT_EQ(ups.GetCount(), 1);
  EXPECT_EQ(changes, 0);
}

TEST_F(KeyEventsTest, PlayingNeverLeavesAKeyHeld) {
  TKeySequence seq;
  seq.AddKey(Down(16));
  seq.AddKey(Down('A'));
  EXPECT_TRUE(seq.Play());
  EXPECT_EQ(keys.Lines(),
            (std::vector<std::string>{"key down 16", "key down 65", "key up 65", "key up 16"}));

  keys.ClearRecord();
  TKeySequence twice;  // A pressed twice, released once: the later press is released
  twice.AddKey(Down('A'));
  twice.AddKey(Down('A'));
  twice.AddKey(Up('A'));
  twice.AddKey(TKeyEvent(35, false, false, true, 0));  // End, extended
  twice.Play();
  const auto events = keys.Events();
  ASSERT_EQ(events.size(), 6u);
  EXPECT_EQ(events[4].virtualKey, 35);
  EXPECT_EQ(events[4].flags, kKeyFlagExtended | kKeyFlagUp);
  EXPECT_EQ(events[5].virtualKey, 'A');
  EXPECT_EQ(events[5].flags, kKeyFlagUp);
}

TEST_F(KeyEventsTest, FirstKeyPressAndRelease) {
  TKeySequence empty;
  EXPECT_FALSE(empty.PressFirstKey());
  TKeySequence seq;
  seq.AddKey(Up(255 - 1));
  EXPECT_TRUE(seq.PressFirstKey());
  EXPECT_TRUE(seq.ReleaseFirstKey());
  EXPECT_EQ(keys.Lines(), (std::vector<std::string>{"key down 254", "key up 254"}));
}

}  // namespace
}  // namespace kv
