#include "midi/model/alias.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/exception.h"
#include "base/ini_file.h"

namespace kv {
namespace {

struct ChangeCounter {
  int calls = 0;
  static void Changed(void* self, TMidiAliasManager&) {
    ++static_cast<ChangeCounter*>(self)->calls;
  }
  TMidiAliasManager::TListener Method() { return {&ChangeCounter::Changed, this}; }
};

TEST(MidiAliasKind, NamesAndValidity) {
  EXPECT_EQ(GetMidiAliasKindName(makNone), "None");
  EXPECT_EQ(GetMidiAliasKindName(makMidiIn), "MIDI IN");
  EXPECT_EQ(GetMidiAliasKindName(makMidiOut), "MIDI OUT");
  EXPECT_EQ(GetMidiAliasKindName(makSerialPort), "Serial Port");
  EXPECT_EQ(GetMidiAliasKindName(4), "");
  EXPECT_TRUE(IsValidAliasName("Keys"));
  EXPECT_FALSE(IsValidAliasName(""));
  EXPECT_FALSE(IsValidAliasName("a\"b"));
  TMidiAlias serial("S", "", makSerialPort, false);
  EXPECT_TRUE(serial.IsInput());
  EXPECT_EQ(serial.GetDeviceIndex(), -1);
}

TEST(MidiAliasManagerTest, DeletingKeepsTheObjectAndDropsItFromTextAndSettings) {
  TMidiAliasManager m;
  m.AddAlias("Piano", "Dev A", makMidiIn, false);
  m.AddAlias("Keys", "Dev B", makMidiIn, false);
  TMidiAliasList list;
  list.Add(m.GetItem(0));
  list.Add(m.GetItem(1));
  EXPECT_EQ(list.GetDisplayText(), "Piano, Keys");

  m.DeleteAlias(0);
  m.DeleteAlias(99);  // ignored
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_FALSE(list.GetItem(0)->IsDefined());
  EXPECT_EQ(list.GetDisplayText(), "Keys");
  EXPECT_EQ(m.GetCount(), 2);

  TMemIniFile ini;
  m.SaveToIni(ini);
  EXPECT_EQ(ini.ReadString(kMidiAliasSection, "Name0", ""), "Keys");
  EXPECT_EQ(ini.ReadString(kMidiAliasSection, "Device0", ""), "1:Dev B");
  EXPECT_FALSE(ini.ValueExists(kMidiAliasSection, "Name1"));
}

TEST(MidiAliasManagerTest, LookupDefineAndSetDevice) {
  TMidiAliasManager m;
  m.AddAlias("Keys", "", makMidiIn, false);
  EXPECT_EQ(m.Lookup("keys", makMidiIn, false), m.GetItem(0));
  EXPECT_EQ(m.Lookup("keys", makMidiOut, false), nullptr);
  TMidiAlias* out = m.Lookup("Keys", makMidiOut, true);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->GetKind(), makMidiOut);
  EXPECT_EQ(m.IndexOfAlias(out), 1);
  EXPECT_EQ(m.IndexOfAlias(nullptr), -1);

  ChangeCounter c;
  m.AddChangeListener(c.Method());
  m.DefineAlias("keys", makMidiIn, "KEYS", "", false);  // case-sensitive compare: a change
  EXPECT_EQ(m.GetItem(0)->GetName(), "KEYS");
  EXPECT_EQ(c.calls, 1);
  m.DefineAlias("keys", makMidiIn, "KEYS", "", false);  // nothing differs
  EXPECT_EQ(c.calls, 1);
  m.DefineAlias("New", makMidiIn, "New", "Dev", true);  // not found: added
  EXPECT_EQ(m.GetCount(), 3);
  EXPECT_TRUE(m.GetItem(2)->IsAutomatic());

  EXPECT_EQ(m.SetAliasDevice("KEYS", "Dev", makMidiIn), 0);
  EXPECT_EQ(c.calls, 3);
  EXPECT_EQ(m.SetAliasDevice("keys", "DEV", makMidiIn), 0);  // same device ignoring case
  EXPECT_EQ(c.calls, 3);

