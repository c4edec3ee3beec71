#include "base/ini_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

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

TEST(MemIniFile, FailedSaveKeepsTheOldFileAndIsReported) {
  const std::string path = TempPath("keep.ini");
  {
    std::ofstream f(path, std::ios::binary);
    f << "[A]\r\nold=1\r\n";
  }
  // A folder where the temporary file must go makes the write fail.
  const std::string blocker = path + ".tmp";
  std::filesystem::remove_all(blocker);
  std::filesystem::create_directories(blocker);
  TMemIniFile ini(path);
  ini.WriteString("A", "new", "2");
  EXPECT_THROW(ini.UpdateFile(), EFileError);
  std::filesystem::remove_all(blocker);
  EXPECT_EQ(ReadFileBytes(path), "[A]\r\nold=1\r\n");
}

TEST(MemIniFile, NoFileNameIsAnError) {
  TMemIniFile ini;
  ini.WriteString("A", "b", "c");
  EXPECT_THROW(ini.UpdateFile(), EFileError);
}

}  // namespace
}  // namespace kv
