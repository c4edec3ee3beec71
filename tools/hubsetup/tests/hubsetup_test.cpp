// hubsetup.exe run as an installer would run it.
#include <windows.h>

#include <gtest/gtest.h>

#include "tools/testing/run_program.h"
#include "vmplib/tests/win/test_inf.h"

namespace kv {
namespace {

using tools::test::RunProgram;

const char kUsage[] =
    "Syntax:\n"
    " hubsetup.exe [-v] cmd [path]\n"
    "   -v      optional, verbose mode (must be first argument)\n"
    "   cmd     One of the following command switch:\n"
    "           -i   install bus driver if not already installed\n"
    "           -u   uninstall bus driver from system\n"
    "\n"
    "   path    Valid only for -i switch and specifies full qualified path to .INF file\n";

constexpr uint32_t kSyntaxError = 0xFFFFFFFF;  // exit code -1

class HubsetupTest : public ::testing::Test {
 protected:
  void SetUp() override { vmpl::test::RemoveDevices(u"root\\zarnbus"); }
  void TearDown() override { vmpl::test::RemoveDevices(u"root\\zarnbus"); }
};

TEST_F(HubsetupTest, SyntaxErrorsPrintTheUsageAndExitMinusOne) {
  for (const wchar_t* args : {L"", L"-v", L"-V -u", L"-x", L"-i", L"-v -i", L"-v -v", L"u"}) {
    auto r = RunProgram(L"hubsetup.exe", args);
    ASSERT_TRUE(r.started);
    EXPECT_EQ(r.exitCode, kSyntaxError) << std::string(args, args + wcslen(args));
    EXPECT_EQ(r.output, kUsage) << std::string(args, args + wcslen(args));
  }
}

TEST_F(HubsetupTest, InstallFromAMissingInfIs1) {
  auto quiet = RunProgram(L"hubsetup.exe", L"-i C:\\no\\such\\zarnbus.inf");
  EXPECT_EQ(quiet.exitCode, 1u);
  EXPECT_EQ(quiet.output, "");
  auto loud = RunProgram(L"hubsetup.exe", L"-v -i C:\\no\\such\\zarnbus.inf");
  EXPECT_EQ(loud.exitCode, 1u);
  EXPECT_EQ(loud.output, "Install bus driver. Exit code 1:\nERROR\n");
  // A folder is no .INF file either.
  EXPECT_EQ(RunProgram(L"hubsetup.exe", L"-i C:\\windows").exitCode, 1u);
  EXPECT_EQ(vmpl::test::CountDevices(u"root\\zarnbus", false), 0);
}

TEST_F(HubsetupTest, UninstallWithoutTheBusIsSuccess) {
  auto quiet = RunProgram(L"hubsetup.exe", L"-u");
  EXPECT_EQ(quiet.exitCode, 0u);
  EXPECT_EQ(quiet.output, "");
  auto loud = RunProgram(L"hubsetup.exe", L"-v -u");
  EXPECT_EQ(loud.exitCode, 0u);
  EXPECT_EQ(loud.output, "Uninstall bus driver. Bus is not installed.\n\n");
  // "-v" after the command is not the verbose flag and is ignored.
  auto late = RunProgram(L"hubsetup.exe", L"-u -v");
  EXPECT_EQ(late.exitCode, 0u);
  EXPECT_EQ(late.output, "");
}

TEST_F(HubsetupTest, InstallAndUninstallFromAPathOutsideTheCodePage) {
  // The path reaches the library as UTF-16: a folder name no narrow code page holds.
  std::wstring inf = vmpl::test::WriteTestInf();
  const std::wstring folder = inf.substr(0, inf.find_last_of(L'\\')) + L"\\\u0416\u4E2D\u20AC";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring unicodeInf = folder + L"\\zarnbus.inf";
  ASSERT_TRUE(CopyFileW(inf.c_str(), unicodeInf.c_str(), FALSE));

  auto install = RunProgram(L"hubsetup.exe", L"-v -i \"" + unicodeInf + L"\"");
  EXPECT_EQ(install.exitCode, 0u);
  EXPECT_EQ(install.output, "Install bus driver. Exit code 0:\nOK\n");
  EXPECT_EQ(vmpl::test::CountDevices(u"root\\zarnbus", true), 1);
  // Installed already: updated, not added again.
  EXPECT_EQ(RunProgram(L"hubsetup.exe", L"-i \"" + unicodeInf + L"\"").exitCode, 0u);
  EXPECT_EQ(vmpl::test::CountDevices(u"root\\zarnbus", true), 1);

  auto remove = RunProgram(L"hubsetup.exe", L"-v -u");
  EXPECT_EQ(remove.exitCode, 0u);
  EXPECT_EQ(remove.output, "Uninstall bus driver. Exit code 0:\nOK\n");
  EXPECT_EQ(vmpl::test::CountDevices(u"root\\zarnbus", true), 0);
  auto again = RunProgram(L"hubsetup.exe", L"-v -u");
  EXPECT_EQ(again.exitCode, 0u);
  EXPECT_EQ(again.output, "Uninstall bus driver. Bus is not installed.\n\n");
}

}  // namespace
}  // namespace kv