  TMidiAliasList ofDev;
  m.GetAliasesOfDevice("dev", makMidiIn, ofDev);
  ASSERT_EQ(ofDev.GetCount(), 2);
  EXPECT_EQ(ofDev.GetItem(0), m.GetItem(0));
  EXPECT_EQ(ofDev.GetItem(1), m.GetItem(2));
  EXPECT_EQ(m.CountOfKind(makMidiIn), 2);
}

TEST(MidiAliasManagerTest, NotificationsAreDeferredAndListenerEntriesReused) {
  TMidiAliasManager m;
  ChangeCounter a, b;
  m.AddChangeListener(a.Method());
  m.AddChangeListener(b.Method());
  m.BeginUpdate();
  m.AddAlias("X", "", makMidiIn, false);
  m.AddAlias("Y", "", makMidiIn, false);
  EXPECT_EQ(a.calls, 0);
  m.EndUpdate();
  EXPECT_EQ(a.calls, 1);
  EXPECT_EQ(b.calls, 1);

  m.RemoveChangeListener(a.Method());
  m.ClearAliases();
  EXPECT_EQ(a.calls, 1);
  EXPECT_EQ(b.calls, 2);
  m.ClearAliases();  // nothing left to change: no notification
  EXPECT_EQ(b.calls, 2);
}

// Records the order in which listeners of a bare notifier are called.
struct TOrderedSender {
  std::vector<int> calls;
};
struct OrderedListener {
  int id;
  static void Changed(void* self, TOrderedSender& sender) {
    sender.calls.push_back(static_cast<OrderedListener*>(self)->id);
  }
  TChangeMethod<TOrderedSender> Method() { return {&OrderedListener::Changed, this}; }
};

TEST(ChangeNotifierTest, NestedUpdatesReportOnceAndClearedEntriesAreReusedFromTheEnd) {
  TOrderedSender sender;
  TChangeNotifier<TOrderedSender> n(sender);
  OrderedListener a{1}, b{2}, c{3}, d{4}, e{5};
  n.AddListener(a.Method());
  n.AddListener(b.Method());
  n.AddListener(c.Method());
  n.BeginUpdate();
  n.BeginUpdate();
  n.Notify();
  n.Notify();
  n.EndUpdate();
  EXPECT_TRUE(sender.calls.empty());  // the outer update still runs
  n.EndUpdate();
  EXPECT_EQ(sender.calls, (std::vector<int>{1, 2, 3}));
  n.EndUpdate();  // without its BeginUpdate: nothing, and no update is left open
  n.BeginUpdate();
  n.EndUpdate();
  EXPECT_EQ(sender.calls.size(), 3u);

  sender.calls.clear();
  n.RemoveListener(a.Method());
  n.RemoveListener(c.Method());
  n.AddListener(d.Method());  // takes c's entry, the cleared one nearest the end
  n.AddListener(e.Method());  // then a's
  EXPECT_EQ(n.EntryCount(), 3u);
  n.Notify();
  EXPECT_EQ(sender.calls, (std::vector<int>{5, 2, 4}));
}

// A listener that removes itself and adds another while being called.
struct SelfRemover {
  TMidiAliasManager* m;
  ChangeCounter* other;
  int calls = 0;
  static void Changed(void* self, TMidiAliasManager& sender) {
    auto* s = static_cast<SelfRemover*>(self);
    ++s->calls;
    sender.RemoveChangeListener({&SelfRemover::Changed, s});
    sender.AddChangeListener(s->other->Method());
  }
};

TEST(MidiAliasManagerTest, ListenerMayChangeTheListWhileCalled) {
  TMidiAliasManager m;
  ChangeCounter later;
  SelfRemover r{&m, &later};
  m.AddChangeListener({&SelfRemover::Changed, &r});
  m.AddAlias("X", "", makMidiIn, false);
  EXPECT_EQ(r.calls, 1);
  m.AddAlias("Y", "", makMidiIn, false);
  EXPECT_EQ(r.calls, 1);
  EXPECT_EQ(later.calls, 1);
}

TEST(MidiAliasSettings, DeviceValuesAndSkippedNames) {
  TMemIniFile ini;
  ini.SetText(
      "[MIDI.alias]\r\nName0=Out\r\nDevice0=2:USB:Port 1\r\nName1=\r\nName2=A\r\nDevice2=:X\r\n"
      "Name3=B\r\nDevice3=7:X\r\nName4=C\r\nDevice4=A:X\r\nName5=D\r\nName6=In\r\n"
      "Device6=1:\r\nName8=Never\r\nDevice8=1:Y\r\n");
  TMidiAliasManager m;
  ChangeCounter c;
  m.AddChangeListener(c.Method());
  m.LoadFromIni(ini);
  EXPECT_EQ(c.calls, 1);
  ASSERT_EQ(m.GetCount(), 6);
  EXPECT_EQ(m.GetItem(0)->GetKind(), makMidiOut);
  EXPECT_EQ(m.GetItem(0)->GetDeviceName(), "USB:Port 1");
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(m.GetItem(i)->GetKind(), makNone) << i;
    EXPECT_EQ(m.GetItem(i)->GetDeviceName(), "") << i;
  }
  EXPECT_EQ(m.GetItem(5)->GetName(), "In");
  EXPECT_EQ(m.GetItem(5)->GetKind(), makMidiIn);
  EXPECT_EQ(m.IndexOf("Never", makMidiIn), -1);  // the missing Name7 ended the scan

