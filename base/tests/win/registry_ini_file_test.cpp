#include "base/win/registry_ini_file.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace kv {
namespace {

const char* kKey = "\\Software\\KorvantaTests\\RegistryIniFile";

class RegistryIniFileTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KorvantaTests"); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KorvantaTests"); }
};

TEST_F(RegistryIniFileTest, WritesSectionsAsSubkeysAndReadsThemBack) {
  TRegistryIniFile w(kKey, true);
  EXPECT_FALSE(w.KeyExists());
  w.WriteString("Current", "Name", "  verbatim text  ");
  w.WriteInteger("Current", "Width", -5);
  w.WriteBool("Current", "Thru", true);
  w.WriteString("MIDI.alias", "Name0", "Keyboard");
  EXPECT_TRUE(w.KeyExists());

  TRegistryIniFile r(kKey, false);
  EXPECT_EQ(r.ReadString("current", "name", ""), "  verbatim text  ");
  EXPECT_EQ(r.ReadInteger("Current", "Width", 0), -5);
  EXPECT_TRUE(r.ReadBool("Current", "Thru", false));
  EXPECT_EQ(r.ReadString("Current", "Width", ""), "-5");
  EXPECT_EQ(r.ReadString("Current", "Missing", "dflt"), "dflt");
  EXPECT_TRUE(r.SectionExists("MIDI.alias"));
  EXPECT_FALSE(r.SectionExists("MIDI.in"));
  EXPECT_TRUE(r.ValueExists("MIDI.alias", "NAME0"));

  auto sections = r.ReadSections();
  std::sort(sections.begin(), sections.end());
  EXPECT_EQ(sections, (std::vector<std::string>{"Current", "MIDI.alias"}));
  auto keys = r.ReadSection("Current");
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (std::vector<std::string>{"Name", "Thru", "Width"}));

  // The integer written as text still reads as an integer.
  w.WriteString("Current", "Text", "42");
  EXPECT_EQ(r.ReadInteger("Current", "Text", 0), 42);
}

TEST_F(RegistryIniFileTest, EraseAndDelete) {
  TRegistryIniFile w(kKey, true);
  w.WriteString("A", "x", "1");
  w.WriteString("A", "y", "2");
  w.WriteString("B", "z", "3");
  w.DeleteKey("A", "x");
  EXPECT_FALSE(w.ValueExists("A", "x"));
  EXPECT_TRUE(w.ValueExists("A", "y"));
  w.EraseSection("B");
  EXPECT_FALSE(w.SectionExists("B"));
  w.EraseSection("NotThere");  // no error
  w.DeleteKey("NotThere", "x");
}

TEST_F(RegistryIniFileTest, AReadOnlyStoreRefusesWritesAndCreatesNothing) {
  TRegistryIniFile r(kKey, false);
  EXPECT_EQ(r.ReadString("Current", "x", "d"), "d");
  EXPECT_TRUE(r.ReadSections().empty());
  EXPECT_THROW(r.WriteString("Current", "x", "1"), EFileError);
  EXPECT_FALSE(r.KeyExists());
}

}  // namespace
}  // namespace kv
