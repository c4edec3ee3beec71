// What the tests that drive Korvanta.exe and its test host from outside share: the programs,
// the lists of the main window, the folder of their files, the fixture that starts every test
// without settings, and choosing a menu command with the keys.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "app/tests/win/korvanta_driver.h"

namespace kv::test {

inline constexpr const wchar_t* kProgramName = L"Korvanta";
inline constexpr const wchar_t* kHostName = L"korvanta_testhost";
inline constexpr int kPresets = 0, kTranslators = 1;
inline constexpr const wchar_t* kFolder = L"kv-main-window";

class KorvantaExeTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteProgramSettings(); }
  void TearDown() override { DeleteProgramSettings(); }
};

// Opens the menu with Alt and its key and chooses an item with itemKey (Enter: the first one),
// again (at most three times) while done() does not follow.
inline bool ChooseFromMenu(TRunningProgram& program, WORD menuKey, WORD itemKey,
                           const std::function<bool()>& done) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    program.Activate();
    Press(menuKey, {VK_MENU});
    Sync(program.MainWindow(0));
    Press(itemKey);
    if (WaitUntil(done, 5000)) return true;
    Press(VK_ESCAPE);
    Press(VK_ESCAPE);
  }
  return false;
}

}  // namespace kv::test