  TMemIniFile out;
  m.SaveToIni(out);
  EXPECT_EQ(out.ReadString(kMidiAliasSection, "Device0", ""), "2:USB:Port 1");
  EXPECT_EQ(out.ReadString(kMidiAliasSection, "Name1", ""), "In");
  EXPECT_EQ(out.ReadString(kMidiAliasSection, "Device1", ""), "1:");
  EXPECT_FALSE(out.ValueExists(kMidiAliasSection, "Name2"));
}

TEST(MidiAliasSettings, SavingRenumbersAndDeletesStaleKeys) {
  TMidiAliasManager m;
  m.AddAlias("A", "d1", makMidiIn, false);
  m.AddAlias("B", "d2", makMidiOut, false);
  m.AddAlias("C", "", makMidiOut, true);
  m.DeleteAlias(1);
  TMemIniFile ini;
  ini.SetText("[MIDI.alias]\r\nName2=old\r\nDevice2=1:x\r\nName3=older\r\nDevice3=1:y\r\n");
  m.SaveToIni(ini);
  EXPECT_EQ(ini.ReadString(kMidiAliasSection, "Name0", ""), "A");
  EXPECT_EQ(ini.ReadString(kMidiAliasSection, "Name1", ""), "C");
  EXPECT_EQ(ini.ReadString(kMidiAliasSection, "Device1", ""), "2:");
  for (const char* key : {"Name2", "Device2", "Name3", "Device3"})
    EXPECT_FALSE(ini.ValueExists(kMidiAliasSection, key)) << key;
}

// A settings import while a project is open: the project's alias objects must stay defined
// (or their ports and routes vanish at the next save), and the settings' bindings apply.
TEST(MidiAliasSettings, ImportRebindsExistingAliasesInPlace) {
  TMidiAliasManager m;
  m.AddAlias("Keys", "Old device", makMidiIn, false);
  m.AddAlias("Synth", "", makMidiOut, false);
  TMidiAlias* keys = m.GetItem(0);
  TMidiAlias* synth = m.GetItem(1);

  TMemIniFile ini;
  ini.SetText("[MIDI.alias]\r\nName0=keys\r\nDevice0=1:New device\r\nName1=Pad\r\nDevice1=1:P\r\n");
  m.LoadFromIni(ini);
  EXPECT_EQ(m.GetCount(), 3);
  EXPECT_TRUE(keys->IsDefined());
  EXPECT_EQ(keys->GetDeviceName(), "New device");
  EXPECT_TRUE(synth->IsDefined());
  EXPECT_EQ(m.GetItem(2)->GetName(), "Pad");
}

