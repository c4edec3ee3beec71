// The migration's registry facade against the real registry under HKEY_CURRENT_USER: keys,
// values of text and other kinds, and deleting a tree.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "app/controller/win/migration_registry_win.h"

namespace kv::test {
namespace {

const wchar_t* kRoot = L"Software\\KvMigrationFacadeTest";

void SetText(HKEY key, const wchar_t* name, const std::wstring& text, bool terminated) {
  const DWORD bytes = static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
}

struct MigrationRegistryWinTest : ::testing::Test {
  MigrationRegistryWinTest() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\KvMigrationFacadeTest\\Live\\Presets\\Drums", 0,
                    nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    SetText(key, L"Kick", L"MID1903C7F", true);
    SetText(key, L"Snare", L"None", false);  // stored without its terminating zero
    const DWORD number = 7;
    RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof(number));
    RegCloseKey(key);
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\KvMigrationFacadeTest\\Live\\Presets\\Keys", 0,
                    nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegCloseKey(key);
  }
  ~MigrationRegistryWinTest() override { RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }

  const std::string base = "\\Software\\KvMigrationFacadeTest";
  TWinMigrationRegistry registry;
};

TEST_F(MigrationRegistryWinTest, ReadsKeysAndValuesAndDeletesTheTree) {
  EXPECT_TRUE(registry.KeyExists(base + "\\Live\\Presets"));
  EXPECT_FALSE(registry.KeyExists(base + "\\Nothing"));
  EXPECT_FALSE(registry.SubKeys(base + "\\Nothing").has_value());
  auto presets = registry.SubKeys(base + "\\Live\\Presets");
  ASSERT_TRUE(presets.has_value());
  EXPECT_EQ(*presets, (std::vector<std::string>{"Drums", "Keys"}));

  auto values = registry.Values(base + "\\Live\\Presets\\Drums");
  ASSERT_TRUE(values.has_value());
  ASSERT_EQ(values->size(), 3u);
  std::map<std::string, std::optional<std::string>> byName;
  for (const auto& v : *values) byName[v.name] = v.text;
  EXPECT_EQ(byName["Kick"], std::optional<std::string>("MID1903C7F"));
  EXPECT_EQ(byName["Snare"], std::optional<std::string>("None"));
  EXPECT_FALSE(byName.at("Number").has_value());
  EXPECT_TRUE(registry.Values(base + "\\Live\\Presets\\Keys")->empty());

  EXPECT_TRUE(registry.DeleteKeyTree(base + "\\Live", "Presets"));
  EXPECT_FALSE(registry.KeyExists(base + "\\Live\\Presets"));
  EXPECT_TRUE(registry.KeyExists(base + "\\Live"));
  EXPECT_FALSE(registry.DeleteKeyTree(base + "\\Gone", "Presets"));
}

}  // namespace
}  // namespace kv::test
