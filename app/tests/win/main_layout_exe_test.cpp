// The main window's layout at the sizes a user gives it, driven from outside: the window is
// resized by another process and the toolbar buttons are measured where they are shown.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/tests/win/korvanta_driver.h"
#include "base/win/wide.h"

namespace kv::test {
namespace {

constexpr const wchar_t* kProgramName = L"Korvanta";

// The visible toolbars of a window, the one with the most buttons first.
std::vector<HWND> ToolBars(HWND main) {
  std::vector<HWND> bars;
  EnumChildWindows(
      main,
      [](HWND child, LPARAM lp) -> BOOL {
        wchar_t cls[64] = {};
        GetClassNameW(child, cls, 64);
        if (std::wstring(cls) == TOOLBARCLASSNAMEW && IsWindowVisible(child))
          reinterpret_cast<std::vector<HWND>*>(lp)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&bars));
  std::sort(bars.begin(), bars.end(), [](HWND a, HWND b) {
    return SendMessageW(a, TB_BUTTONCOUNT, 0, 0) > SendMessageW(b, TB_BUTTONCOUNT, 0, 0);
  });
  return bars;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

class MainLayoutExeTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteProgramSettings(); }
  void TearDown() override { DeleteProgramSettings(); }
};

TEST_F(MainLayoutExeTest, ANarrowWindowWrapsTheFileToolbarClearOfTheRightOne) {
  WriteQuietSettings(kProgramName);
  TRunningProgram program(Exe(kProgramName), L"");
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  std::vector<HWND> bars = ToolBars(main);
  ASSERT_EQ(bars.size(), 2u);
  HWND fileBar = bars[0], rightBar = bars[1];
  const int deleteButton = static_cast<int>(SendMessageW(fileBar, TB_BUTTONCOUNT, 0, 0)) - 1;

  auto resize = [&](int width) {
    SetWindowPos(main, nullptr, 0, 0, width, 420, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sync(main);
    return WaitUntil([&] {
      RECT r{};
      GetWindowRect(main, &r);
      return r.right - r.left == width;
    });
  };
  ASSERT_TRUE(resize(300));
  RECT deleteRect{}, logRect{}, fileBarRect{}, firstRect{};
  ASSERT_TRUE(ToolButtonScreenRect(fileBar, deleteButton, deleteRect));
  ASSERT_TRUE(ToolButtonScreenRect(rightBar, 0, logRect));
  GetWindowRect(fileBar, &fileBarRect);
  RECT overlap{};
  EXPECT_FALSE(IntersectRect(&overlap, &deleteRect, &logRect))
      << "Delete " << deleteRect.left << ".." << deleteRect.right << ", Log " << logRect.left
      << ".." << logRect.right;
  EXPECT_TRUE(Inside(deleteRect, fileBarRect)) << "Delete is cut off by its toolbar's edge";
  EXPECT_TRUE(SaveWindowShot(main, L"main-layout-300px.bmp"));

  // Wide again: one row.
  ASSERT_TRUE(resize(900));
  ASSERT_TRUE(ToolButtonScreenRect(fileBar, deleteButton, deleteRect));
  ASSERT_TRUE(ToolButtonScreenRect(fileBar, 0, firstRect));
  EXPECT_EQ(deleteRect.top, firstRect.top);
}

}  // namespace
}  // namespace kv::test