TEST(MidaBlock, WritesOnlyTheKindAndReadsBack) {
  TMidiAliasManager& m = MidiAliasManager();
  EXPECT_TRUE(MidiAliasManagerExists());
  TMidiAliasList list;
  list.Add(m.Lookup("MidaPiano", makMidiIn, true));
  list.Add(m.Lookup("MidaOut", makMidiOut, true));
  list.Add(m.Lookup("MidaKeys", makMidiIn, true));
  const std::string text = list.SaveToData(makMidiIn);
  EXPECT_EQ(text, "MIDA00020009MidaPiano0008MidaKeys");

  TMidiAliasList back;
  EXPECT_EQ(back.LoadFromData("xx" + text + "rest", 3, makMidiIn), text.size());
  ASSERT_EQ(back.GetCount(), 2);
  EXPECT_EQ(back.GetItem(0), list.GetItem(0));
  EXPECT_EQ(back.GetItem(1), list.GetItem(2));

  // An unknown name becomes a new unbound alias of that kind.
  EXPECT_EQ(back.LoadFromData("MIDA00010008MidaNew1", 1, makMidiOut), 20u);
  EXPECT_EQ(back.GetItem(0), m.Lookup("MidaNew1", makMidiOut, false));
  EXPECT_EQ(back.GetItem(0)->GetDeviceName(), "");
}

TEST(MidaBlock, EdgesAndMalformedBlocks) {
  TMidiAliasList list;
  EXPECT_EQ(list.LoadFromData("MIDA0000", 1, makMidiIn), 8u);
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.LoadFromData("MIDB0000", 1, makMidiIn), 0u);
  EXPECT_EQ(list.LoadFromData("mida0000", 1, makMidiIn), 0u);
  EXPECT_EQ(list.LoadFromData("MID", 1, makMidiIn), 0u);
  EXPECT_EQ(list.LoadFromData("MIDA0000", 0, makMidiIn), 0u);
  EXPECT_EQ(list.LoadFromData("MIDA0000", 50, makMidiIn), 0u);
  EXPECT_EQ(list.LoadFromData("MIDA00030004Keys", 1, makMidiIn), 16u);
  EXPECT_EQ(list.GetCount(), 1);

  EXPECT_THROW(list.LoadFromData("MIDA00zz", 1, makMidiIn), Exception);
  EXPECT_THROW(list.LoadFromData("MIDA00", 1, makMidiIn), Exception);
  try {
    list.LoadFromData("MIDA00020004Keys0009Pad", 1, makMidiIn);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Wrong string format");
  }
  EXPECT_EQ(list.GetCount(), 1);  // the entry read before the fault stays
  EXPECT_THROW(list.LoadFromData("MIDA000100", 1, makMidiIn), Exception);
}

TEST(MidiAliasListTest, AddUniqueAddAliasesAssignAndMembers) {
  TMidiAlias a("A", "", makMidiIn, false), b("B", "", makMidiIn, false);
  TMidiAliasList l1, l2;
  l1.AddUnique(&a);
  l1.AddUnique(&a);
  l1.AddUnique(nullptr);
  EXPECT_EQ(l1.GetCount(), 1);
  l2.Add(&b);
  l2.Add(&b);
  l1.AddAliases(&l2, false);
  EXPECT_EQ(l1.GetCount(), 2);
  l1.AddAliases(&l2, true);
  EXPECT_EQ(l1.GetCount(), 4);
  l1.AddAliases(nullptr, true);
  EXPECT_EQ(l1.GetCount(), 4);
  EXPECT_TRUE(l1.SameMembers(l1));
  l2.Assign(&l1);
  EXPECT_EQ(l2.GetCount(), 4);
  TMidiAliasList onlyA;
  onlyA.Add(&a);
  EXPECT_FALSE(onlyA.SameMembers(l2));
  l2.Assign(nullptr);
  EXPECT_TRUE(l2.IsEmpty());
  EXPECT_EQ(l1.FindAlias("b", makMidiIn), &b);
  EXPECT_EQ(l1.FindAlias("b", makMidiOut), nullptr);
  b.SetDeviceIndex(3);
  EXPECT_TRUE(l1.HasDeviceIndex(3));
  EXPECT_FALSE(l1.HasDeviceIndex(4));
}

}  // namespace
}  // namespace kv
