// Installing the example presets: when it runs, what the stored build becomes, and an error
// logged once however often the start-up retries.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "app/main_window/example_presets.h"
#include "app/main_window/main_settings.h"

namespace kv::test {
namespace {

class TFolderRecorder final : public TExamplePresetHost {
 public:
  bool FolderExists(const std::string& folder) override { return folders.count(folder) > 0; }
  std::string CommonAppDataFolder() override { return "C:\\ProgramData"; }
  bool CopyFolder(const std::string& source, const std::string& destination) override {
    copies.push_back(source + " -> " + destination);
    if (throwing) throw std::runtime_error("copy failed");
    folders.insert(destination + "\\Presets");
    return true;
  }
  void Information(const std::string& text) override { infos.push_back(text); }
  void LogError(const std::string& text) override { errors.push_back(text); }

  std::set<std::string> folders;
  bool throwing = false;
  std::vector<std::string> copies, infos, errors;
};

TEST(ExamplePresetsTest, InstallsWhenMissingOrOlderAndRecordsTheBuild) {
  TMainSettings s;
  s.presetFolder = "D:\\Docs\\Zarn's Korvanta";
  TFolderRecorder host;
  host.folders = {"C:\\ProgramData\\Zarn\\Zarn's Korvanta\\Presets"};
  InstallExamplePresets(s, 120, true, host);  // closing at once: nothing
  EXPECT_TRUE(host.copies.empty());

  InstallExamplePresets(s, 120, false, host);
  EXPECT_EQ(host.copies, (std::vector<std::string>{
                             "C:\\ProgramData\\Zarn\\Zarn's Korvanta\\Presets -> D:\\Docs\\Zarn's "
                             "Korvanta"}));
  EXPECT_EQ(s.buildVersionOfInstalledPresets, 120);
  EXPECT_EQ(host.infos.back(), "Presets have been installed in \r\nD:\\Docs\\Zarn's Korvanta\\Presets");

  InstallExamplePresets(s, 120, false, host);  // up to date
  EXPECT_EQ(host.copies.size(), 1u);
  InstallExamplePresets(s, 121, false, host);  // a newer program brings newer examples
  EXPECT_EQ(host.copies.size(), 2u);
  host.folders.erase("D:\\Docs\\Zarn's Korvanta\\Presets");  // the user removed them
  InstallExamplePresets(s, 121, false, host);
  EXPECT_EQ(host.copies.size(), 3u);
}

TEST(ExamplePresetsTest, AFailureIsLoggedOnceAndRetriedAtEachStart) {
  TMainSettings s;
  s.presetFolder = "D:\\P";
  TFolderRecorder host;
  InstallExamplePresets(s, 5, false, host);
  EXPECT_EQ(s.buildVersionOfInstalledPresets, -1);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], "Error: cannot install presets. Please reintall Zarn's Korvanta Pro");
  InstallExamplePresets(s, 5, false, host);
  EXPECT_EQ(host.errors.size(), 1u);

  host.folders = {"C:\\ProgramData\\Zarn\\Zarn's Korvanta\\Presets"};
  host.throwing = true;
  s.buildVersionOfInstalledPresets = 0;
  InstallExamplePresets(s, 5, false, host);
  EXPECT_EQ(host.errors.back(), "copy failed");
  EXPECT_EQ(s.buildVersionOfInstalledPresets, -1);
  EXPECT_TRUE(host.infos.empty());
}

}  // namespace
}  // namespace kv::test
