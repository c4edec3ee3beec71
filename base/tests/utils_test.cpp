#include "base/utils.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(Utils, VersionTexts) {
  EXPECT_EQ(ProgramVersionFromFileVersion("1.7.2.1285"), "1.72");
  EXPECT_EQ(ProgramBuildFromFileVersion("1.7.2.1285"), "1285");
  EXPECT_EQ(ProgramBuildNumberFromFileVersion("1.7.2.1285"), 1285);
  EXPECT_EQ(ProgramVersionFromFileVersion("1.2"), "1");
  EXPECT_EQ(ProgramVersionFromFileVersion("7"), "");
  EXPECT_EQ(ProgramVersionFromFileVersion(".5"), "");
  EXPECT_EQ(ProgramBuildFromFileVersion("7"), "");
  EXPECT_EQ(ProgramBuildNumberFromFileVersion("1.x"), 0);
}

TEST(Utils, ResolveToProgramFolder) {
  std::string p = "C:\\data\\a.kvxp";
  EXPECT_FALSE(ResolveToProgramFolder(p, "D:\\Prog"));
  EXPECT_EQ(p, "C:\\data\\a.kvxp");
  p = "\\\\server\\share\\a";
  EXPECT_FALSE(ResolveToProgramFolder(p, "D:\\Prog"));
  p = "\\data\\a.kvxp";
  EXPECT_TRUE(ResolveToProgramFolder(p, "D:\\Prog"));
  EXPECT_EQ(p, "D:\\data\\a.kvxp");
  p = "a.kvxp";
  EXPECT_TRUE(ResolveToProgramFolder(p, "D:\\Prog"));
  EXPECT_EQ(p, "D:\\Prog\\a.kvxp");
  p = 'x';
  EXPECT_TRUE(ResolveToProgramFolder(p, "D:\\Prog\\"));
  EXPECT_EQ(p, "D:\\Prog\\x");
}

TEST(Utils, PathsAndNames) {
  EXPECT_EQ(StripExtension("name.kvxp"), "name");
  EXPECT_EQ(StripExtension(".hidden"), ".hidden");
  EXPECT_EQ(StripExtension("a.b.c"), "a.b");
  EXPECT_EQ(RemoveTrailingBackslash("C:\\x\\"), "C:\\x");
  EXPECT_EQ(AddTrailingBackslash(""), "");
  EXPECT_EQ(AddTrailingBackslash("C:\\x"), "C:\\x\\");
  EXPECT_EQ(AddTrailingBackslash("C:\\x\\"), "C:\\x\\");
  EXPECT_EQ(MakeValidFileName("a/b\\c*d:e?f\"g<h>i|j"), "abcdefghij");
  EXPECT_EQ(RemoveAllChars("a-b-c", '-'), "abc");
  EXPECT_EQ(ExtractFileName("C:\\x\\y.kvxs"), "y.kvxs");
  EXPECT_EQ(ExtractFilePath("C:\\x\\y.kvxs"), "C:\\x\\");
  EXPECT_EQ(ExtractFileExt("C:\\x.d\\y"), "");
  EXPECT_EQ(ChangeFileExt("C:\\x\\Korvanta.exe", ".kvxs"), "C:\\x\\Korvanta.kvxs");
}

TEST(Utils, NumbersAndTests) {
  EXPECT_EQ(HexPairToByte("x7fz", 2), 0x7F);
  EXPECT_EQ(HexPairToByte("7G", 1), -1);
  EXPECT_EQ(HexPairToByte("7", 1), -1);
  EXPECT_EQ(HexPairToByte("7F", 0), -1);
  EXPECT_EQ(HexPairToByte("7F", 2), -1);
  int32_t v = 0;
  EXPECT_TRUE(StrToIntCheck("-15", v));
  EXPECT_EQ(v, -15);
  EXPECT_FALSE(StrToIntCheck("1.5", v));
  EXPECT_TRUE(StrBeginsWith("Preset.1", "preset.", true));
  EXPECT_FALSE(StrBeginsWith("Preset.1", "preset.", false));
  EXPECT_FALSE(StrEndsWith("ab", "abc", true));
  EXPECT_TRUE(StrEndsWith("file.KVXP", ".kvxp", true));
  EXPECT_EQ(IntToStrZeroPad(7, 3), "007");
  EXPECT_EQ(IntToStrZeroPad(1234, 3), "1234");
}

}  // namespace
}  // namespace kv
