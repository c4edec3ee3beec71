// The migration of registry projects over a registry in memory: what is written, when deleting
// the registry copy is offered, and how a cancel or an error leaves "MigrationDone".
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/controller/registry_migration.h"
#include "base/ini_file.h"

namespace kv::test {
namespace {

const std::string kBase = "\\Software\\Zarn Software\\Zarn's Korvanta Pro";

class TMemoryRegistry final : public TMigrationRegistry {
 public:
  // path -> values; a key exists when it or a key below it is listed.
  std::map<std::string, std::vector<TValue>> keys;
  std::vector<std::string> unreadable;
  std::vector<std::string> deleted;

  bool KeyExists(const std::string& path) override {
    for (const auto& [key, values] : keys)
      if (key == path || key.rfind(path + "\\", 0) == 0) return true;
    return false;
  }
  std::optional<std::vector<std::string>> SubKeys(const std::string& path) override {
    if (!KeyExists(path)) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& [key, values] : keys) {
      if (key.rfind(path + "\\", 0) != 0) continue;
      const std::string rest = key.substr(path.size() + 1);
      const std::string name = rest.substr(0, rest.find('\\'));
      if (names.empty() || names.back() != name) names.push_back(name);
    }
    return names;
  }
  std::optional<std::vector<TValue>> Values(const std::string& path) override {
    for (const auto& u : unreadable)
      if (u == path) return std::nullopt;
    auto it = keys.find(path);
    if (it == keys.end()) return std::nullopt;
    return it->second;
  }
  bool DeleteKeyTree(const std::string& path, const std::string& subKey) override {
    deleted.push_back(path + "\\" + subKey);
    return true;
  }
};

class TScriptedMigrationHost final : public TMigrationHost {
 public:
  void Information(const std::string& text) override { messages.push_back("info " + text); }
  void Error(const std::string& text) override { messages.push_back("error " + text); }
  bool AskYesNo(const std::string& text) override {
    messages.push_back("ask " + text);
    return deleteAnswer;
  }
  bool ChooseProjectFile(std::string& fileName) override {
    proposed.push_back(fileName);
    if (files.empty()) return false;
    fileName = files.front();
    files.pop_front();
    return !fileName.empty();
  }
  std::vector<std::string> messages, proposed;
  std::deque<std::string> files;
  bool deleteAnswer = true;
};

struct MigrationTest : ::testing::Test {
  MigrationTest() {
    dir = std::filesystem::temp_directory_path() /
          ("kv_migration_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir);
  }
  ~MigrationTest() override {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::string Path(const char* name) { return (dir / name).string(); }

  TMemoryRegistry registry;
  TScriptedMigrationHost host;
  std::filesystem::path dir;
};

TEST_F(MigrationTest, NothingToMigrateShowsNothingAndKeepsTheFlag) {
  bool done = false;
  MigrateRegistryProjects(kBase, done, registry, host);
  registry.keys[kBase + "\\Default\\Other"] = {};
  MigrateRegistryProjects(kBase, done, registry, host);
  EXPECT_FALSE(done);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(MigrationTest, AnOverwrittenFileBecomesAFreshProjectAndTheRegistryCopyMayGo) {
  registry.keys[kBase + "\\Live\\Presets\\Drums"] = {{"Kick", "MID1903C7F"}, {"Snare", "None"}};
  registry.keys[kBase + "\\Live\\Presets\\Keys"] = {{"Pad", "None"}};
  const std::string file = Path("live.kvxp");
  std::ofstream(file) << "[Old]\r\nStale=1\r\n";
  host.files = {file};
  bool done = false;
  MigrateRegistryProjects(kBase, done, registry, host);
  EXPECT_TRUE(done);
  EXPECT_EQ(host.proposed, (std::vector<std::string>{"Live Project (migrated).kvxp"}));
  TMemIniFile ini(file);
  EXPECT_FALSE(ini.SectionExists("Old"));
  EXPECT_EQ(ini.ReadString("Drums", "Kick", ""), "MID1903C7F");
  EXPECT_EQ(ini.ReadString("Keys", "Pad", ""), "None");
  EXPECT_EQ(registry.deleted, (std::vector<std::string>{kBase + "\\Live\\Presets"}));
  ASSERT_EQ(host.messages.size(), 4u);
  EXPECT_EQ(host.messages[0],
            "info You have presets from previous versions stored in the registry.\r\n"
            "For each project, choose a filename to save these as new project files.");
  EXPECT_EQ(host.messages[2],
            "ask Saved 2 presets successfully from previous project \"Live\" to file.\r\n"
            "Do you want to delete the old presets from the registry?");
  EXPECT_EQ(host.messages[3], "info Migration of registry projects successfully done.");
}

TEST_F(MigrationTest, DeletingIsOfferedOnlyWhenEveryPresetCameOver) {
  registry.keys[kBase + "\\Live\\Presets\\Drums"] = {{"Kick", "MID1903C7F"},
                                                      {"Binary", std::nullopt}};
  registry.keys[kBase + "\\Live\\Presets\\Empty"] = {};
  registry.keys[kBase + "\\Live\\Presets\\Broken"] = {{"x", "y"}};
  registry.unreadable = {kBase + "\\Live\\Presets\\Broken"};
  host.files = {Path("live.kvxp")};
  bool done = false;
  MigrateRegistryProjects(kBase, done, registry, host);
  EXPECT_TRUE(registry.deleted.empty());
  EXPECT_NE(std::find(host.messages.begin(), host.messages.end(),
                      "error In Project \"Live\", error opening preset \"Broken\"!"),
            host.messages.end());
  EXPECT_NE(std::find(host.messages.begin(), host.messages.end(),
                      "info Project \"Live\", preset \"Empty\" does not have any Translators."),
            host.messages.end());
  EXPECT_NE(std::find(host.messages.begin(), host.messages.end(),
                      "info Saved 1 presets successfully from previous project \"Live\" to file."),
            host.messages.end());
  for (const auto& m : host.messages) EXPECT_EQ(m.rfind("ask ", 0), std::string::npos) << m;
}

TEST_F(MigrationTest, ACancelledDialogOrAnErrorLeavesTheMigrationToBeOfferedAgain) {
  registry.keys[kBase + "\\First\\Presets\\P"] = {{"T", "None"}};
  registry.keys[kBase + "\\Second\\Presets\\P"] = {{"T", "None"}};
  host.files = {Path("first.kvxp"), ""};
  host.deleteAnswer = false;
  bool done = false;
  MigrateRegistryProjects(kBase, done, registry, host);
  EXPECT_FALSE(done);
  EXPECT_TRUE(std::filesystem::exists(Path("first.kvxp")));
  EXPECT_EQ(host.messages.front().rfind("info You have presets from previous versions in the "
                                        "registry, from the following instances:\r\nFirst\r\n"
                                        "Second\r\n",
                                        0),
            0u);
  EXPECT_NE(host.messages.back().find("Second"), std::string::npos);  // no success message

  // A file that cannot be written is an error for that project alone.
  host.messages.clear();
  host.files = {Path("missing folder/first.kvxp"), Path("second.kvxp")};
  done = true;
  MigrateRegistryProjects(kBase, done, registry, host);
  EXPECT_FALSE(done);
  EXPECT_TRUE(std::filesystem::exists(Path("second.kvxp")));
  EXPECT_NE(std::find_if(host.messages.begin(), host.messages.end(),
                         [](const std::string& m) { return m.rfind("error ", 0) == 0; }),
            host.messages.end());
}

}  // namespace
}  // namespace kv::test
