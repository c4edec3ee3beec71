#include "base/ini_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/platform.h"

namespace kv {
namespace {

std::string TempPath(const std::string& name) {
  const auto dir = std::filesystem::temp_directory_path() / "kv_ini_test";
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

TEST(MemIniFile, ValuesAreVerbatimAndNamesCaseInsensitive) {
  TMemIniFile ini;
  ini.SetText(
      "[Project]\r\nName=  two blanks before and after  \r\nEmpty=\r\n"
      "Eq=a=b=c\r\n[preset.1]\nkey = v\n");
  EXPECT_EQ(ini.ReadString("project", "NAME", "x"), "  two blanks before and after  ");
  EXPECT_EQ(ini.ReadString("Project", "Empty", "x"), "");
  EXPECT_EQ(ini.ReadString("Project", "Eq", ""), "a=b=c");
  EXPECT_EQ(ini.ReadString("PRESET.1", "key", ""), " v");
  EXPECT_EQ(ini.ReadString("Project", "Missing", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("Nope", "Name", "dflt"), "dflt");
}

TEST(MemIniFile, TypedValues) {
  TMemIniFile ini;
  ini.WriteInteger("S", "I", -2147483647 - 1);
  ini.WriteBool("S", "B", true);
  ini.WriteString("S", "Hex", "$1F");
  ini.WriteString("S", "Bad", "12x");
  EXPECT_EQ(ini.ReadInteger("S", "I", 0), -2147483647 - 1);
  EXPECT_TRUE(ini.ReadBool("S", "B", false));
  EXPECT_EQ(ini.ReadString("S", "B", ""), "1");
  EXPECT_EQ(ini.ReadInteger("S", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("S", "Bad", 7), 7);
  EXPECT_FALSE(ini.ReadBool("S", "Missing", false));
  ini.WriteString("S", "Zero", "0");
  EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
}

TEST(MemIniFile, ListTestEraseDelete) {
  TMemIniFile ini;
  ini.SetText("[A]\nx=1\ny=2\n[B]\nz=3\n");
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(ini.ReadSection("a"), (std::vector<std::string>{"x", "y"}));
  EXPECT_TRUE(ini.SectionExists("b"));
  EXPECT_TRUE(ini.ValueExists("A", "Y"));
  ini.DeleteKey("A", "X");
  EXPECT_FALSE(ini.ValueExists("A", "x"));
  ini.EraseSection("B");
  EXPECT_FALSE(ini.SectionExists("B"));
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"A"}));
}

TEST(MemIniFile, WriteBackKeepsWhatItDoesNotKnow) {
  TMemIniFile ini;
  ini.SetText(
      "; a comment\r\n[Unknown]\r\nfoo=bar\r\n\r\n[Current]\r\nWidth=10\r\n\r\n[Last]\r\nq=1\r\n");
  ini.WriteInteger("Current", "Height", 20);
  ini.WriteInteger("Current", "Width", 11);
  EXPECT_EQ(ini.GetText(),
            "; a comment\r\n[Unknown]\r\nfoo=bar\r\n\r\n[Current]\r\nWidth=11\r\nHeight=20\r\n\r\n"
            "[Last]\r\nq=1\r\n");
}

// A file with a bit of everything: comments, blank lines, keys before any section, duplicate
// keys and sections, lines without a key, odd bytes in names, no line break at the end.
std::string VariedFile() {
  return "; leading comment\r\n"
         "stray=before any section\r\n"
         "\r\n"
         "[Current]\r\n"
         "Width=10\r\n"
         "  Height = 20  \r\n"
         "width=duplicate\r\n"
         "Empty=\r\n"
         "; inside comment\r\n"
         "no equals sign here\r\n"
         "\r\n"
         "\r\n"
         "[ Unknown.Section ]\r\n"
         "Foo=bar\n"
         "=no key\n"
         "[current]\r\n"
         "Width=second section of the same name\r\n"
         "[MIDI.alias]\r\n"
         "Stra\xdf"
         "e=odd byte key\r\n"
         "Port \xe9"
         "=x\r\n"
         "\r\n"
         "[Twice]\r\n"
         "one=1\r\n"
         "[Gone]\r\n"
         "a=1\r\n"
         "[TWICE]\r\n"
         "two=2\r\n"
         "[Last]\r\n"
         "tail=no line break at the end";
}

// VariedFile() as the edits of EditsWriteBackTheSameBytes leave it.
std::string VariedFileEdited() {
  return "; leading comment\r\n"
         "stray=before any section\r\n"
         "\r\n"
         "[Current]\r\n"
         "Height=21\r\n"
         "width=after delete\r\n"
         "Empty=\r\n"
         "; inside comment\r\n"
         "no equals sign here\r\n"
         "New=\r\n"
         "\r\n"
         "\r\n"
         "[ Unknown.Section ]\r\n"
         "Foo=bar\r\n"
         "=no key\r\n"
         "[current]\r\n"
         "Width=second section of the same name\r\n"
         "[MIDI.alias]\r\n"
         "Stra\xdf"
         "e=changed\r\n"
         "Port \xe9"
         "=x\r\n"
         "Plain=added\r\n"
         "\r\n"
         "[Last]\r\n"
         "tail=no line break at the end\r\n"
         "[Gone]\r\n"
         "a=re-added\r\n"
         "[unknown.section]\r\n"
         "Foo=baz\r\n"
         "[Brand New]\r\n"
         "k=v\r\n"
         "[Twice]\r\n"
         "back=1\r\n";
}

// Every edit of a varied file, and what it is written back as, byte for byte: comments and
// blank lines stay where they were, the first of duplicate keys and sections is the one read
// and written, a deleted key uncovers its duplicate, names keep the case they were first
// written with.
TEST(MemIniFile, EditsWriteBackTheSameBytes) {
  TMemIniFile ini;
  ini.SetText(VariedFile());
  EXPECT_EQ(ini.ReadString("current", "WIDTH", ""), "10");
  EXPECT_EQ(ini.ReadString("Current", "height", ""), " 20  ");
  EXPECT_EQ(ini.ReadSection("Current"),
            (std::vector<std::string>{"Width", "Height", "width", "Empty"}));
  EXPECT_TRUE(ini.ValueExists("Current", "EMPTY"));
  EXPECT_FALSE(ini.ValueExists("Current", "no equals sign here"));
  EXPECT_FALSE(ini.SectionExists("Unknown.Section"));  // the blanks inside the brackets count
  EXPECT_EQ(ini.ReadString(" unknown.section ", "", "x"), "no key");
  EXPECT_EQ(ini.ReadString("twice", "two", "absent"), "absent");
  EXPECT_EQ(ini.ReadString("midi.ALIAS",
                           "Stra\xdf"
                           "e",
                           ""),
            "odd byte key");
  EXPECT_EQ(ini.ReadString("MIDI.alias", "port \xe9", ""), "x");
  using Values = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(ini.ReadSectionValues("CURRENT"),
            (Values{{"Width", "10"}, {"Height", " 20  "}, {"width", "duplicate"}, {"Empty", ""}}));
  EXPECT_TRUE(ini.ReadSectionValues("Nope").empty());

  ini.WriteString("CURRENT", "WIDTH", "11");
  ini.WriteString("Current", "New", "");
  ini.WriteString("current", "height", "21");
  ini.DeleteKey("Current", "Width");
  EXPECT_EQ(ini.ReadString("Current", "Width", ""), "duplicate");
  ini.WriteString("Current", "Width", "after delete");
  ini.WriteString("MIDI.ALIAS",
                  "Stra\xdf"
                  "e",
                  "changed");
  ini.WriteString("midi.alias", "Plain", "added");
  EXPECT_EQ(ini.ReadString("MIDI.alias", "PLAIN", ""), "added");
  ini.EraseSection("gone");
  EXPECT_FALSE(ini.SectionExists("Gone"));
  ini.WriteString("Gone", "a", "re-added");
  ini.WriteString("unknown.section", "Foo", "baz");
  ini.WriteString("Brand New", "k", "v");
  ini.DeleteKey("Last", "missing");
  ini.DeleteKey("Missing", "x");
  ini.EraseSection("twice");  // both sections of the name
  ini.WriteString("Twice", "back", "1");

  EXPECT_EQ(ini.GetText(), VariedFileEdited());
  EXPECT_EQ(ini.ReadSections(),
            (std::vector<std::string>{"Current", " Unknown.Section ", "current", "MIDI.alias",
                                      "Last", "Gone", "unknown.section", "Brand New", "Twice"}));
  EXPECT_EQ(ini.ReadSection("CURRENT"),
            (std::vector<std::string>{"Height", "width", "Empty", "New"}));

  // The text read back is the text written.
  const std::string written = ini.GetText();
  TMemIniFile again;
  again.SetText(written);
  EXPECT_EQ(again.GetText(), written);
  again.Clear();
  EXPECT_FALSE(again.SectionExists("Current"));
  again.WriteString("current", "x", "1");
  EXPECT_EQ(again.GetText(), "[current]\r\nx=1\r\n");
}

// Thousands of sections and keys, found in any case after the store has grown, after keys
// were deleted from the middle and after sections were erased.
TEST(MemIniFile, LargeStoresStayFindable) {
  TMemIniFile ini;
  std::string text;
  for (int s = 0; s < 300; ++s)
    text += "[Sec" + std::to_string(s) + "]\r\nk=" + std::to_string(s) + "\r\n";
  ini.SetText(text);
  for (int k = 0; k < 3000; ++k)
    ini.WriteString("sec7", "Key" + std::to_string(k), std::to_string(k));
  for (int k = 0; k < 3000; k += 2) ini.DeleteKey("SEC7", "KEY" + std::to_string(k));
  for (int s = 0; s < 300; s += 3) ini.EraseSection("sec" + std::to_string(s));
  ini.WriteString("Sec0", "k", "back");

  for (int k = 0; k < 3000; ++k)
    EXPECT_EQ(ini.ReadString("Sec7", "kEy" + std::to_string(k), "gone"),
              k % 2 ? std::to_string(k) : "gone")
        << k;
  for (int s = 1; s < 300; ++s)
    EXPECT_EQ(ini.ReadString("SEC" + std::to_string(s), "K", "gone"),
              s % 3 ? std::to_string(s) : "gone")
        << s;
  EXPECT_EQ(ini.ReadString("sec0", "k", ""), "back");
  const std::vector<std::string> keys = ini.ReadSection("Sec7");
  ASSERT_EQ(keys.size(), 1501u);
  EXPECT_EQ(keys[0], "k");
  EXPECT_EQ(keys[1], "Key1");
  EXPECT_EQ(keys[1500], "Key2999");
  const std::vector<std::string> sections = ini.ReadSections();
  ASSERT_EQ(sections.size(), 201u);
  EXPECT_EQ(sections[0], "Sec1");
  EXPECT_EQ(sections[200], "Sec0");
}

// Names with marks the locale may weigh apart from letters are still found, ignoring case,
// alongside plain ones.
TEST(MemIniFile, NamesWithMarksAreFound) {
  TMemIniFile ini;
  ini.SetText("[Port-Names]\r\nIn-1=a\r\nOut'2=b\r\nplain=c\r\n");
  EXPECT_EQ(ini.ReadString("port-names", "IN-1", ""), "a");
  EXPECT_EQ(ini.ReadString("PORT-NAMES", "out'2", ""), "b");
  EXPECT_EQ(ini.ReadString("Port-Names", "PLAIN", ""), "c");
  ini.WriteString("port-NAMES", "in-1", "changed");
  ini.DeleteKey("Port-Names", "Plain");
  EXPECT_EQ(ini.GetText(), "[Port-Names]\r\nIn-1=changed\r\nOut'2=b\r\n");
}

TEST(MemIniFile, SavesAndReloadsThroughAFile) {
  const std::string path = TempPath("roundtrip.ini");
  std::remove(path.c_str());
  {
    TMemIniFile ini(path);
    EXPECT_TRUE(ini.ReadSections().empty());
    ini.WriteString("Project", "Comment", "line with trailing blanks   ");
    ini.UpdateFile();
  }
  TMemIniFile again(path);
  EXPECT_EQ(again.ReadString("Project", "Comment", ""), "line with trailing blanks   ");
  EXPECT_FALSE(FileExists(path + ".tmp"));
}

std::string SaveError(TMemIniFile& ini) {
  try {
    ini.UpdateFile();
  } catch (const EFileError& e) {
    return e.Message();
  }
  return "saved";
}

// Each refusal names the file being saved, never the temporary one, with the system's reason,
// keeps what was there and leaves no temporary file.
TEST(MemIniFile, FailedSaveKeepsWhatWasThereAndIsReported) {
  namespace fs = std::filesystem;
  const std::string folder = TempPath("refused");
  fs::remove_all(folder);
  fs::create_directories(folder);
  const auto expectRefused = [&](const std::string& path) {
    TMemIniFile ini(path);
    ini.WriteString("A", "new", "2");
    const std::string error = SaveError(ini);
    const std::string named = "Cannot save \"" + path + "\": ";
    EXPECT_EQ(error.substr(0, named.size()), named) << error;
    EXPECT_GT(error.size(), named.size()) << error;
    EXPECT_EQ(error.find(".tmp"), std::string::npos) << error;
    for (const auto& entry : fs::directory_iterator(folder))
      EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  };

  // A folder in the file's place cannot be replaced.
  const std::string inFolder = (fs::path(folder) / "keep.ini").string();
  fs::create_directories(inFolder);
  { std::ofstream f(inFolder + "/inside", std::ios::binary); f << "old"; }
  expectRefused(inFolder);
  EXPECT_EQ(ReadFileBytes(inFolder + "/inside"), "old");

  // A read-only file is not replaced.
  const std::string readOnly = (fs::path(folder) / "RO.ini").string();
  { std::ofstream f(readOnly, std::ios::binary); f << "[A]\r\nold=1\r\n"; }
  fs::permissions(readOnly, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  expectRefused(readOnly);
  EXPECT_EQ(ReadFileBytes(readOnly), "[A]\r\nold=1\r\n");
  fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);

  // No temporary file can be made where the folder is missing.
  expectRefused((fs::path(folder) / "missing" / "new.ini").string());
  fs::remove_all(folder);
}

// A save removes what saves of the same file cut off by a crash left behind, unless a process
// still holds it (another copy of the program saving the file right now), and nothing else.
TEST(MemIniFile, SaveRemovesOnlyUnheldLeftoversOfItsOwnFile) {
  namespace fs = std::filesystem;
  const std::string folder = TempPath("leftovers");
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string path = (fs::path(folder) / "shared.ini").string();
  const auto put = [&](const std::string& name) {
    std::ofstream(fs::path(folder) / name, std::ios::binary) << "a half-written save";
  };
  put("shared.ini.0BADF00D.tmp");
  put("shared.ini.12345678.tmp");
  const std::vector<std::string> others = {
      "shared.ini.tmp", "shared.ini.0BADF00D.tmp.bak", "shared.ini.0BADF00G.tmp",
      "shared.ini.0BADF0.tmp", "other.ini.0BADF00D.tmp", "xshared.ini.0BADF00D.tmp"};
  for (const std::string& name : others) put(name);
  {
    TReplacementFile held((fs::path(folder) / "shared.ini.ABCDEF01.tmp").string());
    ASSERT_TRUE(held.IsOpen());
    ASSERT_TRUE(held.Write("another copy's save in progress"));
    TMemIniFile ini(path);
    ini.WriteString("A", "b", "c");
    ini.UpdateFile();
  }
  EXPECT_EQ(TMemIniFile(path).ReadString("A", "b", ""), "c");
  EXPECT_FALSE(fs::exists(fs::path(folder) / "shared.ini.0BADF00D.tmp"));
  EXPECT_FALSE(fs::exists(fs::path(folder) / "shared.ini.12345678.tmp"));
  EXPECT_TRUE(fs::exists(fs::path(folder) / "shared.ini.ABCDEF01.tmp"));
  for (const std::string& name : others)
    EXPECT_EQ(ReadFileBytes((fs::path(folder) / name).string()), "a half-written save") << name;
  fs::remove_all(folder);
}

TEST(MemIniFile, NoFileNameIsAnError) {
  TMemIniFile ini;
  ini.WriteString("A", "b", "c");
  EXPECT_THROW(ini.UpdateFile(), EFileError);
}

}  // namespace
}  // namespace kv
